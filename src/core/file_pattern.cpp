#include "core/file_pattern.h"

#include "core/failure.h"
#include "core/file_name.h"

#include <cstring>
#include <fnmatch.h>

namespace {
bool isAscii(const char* text)
{
    for (; *text; ++text)
        if (static_cast<unsigned char>(*text) >= 0x80)
            return false;
    return true;
}

char lowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; }

bool endsWithFolded(const char* name, size_t length, const QByteArray& ending)
{
    const size_t n = size_t(ending.size());
    if (length < n)
        return false;
    const char* tail = name + (length - n);
    for (size_t i = 0; i < n; ++i)
        if (lowerAscii(tail[i]) != ending[qsizetype(i)])
            return false;
    return true;
}
}

FilePattern::FilePattern(const QString& text)
{
    const QStringList pieces = text.split(QLatin1Char(';'));
    for (const QString& piece : pieces) {
        const QString part = piece.trimmed();
        if (part.isEmpty())
            continue;
        if (part.contains(QLatin1Char('/')) || part.contains(QChar(0)))
            Errors::raise(Errors::invalidPattern());
        Part compiled;
        compiled.glob = FileName::toBytes(part);
        const QByteArray rest = compiled.glob.mid(1);
        compiled.endingOnly = compiled.glob.startsWith('*') && isAscii(rest.constData())
                              && std::strpbrk(rest.constData(), "*?[") == nullptr;
        if (compiled.endingOnly)
            compiled.ending = rest.toLower();
        parts.append(compiled);
    }
    if (parts.isEmpty())
        Errors::raise(Errors::invalidPattern());
}

bool FilePattern::matches(const char* name) const
{
    const size_t length = std::strlen(name);
    // Letter case beyond ASCII is the locale's: fnmatch decides those names.
    const bool ascii = isAscii(name);
    for (const Part& p : parts) {
        const bool hit = (ascii && p.endingOnly)
                             ? endsWithFolded(name, length, p.ending)
                             : ::fnmatch(p.glob.constData(), name, FNM_CASEFOLD | FNM_NOESCAPE) == 0;
        if (hit)
            return true;
    }
    return false;
}

bool FilePattern::matches(const QString& name) const
{
    return matches(FileName::toBytes(name).constData());
}
