#pragma once
#include <QByteArray>
#include <QString>
#include <QStringList>

// The settings file as its lines, in the INI form QSettings reads and writes.
// The store changes only the lines of its own keys, so a rewrite keeps
// comments, other groups and keys it does not know exactly as they were.
class IniDocument {
public:
    // Reads what can be read: a line that is not a blank line, a comment, a
    // "[group]" header or a key=value line is left out and marks the document
    // damaged, and the lines after it are still read. A UTF-16 file (with its
    // byte order mark) is decoded, and marked damaged too because a rewrite
    // stores it as UTF-8.
    static IniDocument parse(const QByteArray& bytes);

    bool damaged() const { return isDamaged; }
    // The value of key in group, its name matched without regard to letter
    // case; the empty text when missing.
    QString value(const QString& group, const QString& key) const;
    // Replaces every spelling of key in group with one line, where the first
    // spelling stood, or adds it at the end of the group.
    void setValue(const QString& group, const QString& key, const QString& value);
    QByteArray toBytes() const;

private:
    QStringList lines;
    bool isDamaged = false;
};

namespace IniText {
// A text value as QSettings writes it, and back; QSettings reads what
// escapeValue writes as the same text, and unescapeValue reads what QSettings
// wrote.
QString escapeValue(const QString& value);
QString unescapeValue(QStringView raw);
}
