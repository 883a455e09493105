#include "metafile_render.h"

#include <QPainter>
#include <QSvgRenderer>
#include <QtEndian>

#include <emf2svg.h>

#include <cmath>
#include <cstdlib>

namespace Metafile {

namespace {


qint32 s32(const QByteArray& d, qint64 at) { return qFromLittleEndian<qint32>(d.constData() + at); }

}

QImage renderEmf(const QByteArray& data, QString* why)
{
    // The frame is in hundredths of a millimetre, both corners inclusive; the
    // bounds in device pixels serve when a writer left the frame empty.
    double width = (double(s32(data, 32)) - s32(data, 24) + 1) * 96.0 / 2540.0;
    double height = (double(s32(data, 36)) - s32(data, 28) + 1) * 96.0 / 2540.0;
    if (width < 1 || height < 1) {
        width = double(s32(data, 16)) - s32(data, 8) + 1;
        height = double(s32(data, 20)) - s32(data, 12) + 1;
    }
    if (!(width >= 0.5 && height >= 0.5)) {
        *why = QStringLiteral("EMF file without a size");
        return {};
    }
    const qint64 w = std::llround(width), h = std::llround(height);
    if (w * h > maxPixels) {
        *why = QStringLiteral("EMF picture too large");
        return {};
    }

    generatorOptions options{};
    // With a prefix the library closes some elements without it, which is not XML.
    options.nameSpace = const_cast<char*>("");
    options.verbose = false;
    // The EMF+ parser reads past its buffers on damaged records; every EMF+
    // file also carries plain EMF records, which are drawn instead.
    options.emfplus = false;
    options.svgDelimiter = true;
    options.imgWidth = double(w);
    options.imgHeight = double(h);
    QByteArray input = data;
    char* svg = nullptr;
    size_t svgLength = 0;
    const int ok = emf2svg(input.data(), size_t(input.size()), &svg, &svgLength, &options);
    const QByteArray document(svg, svg ? qsizetype(svgLength) : 0);
    std::free(svg);
    if (!ok || document.isEmpty()) {
        *why = QStringLiteral("damaged EMF file");
        return {};
    }

    QSvgRenderer renderer(document);
    if (!renderer.isValid()) {
        *why = QStringLiteral("damaged EMF file");
        return {};
    }
    QImage image(int(w), int(h), QImage::Format_RGB32);
    if (image.isNull()) {
        *why = QStringLiteral("EMF picture too large");
        return {};
    }
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    renderer.render(&painter, QRectF(0, 0, w, h));
    painter.end();
    return image;
}

}
