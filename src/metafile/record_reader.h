#pragma once
#include <QByteArray>
#include <QColor>
#include <QPolygonF>
#include <QRectF>
#include <QtEndian>

#include <cmath>
#include <cstring>
#include <vector>

// One record's bytes. Every field past its end reads as 0, so that a short
// or damaged record draws nothing sensible instead of reading further.
namespace Metafile {

class RecordReader {
public:
    RecordReader(const char* data, qint64 size) : data(data), size(size) {}

    qint64 length() const { return size; }
    bool has(qint64 at, qint64 bytes) const { return at >= 0 && bytes >= 0 && at <= size && bytes <= size - at; }
    quint32 u32(qint64 at) const { return has(at, 4) ? qFromLittleEndian<quint32>(data + at) : 0; }
    qint32 s32(qint64 at) const { return has(at, 4) ? qFromLittleEndian<qint32>(data + at) : 0; }
    quint16 u16(qint64 at) const { return has(at, 2) ? qFromLittleEndian<quint16>(data + at) : 0; }
    qint16 s16(qint64 at) const { return has(at, 2) ? qFromLittleEndian<qint16>(data + at) : 0; }
    quint8 u8(qint64 at) const { return has(at, 1) ? quint8(data[at]) : 0; }
    // A float, or 0 when it is not a finite number.
    double f32(qint64 at) const
    {
        const quint32 bits = u32(at);
        float value;
        std::memcpy(&value, &bits, 4);
        return std::isfinite(value) ? double(value) : 0.0;
    }
    // A COLORREF: 0x00BBGGRR.
    QColor colour(qint64 at) const
    {
        const quint32 c = u32(at);
        return QColor(int(c & 0xFF), int((c >> 8) & 0xFF), int((c >> 16) & 0xFF));
    }
    QPointF point32(qint64 at) const { return QPointF(s32(at), s32(at + 4)); }
    // A RECTL: left, top, right, bottom, as given (not normalised).
    QRectF rect32(qint64 at) const { return QRectF(point32(at), point32(at + 8)); }
    QByteArray bytes(qint64 at, qint64 count) const { return has(at, count) ? QByteArray(data + at, count) : QByteArray(); }
    // count points from at, 32- or 16-bit pairs; fewer when the record ends first.
    QPolygonF points(qint64 at, qint64 count, bool small, qint64 most) const
    {
        const qint64 stride = small ? 4 : 8;
        count = std::clamp<qint64>(std::min(count, has(at, 0) ? (size - at) / stride : 0), 0, most);
        QPolygonF out;
        out.reserve(count);
        for (qint64 i = 0; i < count; ++i)
            out << (small ? QPointF(s16(at + 4 * i), s16(at + 4 * i + 2)) : point32(at + 8 * i));
        return out;
    }

    // count point lists from at: their sizes, numbers of sizeBytes (2 or 4)
    // each, then their points; at most most points in all.
    std::vector<QPolygonF> pointLists(qint64 at, qint64 count, int sizeBytes, bool small, qint64 most) const
    {
        count = std::min<qint64>(count, has(at, 0) ? (size - at) / sizeBytes : 0);
        qint64 pointsAt = at + sizeBytes * std::max<qint64>(count, 0);
        std::vector<QPolygonF> out;
        for (qint64 i = 0; i < count && most > 0; ++i) {
            const qint64 n = std::min<qint64>(sizeBytes == 2 ? u16(at + 2 * i) : u32(at + 4 * i), most);
            out.push_back(points(pointsAt, n, small, n));
            pointsAt += n * (small ? 4 : 8);
            most -= n;
        }
        return out;
    }

private:
    const char* data;
    qint64 size;
};

}
