#include "metafile/raster_device_guards.h"

#include "metafile/dib_check.h"
#include "metafile/stroke_geometry.h"

#include <libwmf/api.h>
#include <libwmf/defs.h>
#include <libwmf/gd.h>
#include <libwmf/ipa.h>

#include <algorithm>
#include <cmath>
#include <optional>
#include <vector>

namespace Metafile {

namespace {

// Up to this width in pixels the device's own stamping is cheap enough.
constexpr double widestStampedPen = 8;
// Pixels between the page and where shapes are cut off, so that the cut
// edges, drawn with the outline, stay off the page.
constexpr double cutMargin = 2;
constexpr int fewestEllipsePoints = 72;
constexpr int mostEllipsePoints = 16384;

const wmfFunctionReference& device(wmfAPI* api)
{
    return *static_cast<const wmfFunctionReference*>(api->user_data);
}

// What one drawing call works with, in libwmf's device units.
struct Canvas {
    wmfAPI* api;
    const wmfDC* dc;
    QSizeF pixel;   // one pixel of the page
    QSizeF nib;     // the pen when too wide to stamp, else empty
    QRectF page;    // with a margin, what is painted of a fill
    QRectF reach;   // the page and a pen's width: what is drawn of a thin shape

    bool holds(const std::vector<QPointF>& points) const
    {
        return std::all_of(points.begin(), points.end(), [this](QPointF p) {
            return p.x() >= reach.left() && p.x() <= reach.right() && p.y() >= reach.top() && p.y() <= reach.bottom();
        });
    }
};

std::optional<Canvas> canvasFor(wmfAPI* api, const wmfDC* dc)
{
    const wmf_gd_t* gd = WMF_GD_GetData(api);
    const QRectF page(QPointF(gd->bbox.TL.x, gd->bbox.TL.y), QPointF(gd->bbox.BR.x, gd->bbox.BR.y));
    if (!(page.width() > 0) || !(page.height() > 0) || !std::isfinite(page.width() + page.height() + page.left() + page.top())
        || gd->width < 1 || gd->height < 1)
        return std::nullopt;
    Canvas canvas{api, dc, QSizeF(page.width() / gd->width, page.height() / gd->height), {}, {}, {}};
    const bool outlined = (dc->pen->lopnStyle & PS_STYLE_MASK) != PS_NULL;
    // A nib twice the page's size covers all of it wherever the line is.
    const auto bounded = [](double width, double most) { return std::isfinite(width) ? std::min(std::abs(width), most) : most; };
    const QSizeF pen(bounded(dc->pen->width, 2 * page.width()), bounded(dc->pen->height, 2 * page.height()));
    if (outlined && (pen.width() > widestStampedPen * canvas.pixel.width()
                     || pen.height() > widestStampedPen * canvas.pixel.height()))
        canvas.nib = pen;
    const double mx = cutMargin * canvas.pixel.width(), my = cutMargin * canvas.pixel.height();
    canvas.page = page.adjusted(-mx, -my, mx, my);
    canvas.reach = canvas.page.adjusted(-pen.width(), -pen.height(), pen.width(), pen.height());
    return canvas;
}

// The same drawing state with the outline switched off, for the fill alone.
struct WithoutOutline {
    explicit WithoutOutline(const wmfDC* dc) : dc(*dc), pen(*dc->pen)
    {
        pen.lopnStyle = PS_NULL;
        this->dc.pen = &pen;
    }
    wmfDC dc;
    wmfPen pen;
};

void drawPolygonAs(const Canvas& canvas, const wmfDC* dc, const QPolygonF& polygon)
{
    std::vector<wmfD_Coord> corners;
    corners.reserve(size_t(polygon.size()));
    for (const QPointF& p : polygon)
        corners.push_back({float(p.x()), float(p.y())});
    wmfPolyLine_t shape{const_cast<wmfDC*>(dc), corners.data(), static_cast<U16>(corners.size())};
    device(canvas.api).draw_polygon(canvas.api, &shape);
}

// Lines of a wide pen as the polygons its nib covers, in the pen's colour.
void strokeWide(const Canvas& canvas, const std::vector<QLineF>& lines)
{
    WithoutOutline solid(canvas.dc);
    wmfBrush brush{};
    brush.lbStyle = BS_SOLID;
    brush.lbColor = canvas.dc->pen->lopnColor;
    solid.dc.brush = &brush;
    for (const QLineF& line : lines) {
        const QPolygonF area = nibSweep(line.p1(), line.p2(), canvas.nib, canvas.page);
        if (!area.isEmpty())
            drawPolygonAs(canvas, &solid.dc, area);
    }
}

bool allFinite(const std::vector<QPointF>& points)
{
    return std::all_of(points.begin(), points.end(), [](QPointF p) { return std::isfinite(p.x()) && std::isfinite(p.y()); });
}

std::vector<QLineF> edgesOf(const std::vector<QPointF>& points, bool closed)
{
    std::vector<QLineF> edges;
    for (size_t i = 0; i + 1 < points.size(); ++i)
        edges.emplace_back(points[i], points[i + 1]);
    if (closed && points.size() > 2)
        edges.emplace_back(points.back(), points.front());
    return edges;
}

// A line, a polyline or an arc: thin ones through the device, cut to the page.
template <typename Unchanged>
void drawOpen(const Canvas& canvas, const std::vector<QPointF>& points, Unchanged unchanged)
{
    if (canvas.nib.isEmpty() && canvas.holds(points))
        return unchanged();
    if (!allFinite(points))
        return; // nowhere on any page
    if (!canvas.nib.isEmpty())
        return strokeWide(canvas, edgesOf(points, false));
    for (QLineF line : edgesOf(points, false)) {
        if (!clipLine(line, canvas.reach))
            continue;
        wmfDrawLine_t piece{const_cast<wmfDC*>(canvas.dc), {float(line.x1()), float(line.y1())},
                            {float(line.x2()), float(line.y2())}};
        device(canvas.api).draw_line(canvas.api, &piece);
    }
}

// A filled shape given by its outline, cut to the page.
template <typename Unchanged>
void drawClosed(const Canvas& canvas, const std::vector<QPointF>& outline, Unchanged unchanged)
{
    const bool wide = !canvas.nib.isEmpty();
    if (!wide && canvas.holds(outline))
        return unchanged();
    if (!allFinite(outline))
        return;
    const QPolygonF whole(QList<QPointF>(outline.begin(), outline.end()));
    if (!wide) {
        const QPolygonF cut = clipPolygon(whole, canvas.reach);
        if (!cut.isEmpty())
            drawPolygonAs(canvas, canvas.dc, cut);
        return;
    }
    // The cut edges of the fill are not outlined: the outline is the shape's own.
    const QPolygonF cut = clipPolygon(whole, canvas.page);
    const WithoutOutline fill(canvas.dc);
    if (!cut.isEmpty())
        drawPolygonAs(canvas, &fill.dc, cut);
    strokeWide(canvas, edgesOf(outline, true));
}

std::vector<QPointF> pointsOf(const wmfD_Coord* pt, size_t count)
{
    std::vector<QPointF> points;
    points.reserve(count);
    for (size_t i = 0; i < count; ++i)
        points.emplace_back(pt[i].x, pt[i].y);
    return points;
}

enum class ArcKind { ellipse, arc, pie, chord };

// Points along an elliptic arc as the device draws it: from the start's
// angle to the end's, in whole degrees, increasing; close enough together
// that the chords stay within half a pixel of the curve. Empty for an arc
// given by coordinates that are not numbers.
std::vector<QPointF> arcOutline(const Canvas& canvas, const wmfDrawArc_t* arc, ArcKind kind)
{
    if (!allFinite({{arc->TL.x, arc->TL.y}, {arc->BR.x, arc->BR.y}, {arc->start.x, arc->start.y}, {arc->end.x, arc->end.y}}))
        return {};
    const QPointF centre((arc->TL.x + arc->BR.x) / 2.0, (arc->TL.y + arc->BR.y) / 2.0);
    const double rx = (arc->BR.x - arc->TL.x) / 2.0, ry = (arc->BR.y - arc->TL.y) / 2.0;
    int start = 0, end = 360;
    if (kind != ArcKind::ellipse) {
        start = int(std::atan2(arc->start.y, arc->start.x) * 180 / M_PI);
        end = int(std::atan2(arc->end.y, arc->end.x) * 180 / M_PI);
        if (start < 0) {
            start += 360;
            end += 360;
        }
        if (end < start)
            end += 360;
    }
    const double radius = std::max(std::abs(rx) / canvas.pixel.width(), std::abs(ry) / canvas.pixel.height());
    const double round = std::clamp(M_PI * std::sqrt(radius), double(fewestEllipsePoints), double(mostEllipsePoints));
    const int steps = std::max(1, int(std::ceil(round * (end - start) / 360)));
    std::vector<QPointF> points;
    points.reserve(size_t(steps) + 2);
    for (int i = 0; i <= steps; ++i) {
        const double a = (start + double(end - start) * i / steps) * M_PI / 180;
        points.emplace_back(centre.x() + rx * std::cos(a), centre.y() + ry * std::sin(a));
    }
    if (kind == ArcKind::pie)
        points.push_back(centre);
    return points;
}

void drawLine(wmfAPI* api, wmfDrawLine_t* line)
{
    const auto canvas = canvasFor(api, line->dc);
    if (!canvas)
        return device(api).draw_line(api, line);
    drawOpen(*canvas, {{line->from.x, line->from.y}, {line->to.x, line->to.y}},
             [&] { device(api).draw_line(api, line); });
}

void polyLine(wmfAPI* api, wmfPolyLine_t* line)
{
    const auto canvas = canvasFor(api, line->dc);
    if (!canvas)
        return device(api).poly_line(api, line);
    drawOpen(*canvas, pointsOf(line->pt, line->count), [&] { device(api).poly_line(api, line); });
}

void drawPolygon(wmfAPI* api, wmfPolyLine_t* polygon)
{
    const auto canvas = canvasFor(api, polygon->dc);
    if (!canvas || polygon->count < 3)
        return device(api).draw_polygon(api, polygon);
    drawClosed(*canvas, pointsOf(polygon->pt, polygon->count), [&] { device(api).draw_polygon(api, polygon); });
}

void drawRectangle(wmfAPI* api, wmfDrawRectangle_t* rectangle)
{
    const auto canvas = canvasFor(api, rectangle->dc);
    if (!canvas)
        return device(api).draw_rectangle(api, rectangle);
    const wmfD_Coord tl = rectangle->TL, br = rectangle->BR;
    drawClosed(*canvas, {{tl.x, tl.y}, {br.x, tl.y}, {br.x, br.y}, {tl.x, br.y}},
               [&] { device(api).draw_rectangle(api, rectangle); });
}

using ArcFunction = void (*)(wmfAPI*, wmfDrawArc_t*);

template <ArcFunction wmfFunctionReference::*Draw, ArcKind Kind>
void drawArcShape(wmfAPI* api, wmfDrawArc_t* arc)
{
    const auto canvas = canvasFor(api, arc->dc);
    if (!canvas)
        return (device(api).*Draw)(api, arc);
    const std::vector<QPointF> outline = arcOutline(*canvas, arc, Kind);
    if (outline.empty())
        return;
    const auto unchanged = [&] { (device(api).*Draw)(api, arc); };
    if (Kind == ArcKind::arc)
        drawOpen(*canvas, outline, unchanged);
    else
        drawClosed(*canvas, outline, unchanged);
}

// Raster operations over a rectangle (PATBLT and the like), cut to the page.
void ropDraw(wmfAPI* api, wmfROP_Draw_t* rop)
{
    const auto canvas = canvasFor(api, rop->dc);
    if (!canvas)
        return device(api).rop_draw(api, rop);
    if (!allFinite({{rop->TL.x, rop->TL.y}, {rop->BR.x, rop->BR.y}}))
        return;
    const QRectF area = QRectF(QPointF(rop->TL.x, rop->TL.y), QPointF(rop->BR.x, rop->BR.y)).normalized()
                            .intersected(canvas->reach);
    if (area.isEmpty())
        return;
    wmfROP_Draw_t cut = *rop;
    cut.TL = {float(area.left()), float(area.top())};
    cut.BR = {float(area.right()), float(area.bottom())};
    device(api).rop_draw(api, &cut);
}

void readBitmap(wmfAPI* api, wmfBMP_Read_t* read)
{
    if (!dibIsReadable(read->buffer, read->length)) {
        read->bmp.data = nullptr; // drawn as if the bitmap were absent
        return;
    }
    device(api).bmp_read(api, read);
}

}

void guardRasterDevice(wmfAPI* api, wmfFunctionReference* original)
{
    auto* table = static_cast<wmfFunctionReference*>(api->function_reference);
    *original = *table;
    api->user_data = original;
    const auto replace = [](auto& entry, auto guard) {
        if (entry)
            entry = guard;
    };
    replace(table->draw_line, drawLine);
    replace(table->poly_line, polyLine);
    replace(table->draw_polygon, drawPolygon);
    replace(table->draw_rectangle, drawRectangle);
    replace(table->draw_ellipse, drawArcShape<&wmfFunctionReference::draw_ellipse, ArcKind::ellipse>);
    replace(table->draw_arc, drawArcShape<&wmfFunctionReference::draw_arc, ArcKind::arc>);
    replace(table->draw_pie, drawArcShape<&wmfFunctionReference::draw_pie, ArcKind::pie>);
    replace(table->draw_chord, drawArcShape<&wmfFunctionReference::draw_chord, ArcKind::chord>);
    replace(table->rop_draw, ropDraw);
    replace(table->bmp_read, readBitmap);
}

}
