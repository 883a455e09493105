#include "core/code_page.h"

#include <QVarLengthArray>

#include <array>
#include <cerrno>
#include <cstring>
#include <iconv.h>

namespace {

const iconv_t noConverter = reinterpret_cast<iconv_t>(-1);

// Windows-1252 from 0x80 to 0x9F; the rest of the page is Latin-1. The five
// bytes the page leaves undefined become U+FFFD.
constexpr std::array<char16_t, 32> cp1252High = {
    0x20AC, 0xFFFD, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0xFFFD, 0x017D, 0xFFFD,
    0xFFFD, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0xFFFD, 0x017E, 0xFFFD};

// A code page this system cannot decode: ASCII, which every code page of a
// rich-text file shares, and U+FFFD for each byte above it, rather than
// characters of another page.
void appendAsciiOnly(QString& out, QByteArrayView bytes)
{
    out.reserve(out.size() + bytes.size());
    for (const char c : bytes)
        out.append(static_cast<unsigned char>(c) < 0x80 ? QChar(c) : QChar(QChar::ReplacementCharacter));
}

void appendCp1252(QString& out, QByteArrayView bytes)
{
    const qsizetype start = out.size();
    out.resize(start + bytes.size());
    QChar* to = out.data() + start;
    for (const char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        *to++ = QChar(b >= 0x80 && b < 0xA0 ? cp1252High[b - 0x80] : char16_t(b));
    }
}

QByteArray iconvName(int codePage)
{
    switch (codePage) {
    case 10000:
        return "MACINTOSH";
    // Mac Japanese differs from Shift-JIS only in vertical forms and
    // symbols of its own.
    case 10001:
        return "SHIFT_JIS";
    case 10007:
        return "MAC-CYRILLIC";
    case 10029:
        return "MAC-CENTRALEUROPE";
    case 65001:
        return "UTF-8";
    case 20127:
        return "ASCII";
    case 28591:
        return "ISO-8859-1";
    default:
        return "CP" + QByteArray::number(codePage);
    }
}

}

CodePageDecoder::~CodePageDecoder()
{
    for (const auto& [page, cd] : converters)
        if (cd != noConverter)
            iconv_close(cd);
}

void* CodePageDecoder::converter(int codePage)
{
    auto found = converters.find(codePage);
    if (found == converters.end())
        found = converters.emplace(codePage, iconv_open("UTF-16LE", iconvName(codePage).constData())).first;
    return found->second;
}

void CodePageDecoder::append(QString& out, QByteArrayView bytes, int codePage)
{
    if (bytes.isEmpty())
        return;
    if (codePage == 1252 || codePage <= 0) {
        appendCp1252(out, bytes);
        return;
    }
    iconv_t cd = converter(codePage);
    if (cd == noConverter) {
        appendAsciiOnly(out, bytes);
        return;
    }
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    char* in = const_cast<char*>(bytes.data());
    size_t inLeft = size_t(bytes.size());
    // No code page makes more than two UTF-16 units of one byte.
    QVarLengthArray<char16_t, 1024> units(qsizetype(inLeft) * 2 + 2);
    char* to = reinterpret_cast<char*>(units.data());
    size_t toLeft = size_t(units.size()) * sizeof(char16_t);
    while (inLeft > 0) {
        if (iconv(cd, &in, &inLeft, &to, &toLeft) != size_t(-1))
            break;
        if (errno == E2BIG)
            break;
        // An undefined byte, or a lead byte the text ends on: one U+FFFD
        // for the byte, and on.
        const char16_t replacement = 0xFFFD;
        if (toLeft < sizeof replacement)
            break;
        std::memcpy(to, &replacement, sizeof replacement);
        to += sizeof replacement;
        toLeft -= sizeof replacement;
        ++in;
        --inLeft;
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
    }
    const qsizetype written = qsizetype((to - reinterpret_cast<char*>(units.data())) / 2);
    out.append(reinterpret_cast<const QChar*>(units.constData()), written);
}

int codePageOfCharset(int charset)
{
    switch (charset) {
    case 0: return 1252;
    case 77: return 10000;
    case 78: return 10001;
    case 128: return 932;
    case 129: return 949;
    case 130: return 1361;
    case 134: return 936;
    case 136: return 950;
    case 161: return 1253;
    case 162: return 1254;
    case 163: return 1258;
    case 177: return 1255;
    case 178: return 1256;
    case 186: return 1257;
    case 204: return 1251;
    case 222: return 874;
    case 238: return 1250;
    case 254: return 437;
    case 255: return 850;
    default: return 0;
    }
}
