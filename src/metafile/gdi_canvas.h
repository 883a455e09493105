#pragma once
#include "metafile/draw_budget.h"
#include "metafile/gdi_state.h"

#include <QPainter>
#include <QPolygonF>

#include <vector>

// Plays a metafile's records onto a picture: the device context with its
// saved copies, the object table, the path being defined and the drawing
// itself. Coordinates are logical unless named otherwise; the record readers
// of both formats only decode and call these.
namespace Metafile::Gdi {

class Canvas {
public:
    // deviceToPicture maps device units onto the picture's pixels;
    // pixelsPerMm is the device's resolution, for the metric mapping modes.
    Canvas(QImage& picture, const QTransform& deviceToPicture, QSizeF pixelsPerMm);

    DeviceContext dc;
    Budget budget;

    // State.
    void save();
    void restore(int which);  // negative: that many back; positive: that level
    void mappingChanged() { keepIsotropic(dc); }
    QTransform toPicture() const;
    QTransform deviceToPicture() const { return device; }

    // Objects.
    void create(quint32 index, Object object);
    void select(quint32 index);
    void remove(quint32 index);
    const Object* object(quint32 index) const;

    // Paths.
    void beginPath();
    void endPath() { pathOpen = false; }
    void abortPath();
    void closeFigure();
    void drawPath(bool fill, bool stroke);
    void selectClipPath(int mode);

    // Clipping: a rectangle in logical units, a region in device units (none:
    // the whole picture again); modes as RGN_AND .. RGN_COPY.
    void clipRect(const QRectF& rect, bool exclude);
    void clipRegion(const std::optional<QPainterPath>& region, int mode);
    void offsetClip(QPointF by);

    // Shapes: filled with the brush and outlined with the pen, or added to
    // the path being defined.
    void moveTo(QPointF to);
    void lineTo(QPointF to);
    void polyline(const QPolygonF& points, bool fromPosition);
    void beziers(const QPolygonF& points, bool fromPosition);
    void polygons(const std::vector<QPolygonF>& polygons);
    void polylines(const std::vector<QPolygonF>& lines);
    void polyDraw(const QPolygonF& points, const QByteArray& kinds);
    void rectangle(const QRectF& box, QSizeF corner = {});
    void ellipse(const QRectF& box);
    enum class Arc { open, chord, pie, to };
    void arc(const QRectF& box, QPointF start, QPointF end, Arc kind);
    void angleArc(QPointF centre, double radius, double start, double sweep);
    void setPixel(QPointF at, QColor colour);

    // Regions, in logical units.
    void fillRegion(const QPainterPath& region, const Brush& brush);
    void frameRegion(const QPainterPath& region, const Brush& brush, QSizeF nib);

    // Text at a logical point (or the current position, as the alignment
    // says), dx: each character's advance in logical units, when given.
    struct TextRun {
        QPointF at;
        QString text;
        std::vector<double> dx;
        quint32 options = 0;  // ETO_*
        QRectF box;           // logical; for ETO_OPAQUE and ETO_CLIPPED
        bool glyphIndices = false;
    };
    void text(const TextRun& run);

    // Bitmaps: a DIB drawn onto a logical rectangle from a part of it, as
    // the raster operation says; with no bitmap, the brush or a constant.
    void blit(const QRectF& target, const QImage& bitmap, const QRectF& source, quint32 rop);
    void gradientRect(const QRectF& box, QColor from, QColor to, bool vertical);
    void gradientTriangle(const QPolygonF& corners, QColor colour);

private:
    void addShape(const QPainterPath& logical, bool closed);
    // Lines drawn on from the current position: in a path, they continue
    // its figure.
    void continueFigure(const QPainterPath& logical);
    void paint(const QPainterPath& pixels, bool fill, bool stroke);
    void fill(const QPainterPath& pixels, const Brush& brush);
    double penWidth() const;
    void applyClip();
    QPen qtPen(const QPainterPath& pixels);
    bool ropDrawsNothing() const;
    void setRop();

    QImage& image;
    QPainter painter;
    QTransform device;
    QSizeF pixelsPerMm;
    QRectF page;
    std::vector<DeviceContext> saved;
    std::vector<Object> objects;
    QPainterPath path;  // picture pixels
    bool pathOpen = false;
    bool figureOpen = false;
};

}
