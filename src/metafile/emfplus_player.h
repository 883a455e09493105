#pragma once
#include "metafile/emfplus_objects.h"
#include "metafile/gdi_canvas.h"

#include <array>

// Draws the EMF+ records of a file's comments onto the GDI canvas: its pens,
// brushes and clipping draw them, with the world and page transforms of
// EMF+ as the canvas's world transform over device pixels.
namespace Metafile::EmfPlus {

class Player {
public:
    explicit Player(Gdi::Canvas& canvas) : canvas(canvas) {}
    // An EMR_COMMENT's EMF+ records; other comments are left alone.
    void play(const RecordReader& comment);

private:
    struct Transforms {
        QTransform world;
        quint32 pageUnit = 2;  // pixels
        double pageScale = 1;
    };
    void record(quint16 type, quint16 flags, const RecordReader& r);
    void object(quint16 flags, const RecordReader& r);
    void transformRecord(quint16 type, quint16 flags, const RecordReader& r);
    void updateWorld();
    void save(quint32 index);
    void restore(quint32 index);
    void clip(const Shape* shape, int combine);
    // Fills shape with brush and outlines it with pen, either of them absent.
    void draw(const Shape& shape, const Gdi::Brush* brush, const Gdi::Pen* pen);
    void drawString(quint16 flags, const RecordReader& r);
    // source of image onto the parallelogram of three corners, in world units.
    void drawBitmap(const QImage& image, const QRectF& source, const QPolygonF& corners);
    // The brush a fill record names: a colour (flag S) or an object.
    std::optional<Gdi::Brush> brush(quint16 flags, quint32 id) const;
    template <typename T> const T* get(quint32 id) const
    {
        return id < objects.size() ? std::get_if<T>(&objects[id]) : nullptr;
    }

    Gdi::Canvas& canvas;
    std::array<Object, 64> objects;
    Transforms now;
    std::vector<std::pair<quint32, Transforms>> saved;  // by stack index
    QSizeF dpi{96, 96};
};

}
