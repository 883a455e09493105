#include "metafile/gdi_canvas.h"

#include <QLinearGradient>

namespace Metafile::Gdi {

namespace {

// The raster operations of bitmaps that are more than a copy, as Qt's.
std::optional<QPainter::CompositionMode> sourceMode(quint32 rop)
{
    switch (rop) {
    case 0x008800C6: return QPainter::RasterOp_SourceAndDestination;        // SRCAND
    case 0x00EE0086: return QPainter::RasterOp_SourceOrDestination;         // SRCPAINT
    case 0x00660046: return QPainter::RasterOp_SourceXorDestination;        // SRCINVERT
    case 0x00330008: return QPainter::RasterOp_NotSource;                   // NOTSRCCOPY
    case 0x00440328: return QPainter::RasterOp_SourceAndNotDestination;     // SRCERASE
    case 0x001100A6: return QPainter::RasterOp_NotSourceAndNotDestination;  // NOTSRCERASE
    case 0x00BB0226: return QPainter::RasterOp_NotSourceOrDestination;      // MERGEPAINT
    case 0x00AA0029: return std::nullopt;                                   // the destination as it is
    }
    return QPainter::CompositionMode_SourceOver;
}

}

void Canvas::blit(const QRectF& target, const QImage& bitmap, const QRectF& source, quint32 rop)
{
    QPolygonF corners = toPicture().map(QPolygonF(target));
    QPainterPath area;
    area.addPolygon(corners);
    area.closeSubpath();
    if (bitmap.isNull()) {
        switch (rop) {
        case 0x00F00021: fill(area, dc.brush); break;                       // PATCOPY
        case 0x00000042: painter.fillPath(area, Qt::black); break;          // BLACKNESS
        case 0x00FF0062: painter.fillPath(area, Qt::white); break;          // WHITENESS
        case 0x00550009:                                                    // DSTINVERT
            painter.setCompositionMode(QPainter::RasterOp_NotDestination);
            painter.fillPath(area, Qt::black);
            break;
        case 0x005A0049:                                                    // PATINVERT
            painter.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
            painter.fillPath(area, dc.brush.colour);
            break;
        }
        painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
        return;
    }
    const std::optional<QPainter::CompositionMode> mode = sourceMode(rop);
    if (!mode || target.width() == 0 || target.height() == 0)
        return;
    // A negative extent mirrors the bitmap.
    const QImage shown = bitmap.mirrored(target.width() < 0, target.height() < 0);
    QRectF from = source;
    if (target.width() < 0)
        from.moveLeft(bitmap.width() - source.right());
    if (target.height() < 0)
        from.moveTop(bitmap.height() - source.bottom());
    painter.save();
    painter.setCompositionMode(*mode);
    painter.setTransform(toPicture());
    painter.drawImage(target.normalized(), shown, from);
    painter.restore();
}

void Canvas::gradientRect(const QRectF& box, QColor from, QColor to, bool vertical)
{
    const QTransform t = toPicture();
    const QRectF b = box.normalized();
    QLinearGradient gradient(t.map(b.topLeft()), t.map(vertical ? b.bottomLeft() : b.topRight()));
    gradient.setColorAt(0, from);
    gradient.setColorAt(1, to);
    QPainterPath area;
    area.addPolygon(t.map(QPolygonF(b)));
    painter.fillPath(area, gradient);
}

void Canvas::gradientTriangle(const QPolygonF& corners, QColor colour)
{
    QPainterPath area;
    area.addPolygon(toPicture().map(corners));
    area.closeSubpath();
    painter.fillPath(area, colour);
}

}
