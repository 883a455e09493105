#pragma once
#include <QByteArray>
#include <QList>
#include <QString>

// A file-list pattern: wildcard patterns joined by ";", matched against file
// names without regard to letter case. Empty parts between separators are
// skipped. A pattern is refused (PxError) when it has no part at all, or a
// part holds a character no file name can hold ("/" or NUL).
class FilePattern {
public:
    explicit FilePattern(const QString& text);
    bool matches(const char* name) const;
    bool matches(const QString& name) const;

private:
    // Nearly every part is "*" and a plain ASCII ending ("*.jpg"): such a
    // part is compared as an ending, which is what fnmatch would decide for
    // an ASCII name, at a fraction of its cost.
    struct Part {
        QByteArray glob;
        QByteArray ending; // lower case; used when endingOnly
        bool endingOnly = false;
    };
    QList<Part> parts;
};
