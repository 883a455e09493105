#include "editor/rtf/rtf_pict.h"

#include "core/failure.h"
#include "picture/metafile_client.h"
#include "picture/metafile_format.h"

#include <QTemporaryFile>
#include <QtEndian>

#include <algorithm>
#include <cmath>

namespace {

constexpr double twipsPerPixel = 15;

[[noreturn]] void refuse(const QString& why) { Errors::raise(Errors::invalidPicture(why)); }

QImage drawnMetafile(const QByteArray& data, const DrawingTime& time)
{
    if (!Metafile::headerSize(data))
        refuse(QStringLiteral("the metafile's frame is empty"));
    const qint64 left = time.deadline.remainingTime();
    if (left <= 0)
        refuse(QStringLiteral("no time was left to draw it"));
    if (time.cancelled && *time.cancelled)
        refuse(QStringLiteral("the document is no longer wanted"));
    QTemporaryFile file;
    if (!file.open() || file.write(data) != data.size() || !file.flush())
        refuse(QStringLiteral("no room for the metafile"));
    return drawMetafile(file.fileName(), Metafile::maxDrawnPixels, time.cancelled, nullptr,
                        int(std::min<qint64>(left, metafileTimeLimitMs)));
}

// The metafile of \wmetafile has no placeable header, and drawn bare it
// would be framed by what it draws. A header with the window that its
// mapping records set frames it as the writer meant, drawn at size.
QByteArray placeable(const QByteArray& bare, QSize size)
{
    if (bare.size() < 18 || size.isEmpty() || qFromLittleEndian<quint32>(bare.constData()) == 0x9AC6CDD7)
        return bare;
    auto u16 = [&](qint64 at) { return qFromLittleEndian<quint16>(bare.constData() + at); };
    auto s16 = [&](qint64 at) { return qFromLittleEndian<qint16>(bare.constData() + at); };
    std::optional<QPoint> origin, extent;
    qint64 pos = qint64(u16(2)) * 2;
    while (pos + 10 <= bare.size()) {
        const quint32 words = qFromLittleEndian<quint32>(bare.constData() + pos);
        if (words < 3 || pos + qint64(words) * 2 > bare.size())
            break;
        const quint16 function = u16(pos + 4);
        if (function == 0x020B) // SETWINDOWORG: y, x
            origin = QPoint(s16(pos + 8), s16(pos + 6));
        else if (function == 0x020C) // SETWINDOWEXT: y, x
            extent = QPoint(s16(pos + 8), s16(pos + 6));
        if (origin && extent)
            break;
        pos += qint64(words) * 2;
    }
    if (!extent || extent->x() == 0 || extent->y() == 0)
        return bare;
    const QPoint from = origin.value_or(QPoint());
    const qint64 right = qint64(from.x()) + extent->x(), bottom = qint64(from.y()) + extent->y();
    const qint64 inch = std::llround(std::abs(extent->x()) * 96.0 / size.width());
    if (right < -32768 || right > 32767 || bottom < -32768 || bottom > 32767 || inch < 1 || inch > 65535)
        return bare;
    QByteArray header(22, '\0');
    char* h = header.data();
    qToLittleEndian<quint32>(0x9AC6CDD7, h);
    qToLittleEndian<qint16>(qint16(from.x()), h + 6);
    qToLittleEndian<qint16>(qint16(from.y()), h + 8);
    qToLittleEndian<qint16>(qint16(right), h + 10);
    qToLittleEndian<qint16>(qint16(bottom), h + 12);
    qToLittleEndian<quint16>(quint16(inch), h + 14);
    quint16 checksum = 0;
    for (int i = 0; i < 20; i += 2)
        checksum ^= qFromLittleEndian<quint16>(h + i);
    qToLittleEndian<quint16>(checksum, h + 20);
    return header + bare;
}

// A DIB is a BMP file without its 14-byte file header.
QImage decodedDib(const QByteArray& dib)
{
    if (dib.size() < 40)
        return {};
    const quint32 headerSize = qFromLittleEndian<quint32>(dib.constData());
    const quint16 bits = qFromLittleEndian<quint16>(dib.constData() + 14);
    quint32 colours = headerSize >= 40 ? qFromLittleEndian<quint32>(dib.constData() + 32) : 0;
    if (colours == 0 && bits <= 8)
        colours = 1u << bits;
    const qint64 offset = 14 + qint64(headerSize) + qint64(std::min<quint32>(colours, 256)) * 4;
    QByteArray bmp("BM");
    char field[4];
    qToLittleEndian<quint32>(quint32(14 + dib.size()), field);
    bmp.append(field, 4);
    bmp.append(4, '\0');
    qToLittleEndian<quint32>(quint32(std::min<qint64>(offset, 14 + dib.size())), field);
    bmp.append(field, 4);
    bmp.append(dib);
    // The decoder allocates the declared size before it reads: a size that
    // the data cannot fill is refused first.
    const qint64 width = qFromLittleEndian<qint32>(dib.constData() + 4);
    const qint64 height = std::abs(qint64(qFromLittleEndian<qint32>(dib.constData() + 8)));
    const quint32 compression = qFromLittleEndian<quint32>(dib.constData() + 16);
    const qint64 pixels = width * height;
    const qint64 rowBytes = (width * bits + 31) / 32 * 4;
    const bool plain = compression == 0 || compression == 3;
    const bool runLength = compression == 1 || compression == 2;
    if (width < 1 || pixels > Metafile::maxPixels || !(plain || runLength)
        || (plain && rowBytes * height > dib.size()) || (runLength && pixels > qint64(dib.size()) * 128))
        return {};
    return QImage::fromData(bmp, "bmp");
}

int shownSide(int goalTwips, int scale, int fallback)
{
    const double pixels = goalTwips > 0 ? goalTwips / twipsPerPixel : fallback;
    const double scaled = pixels * std::clamp(scale, 1, 1000) / 100.0;
    return int(std::clamp(std::lround(scaled), 1L, long(maxShownSide)));
}

QSize shownSize(const RtfPict& pict, QSize own)
{
    return QSize(shownSide(pict.goalWidth, pict.scaleX, own.width()), shownSide(pict.goalHeight, pict.scaleY, own.height()));
}

}

DocumentPicture pictureOfPict(const RtfPict& pict, const DrawingTime& time)
{
    DocumentPicture picture;
    QSize own;
    switch (pict.format) {
    case RtfPict::Png:
    case RtfPict::Jpeg:
        picture.bytes = pict.data;
        break;
    case RtfPict::Wmf:
    case RtfPict::Emf: {
        // A metafile's own size is in hundredths of a millimetre.
        if (pict.width > 0 && pict.height > 0)
            own = QSize(int(std::min(pict.width * 96.0 / 2540, double(maxShownSide))),
                        int(std::min(pict.height * 96.0 / 2540, double(maxShownSide))));
        const bool sized = !own.isEmpty() || (pict.goalWidth > 0 && pict.goalHeight > 0);
        picture.bytes = pngBytes(drawnMetafile(pict.format == RtfPict::Wmf && sized
            ? placeable(pict.data, shownSize(pict, own)) : pict.data, time));
        break;
    }
    case RtfPict::Dib: {
        const QImage image = decodedDib(pict.data);
        if (image.isNull())
            refuse(QStringLiteral("damaged bitmap"));
        picture.bytes = pngBytes(image);
        break;
    }
    case RtfPict::Unknown:
        refuse(QStringLiteral("unknown format"));
    }
    picture.natural = encodedSize(picture.bytes);
    if (!picture.natural.isValid())
        refuse(QStringLiteral("damaged or too large"));
    if (own.isEmpty())
        own = picture.natural;
    picture.shown = shownSize(pict, own);
    return picture;
}
