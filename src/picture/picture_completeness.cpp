#include "picture/picture_completeness.h"

#include <QList>
#include <QtEndian>

#include <algorithm>
#include <map>

namespace Completeness {

namespace {

// Qt's BMP and GIF readers hand out what they got of a cut-off file, so
// the data is checked for its full length first.
std::optional<qint64> bmpLength(const QByteArray& d)
{
    if (d.size() < 54)
        return std::nullopt;
    const quint32 offset = qFromLittleEndian<quint32>(d.constData() + 10);
    const quint32 headerSize = qFromLittleEndian<quint32>(d.constData() + 14);
    if (headerSize < 40)
        return std::nullopt; // old OS/2 headers: left to Qt
    const qint64 w = qFromLittleEndian<qint32>(d.constData() + 18);
    const qint64 h = qAbs(qint64(qFromLittleEndian<qint32>(d.constData() + 22)));
    const int bpp = qFromLittleEndian<quint16>(d.constData() + 28);
    const quint32 compression = qFromLittleEndian<quint32>(d.constData() + 30);
    if (compression != 0 && compression != 3)
        return std::nullopt; // run-length coded: its length is not known in advance
    const qint64 stride = (w * bpp + 31) / 32 * 4;
    return qint64(offset) + stride * h;
}

bool bmpIsComplete(const QByteArray& d) { return d.size() >= 54 && bmpLength(d).value_or(0) <= d.size(); }

bool gifIsComplete(const QByteArray& d)
{
    // Walks the blocks up to the end of the first frame's pixel data.
    auto byte = [&](qint64 at) { return quint8(d.at(at)); };
    qint64 pos = 13;
    if (d.size() < pos)
        return false;
    if (byte(10) & 0x80)
        pos += 3 * (qint64(2) << (byte(10) & 7));
    auto skipSubBlocks = [&]() {
        while (pos < d.size()) {
            const int n = byte(pos);
            pos += 1 + n;
            if (n == 0)
                return pos <= d.size();
        }
        return false;
    };
    while (pos < d.size()) {
        const quint8 kind = byte(pos);
        if (kind == 0x21) {              // extension
            pos += 2;
            if (!skipSubBlocks())
                return false;
        } else if (kind == 0x2C) {       // image
            if (pos + 10 > d.size())
                return false;
            const quint8 flags = byte(pos + 9);
            pos += 10;
            if (flags & 0x80)
                pos += 3 * (qint64(2) << (flags & 7));
            pos += 1;                    // LZW code size
            return pos < d.size() && skipSubBlocks();
        } else {
            return false;
        }
    }
    return false;
}

// libpng stops at the end of the pixel data; the end chunk shows the
// file was written whole.
// Searched from the end, where the chunk is unless data trails the picture:
// a whole large file is not read through for it.
bool pngIsComplete(const QByteArray& d) { return d.lastIndexOf(QByteArrayLiteral("\0\0\0\0IEND")) >= 0; }

std::optional<qint64> icoLength(const QByteArray& d)
{
    if (d.size() < 6)
        return std::nullopt;
    const qint64 count = qFromLittleEndian<quint16>(d.constData() + 4);
    if (d.size() < 6 + 16 * count)
        return std::nullopt;
    qint64 end = 6 + 16 * count;
    for (qint64 i = 0; i < count; ++i) {
        const char* entry = d.constData() + 6 + 16 * i;
        end = std::max(end, qint64(qFromLittleEndian<quint32>(entry + 12)) + qFromLittleEndian<quint32>(entry + 8));
    }
    return end;
}

bool icoIsComplete(const QByteArray& d)
{
    const std::optional<qint64> length = icoLength(d);
    return length && *length <= d.size();
}

std::optional<qint64> webpLength(const QByteArray& d)
{
    if (d.size() < 12)
        return std::nullopt;
    return 8 + qint64(qFromLittleEndian<quint32>(d.constData() + 4));
}

// The chunks must fit the file, and a picture's chunk must hold more than
// its header: space set aside for a file that was never written holds
// zeros, which libwebp decodes as a flat picture.
bool webpIsComplete(const QByteArray& d)
{
    const qint64 end = webpLength(d).value_or(-1);
    if (end < 0 || end > d.size())
        return false;
    bool pixels = false;
    for (qint64 pos = 12; pos + 8 <= end;) {
        const QByteArray kind = d.mid(pos, 4);
        const qint64 size = qFromLittleEndian<quint32>(d.constData() + pos + 4);
        if (pos + 8 + size > end)
            return false;
        const qint64 header = kind == "VP8 " ? 10 : kind == "VP8L" ? 5 : kind == "ANMF" ? 16 : -1;
        if (header >= 0 && size > header) {
            const QByteArray payload = d.mid(pos + 8 + header, size - header);
            pixels = pixels || payload.count('\0') != payload.size();
        }
        pos += 8 + size + (size & 1);
    }
    return pixels;
}

// The strips or tiles of the first directory, the picture shown, must lie
// within the file: libtiff hands out what it read of them.
bool tiffIsComplete(const QByteArray& d)
{
    if (d.size() < 8)
        return false;
    const bool little = d.startsWith("II");
    auto number = [&](qint64 at, int bytes) -> qint64 {
        if (at < 0 || at + bytes > d.size())
            return -1;
        const char* p = d.constData() + at;
        if (bytes == 2)
            return little ? qFromLittleEndian<quint16>(p) : qFromBigEndian<quint16>(p);
        return little ? qFromLittleEndian<quint32>(p) : qFromBigEndian<quint32>(p);
    };
    if (number(2, 2) != 42)
        return true; // BigTIFF: left to libtiff
    const qint64 directory = number(4, 4);
    const qint64 entries = number(directory, 2);
    if (entries < 0)
        return false;
    QList<qint64> offsets, lengths;
    for (qint64 i = 0; i < entries; ++i) {
        const qint64 at = directory + 2 + 12 * i;
        const qint64 tag = number(at, 2);
        const qint64 type = number(at + 2, 2);
        const qint64 count = number(at + 4, 4);
        if (tag < 0 || type < 0 || count < 0)
            return false;
        const bool offsetTag = tag == 273 || tag == 324;
        if (!offsetTag && tag != 279 && tag != 325)
            continue;
        const int bytes = type == 3 ? 2 : type == 4 ? 4 : 0;
        if (bytes == 0)
            return true; // an unusual type: left to libtiff
        const qint64 values = count * bytes <= 4 ? at + 8 : number(at + 8, 4);
        QList<qint64>& list = offsetTag ? offsets : lengths;
        for (qint64 v = 0; v < count; ++v) {
            const qint64 value = number(values + v * bytes, bytes);
            if (value < 0)
                return false;
            list.append(value);
        }
    }
    if (offsets.size() != lengths.size())
        return true; // lengths left out: left to libtiff
    for (qsizetype i = 0; i < offsets.size(); ++i)
        if (offsets[i] + lengths[i] > d.size())
            return false;
    return true;
}

// Qt's XBM reader hands out the rows it got of a cut-off file.
bool xbmIsComplete(const QByteArray& d) { return d.lastIndexOf('}') > d.indexOf('{'); }

}

bool isComplete(const QByteArray& format, const QByteArray& data)
{
    using Check = bool (*)(const QByteArray&);
    static const std::map<QByteArray, Check> checks = {
        {"bmp", bmpIsComplete},   {"gif", gifIsComplete},   {"png", pngIsComplete},
        {"ico", icoIsComplete},   {"cur", icoIsComplete},   {"webp", webpIsComplete},
        {"tiff", tiffIsComplete}, {"xbm", xbmIsComplete}};
    const auto check = checks.find(format);
    return check == checks.end() || check->second(data);
}

std::optional<qint64> declaredLength(const QByteArray& format, const QByteArray& data)
{
    using Length = std::optional<qint64> (*)(const QByteArray&);
    static const std::map<QByteArray, Length> lengths = {
        {"bmp", bmpLength}, {"ico", icoLength}, {"cur", icoLength}, {"webp", webpLength}};
    const auto length = lengths.find(format);
    return length == lengths.end() ? std::nullopt : length->second(data);
}

}
