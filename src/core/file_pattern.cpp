#include "core/file_pattern.h"

#include "core/failure.h"
#include "core/file_name.h"

#include <fnmatch.h>

FilePattern::FilePattern(const QString& text)
{
    const QStringList pieces = text.split(QLatin1Char(';'));
    for (const QString& piece : pieces) {
        const QString part = piece.trimmed();
        if (part.isEmpty())
            continue;
        if (part.contains(QLatin1Char('/')) || part.contains(QChar(0)))
            Errors::raise(Errors::invalidPattern());
        parts.append(FileName::toBytes(part));
    }
    if (parts.isEmpty())
        Errors::raise(Errors::invalidPattern());
}

bool FilePattern::matches(const char* name) const
{
    for (const QByteArray& p : parts)
        if (::fnmatch(p.constData(), name, FNM_CASEFOLD | FNM_NOESCAPE) == 0)
            return true;
    return false;
}

bool FilePattern::matches(const QString& name) const
{
    return matches(FileName::toBytes(name).constData());
}
