#include "picture/metafile_format.h"

#include <QtEndian>

#include <algorithm>
#include <cmath>
#include <limits>

namespace Metafile {

namespace {
quint16 u16(const QByteArray& d, qint64 at) { return qFromLittleEndian<quint16>(d.constData() + at); }
quint32 u32(const QByteArray& d, qint64 at) { return qFromLittleEndian<quint32>(d.constData() + at); }
qint16 s16(const QByteArray& d, qint64 at) { return qFromLittleEndian<qint16>(d.constData() + at); }
qint32 s32(const QByteArray& d, qint64 at) { return qFromLittleEndian<qint32>(d.constData() + at); }

// A frame of any size is drawn, shrunk to the drawing limit; its sides
// only need to fit the picture's size.
std::optional<QSize> drawable(qint64 w, qint64 h)
{
    if (w < 1 || h < 1 || w > std::numeric_limits<int>::max() || h > std::numeric_limits<int>::max())
        return std::nullopt;
    return QSize(int(w), int(h));
}
}

bool isWmf(const QByteArray& d)
{
    // An Aldus placeable header, or a bare header: type 1 (memory) or
    // 2 (disk), 9 words long, version 1 or 3.
    if (d.size() >= 22 && u32(d, 0) == 0x9AC6CDD7)
        return d.size() >= 22 + 18;
    return d.size() >= 18 && (u16(d, 0) == 1 || u16(d, 0) == 2) && u16(d, 2) == 9
        && (u16(d, 4) == 0x0300 || u16(d, 4) == 0x0100);
}

bool isEmf(const QByteArray& d)
{
    // EMR_HEADER first, with the " EMF" signature.
    return d.size() >= 88 && u32(d, 0) == 1 && u32(d, 40) == 0x464D4520;
}

std::optional<QSize> headerSize(const QByteArray& d)
{
    // The same rules as the helper's drawing code.
    if (isEmf(d)) {
        // The frame is in hundredths of a millimetre, both corners
        // inclusive; the bounds in device pixels serve when it is empty.
        double width = (double(s32(d, 32)) - s32(d, 24) + 1) * 96.0 / 2540.0;
        double height = (double(s32(d, 36)) - s32(d, 28) + 1) * 96.0 / 2540.0;
        if (width < 1 || height < 1) {
            width = double(s32(d, 16)) - s32(d, 8) + 1;
            height = double(s32(d, 20)) - s32(d, 12) + 1;
        }
        if (!(width >= 0.5 && height >= 0.5))
            return std::nullopt;
        return drawable(std::llround(width), std::llround(height));
    }
    if (!isWmf(d))
        return std::nullopt;
    if (u32(d, 0) != 0x9AC6CDD7)
        return QSize();
    const int inch = u16(d, 14) ? u16(d, 14) : 1440;
    const double width = std::abs(s16(d, 10) - s16(d, 6)) * 96.0 / inch;
    const double height = std::abs(s16(d, 12) - s16(d, 8)) * 96.0 / inch;
    if (width < 0.5 || height < 0.5)
        return std::nullopt;
    return drawable(std::llround(width), std::llround(height));
}

QSize drawnSize(QSize natural, qint64 limit)
{
    const qint64 pixels = qint64(natural.width()) * natural.height();
    if (pixels <= limit)
        return natural;
    const double scale = std::sqrt(double(limit) / double(pixels));
    // Rounded down, so that both sides together stay within the limit; a
    // side that would vanish keeps one pixel and the other gives way.
    qint64 width = std::max(1, int(natural.width() * scale));
    qint64 height = std::max(1, int(natural.height() * scale));
    if (width * height > limit)
        (width > height ? width : height) = limit / std::min(width, height);
    return QSize(int(width), int(height));
}

}
