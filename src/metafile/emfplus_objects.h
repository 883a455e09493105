#pragma once
#include "metafile/gdi_state.h"
#include "metafile/record_reader.h"

#include <variant>

// The objects of EMF+ records (pens, brushes, paths, fonts, string formats,
// regions, bitmaps) as the GDI canvas draws them: shapes as PolyDraw points and kinds.
namespace Metafile::EmfPlus {

// Points and their PolyDraw kinds (PT_MOVETO, PT_LINETO, PT_BEZIERTO, with
// PT_CLOSEFIGURE), in world units.
struct Shape {
    QPolygonF points;
    QByteArray kinds;
    Qt::FillRule fillRule = Qt::OddEvenFill;
    void add(const QPainterPath& path);
};

struct Font {
    double em = 12;
    quint32 unit = 3;
    int style = 0;  // bold 1, italic 2, underline 4, strike-out 8
    QString face;
};

struct StringFormat {
    quint32 alignment = 0, lineAlignment = 0;  // near, centre, far
};

// A region: the shape it covers, or everything.
struct Region {
    Shape shape;
    bool infinite = false;
};

using Object = std::variant<std::monostate, Gdi::Pen, Gdi::Brush, Shape, Font, StringFormat, Region, QImage>;

// A unit's size in device pixels (a page, a pen or a font unit); world and
// display units count as pixels.
double unitPixels(quint32 unit, double dpi);

// An ARGB colour.
QColor argb(quint32 value);

// The object of an EMF+ object record's type (flags bits 8-14), from its
// data; empty when the type is one not drawn or the data makes no sense.
// Pen widths are in world units, as pens of world units give them.
Object readObject(int type, const RecordReader& r);

// Count points at at: 16-bit pairs when compressed, relative (EmfPlusPointR)
// when relative, floats otherwise. next: where the data after them starts.
QPolygonF readPoints(const RecordReader& r, qint64 at, qint64 count, bool compressed, bool relative, qint64* next = nullptr);
// A rectangle of 16-bit or float x, y, width, height.
QRectF readRect(const RecordReader& r, qint64 at, bool compressed);

}
