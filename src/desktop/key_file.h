#pragma once
#include <QHash>
#include <QString>
#include <QStringList>

// The groups and keys of a desktop entry, mimeapps.list or mimeinfo.cache
// file. QSettings cannot read these: it takes "/" in a key ("image/jpeg") for
// a sub-group. A file that cannot be read reads as empty.
class KeyFile {
public:
    explicit KeyFile(const QString& path);
    QString value(const QString& group, const QString& key) const;
    // A ";"-separated value such as a list of desktop ids, empty items left out.
    QStringList list(const QString& group, const QString& key) const;

private:
    QHash<QString, QHash<QString, QString>> groups;
};
