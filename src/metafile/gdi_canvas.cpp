#include "metafile/gdi_canvas.h"
#include "metafile/stroke_geometry.h"

#include <cmath>

namespace Metafile::Gdi {

namespace {

double unitLength(const QTransform& t, QPointF along)
{
    const QPointF v = t.map(along) - t.map(QPointF(0, 0));
    return std::hypot(v.x(), v.y());
}

// Qt's angle of a point on an ellipse: counter-clockwise from three
// o'clock, on the circle the ellipse is squeezed from.
double ellipseAngle(const QRectF& box, QPointF at)
{
    const QPointF c = box.center();
    const double rx = box.width() / 2, ry = box.height() / 2;
    if (rx == 0 || ry == 0)
        return 0;
    return std::atan2(-(at.y() - c.y()) / ry, (at.x() - c.x()) / rx) * 180 / M_PI;
}

QPainterPath rectPath(const QPolygonF& corners)
{
    QPainterPath out;
    out.addPolygon(corners);
    out.closeSubpath();
    return out;
}

}

Canvas::Canvas(QImage& picture, const QTransform& deviceToPicture, QSizeF pixelsPerMm)
    : image(picture), painter(&picture), device(deviceToPicture), pixelsPerMm(pixelsPerMm),
      page(0, 0, picture.width(), picture.height())
{
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    objects.resize(16);
}

QTransform Canvas::toPicture() const
{
    return dc.world * pageTransform(dc, pixelsPerMm) * device;
}

void Canvas::save()
{
    // Files that save without restoring would grow this without end.
    if (saved.size() < maxSavedStates)
        saved.push_back(dc);
}

void Canvas::restore(int which)
{
    const qint64 level = which < 0 ? qint64(saved.size()) + which + 1 : which;
    if (level < 1 || level > qint64(saved.size()))
        return;
    dc = saved[size_t(level - 1)];
    saved.resize(size_t(level - 1));
    applyClip();
}

void Canvas::create(quint32 index, Object object)
{
    // Windows numbers objects from 1; a file needs no more than 16 bits' worth.
    if (index == 0 || index > 0xFFFF)
        return;
    if (index >= objects.size())
        objects.resize(index + 1);
    objects[index] = std::move(object);
}

const Object* Canvas::object(quint32 index) const
{
    return index < objects.size() ? &objects[index] : nullptr;
}

void Canvas::select(quint32 index)
{
    std::optional<Object> stock;
    const Object* chosen = nullptr;
    if (index & 0x80000000) {
        stock = stockObject(index);
        chosen = stock ? &*stock : nullptr;
    } else {
        chosen = object(index);
    }
    if (!chosen)
        return;
    if (const auto* pen = std::get_if<Pen>(chosen))
        dc.pen = *pen;
    else if (const auto* brush = std::get_if<Brush>(chosen))
        dc.brush = *brush;
    else if (const auto* font = std::get_if<Font>(chosen))
        dc.font = *font;
}

void Canvas::remove(quint32 index)
{
    if (index < objects.size())
        objects[index] = std::monostate{};
}

void Canvas::beginPath()
{
    path = {};
    pathOpen = true;
    figureOpen = false;
}

void Canvas::abortPath()
{
    path = {};
    pathOpen = figureOpen = false;
}

void Canvas::closeFigure()
{
    if (pathOpen)
        path.closeSubpath();
    figureOpen = false;
}

void Canvas::drawPath(bool fill, bool stroke)
{
    path.setFillRule(dc.fillRule);
    paint(path, fill, stroke);
    abortPath();
}

void Canvas::selectClipPath(int mode)
{
    path.setFillRule(dc.fillRule);
    const QPainterPath pixels = path;
    abortPath();
    clipRegion(device.inverted().map(pixels), mode);
}

void Canvas::clipRect(const QRectF& rect, bool exclude)
{
    const QPainterPath area = rectPath(toPicture().map(QPolygonF(rect.normalized())));
    const QPainterPath base = dc.clip.value_or(rectPath(page));
    dc.clip = exclude ? base.subtracted(area) : base.intersected(area);
    applyClip();
}

void Canvas::clipRegion(const std::optional<QPainterPath>& region, int mode)
{
    constexpr int rgnAnd = 1, rgnOr = 2, rgnXor = 3, rgnDiff = 4, rgnCopy = 5;
    if (!region) {
        if (mode == rgnCopy) {
            dc.clip.reset();
            applyClip();
        }
        return;
    }
    const QPainterPath area = device.map(*region);
    const QPainterPath base = dc.clip.value_or(rectPath(page));
    switch (mode) {
    case rgnAnd: dc.clip = base.intersected(area); break;
    case rgnOr: dc.clip = base.united(area); break;
    case rgnXor: dc.clip = base.united(area).subtracted(base.intersected(area)); break;
    case rgnDiff: dc.clip = base.subtracted(area); break;
    case rgnCopy: dc.clip = area; break;
    default: return;
    }
    applyClip();
}

void Canvas::offsetClip(QPointF by)
{
    if (!dc.clip)
        return;
    const QTransform t = toPicture();
    dc.clip->translate(t.map(by) - t.map(QPointF(0, 0)));
    applyClip();
}

void Canvas::applyClip()
{
    if (dc.clip)
        painter.setClipPath(*dc.clip);
    else
        painter.setClipping(false);
}

void Canvas::addShape(const QPainterPath& logical, bool closed)
{
    QPainterPath pixels = toPicture().map(logical);
    if (pathOpen) {
        path.addPath(pixels);
        figureOpen = false;
        return;
    }
    pixels.setFillRule(dc.fillRule);
    paint(pixels, closed, true);
}

void Canvas::moveTo(QPointF to)
{
    dc.position = to;
    figureOpen = false;
}

void Canvas::lineTo(QPointF to)
{
    polyline(QPolygonF{to}, true);
}

void Canvas::polyline(const QPolygonF& points, bool fromPosition)
{
    if (points.isEmpty())
        return;
    QPainterPath logical;
    logical.moveTo(fromPosition ? dc.position : points.first());
    for (qsizetype i = fromPosition ? 0 : 1; i < points.size(); ++i)
        logical.lineTo(points[i]);
    if (!fromPosition) {
        addShape(logical, false);
        return;
    }
    dc.position = points.last();
    continueFigure(logical);
}

void Canvas::beziers(const QPolygonF& points, bool fromPosition)
{
    const qsizetype first = fromPosition ? 0 : 1;
    if (points.size() < first + 3)
        return;
    QPainterPath logical;
    logical.moveTo(fromPosition ? dc.position : points.first());
    for (qsizetype i = first; i + 2 < points.size(); i += 3)
        logical.cubicTo(points[i], points[i + 1], points[i + 2]);
    if (!fromPosition) {
        addShape(logical, false);
        return;
    }
    dc.position = logical.currentPosition();
    continueFigure(logical);
}

void Canvas::continueFigure(const QPainterPath& logical)
{
    const QPainterPath pixels = toPicture().map(logical);
    if (!pathOpen) {
        paint(pixels, false, true);
    } else if (figureOpen) {
        path.connectPath(pixels);
    } else {
        path.addPath(pixels);
        figureOpen = true;
    }
}

void Canvas::polygons(const std::vector<QPolygonF>& polygons)
{
    QPainterPath logical;
    for (const QPolygonF& polygon : polygons) {
        if (polygon.size() < 2)
            continue;
        logical.addPolygon(polygon);
        logical.closeSubpath();
    }
    addShape(logical, true);
}

void Canvas::polylines(const std::vector<QPolygonF>& lines)
{
    QPainterPath logical;
    for (const QPolygonF& line : lines)
        logical.addPolygon(line);
    addShape(logical, false);
}

void Canvas::polyDraw(const QPolygonF& points, const QByteArray& kinds)
{
    constexpr char close = 1, line = 2, bezier = 4, move = 6;
    QPainterPath logical;
    logical.moveTo(dc.position);
    for (qsizetype i = 0; i < points.size() && i < kinds.size(); ++i) {
        const char kind = char(kinds[i] & ~close);
        if (kind == move) {
            logical.moveTo(points[i]);
        } else if (kind == line) {
            logical.lineTo(points[i]);
        } else if (kind == bezier && i + 2 < points.size()) {
            logical.cubicTo(points[i], points[i + 1], points[i + 2]);
            i += 2;
        }
        if (i < kinds.size() && (kinds[i] & close))
            logical.closeSubpath();
    }
    dc.position = logical.currentPosition();
    addShape(logical, false);
}

void Canvas::rectangle(const QRectF& box, QSizeF corner)
{
    QPainterPath logical;
    if (corner.isEmpty())
        logical.addRect(box.normalized());
    else
        logical.addRoundedRect(box.normalized(), std::abs(corner.width()) / 2, std::abs(corner.height()) / 2);
    addShape(logical, true);
}

void Canvas::ellipse(const QRectF& box)
{
    QPainterPath logical;
    logical.addEllipse(box.normalized());
    addShape(logical, true);
}

void Canvas::arc(const QRectF& given, QPointF start, QPointF end, Arc kind)
{
    const QRectF box = given.normalized();
    const double from = ellipseAngle(box, start), to = ellipseAngle(box, end);
    double sweep = std::fmod(dc.clockwise ? from - to : to - from, 360.0);
    if (sweep <= 0)
        sweep += 360;
    if (dc.clockwise)
        sweep = -sweep;
    QPainterPath logical;
    if (kind == Arc::pie)
        logical.moveTo(box.center());
    else if (kind == Arc::to)
        logical.moveTo(dc.position);
    else
        logical.arcMoveTo(box, from);
    logical.arcTo(box, from, sweep);
    if (kind == Arc::chord || kind == Arc::pie) {
        logical.closeSubpath();
        addShape(logical, true);
        return;
    }
    if (kind != Arc::to) {
        addShape(logical, false);
        return;
    }
    // ArcTo draws from the current position on, as a line would.
    const QPolygonF along = logical.toSubpathPolygons().value(0);
    polyline(along.mid(1), true);
}

void Canvas::angleArc(QPointF centre, double radius, double start, double sweep)
{
    const QRectF box(centre.x() - radius, centre.y() - radius, 2 * radius, 2 * radius);
    QPainterPath logical;
    logical.moveTo(dc.position);
    logical.arcTo(box, start, std::clamp(sweep, -3600.0, 3600.0));
    const QPolygonF along = logical.toSubpathPolygons().value(0);
    polyline(along.mid(1), true);
}

void Canvas::setPixel(QPointF at, QColor colour)
{
    const QPointF p = toPicture().map(at);
    const double size = std::max(1.0, unitLength(device, {1, 0}));
    painter.fillRect(QRectF(std::floor(p.x()), std::floor(p.y()), size, size), colour);
}

void Canvas::fillRegion(const QPainterPath& region, const Brush& brush)
{
    if (!ropDrawsNothing())
        fill(toPicture().map(region), brush);
}

void Canvas::frameRegion(const QPainterPath& region, const Brush& brush, QSizeF nib)
{
    const double width = std::max(1.0, unitLength(toPicture(), {nib.width(), 0}));
    painter.strokePath(toPicture().map(region).simplified(), QPen(brush.colour, std::min(width, 2 * (page.width() + page.height()))));
}

void Canvas::paint(const QPainterPath& given, bool fill, bool stroke)
{
    if (ropDrawsNothing())
        return;
    stroke = stroke && !dc.pen.null();
    // What lies beyond the pen's reach off the page is never seen.
    const double reach = stroke ? 2 * penWidth() + 2 : 2;
    const QRectF area = page.adjusted(-reach, -reach, reach, reach);
    const QPainterPath pixels = curvesNear(given, area);
    // Filled spans are cheap a pixel; a pen's outline costs its width.
    const QRectF covered = pixels.controlPointRect().intersected(page);
    const double outline = drawingCost(pixels, page);
    const double cost = (fill ? outline + covered.width() * covered.height() / 64 : 0)
        + (stroke ? outline * (1 + std::min(penWidth(), page.width() + page.height()) / 8) : 0);
    if (!Budget::spend(budget.work, qint64(cost)))
        return;
    setRop();
    // Smoothing the edges of a shape of many points costs many times
    // drawing them: its points are closer than a pixel's smoothing shows.
    // Qt smooths a shape tens of thousands of rows tall a minute or more.
    constexpr double smoothedRows = 8192;
    painter.setRenderHint(QPainter::Antialiasing, pixels.elementCount() < 1000 && covered.height() <= smoothedRows);
    if (fill)
        this->fill(fillWithin(pixels, area), dc.brush);
    if (stroke) {
        const QPainterPath seen = linesWithin(pixels, area);
        painter.strokePath(seen, qtPen(seen));
    }
    painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
}

void Canvas::fill(const QPainterPath& pixels, const Brush& brush)
{
    switch (brush.kind) {
    case Brush::null:
        return;
    case Brush::solid:
        painter.fillPath(pixels, brush.colour);
        return;
    case Brush::hatched: {
        static constexpr Qt::BrushStyle styles[] = {Qt::HorPattern, Qt::VerPattern, Qt::FDiagPattern,
                                                    Qt::BDiagPattern, Qt::CrossPattern, Qt::DiagCrossPattern};
        if (dc.opaqueBackground)
            painter.fillPath(pixels, dc.backColour);
        painter.fillPath(pixels, QBrush(brush.colour, brush.hatch >= 0 && brush.hatch < 6 ? styles[brush.hatch] : Qt::SolidPattern));
        return;
    }
    case Brush::pattern:
        painter.fillPath(pixels, brush.image.isNull() ? QBrush(brush.colour) : QBrush(brush.image));
        return;
    }
}

double Canvas::penWidth() const
{
    const bool geometric = dc.pen.style & 0x10000;
    const double limit = maxSizeAgainstPage * std::max(page.width(), page.height());
    return std::min(limit, geometric ? std::max(1.0, dc.pen.width * unitLength(toPicture(), {1, 0})) : 1.0);
}

QPen Canvas::qtPen(const QPainterPath& pixels)
{
    const Pen& pen = dc.pen;
    const QTransform t = toPicture();
    const bool geometric = pen.style & 0x10000;
    const double width = penWidth();
    QPen out(pen.colour, width);
    // The painter draws in the picture's pixels already; a cosmetic pen
    // takes Qt's quick way for thin lines.
    out.setCosmetic(true);
    static constexpr Qt::PenCapStyle caps[] = {Qt::RoundCap, Qt::SquareCap, Qt::FlatCap};
    static constexpr Qt::PenJoinStyle joins[] = {Qt::RoundJoin, Qt::BevelJoin, Qt::MiterJoin};
    out.setCapStyle(geometric && ((pen.style >> 8) & 0xF) < 3 ? caps[(pen.style >> 8) & 0xF] : Qt::FlatCap);
    out.setJoinStyle(geometric && ((pen.style >> 12) & 0xF) < 3 ? joins[(pen.style >> 12) & 0xF] : Qt::MiterJoin);

    QList<qreal> dashes;
    const bool thin = width < 1.5;
    switch (pen.style & 0xF) {
    case 1: dashes = thin ? QList<qreal>{18, 6} : QList<qreal>{3, 1}; break;
    case 2: dashes = thin ? QList<qreal>{3, 3} : QList<qreal>{1, 1}; break;
    case 3: dashes = thin ? QList<qreal>{9, 6, 3, 6} : QList<qreal>{3, 1, 1, 1}; break;
    case 4: dashes = thin ? QList<qreal>{9, 3, 3, 3, 3, 3} : QList<qreal>{3, 1, 1, 1, 1, 1}; break;
    case 7:
        for (const double dash : pen.userDashes)
            dashes << std::max(0.1, dash * unitLength(t, {1, 0}) / width);
        break;
    case 8: dashes = {1, 1}; break;
    }
    if (dashes.size() % 2)
        dashes.append(dashes);
    if (dashes.isEmpty())
        return out;
    // Dashes cost a path of their own each: past the budget lines are solid.
    double period = 0;
    for (const qreal dash : dashes)
        period += dash * width;
    if (period > 0 && Budget::spend(budget.dashes, qint64(pixels.length() / period) + 1)) {
        out.setDashPattern(dashes);
        if (!thin)
            out.setCapStyle(Qt::FlatCap);
    }
    return out;
}

bool Canvas::ropDrawsNothing() const
{
    return dc.rop2 == 11; // R2_NOP
}

void Canvas::setRop()
{
    switch (dc.rop2) {
    case 6: painter.setCompositionMode(QPainter::RasterOp_NotDestination); break;          // R2_NOT
    case 7: painter.setCompositionMode(QPainter::RasterOp_SourceXorDestination); break;    // R2_XORPEN
    case 9: painter.setCompositionMode(QPainter::RasterOp_SourceAndDestination); break;    // R2_MASKPEN
    case 15: painter.setCompositionMode(QPainter::RasterOp_SourceOrDestination); break;    // R2_MERGEPEN
    default: painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    }
}

}
