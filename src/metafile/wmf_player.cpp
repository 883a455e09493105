#include "metafile/wmf_player.h"
#include "core/code_page.h"
#include "metafile/dib_image.h"

#include <set>

namespace Metafile {

namespace {

using Gdi::Canvas;

constexpr quint32 placeableKey = 0x9AC6CDD7;

enum Meta : quint16 {
    endOfFile = 0x0000, setBkColour = 0x0201, setBkMode = 0x0102, setMapMode = 0x0103, setRop2 = 0x0104,
    setPolyFillMode = 0x0106, setTextColour = 0x0209, setWindowOrg = 0x020B, setWindowExt = 0x020C,
    setViewportOrg = 0x020D, setViewportExt = 0x020E, offsetWindowOrg = 0x020F, scaleWindowExt = 0x0410,
    offsetViewportOrg = 0x0211, scaleViewportExt = 0x0412, lineTo = 0x0213, moveTo = 0x0214,
    excludeClipRect = 0x0415, intersectClipRect = 0x0416, arc = 0x0817, ellipse = 0x0418, pie = 0x081A,
    rectangle = 0x041B, roundRect = 0x061C, patBlt = 0x061D, saveDc = 0x001E, setPixel = 0x041F,
    offsetClipRgn = 0x0220, textOut = 0x0521, bitBlt = 0x0922, stretchBlt = 0x0B23, polygon = 0x0324,
    polyline = 0x0325, restoreDc = 0x0127, fillRegion = 0x0228, frameRegion = 0x0429, invertRegion = 0x012A,
    paintRegion = 0x012B, selectClipRegion = 0x012C, selectObject = 0x012D, setTextAlign = 0x012E,
    chord = 0x0830, extTextOut = 0x0A32, polyPolygon = 0x0538, dibBitBlt = 0x0940, dibStretchBlt = 0x0B41,
    dibCreatePatternBrush = 0x0142, stretchDib = 0x0F43, deleteObject = 0x01F0, createPalette = 0x00F7,
    createPatternBrush = 0x01F9, createPen = 0x02FA, createFont = 0x02FB, createBrush = 0x02FC,
    createRegion = 0x06FF,
};

// Coordinates come in pairs, y first.
QPointF point(const RecordReader& r, qint64 at) { return QPointF(r.s16(at + 2), r.s16(at)); }
// Rectangles as bottom, right, top, left.
QRectF box(const RecordReader& r, qint64 at) { return QRectF(point(r, at + 4), point(r, at)); }

// A WMF object table hands each new object the lowest free slot; the canvas
// numbers its objects from 1.
class Slots {
public:
    void create(Canvas& c, Gdi::Object object)
    {
        quint32 slot = next;
        if (!freed.empty()) {
            slot = *freed.begin();
            freed.erase(freed.begin());
        } else if (next < 0xFFFF) {
            ++next;
        } else {
            return;
        }
        c.create(slot + 1, std::move(object));
    }
    void remove(Canvas& c, quint16 slot)
    {
        if (slot < next)
            freed.insert(slot);
        c.remove(quint32(slot) + 1);
    }
    static const Gdi::Object* at(const Canvas& c, quint16 slot) { return c.object(quint32(slot) + 1); }

private:
    std::set<quint32> freed;  // below next
    quint32 next = 0;         // the slots from here on were never taken
};

template <typename T>
const T* objectAt(const Canvas& c, quint16 slot)
{
    const Gdi::Object* object = Slots::at(c, slot);
    return object ? std::get_if<T>(object) : nullptr;
}

// A region's logical rectangles, scan by scan.
QPainterPath regionRecord(const RecordReader& r)
{
    constexpr qint64 scansAt = 28;
    const qint64 scans = std::min<qint64>(r.u16(16), 100'000);
    QPainterPath out;
    qint64 at = scansAt;
    for (qint64 i = 0; i < scans && r.has(at, 6); ++i) {
        const qint64 coordinates = r.u16(at);
        const double top = r.s16(at + 2), bottom = r.s16(at + 4);
        for (qint64 k = 0; k + 1 < coordinates && r.has(at + 6 + 2 * k, 4); k += 2)
            out.addRect(QRectF(QPointF(r.s16(at + 6 + 2 * k), top), QPointF(r.s16(at + 8 + 2 * k), bottom)).normalized());
        at += 6 + 2 * coordinates + 2;
    }
    if (scans == 0)
        out.addRect(QRectF(QPointF(r.s16(20), r.s16(22)), QPointF(r.s16(24), r.s16(26))).normalized());
    return out;
}

Gdi::Brush brushRecord(const RecordReader& r)
{
    Gdi::Brush brush;
    const quint16 style = r.u16(6);
    brush.kind = style == 1 ? Gdi::Brush::null : style == 2 ? Gdi::Brush::hatched : Gdi::Brush::solid;
    brush.colour = r.colour(8);
    brush.hatch = r.u16(12);
    return brush;
}

QImage dibAt(const RecordReader& r, qint64 at)
{
    return packedDibImage(r.bytes(at, r.length() - at));
}

// 8-bit text in the code page its font's character set names.
QString decoded(const QByteArray& bytes, int charset)
{
    constexpr int symbolCharset = 2;
    if (charset == symbolCharset)
        return QString::fromLatin1(bytes); // symbol fonts' own codes
    QString text;
    CodePageDecoder().append(text, bytes, codePageOfCharset(charset));
    return text;
}

void textRecord(Canvas& c, quint16 function, const RecordReader& r)
{
    constexpr quint32 opaque = 2, clipped = 4;
    Canvas::TextRun run;
    QByteArray bytes;
    if (function == textOut) {
        const qint64 count = std::max<qint64>(r.s16(6), 0);
        bytes = r.bytes(8, std::min(count, r.length() - 8));
        const qint64 after = 8 + (count + 1) / 2 * 2;
        run.at = point(r, after);
    } else {
        run.at = point(r, 6);
        const qint64 count = std::max<qint64>(r.s16(10), 0);
        run.options = r.u16(12);
        qint64 at = 14;
        if (run.options & (opaque | clipped)) {
            run.box = QRectF(QPointF(r.s16(14), r.s16(16)), QPointF(r.s16(18), r.s16(20)));
            at += 8;
        }
        bytes = r.bytes(at, std::clamp<qint64>(count, 0, std::max<qint64>(r.length() - at, 0)));
        const qint64 dxAt = at + (count + 1) / 2 * 2;
        if (r.has(dxAt, 2 * count))
            for (qint64 i = 0; i < count; ++i)
                run.dx.push_back(r.s16(dxAt + 2 * i));
    }
    run.text = decoded(bytes, c.dc.font.charset);
    // Advances are given a byte each; a character of two bytes takes both.
    if (run.text.size() != bytes.size())
        run.dx.clear();
    c.text(run);
}

// The bitmap records: with no bitmap, the record is one word longer than
// its function's size byte says and the brush or a constant fills.
void bltRecord(Canvas& c, quint16 function, const RecordReader& r)
{
    const quint32 rop = r.u32(6);
    const bool withBitmap = r.length() / 2 != (function >> 8) + 3;
    QRectF target, source;
    QImage image;
    switch (function) {
    case bitBlt: case dibBitBlt: {
        const qint64 at = withBitmap ? 14 : 16;
        target = QRectF(point(r, at + 4), QSizeF(r.s16(at + 2), r.s16(at)));
        source = QRectF(point(r, 10), target.size());
        if (function == dibBitBlt && withBitmap)
            image = dibAt(r, 22);
        break;
    }
    case stretchBlt: case dibStretchBlt: {
        const qint64 at = withBitmap ? 18 : 20;
        target = QRectF(point(r, at + 4), QSizeF(r.s16(at + 2), r.s16(at)));
        source = QRectF(point(r, 14), QSizeF(r.s16(12), r.s16(10)));
        if (function == dibStretchBlt && withBitmap)
            image = dibAt(r, 26);
        break;
    }
    case stretchDib: {
        target = QRectF(point(r, 24), QSizeF(r.s16(22), r.s16(20)));
        source = QRectF(point(r, 16), QSizeF(r.s16(14), r.s16(12)));
        image = dibAt(r, 28);
        // A bitmap stored bottom line first counts its rows from the bottom.
        if (!image.isNull() && r.u32(28) != 12 && r.s32(36) > 0)
            source.moveTop(image.height() - source.bottom());
        if (image.isNull())
            return;
        break;
    }
    }
    // Old device-dependent bitmaps are not drawn.
    if (withBitmap && image.isNull())
        return;
    c.blit(target, image, source.normalized().intersected(QRectF(image.rect())), rop);
}

QTransform logicalToDevice(const Canvas& c)
{
    return c.toPicture() * c.deviceToPicture().inverted();
}

void regionRecords(Canvas& c, quint16 function, const RecordReader& r)
{
    const QPainterPath* region = objectAt<QPainterPath>(c, r.u16(6));
    if (function == selectClipRegion) {
        constexpr int rgnCopy = 5;
        c.clipRegion(region ? std::optional(logicalToDevice(c).map(*region)) : std::nullopt, rgnCopy);
        return;
    }
    if (!region)
        return;
    const Gdi::Brush* brush = objectAt<Gdi::Brush>(c, r.u16(8));
    switch (function) {
    case fillRegion:
        if (brush)
            c.fillRegion(*region, *brush);
        break;
    case frameRegion:
        if (brush)
            c.frameRegion(*region, *brush, QSizeF(r.s16(12), r.s16(10)));
        break;
    case paintRegion: c.fillRegion(*region, c.dc.brush); break;
    case invertRegion: {
        // R2_NOT over the region's area, with neither pen nor brush of its own.
        const Gdi::DeviceContext kept = c.dc;
        c.dc.rop2 = 6;
        c.dc.pen.style = 5;
        c.dc.brush = Gdi::Brush{};
        std::vector<QPolygonF> shapes;
        for (const QPolygonF& shape : region->toFillPolygons())
            shapes.push_back(shape);
        c.polygons(shapes);
        c.dc = kept;
        break;
    }
    }
}

void play(Canvas& c, Slots& objects, quint16 function, const RecordReader& r)
{
    Gdi::DeviceContext& dc = c.dc;
    if (followWmfMapping(dc, function, r))
        return;
    const bool drawsShapes = c.budget.work > 0;
    switch (function) {
    case setBkColour: dc.backColour = r.colour(6); break;
    case setBkMode: dc.opaqueBackground = r.u16(6) == 2; break;
    case setRop2: dc.rop2 = r.u16(6); break;
    case setPolyFillMode: dc.fillRule = r.u16(6) == 2 ? Qt::WindingFill : Qt::OddEvenFill; break;
    case setTextColour: dc.textColour = r.colour(6); break;
    case setTextAlign: dc.textAlign = r.u16(6); break;
    case saveDc: c.save(); break;
    case restoreDc: c.restore(r.s16(6)); break;
    case moveTo: c.moveTo(point(r, 6)); break;
    case lineTo: c.lineTo(point(r, 6)); break;
    case excludeClipRect: case intersectClipRect: c.clipRect(box(r, 6), function == excludeClipRect); break;
    case offsetClipRgn: c.offsetClip(point(r, 6)); break;
    case rectangle: c.rectangle(box(r, 6)); break;
    case roundRect: c.rectangle(box(r, 10), QSizeF(r.s16(8), r.s16(6))); break;
    case ellipse: c.ellipse(box(r, 6)); break;
    case arc: c.arc(box(r, 14), point(r, 10), point(r, 6), Canvas::Arc::open); break;
    case chord: c.arc(box(r, 14), point(r, 10), point(r, 6), Canvas::Arc::chord); break;
    case pie: c.arc(box(r, 14), point(r, 10), point(r, 6), Canvas::Arc::pie); break;
    case polygon: case polyline:
        if (drawsShapes) {
            const QPolygonF points = r.points(8, r.u16(6), true, Gdi::maxRecordPoints);
            if (function == polygon)
                c.polygons({points});
            else
                c.polyline(points, false);
        }
        break;
    case polyPolygon:
        if (drawsShapes)
            c.polygons(r.pointLists(8, r.u16(6), 2, true, Gdi::maxRecordPoints));
        break;
    case setPixel: c.setPixel(point(r, 10), r.colour(6)); break;
    case textOut: case extTextOut: textRecord(c, function, r); break;
    case patBlt: c.blit(QRectF(point(r, 14), QSizeF(r.s16(12), r.s16(10))), {}, {}, r.u32(6)); break;
    case bitBlt: case stretchBlt: case dibBitBlt: case dibStretchBlt: case stretchDib: bltRecord(c, function, r); break;
    case createPen: objects.create(c, Gdi::simplePen(r.u16(6), r.s16(8), r.colour(12))); break;
    case createBrush: objects.create(c, brushRecord(r)); break;
    case dibCreatePatternBrush: {
        Gdi::Brush brush{Gdi::Brush::pattern, Qt::black, 0, {}};
        if (r.u16(6) == 5) // BS_DIBPATTERN
            brush.image = dibAt(r, 10);
        objects.create(c, brush);
        break;
    }
    case createPatternBrush: objects.create(c, Gdi::Brush{Gdi::Brush::pattern, Qt::black, 0, {}}); break;
    case createFont: objects.create(c, Gdi::logFont(r, 6, true)); break;
    case createPalette: objects.create(c, std::monostate{}); break;
    case createRegion: objects.create(c, regionRecord(r)); break;
    case deleteObject: objects.remove(c, r.u16(6)); break;
    case selectObject:
        if (objectAt<QPainterPath>(c, r.u16(6)))
            regionRecords(c, selectClipRegion, r);
        else
            c.select(quint32(r.u16(6)) + 1);
        break;
    case fillRegion: case frameRegion: case paintRegion: case invertRegion: case selectClipRegion:
        regionRecords(c, function, r);
        break;
    }
}

}

qint64 wmfRecordsStart(const QByteArray& data)
{
    const qint64 start = data.size() >= 4 && qFromLittleEndian<quint32>(data.constData()) == placeableKey ? 22 : 0;
    const RecordReader header(data.constData() + std::min<qint64>(start, data.size()), data.size() - std::min<qint64>(start, data.size()));
    if (!header.has(0, 18))
        return data.size() + 1;
    return start + 2 * qint64(header.u16(2));
}

bool followWmfMapping(Gdi::DeviceContext& dc, quint16 function, const RecordReader& r)
{
    const auto scaled = [&](QSizeF& extent) {
        if (r.s16(6) && r.s16(10))
            extent = QSizeF(extent.width() * r.s16(12) / r.s16(10), extent.height() * r.s16(8) / r.s16(6));
    };
    switch (function) {
    case setMapMode:
        // Players map a file's window onto the picture in MM_TEXT too.
        if (r.u16(6) >= 1 && r.u16(6) <= 8)
            dc.mapMode = r.u16(6) == Gdi::MapMode::text ? int(Gdi::MapMode::anisotropic) : r.u16(6);
        break;
    case setWindowOrg: dc.windowOrigin = point(r, 6); break;
    case setWindowExt: dc.windowExtent = QSizeF(r.s16(8), r.s16(6)); break;
    case setViewportOrg: dc.viewportOrigin = point(r, 6); break;
    case setViewportExt: dc.viewportExtent = QSizeF(r.s16(8), r.s16(6)); break;
    case offsetWindowOrg: dc.windowOrigin += point(r, 6); break;
    case offsetViewportOrg: dc.viewportOrigin += point(r, 6); break;
    case scaleWindowExt: scaled(dc.windowExtent); break;
    case scaleViewportExt: scaled(dc.viewportExtent); break;
    default: return false;
    }
    Gdi::keepIsotropic(dc);
    return true;
}

bool playWmf(const QByteArray& data, Gdi::Canvas& canvas)
{
    qint64 at = wmfRecordsStart(data);
    int records = 0;
    Slots objects;
    while (at + 6 <= data.size()) {
        const qint64 size = 2 * qint64(qFromLittleEndian<quint32>(data.constData() + at));
        const quint16 function = qFromLittleEndian<quint16>(data.constData() + at + 4);
        if (size < 6 || size > data.size() - at)
            return records > 0;
        if (function == endOfFile)
            return true;
        play(canvas, objects, function, RecordReader(data.constData() + at, size));
        at += size;
        ++records;
    }
    return records > 0;
}

}
