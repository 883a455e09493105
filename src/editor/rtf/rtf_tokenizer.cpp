#include "editor/rtf/rtf_tokenizer.h"

#include "core/hex_digit.h"

#include <algorithm>
#include <limits>

namespace {
bool isLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool isDigit(char c) { return c >= '0' && c <= '9'; }
}

RtfToken RtfTokenizer::next()
{
    RtfToken token;
    if (pos >= data.size())
        return token;
    const char c = data[pos];
    if (c == '{') {
        ++pos;
        token.kind = RtfToken::Open;
        return token;
    }
    if (c == '}') {
        ++pos;
        token.kind = RtfToken::Close;
        return token;
    }
    if (c == '\\')
        return controlWord();
    const qsizetype start = pos;
    while (pos < data.size() && data[pos] != '\\' && data[pos] != '{' && data[pos] != '}')
        ++pos;
    token.kind = RtfToken::Text;
    token.text = data.sliced(start, pos - start);
    return token;
}

RtfToken RtfTokenizer::controlWord()
{
    RtfToken token;
    ++pos;
    if (pos >= data.size())
        return token;
    const char c = data[pos];
    if (!isLetter(c)) {
        ++pos;
        if (c == '\'') {
            // \'hh; a digit that is not hex ends it early.
            int value = 0, digits = 0;
            while (digits < 2 && pos < data.size() && hexDigitValue(data[pos]) >= 0) {
                value = value * 16 + hexDigitValue(data[pos++]);
                ++digits;
            }
            if (digits > 0) {
                token.kind = RtfToken::Hex;
                token.byte = static_cast<unsigned char>(value);
                return token;
            }
        }
        token.kind = RtfToken::Symbol;
        token.byte = static_cast<unsigned char>(c);
        return token;
    }
    const qsizetype start = pos;
    while (pos < data.size() && isLetter(data[pos]))
        ++pos;
    token.kind = RtfToken::Word;
    token.text = data.sliced(start, std::min<qsizetype>(pos - start, maxWordLength));
    bool negative = false;
    if (pos + 1 < data.size() && data[pos] == '-' && isDigit(data[pos + 1])) {
        negative = true;
        ++pos;
    }
    if (pos < data.size() && isDigit(data[pos])) {
        token.hasParameter = true;
        qint64 value = 0;
        while (pos < data.size() && isDigit(data[pos])) {
            if (value <= std::numeric_limits<int>::max())
                value = value * 10 + (data[pos] - '0');
            ++pos;
        }
        if (negative)
            value = -value;
        token.parameter = int(std::clamp<qint64>(value, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
    }
    if (pos < data.size() && data[pos] == ' ')
        ++pos;
    return token;
}

QByteArrayView RtfTokenizer::takeBinary(qint64 length)
{
    const qsizetype n = qsizetype(std::clamp<qint64>(length, 0, data.size() - pos));
    const QByteArrayView bytes = data.sliced(pos, n);
    pos += n;
    return bytes;
}
