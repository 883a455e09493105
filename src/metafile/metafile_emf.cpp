#include "metafile/emf_player.h"
#include "metafile/metafile_render.h"
#include "metafile/record_reader.h"

namespace Metafile {

namespace {

// The reference device's pixels per millimetre, from the header; 96 DPI
// when the header's sizes make no sense.
QSizeF pixelsPerMm(const RecordReader& header)
{
    const double dx = header.s32(72), dy = header.s32(76), mx = header.s32(80), my = header.s32(84);
    if (dx > 0 && dy > 0 && mx > 0 && my > 0)
        return QSizeF(dx / mx, dy / my);
    return QSizeF(96 / 25.4, 96 / 25.4);
}

// The picture's page in device pixels: the frame (0.01 mm, both corners
// inclusive), or the bounds when the frame is empty.
QRectF pageOnDevice(const RecordReader& header, QSizeF perMm)
{
    const QRectF frame(QPointF(header.s32(24), header.s32(28)), QPointF(header.s32(32) + 1.0, header.s32(36) + 1.0));
    if (frame.width() * 96 / 2540 >= 1 && frame.height() * 96 / 2540 >= 1)
        return QRectF(QPointF(frame.left() * perMm.width() / 100, frame.top() * perMm.height() / 100),
                      QPointF(frame.right() * perMm.width() / 100, frame.bottom() * perMm.height() / 100));
    return QRectF(QPointF(header.s32(8), header.s32(12)), QPointF(header.s32(16) + 1.0, header.s32(20) + 1.0));
}

}

QImage renderEmf(const QByteArray& data, qint64 maxPixels, QSize* natural, QString* why)
{
    const std::optional<QSize> size = headerSize(data);
    if (!size) {
        *why = QStringLiteral("EMF file without a size");
        return {};
    }
    *natural = *size;
    const QSize drawn = drawnSize(*size, maxPixels);
    QImage image(drawn, QImage::Format_RGB32);
    if (image.isNull()) {
        *why = QStringLiteral("EMF picture too large");
        return {};
    }
    image.fill(Qt::white);

    const RecordReader header(data.constData(), std::min<qint64>(data.size(), 108));
    const QSizeF perMm = pixelsPerMm(header);
    const QRectF page = pageOnDevice(header, perMm);
    const QTransform deviceToPicture = QTransform::fromTranslate(-page.left(), -page.top())
        * QTransform::fromScale(drawn.width() / page.width(), drawn.height() / page.height());
    bool played = false;
    {
        Gdi::Canvas canvas(image, deviceToPicture, perMm);
        played = playEmf(data, canvas);
    }
    if (!played) {
        *why = QStringLiteral("damaged EMF file");
        return {};
    }
    return image;
}

}
