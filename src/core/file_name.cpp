#include "core/file_name.h"

#include <algorithm>

namespace {

constexpr char16_t escapeBase = 0xDC00;

bool isContinuation(unsigned char c) { return (c & 0xC0) == 0x80; }

// Length of the well-formed UTF-8 sequence at the start of s (overlong
// forms, surrogates and code points above U+10FFFF are not), or 0.
int sequenceLength(const unsigned char* s, qsizetype left, char32_t& code)
{
    const unsigned char c = s[0];
    int length;
    char32_t min;
    if (c >= 0xC2 && c <= 0xDF) {
        length = 2; min = 0x80; code = c & 0x1F;
    } else if (c >= 0xE0 && c <= 0xEF) {
        length = 3; min = 0x800; code = c & 0x0F;
    } else if (c >= 0xF0 && c <= 0xF4) {
        length = 4; min = 0x10000; code = c & 0x07;
    } else {
        return 0;
    }
    if (left < length)
        return 0;
    for (int i = 1; i < length; ++i) {
        if (!isContinuation(s[i]))
            return 0;
        code = (code << 6) | (s[i] & 0x3F);
    }
    if (code < min || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
        return 0;
    return length;
}

bool wellFormed(const unsigned char* s, qsizetype n)
{
    char32_t code;
    for (qsizetype i = 0; i < n;) {
        const int length = s[i] < 0x80 ? 1 : sequenceLength(s + i, n - i, code);
        if (length == 0)
            return false;
        i += length;
    }
    return true;
}

bool isEscape(char16_t c) { return c >= escapeBase + 0x80 && c <= escapeBase + 0xFF; }

}

namespace FileName {

QString fromBytes(QByteArrayView bytes)
{
    const auto* s = reinterpret_cast<const unsigned char*>(bytes.data());
    const qsizetype n = bytes.size();
    if (wellFormed(s, n))
        return QString::fromUtf8(bytes);
    QString name;
    name.reserve(n);
    for (qsizetype i = 0; i < n;) {
        if (s[i] < 0x80) {
            name.append(QChar(s[i++]));
            continue;
        }
        char32_t code;
        const int length = sequenceLength(s + i, n - i, code);
        if (length == 0) {
            name.append(QChar(char16_t(escapeBase + s[i++])));
            continue;
        }
        const char32_t ucs4[1] = {code};
        name.append(QString::fromUcs4(ucs4, 1));
        i += length;
    }
    return name;
}

QByteArray toBytes(const QString& name)
{
    if (std::none_of(name.begin(), name.end(), [](QChar c) { return c.isSurrogate(); }))
        return name.toUtf8();
    QByteArray bytes;
    bytes.reserve(name.size() * 3);
    const qsizetype n = name.size();
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t c = name.at(i).unicode();
        if (QChar::isHighSurrogate(c) && i + 1 < n && QChar::isLowSurrogate(name.at(i + 1).unicode())) {
            bytes += QStringView(name).mid(i, 2).toUtf8();
            ++i;
        } else if (isEscape(c)) {
            bytes += char(c - escapeBase);
        } else {
            bytes += QStringView(name).mid(i, 1).toUtf8();
        }
    }
    return bytes;
}

}
