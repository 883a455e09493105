#include "metafile/metafile_render.h"

#include <QPainter>
#include <QSvgRenderer>

#include <emf2svg.h>

#include <cstdlib>

namespace Metafile {

QImage renderEmf(const QByteArray& data, qint64 maxPixels, QSize* natural, QString* why)
{
    const std::optional<QSize> size = headerSize(data);
    if (!size) {
        *why = QStringLiteral("EMF file without a size, or too large");
        return {};
    }
    *natural = *size;
    const QSize drawn = drawnSize(*size, maxPixels);
    const qint64 w = drawn.width(), h = drawn.height();

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
