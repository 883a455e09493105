#pragma once
#include <QColor>
#include <QImage>
#include <QPainterPath>
#include <QPointF>
#include <QSizeF>
#include <QString>
#include <QTransform>

#include <optional>
#include <variant>
#include <vector>

namespace Metafile { class RecordReader; }

// The state a metafile's records change and its drawing records use, the
// same for WMF and EMF: what a Windows device context holds.
namespace Metafile::Gdi {

enum MapMode { text = 1, loMetric, hiMetric, loEnglish, hiEnglish, twips, isotropic, anisotropic };

struct Pen {
    quint32 style = 0;  // PS_* style, end cap, join and type bits
    double width = 0;   // logical units; 0: one pixel
    QColor colour = Qt::black;
    std::vector<double> userDashes;  // PS_USERSTYLE, logical units
    bool null() const { return (style & 0xF) == 5; }
};

struct Brush {
    enum Kind { solid, null, hatched, pattern } kind = solid;
    QColor colour = Qt::white;
    int hatch = 0;
    QImage image;  // pattern brushes
};

struct Font {
    double height = -12;  // logical units; negative: the em, positive: the cell
    double width = 0;
    int escapement = 0;   // tenths of a degree, counter-clockwise
    int weight = 400;
    bool italic = false, underline = false, strikeOut = false;
    QString face;
    int charset = 1;  // DEFAULT_CHARSET; how a WMF's 8-bit text is encoded
};

// A selectable object of the table; a region is kept in logical units as
// it was given.
using Object = std::variant<std::monostate, Pen, Brush, Font, QPainterPath>;

// A LOGFONT from at: its five sizes are 32-bit in EMF, 16-bit (small) in
// WMF, and so is each character of its face name.
Font logFont(const RecordReader& record, qint64 at, bool small);

// A pen of CreatePen: one of a logical width scales with the mapping; only
// dashed pens of one pixel keep their dashes.
Pen simplePen(quint32 style, double width, QColor colour);

// The stock objects a SelectObject record names with its high bit set.
std::optional<Object> stockObject(quint32 index);

struct DeviceContext {
    int mapMode = MapMode::text;
    QPointF windowOrigin, viewportOrigin;
    QSizeF windowExtent{1, 1}, viewportExtent{1, 1};
    QTransform world;
    Pen pen;
    Brush brush;
    Font font;
    QColor textColour = Qt::black, backColour = Qt::white;
    bool opaqueBackground = true;
    quint32 textAlign = 0;
    Qt::FillRule fillRule = Qt::OddEvenFill;
    int rop2 = 13;  // R2_COPYPEN
    QPointF position;  // logical
    std::optional<QPainterPath> clip;  // picture pixels; none: the whole picture
    bool clockwise = false;
};

// Logical units (after the world transform) to device units: the window
// mapped onto the viewport, or the fixed scale of a metric mapping mode
// given the device's pixels per millimetre.
QTransform pageTransform(const DeviceContext& dc, QSizeF pixelsPerMm);

// An isotropic mapping keeps the window's proportions: the viewport's extent
// shrinks on one side, as Windows does when either extent is set.
void keepIsotropic(DeviceContext& dc);

}
