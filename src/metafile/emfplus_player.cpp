#include "metafile/emfplus_player.h"

#include <cmath>

namespace Metafile::EmfPlus {

namespace {

enum Record : quint16 {
    header = 0x4001, getDc = 0x4004, objectRecord = 0x4008, clear = 0x4009, fillRects, drawRects, fillPolygon, drawLines, fillEllipse,
    drawEllipse, fillPie, drawPie, drawArc, fillRegion, fillPath, drawPath, fillClosedCurve, drawClosedCurve,
    drawCurve, drawBeziers, drawImage = 0x401A, drawImagePoints, drawString, saveRecord = 0x4025, restoreRecord, beginContainer, beginContainerNoParams,
    endContainer, setWorldTransform, resetWorldTransform, multiplyWorldTransform, translateWorldTransform,
    scaleWorldTransform, rotateWorldTransform, setPageTransform, resetClip, setClipRect, setClipPath, setClipRegion,
    offsetClip,
};
constexpr quint16 colourFlag = 0x8000, compressedFlag = 0x4000, relativeFlag = 0x0800, closedFlag = 0x2000,
                  appendFlag = 0x2000, continuedFlag = 0x8000;

Shape rects(const RecordReader& r, qint64 at, bool compressed)
{
    const qint64 count = std::min<qint64>(r.u32(at), Gdi::maxRecordPoints / 4);
    const qint64 size = compressed ? 8 : 16;
    Shape out;
    for (qint64 i = 0; i < count && r.has(at + 4 + size * i, size); ++i) {
        QPainterPath p;
        p.addRect(readRect(r, at + 4 + size * i, compressed));
        out.add(p);
    }
    return out;
}

Shape ellipse(const QRectF& box)
{
    QPainterPath p;
    p.addEllipse(box);
    Shape out;
    out.add(p);
    return out;
}

// An arc of the ellipse in box, from start clockwise by sweep degrees, as
// the page shows it with y growing downwards; a pie closes it at the centre.
Shape arc(const QRectF& box, double start, double sweep, bool pie)
{
    QPainterPath p;
    if (pie)
        p.moveTo(box.center());
    else
        p.arcMoveTo(box, -start);
    p.arcTo(box, -start, -std::clamp(sweep, -360.0, 360.0));
    Shape out;
    out.add(p);
    if (!pie)
        out.kinds.back() = char(out.kinds.back() & ~1);
    return out;
}

Shape lines(const QPolygonF& points, bool closed)
{
    Shape out;
    out.points = points;
    out.kinds = QByteArray(points.size(), 2);
    if (!points.isEmpty()) {
        out.kinds[0] = 6;
        if (closed)
            out.kinds.back() = char(2 | 1);
    }
    return out;
}

// A cardinal spline through points as Béziers, GDI+'s curve of that tension;
// of segments from offset, or closed.
Shape curve(const QPolygonF& p, double tension, qint64 offset, qint64 segments, bool closed)
{
    const qint64 n = p.size();
    Shape out;
    if (n < 2)
        return out;
    const auto at = [&](qint64 i) { return closed ? p[((i % n) + n) % n] : p[std::clamp<qint64>(i, 0, n - 1)]; };
    const qint64 first = closed ? 0 : std::clamp<qint64>(offset, 0, n - 2);
    const qint64 last = closed ? n : std::min(first + segments, n - 1);
    out.points << at(first);
    out.kinds += char(6);
    for (qint64 i = first; i < last; ++i) {
        out.points << at(i) + (at(i + 1) - at(i - 1)) * tension / 3 << at(i + 1) - (at(i + 2) - at(i)) * tension / 3
                   << at(i + 1);
        out.kinds += QByteArray(3, 4);
    }
    if (closed)
        out.kinds.back() = char(4 | 1);
    return out;
}

}

void Player::play(const RecordReader& comment)
{
    const qint64 size = std::min<qint64>(comment.u32(8) + 12, comment.length());
    if (size < 16 || comment.u32(12) != 0x2B464D45) // "EMF+"
        return;
    for (qint64 at = 16; at + 12 <= size;) {
        const quint32 recordSize = comment.u32(at + 4);
        if (recordSize < 12 || recordSize > size - at)
            return;
        const qint64 dataSize = std::min<qint64>(comment.u32(at + 8), recordSize - 12);
        const QByteArray data = comment.bytes(at + 12, dataSize);
        record(comment.u16(at), comment.u16(at + 2), RecordReader(data.constData(), data.size()));
        at += recordSize;
    }
}

void Player::record(quint16 type, quint16 flags, const RecordReader& r)
{
    if (canvas.budget.work <= 0)
        return;
    updateWorld();
    const bool compressed = flags & compressedFlag;
    const Gdi::Pen* pen = get<Gdi::Pen>(flags & 0xFF);
    const std::optional<Gdi::Brush> fill = brush(flags, r.u32(0));
    switch (type) {
    case header:
        if (r.u32(8) > 0 && r.u32(12) > 0)
            dpi = QSizeF(r.u32(8), r.u32(12));
        break;
    case getDc:
        // EMF records follow, in the GDI's own coordinates until the next EMF+ record.
        canvas.dc.world.reset();
        return;
    case objectRecord: object(flags, r); break;
    case fillRects: if (fill) draw(rects(r, 4, compressed), &*fill, nullptr); break;
    case drawRects: if (pen) draw(rects(r, 0, compressed), nullptr, pen); break;
    case fillPolygon:
        if (fill)
            draw(lines(readPoints(r, 8, r.u32(4), compressed, flags & relativeFlag), true), &*fill, nullptr);
        break;
    case drawLines:
        if (pen)
            draw(lines(readPoints(r, 4, r.u32(0), compressed, flags & relativeFlag), flags & closedFlag), nullptr, pen);
        break;
    case fillEllipse: if (fill) draw(ellipse(readRect(r, 4, compressed)), &*fill, nullptr); break;
    case drawEllipse: if (pen) draw(ellipse(readRect(r, 0, compressed)), nullptr, pen); break;
    case fillPie: if (fill) draw(arc(readRect(r, 12, compressed), r.f32(4), r.f32(8), true), &*fill, nullptr); break;
    case drawPie: case drawArc:
        if (pen)
            draw(arc(readRect(r, 8, compressed), r.f32(0), r.f32(4), type == drawPie), nullptr, pen);
        break;
    case fillPath:
        if (const Shape* shape = get<Shape>(flags & 0xFF); shape && fill)
            draw(*shape, &*fill, nullptr);
        break;
    case drawPath:
        if (const Shape* shape = get<Shape>(flags & 0xFF); shape && get<Gdi::Pen>(r.u32(0)))
            draw(*shape, nullptr, get<Gdi::Pen>(r.u32(0)));
        break;
    case fillRegion:
        if (const Region* region = get<Region>(flags & 0xFF); region && fill && !region->infinite)
            draw(region->shape, &*fill, nullptr);
        break;
    case fillClosedCurve:
        if (fill)
            draw(curve(readPoints(r, 12, r.u32(8), compressed, flags & relativeFlag), r.f32(4), 0, 0, true), &*fill, nullptr);
        break;
    case drawClosedCurve:
        if (pen)
            draw(curve(readPoints(r, 8, r.u32(4), compressed, flags & relativeFlag), r.f32(0), 0, 0, true), nullptr, pen);
        break;
    case drawCurve:
        if (pen)
            draw(curve(readPoints(r, 16, r.u32(12), compressed, false), r.f32(0), r.u32(4), r.u32(8), false), nullptr, pen);
        break;
    case drawBeziers:
        if (pen) {
            Shape shape = lines(readPoints(r, 4, r.u32(0), compressed, flags & relativeFlag), false);
            shape.kinds.fill(4);
            if (!shape.kinds.isEmpty())
                shape.kinds[0] = 6;
            draw(shape, nullptr, pen);
        }
        break;
    case drawImage: case drawImagePoints:
        if (const QImage* image = get<QImage>(flags & 0xFF)) {
            const QRectF to = readRect(r, 24, compressed);
            const QPolygonF corners = type == drawImage ? QPolygonF{to.topLeft(), to.topRight(), to.bottomLeft()}
                                                        : readPoints(r, 28, std::min<quint32>(r.u32(24), 3), compressed, flags & relativeFlag);
            if (corners.size() == 3)
                drawBitmap(*image, readRect(r, 8, false), corners);
        }
        break;
    case Record::drawString: drawString(flags, r); break;
    case saveRecord: case beginContainerNoParams: save(r.u32(0)); break;
    case beginContainer: {
        // The source rectangle shown on the destination, in the page's units.
        const QRectF to = readRect(r, 0, false), from = readRect(r, 16, false);
        save(r.u32(32));
        if (from.width() != 0 && from.height() != 0) {
            const double unit = unitPixels(flags & 0xFF, dpi.width()) / unitPixels(now.pageUnit, dpi.width()) / now.pageScale;
            now.world = QTransform::fromTranslate(-from.left(), -from.top())
                * QTransform::fromScale(to.width() * unit / from.width(), to.height() * unit / from.height())
                * QTransform::fromTranslate(to.left() * unit, to.top() * unit) * now.world;
            updateWorld();
        }
        break;
    }
    case restoreRecord: case endContainer: restore(r.u32(0)); break;
    case setWorldTransform: case resetWorldTransform: case multiplyWorldTransform: case translateWorldTransform:
    case scaleWorldTransform: case rotateWorldTransform: case setPageTransform:
        transformRecord(type, flags, r);
        break;
    case resetClip: canvas.clipRegion(std::nullopt, 5); break;
    case setClipRect: {
        Shape shape;
        QPainterPath p;
        p.addRect(readRect(r, 0, false));
        shape.add(p);
        clip(&shape, (flags >> 8) & 0xF);
        break;
    }
    case setClipPath: clip(get<Shape>(flags & 0xFF), (flags >> 8) & 0xF); break;
    case setClipRegion:
        if (const Region* region = get<Region>(flags & 0xFF))
            clip(region->infinite ? nullptr : &region->shape, (flags >> 8) & 0xF);
        break;
    case offsetClip: canvas.offsetClip(canvas.dc.world.map(QPointF(r.f32(0), r.f32(4))) - canvas.dc.world.map(QPointF())); break;
    }
}

void Player::object(quint16 flags, const RecordReader& r)
{
    // An object too large for one record goes on in the next ones: not drawn.
    if (flags & continuedFlag)
        return;
    objects[flags & 0x3F] = readObject((flags >> 8) & 0x7F, r);
}

void Player::transformRecord(quint16 type, quint16 flags, const RecordReader& r)
{
    QTransform t;
    switch (type) {
    case setPageTransform:
        now.pageUnit = flags & 0xFF;
        now.pageScale = r.f32(0) > 0 ? r.f32(0) : 1;
        updateWorld();
        return;
    case setWorldTransform: now.world = QTransform(r.f32(0), r.f32(4), r.f32(8), r.f32(12), r.f32(16), r.f32(20)); updateWorld(); return;
    case resetWorldTransform: now.world.reset(); updateWorld(); return;
    case multiplyWorldTransform: t = QTransform(r.f32(0), r.f32(4), r.f32(8), r.f32(12), r.f32(16), r.f32(20)); break;
    case translateWorldTransform: t.translate(r.f32(0), r.f32(4)); break;
    case scaleWorldTransform: t.scale(r.f32(0), r.f32(4)); break;
    case rotateWorldTransform: t.rotate(r.f32(0)); break;
    }
    now.world = (flags & appendFlag) ? now.world * t : t * now.world;
    updateWorld();
}

void Player::updateWorld()
{
    const double sx = now.pageScale * unitPixels(now.pageUnit, dpi.width());
    const double sy = now.pageScale * unitPixels(now.pageUnit, dpi.height());
    canvas.dc.world = now.world * QTransform::fromScale(sx, sy);
}

void Player::save(quint32 index)
{
    // As many as the canvas keeps, so that each restores its own.
    if (saved.size() >= Gdi::maxSavedStates)
        return;
    canvas.save();
    saved.emplace_back(index, now);
}

void Player::restore(quint32 index)
{
    for (size_t i = saved.size(); i-- > 0;) {
        if (saved[i].first != index)
            continue;
        canvas.restore(-int(saved.size() - i));
        now = saved[i].second;
        saved.resize(i);
        updateWorld();
        return;
    }
}

void Player::clip(const Shape* shape, int combine)
{
    // Replace, intersect, union, XOR, exclude, complement as RGN_COPY .. RGN_DIFF.
    static constexpr int modes[] = {5, 1, 2, 3, 4, 4};
    const int mode = combine < 6 ? modes[combine] : 5;
    if (!shape) {
        if (mode == 5 || mode == 2)
            canvas.clipRegion(std::nullopt, 5);
        return;
    }
    if (!Gdi::Budget::spend(canvas.budget.work, shape->points.size()))
        return;
    canvas.beginPath();
    canvas.polyDraw(shape->points, shape->kinds);
    canvas.endPath();
    canvas.selectClipPath(mode);
}

void Player::draw(const Shape& shape, const Gdi::Brush* fill, const Gdi::Pen* pen)
{
    // Laying out a path costs its points, even where none of it shows.
    if (shape.points.isEmpty() || !Gdi::Budget::spend(canvas.budget.work, shape.points.size()))
        return;
    Gdi::DeviceContext& dc = canvas.dc;
    dc.brush = fill ? *fill : Gdi::Brush();
    dc.pen = pen ? *pen : Gdi::Pen();
    if (!fill)
        dc.brush.kind = Gdi::Brush::null;
    if (!pen)
        dc.pen.style = 5;
    dc.opaqueBackground = false;
    dc.fillRule = shape.fillRule;
    dc.rop2 = 13;
    canvas.beginPath();
    canvas.polyDraw(shape.points, shape.kinds);
    canvas.endPath();
    canvas.drawPath(fill != nullptr, pen != nullptr);
}

void Player::drawBitmap(const QImage& image, const QRectF& source, const QPolygonF& corners)
{
    // Its pixels once, whatever size it is shown at.
    if (!Gdi::Budget::spend(canvas.budget.work, qint64(image.width()) * image.height() / 64 + 1))
        return;
    // The unit square onto the parallelogram of the top-left, top-right and bottom-left corners.
    const QPointF a = corners[0], b = corners[1], c = corners[2];
    canvas.dc.world = QTransform(b.x() - a.x(), b.y() - a.y(), c.x() - a.x(), c.y() - a.y(), a.x(), a.y()) * canvas.dc.world;
    canvas.blit(QRectF(0, 0, 1, 1), image, source.intersected(QRectF(image.rect())), 0x00CC0020);
    updateWorld();
}

void Player::drawString(quint16 flags, const RecordReader& r)
{
    const Font* font = get<Font>(flags & 0xFF);
    const std::optional<Gdi::Brush> colour = brush(flags, r.u32(0));
    const StringFormat* format = get<StringFormat>(r.u32(4));
    if (!font || !colour || !(font->em > 0))
        return;
    const QByteArray bytes = r.bytes(28, 2 * std::min<qint64>(r.u32(8), 0x10000));
    const QRectF box = readRect(r, 12, false);
    Gdi::DeviceContext& dc = canvas.dc;
    // A font of other units than the world's is sized on the page.
    const double em = font->unit == 0 ? font->em
        : font->em * unitPixels(font->unit, dpi.height()) / unitPixels(now.pageUnit, dpi.height()) / now.pageScale;
    dc.font = Gdi::Font{-em, 0, 0, (font->style & 1) ? 700 : 400, bool(font->style & 2), bool(font->style & 4),
                        bool(font->style & 8), font->face};
    dc.textColour = colour->colour;
    dc.opaqueBackground = false;
    // Near, centre and far along the line and across it, as GDI's alignments.
    static constexpr quint32 across[] = {0, 6, 2}, down[] = {0, 24, 8};
    const quint32 alignment = format && format->alignment < 3 ? format->alignment : 0;
    const quint32 line = format && format->lineAlignment < 3 ? format->lineAlignment : 0;
    dc.textAlign = across[alignment] | down[line];
    const double x = box.left() + box.width() * alignment / 2;
    // A centred line's baseline lies about a third of the em below the middle.
    const double y = box.top() + box.height() * line / 2 + (line == 1 ? em / 3 : 0);
    Gdi::Canvas::TextRun run;
    run.at = QPointF(x, y);
    run.text = QString::fromUtf16(reinterpret_cast<const char16_t*>(bytes.constData()), bytes.size() / 2);
    canvas.text(run);
}

std::optional<Gdi::Brush> Player::brush(quint16 flags, quint32 id) const
{
    if (flags & colourFlag) {
        Gdi::Brush solid;
        solid.colour = argb(id);
        return solid;
    }
    if (const Gdi::Brush* object = get<Gdi::Brush>(id))
        return *object;
    return std::nullopt;
}

}
