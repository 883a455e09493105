#include "metafile/emfplus_objects.h"
#include "metafile/draw_budget.h"

namespace Metafile::EmfPlus {

namespace {

constexpr char ptClose = 1, ptLine = 2, ptBezier = 4, ptMove = 6;

Gdi::Brush readBrush(const RecordReader& r, qint64 at)
{
    enum { solid, hatch, texture, pathGradient, linearGradient };
    Gdi::Brush brush;
    switch (r.u32(at + 4)) {
    case solid: brush.colour = argb(r.u32(at + 8)); break;
    case hatch:
        // The first six hatch styles are those of GDI; the rest show as their colour.
        brush.kind = r.u32(at + 8) < 6 ? Gdi::Brush::hatched : Gdi::Brush::solid;
        brush.hatch = int(r.u32(at + 8));
        brush.colour = argb(r.u32(at + 12));
        break;
    case pathGradient: brush.colour = argb(r.u32(at + 16)); break;  // its centre colour
    case linearGradient: {
        // Filled with the mean of its ends.
        const QColor a = argb(r.u32(at + 32)), b = argb(r.u32(at + 36));
        brush.colour = QColor((a.red() + b.red()) / 2, (a.green() + b.green()) / 2, (a.blue() + b.blue()) / 2,
                              (a.alpha() + b.alpha()) / 2);
        break;
    }
    default: brush.kind = Gdi::Brush::null;
    }
    return brush;
}

Gdi::Pen readPen(const RecordReader& r)
{
    enum : quint32 { transform = 0x1, startCap = 0x2, endCap = 0x4, join = 0x8, miter = 0x10, lineStyle = 0x20,
                     dashedCap = 0x40, dashOffset = 0x80, dashes = 0x100, alignment = 0x200, compound = 0x400,
                     customStart = 0x800, customEnd = 0x1000 };
    Gdi::Pen pen;
    const quint32 flags = r.u32(8);
    pen.width = r.f32(16);
    // GDI's geometric pen of the same caps, join and dashes.
    pen.style = 0x10000;
    qint64 at = 20;
    if (flags & transform)
        at += 24;
    // A field present by its flag: its value's bits of the style, the first
    // kind's when absent or unknown.
    const auto styleBits = [&](bool present, const quint32 (&bits)[3]) {
        const quint32 value = present ? r.u32(at) : 0;
        at += present ? 4 : 0;
        return value < 3 ? bits[value] : bits[0];
    };
    pen.style |= styleBits(flags & startCap, {0x200, 0x100, 0});  // flat, square, round
    at += (flags & endCap) ? 4 : 0;
    pen.style |= styleBits(flags & join, {0x2000, 0x1000, 0});  // miter, bevel, round
    if (flags & miter)
        at += 4;
    if (flags & lineStyle) {
        const quint32 style = r.u32(at);
        pen.style |= style <= 4 ? style : 0;
        at += 4;
    }
    at += 4 * (((flags & dashedCap) != 0) + ((flags & dashOffset) != 0));
    if (flags & dashes) {
        const qint64 count = std::min<qint64>(r.u32(at), 16);
        // Dash lengths count in pen widths.
        for (qint64 i = 0; i < count; ++i)
            pen.userDashes.push_back(r.f32(at + 4 + 4 * i) * std::max(pen.width, 1.0));
        if (!pen.userDashes.empty())
            pen.style = (pen.style & ~0xFu) | 7;
        at += 4 + 4 * qint64(r.u32(at));
    }
    if (flags & alignment)
        at += 4;
    if (flags & compound)
        at += 4 + 4 * qint64(r.u32(at));
    if (flags & customStart)
        at += 4 + qint64(r.u32(at));
    if (flags & customEnd)
        at += 4 + qint64(r.u32(at));
    const Gdi::Brush brush = readBrush(r, at);
    pen.colour = brush.colour;
    if (brush.kind == Gdi::Brush::null)
        pen.style = (pen.style & ~0xFu) | 5;
    return pen;
}

Shape readPath(const RecordReader& r, qint64 at)
{
    enum : quint32 { runLength = 0x1000, compressed = 0x4000, relative = 0x0800 };
    const qint64 count = std::min<qint64>(r.u32(at + 4), Gdi::maxRecordPoints);
    const quint32 flags = r.u32(at + 8);
    qint64 next = 0;
    Shape shape;
    shape.points = readPoints(r, at + 12, count, flags & compressed, flags & relative, &next);
    QByteArray types;
    if (flags & runLength) {
        for (; types.size() < shape.points.size() && r.has(next, 2); next += 2)
            types += QByteArray(std::min<qint64>(r.u8(next) & 0x3F, shape.points.size() - types.size()), char(r.u8(next + 1)));
    } else {
        types = r.bytes(next, shape.points.size());
    }
    if (types.size() < shape.points.size())
        return {};
    for (qsizetype i = 0; i < types.size(); ++i) {
        const quint8 type = quint8(types[i]);
        char kind = (type & 7) == 0 ? ptMove : (type & 7) == 3 ? ptBezier : ptLine;
        if (i == 0)
            kind = ptMove;
        shape.kinds += char(kind | ((type & 0x80) ? ptClose : 0));
    }
    return shape;
}

// A region's node and those under it, no deeper than depth; cost counts
// down its nodes and points, since combining shapes grows with both.
std::optional<QPainterPath> readRegionNode(const RecordReader& r, qint64& at, int depth, qint64& cost)
{
    if (--cost < 0)
        return std::nullopt;
    enum : quint32 { intersect = 1, unite, exclusiveOr, exclude, complement, rect = 0x10000000, path, empty, infinite };
    const quint32 type = r.u32(at);
    at += 4;
    if (type == rect) {
        QPainterPath out;
        out.addRect(readRect(r, at, false));
        at += 16;
        return out;
    }
    if (type == path) {
        const qint64 size = r.u32(at);
        const Shape shape = readPath(r, at + 4);
        at += 4 + size;
        if ((cost -= shape.points.size()) < 0)
            return std::nullopt;
        QPainterPath out;
        for (qsizetype i = 0; i < shape.points.size(); ++i)
            (shape.kinds[i] & ~ptClose) == ptMove ? out.moveTo(shape.points[i]) : out.lineTo(shape.points[i]);
        return out;
    }
    if (type == empty)
        return QPainterPath();
    if (type == infinite || type < intersect || type > complement || depth == 0)
        return std::nullopt;
    const std::optional<QPainterPath> a = readRegionNode(r, at, depth - 1, cost);
    const std::optional<QPainterPath> b = readRegionNode(r, at, depth - 1, cost);
    if (!a || !b)
        return std::nullopt;
    switch (type) {
    case intersect: return a->intersected(*b);
    case unite: return a->united(*b);
    case exclusiveOr: return a->united(*b).subtracted(a->intersected(*b));
    case exclude: return a->subtracted(*b);
    default: return b->subtracted(*a);
    }
}

// A bitmap image: pixels of the common formats, top row first, or a PNG,
// JPEG, GIF or other file's bytes. Metafile images are left out.
QImage readImage(const RecordReader& r)
{
    enum : quint32 { indexed1 = 0x30101, indexed4 = 0x30402, indexed8 = 0x30803, rgb555 = 0x21005, rgb565 = 0x21006,
                     rgb24 = 0x21808, rgb32 = 0x22009, argb32 = 0x26200A, pargb32 = 0xE200B };
    if (r.u32(4) != 1)
        return {};
    if (r.u32(24) == 1)
        return QImage::fromData(r.bytes(28, r.length() - 28));
    const qint64 width = r.s32(8), height = r.s32(12), stride = r.s32(16);
    const quint32 format = r.u32(20);
    qint64 at = 28;
    QList<QRgb> palette;
    if (format & 0x10000) {  // indexed: a palette first
        const qint64 count = std::min<qint64>(r.u32(at + 4), 256);
        for (qint64 i = 0; i < count; ++i)
            palette << r.u32(at + 8 + 4 * i);
        at += 8 + 4 * count;
    }
    const int bits = int((format >> 8) & 0xFF);
    // Unpacking a palette's pixels costs each of them: a few million at most.
    if (width <= 0 || height <= 0 || width * height > 16'000'000 || stride < (width * bits + 7) / 8
        || !r.has(at, stride * height))
        return {};
    const QByteArray pixels = r.bytes(at, stride * height);
    const auto* data = reinterpret_cast<const uchar*>(pixels.constData());
    const auto image = [&](QImage::Format qt) { return QImage(data, int(width), int(height), int(stride), qt).copy(); };
    switch (format) {
    case argb32: return image(QImage::Format_ARGB32);
    case pargb32: return image(QImage::Format_ARGB32_Premultiplied);
    case rgb32: return image(QImage::Format_ARGB32).convertToFormat(QImage::Format_RGB32);
    case rgb24: return image(QImage::Format_BGR888);
    case rgb555: return image(QImage::Format_RGB555);
    case rgb565: return image(QImage::Format_RGB16);
    case indexed1: case indexed4: case indexed8: {
        QImage out(int(width), int(height), QImage::Format_Indexed8);
        if (out.isNull())
            return {};
        out.setColorTable(palette.isEmpty() ? QList<QRgb>{qRgb(0, 0, 0)} : palette);
        const int mask = (1 << bits) - 1;
        for (qint64 y = 0; y < height; ++y)
            for (qint64 x = 0; x < width; ++x) {
                const int shift = 8 - bits - int(x * bits % 8);
                const int index = (data[y * stride + x * bits / 8] >> shift) & mask;
                out.setPixel(int(x), int(y), uint(index < palette.size() ? index : 0));
            }
        return out;
    }
    }
    return {};
}

}

void Shape::add(const QPainterPath& path)
{
    for (int i = 0; i < path.elementCount(); ++i) {
        const QPainterPath::Element e = path.elementAt(i);
        points << QPointF(e.x, e.y);
        kinds += e.isMoveTo() ? ptMove : e.isLineTo() ? ptLine : ptBezier;
    }
    if (!kinds.isEmpty())
        kinds.back() = char(kinds.back() | ptClose);
}

double unitPixels(quint32 unit, double dpi)
{
    switch (unit) {
    case 3: return dpi / 72;
    case 4: return dpi;
    case 5: return dpi / 300;
    case 6: return dpi / 25.4;
    default: return 1;
    }
}

QColor argb(quint32 value)
{
    return QColor::fromRgba(value);
}

Object readObject(int type, const RecordReader& r)
{
    enum { brush = 1, pen, path, region, image, font, stringFormat };
    switch (type) {
    case brush: return readBrush(r, 0);
    case pen: return readPen(r);
    case path: return readPath(r, 0);
    case region: {
        qint64 at = 8, cost = 10'000;
        // Complex regions are rare; sixteen levels hold any a writer makes.
        const std::optional<QPainterPath> area = readRegionNode(r, at, 16, cost);
        Region out;
        out.infinite = !area;
        if (area)
            out.shape.add(area->simplified());
        return out;
    }
    case font: {
        Font out;
        out.em = r.f32(4);
        out.unit = r.u32(8);
        out.style = r.s32(12);
        const QByteArray name = r.bytes(24, 2 * std::min<qint64>(r.u32(20), 64));
        out.face = QString::fromUtf16(reinterpret_cast<const char16_t*>(name.constData()), name.size() / 2);
        return out;
    }
    case stringFormat: return StringFormat{r.u32(12), r.u32(16)};
    case image: return readImage(r);
    }
    return {};
}

QPolygonF readPoints(const RecordReader& r, qint64 at, qint64 count, bool compressed, bool relative, qint64* next)
{
    QPolygonF out;
    if (relative) {
        // Each coordinate one byte of 7 bits, or two of 15 when the first has its high bit set.
        const auto coordinate = [&](qint64& p) -> std::optional<int> {
            if (!r.has(p, 1))
                return std::nullopt;
            const quint8 first = r.u8(p++);
            if (!(first & 0x80))
                return (first & 0x40) ? int(first) - 0x80 : int(first);
            if (!r.has(p, 1))
                return std::nullopt;
            const int value = ((first & 0x7F) << 8) | r.u8(p++);
            return (value & 0x4000) ? value - 0x8000 : value;
        };
        QPointF position;
        for (qint64 i = 0; i < std::min<qint64>(count, Gdi::maxRecordPoints); ++i) {
            const std::optional<int> x = coordinate(at), y = coordinate(at);
            if (!x || !y)
                break;
            position += QPointF(*x, *y);
            out << position;
        }
    } else {
        const qint64 stride = compressed ? 4 : 8;
        count = std::clamp<qint64>(std::min(count, r.has(at, 0) ? (r.length() - at) / stride : 0), 0, Gdi::maxRecordPoints);
        out.reserve(count);
        for (qint64 i = 0; i < count; ++i)
            out << (compressed ? QPointF(r.s16(at + 4 * i), r.s16(at + 4 * i + 2)) : QPointF(r.f32(at + 8 * i), r.f32(at + 8 * i + 4)));
        at += count * stride;
    }
    if (next)
        *next = at;
    return out;
}

QRectF readRect(const RecordReader& r, qint64 at, bool compressed)
{
    if (compressed)
        return QRectF(r.s16(at), r.s16(at + 2), r.s16(at + 4), r.s16(at + 6));
    return QRectF(r.f32(at), r.f32(at + 4), r.f32(at + 8), r.f32(at + 12));
}

}
