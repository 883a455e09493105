#include "picture/exif_colour.h"

#include <QtEndian>

namespace Exif {
namespace {

constexpr quint16 exifIfdTag = 0x8769;
constexpr quint16 colourSpaceTag = 0xA001;
constexpr quint16 interopIfdTag = 0xA005;
constexpr quint16 interopIndexTag = 0x0001;
constexpr quint16 uncalibrated = 0xFFFF;
constexpr quint16 adobeRgb = 2;

// A TIFF structure inside the APP1 segment; every read is bounds-checked.
class Tiff {
public:
    explicit Tiff(QByteArray bytes) : data(std::move(bytes)), big(data.startsWith("MM")) {}

    bool valid() const { return (data.startsWith("II") || big) && u16(2) == 42; }
    qint64 firstIfd() const { return u32(4); }

    // The 4-byte value field of tag in the IFD at offset, or -1.
    qint64 field(qint64 ifd, quint16 tag) const
    {
        const qint64 count = u16(ifd);
        for (qint64 i = 0; i < count; ++i) {
            const qint64 entry = ifd + 2 + 12 * i;
            if (entry + 12 > data.size())
                return -1;
            if (u16(entry) == tag)
                return entry + 8;
        }
        return -1;
    }
    qint64 u16(qint64 at) const
    {
        if (at < 0 || at + 2 > data.size())
            return -1;
        const auto* p = reinterpret_cast<const uchar*>(data.constData() + at);
        return big ? qFromBigEndian<quint16>(p) : qFromLittleEndian<quint16>(p);
    }
    qint64 u32(qint64 at) const
    {
        if (at < 0 || at + 4 > data.size())
            return -1;
        const auto* p = reinterpret_cast<const uchar*>(data.constData() + at);
        return big ? qFromBigEndian<quint32>(p) : qFromLittleEndian<quint32>(p);
    }
    QByteArray bytes(qint64 at, int length) const { return at < 0 ? QByteArray() : data.mid(at, length); }

private:
    QByteArray data;
    bool big;
};

// The TIFF data of the first EXIF segment before the picture data.
QByteArray exifData(const QByteArray& jpeg)
{
    qint64 at = 2;
    while (at + 4 <= jpeg.size() && uchar(jpeg[at]) == 0xFF) {
        const uchar marker = uchar(jpeg[at + 1]);
        if (marker == 0xDA || marker == 0xD9)
            break;
        const qint64 length = qFromBigEndian<quint16>(jpeg.constData() + at + 2);
        if (marker == 0xE1 && jpeg.mid(at + 4, 6) == QByteArrayLiteral("Exif\0\0"))
            return jpeg.mid(at + 10, length - 8);
        at += 2 + length;
    }
    return {};
}

}

bool saysAdobeRgb(const QByteArray& jpeg)
{
    const Tiff tiff(exifData(jpeg));
    if (!tiff.valid())
        return false;
    const qint64 exifIfd = tiff.u32(tiff.field(tiff.firstIfd(), exifIfdTag));
    const qint64 space = tiff.u16(tiff.field(exifIfd, colourSpaceTag));
    if (space == adobeRgb)
        return true;
    if (space != uncalibrated)
        return false;
    const qint64 interopIfd = tiff.u32(tiff.field(exifIfd, interopIfdTag));
    return tiff.bytes(tiff.field(interopIfd, interopIndexTag), 3) == "R03";
}

}
