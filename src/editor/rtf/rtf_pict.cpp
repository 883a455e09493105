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
// No picture is shown larger than this many pixels a side, whatever the file
// asks for.
constexpr int maxShownSide = 20000;

QImage drawnMetafile(const QByteArray& data)
{
    if (!Metafile::headerSize(data))
        return {};
    QTemporaryFile file;
    if (!file.open() || file.write(data) != data.size() || !file.flush())
        return {};
    try {
        return drawMetafile(file.fileName(), nullptr);
    } catch (const PxError&) {
        return {};
    }
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
    const QSize declared(qFromLittleEndian<qint32>(dib.constData() + 4), qFromLittleEndian<qint32>(dib.constData() + 8));
    if (qint64(declared.width()) * std::abs(qint64(declared.height())) > Metafile::maxPixels)
        return {};
    return QImage::fromData(bmp, "bmp");
}

int shownSide(int goalTwips, int scale, int fallback)
{
    const double pixels = goalTwips > 0 ? goalTwips / twipsPerPixel : fallback;
    const double scaled = pixels * std::clamp(scale, 1, 1000) / 100.0;
    return int(std::clamp(std::lround(scaled), 1L, long(maxShownSide)));
}

}

std::optional<DocumentPicture> pictureOfPict(const RtfPict& pict)
{
    DocumentPicture picture;
    // A metafile's own size is hundredths of a millimetre.
    QSize own;
    switch (pict.format) {
    case RtfPict::Png:
    case RtfPict::Jpeg:
        picture.bytes = pict.data;
        break;
    case RtfPict::Wmf:
    case RtfPict::Emf: {
        const QImage image = drawnMetafile(pict.data);
        if (image.isNull())
            return std::nullopt;
        picture.bytes = pngBytes(image);
        if (pict.width > 0 && pict.height > 0)
            own = QSize(int(std::min(pict.width * 96.0 / 2540, double(maxShownSide))),
                        int(std::min(pict.height * 96.0 / 2540, double(maxShownSide))));
        break;
    }
    case RtfPict::Dib: {
        const QImage image = decodedDib(pict.data);
        if (image.isNull())
            return std::nullopt;
        picture.bytes = pngBytes(image);
        break;
    }
    case RtfPict::Unknown:
        return std::nullopt;
    }
    picture.natural = encodedSize(picture.bytes);
    if (!picture.natural.isValid())
        return std::nullopt;
    if (own.isEmpty())
        own = picture.natural;
    picture.shown = QSize(shownSide(pict.goalWidth, pict.scaleX, own.width()),
                          shownSide(pict.goalHeight, pict.scaleY, own.height()));
    return picture;
}
