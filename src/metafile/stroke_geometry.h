#pragma once
#include <QLineF>
#include <QPainterPath>
#include <QPolygonF>
#include <QRectF>

// Plane geometry for drawing metafile shapes within a page: the raster
// device walks every row and pixel of what it is given, even far off the page.
namespace Metafile {

// The area a rectangular nib of size nib, centred on the line, covers when
// drawn from a to b (what the raster device paints for a pen that wide),
// clipped to page. Empty when nothing of it lies on the page.
QPolygonF nibSweep(QPointF a, QPointF b, QSizeF nib, const QRectF& page);

// The part of a polygon (convex or not) inside page; edges along the page's
// border close it. Empty when fewer than three corners remain.
QPolygonF clipPolygon(const QPolygonF& polygon, const QRectF& page);

// Shortens line to its part inside page; false when none is.
bool clipLine(QLineF& line, const QRectF& page);

}

namespace Metafile {

// The path with its curves flattened wherever they come near area, and
// each stretch far from it replaced by its chord, which leaves what the
// path covers within area as it is: Qt flattens a curve millions of pixels
// across into millions of segments, on the page or not.
QPainterPath curvesNear(const QPainterPath& path, const QRectF& area);

// Only the parts of the path's lines within area, for outlining: a dashed
// pen walks every dash of a line, off the page too.
QPainterPath linesWithin(const QPainterPath& path, const QRectF& area);

// The part of the path within area, for filling: its figures closed and
// cut to area, each on its own, so that the fill rule still holds inside.
// The raster engine is slow on points far outside the picture.
QPainterPath fillWithin(const QPainterPath& path, const QRectF& area);

// What rasterizing the path costs, about: each segment's run across the
// page, in pixels, and one for the segment itself.
double drawingCost(const QPainterPath& path, const QRectF& page);

}
