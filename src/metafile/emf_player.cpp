#include "metafile/emf_player.h"
#include "metafile/dib_image.h"
#include "metafile/emfplus_player.h"
#include "metafile/record_reader.h"

namespace Metafile {

namespace {

using Gdi::Canvas;

enum Emr : quint32 {
    polyBezier = 2, polygon = 3, polyline = 4, polyBezierTo = 5, polylineTo = 6, polyPolyline = 7, polyPolygon = 8,
    setWindowExt = 9, setWindowOrg = 10, setViewportExt = 11, setViewportOrg = 12, endOfFile = 14, setPixel = 15,
    setMapMode = 17, setBkMode = 18, setPolyFillMode = 19, setRop2 = 20, setTextAlign = 22, setTextColour = 24,
    setBkColour = 25, offsetClipRgn = 26, moveTo = 27, excludeClipRect = 29, intersectClipRect = 30,
    scaleViewportExt = 31, scaleWindowExt = 32, saveDc = 33, restoreDc = 34, setWorldTransform = 35,
    modifyWorldTransform = 36, selectObject = 37, createPen = 38, createBrush = 39, deleteObject = 40,
    angleArc = 41, ellipse = 42, rectangle = 43, roundRect = 44, arc = 45, chord = 46, pie = 47, lineTo = 54,
    arcTo = 55, polyDraw = 56, setArcDirection = 57, beginPath = 59, endPath = 60, closeFigure = 61,
    fillPath = 62, strokeAndFillPath = 63, strokePath = 64, selectClipPath = 67, abortPath = 68, fillRgn = 71,
    frameRgn = 72, paintRgn = 74, extSelectClipRgn = 75, bitBlt = 76, stretchBlt = 77, setDiBitsToDevice = 80,
    stretchDiBits = 81, createFont = 82, extTextOutA = 83, extTextOutW = 84, polyBezier16 = 85, polygon16 = 86,
    polyline16 = 87, polyBezierTo16 = 88, polylineTo16 = 89, polyPolyline16 = 90, polyPolygon16 = 91,
    polyDraw16 = 92, comment = 70, createMonoBrush = 93, createDibPatternBrush = 94, extCreatePen = 95, smallTextOut = 108,
    alphaBlend = 114, transparentBlt = 116, gradientFill = 118,
};

// A region's rectangles (RGNDATA), in the units the record gives them.
std::optional<QPainterPath> region(const RecordReader& r, qint64 at, qint64 bytes)
{
    if (bytes < 32 || !r.has(at, 32))
        return std::nullopt;
    const qint64 count = std::min<qint64>({r.u32(at + 8), (std::min(bytes, r.length() - at) - 32) / 16, 100'000});
    QPainterPath out;
    for (qint64 i = 0; i < count; ++i)
        out.addRect(r.rect32(at + 32 + 16 * i).normalized());
    return out;
}

QTransform transform(const RecordReader& r, qint64 at)
{
    return QTransform(r.f32(at), r.f32(at + 4), r.f32(at + 8), r.f32(at + 12), r.f32(at + 16), r.f32(at + 20));
}

QImage bitmap(const RecordReader& r, qint64 infoAt, qint64 bitsAt)
{
    const qint64 info = r.u32(infoAt), infoSize = r.u32(infoAt + 4);
    const qint64 bits = r.u32(bitsAt), bitsSize = r.u32(bitsAt + 4);
    if (infoSize == 0)
        return {};
    return dibImage(r.bytes(info, infoSize), r.bytes(bits, bitsSize));
}

std::optional<Gdi::Brush> brushAt(const Canvas& c, quint32 index)
{
    if (index & 0x80000000) {
        const std::optional<Gdi::Object> stock = Gdi::stockObject(index);
        if (stock && std::holds_alternative<Gdi::Brush>(*stock))
            return std::get<Gdi::Brush>(*stock);
        return std::nullopt;
    }
    const Gdi::Object* object = c.object(index);
    if (object && std::holds_alternative<Gdi::Brush>(*object))
        return std::get<Gdi::Brush>(*object);
    return std::nullopt;
}

void polyRecord(Canvas& c, quint32 type, const RecordReader& r, bool small)
{
    if (c.budget.work <= 0)
        return;
    const QPolygonF points = r.points(28, r.u32(24), small, Gdi::maxRecordPoints);
    switch (type) {
    case polyBezier: case polyBezier16: c.beziers(points, false); break;
    case polygon: case polygon16: c.polygons({points}); break;
    case polyline: case polyline16: c.polyline(points, false); break;
    case polyBezierTo: case polyBezierTo16: c.beziers(points, true); break;
    case polylineTo: case polylineTo16: c.polyline(points, true); break;
    }
}

void polyPolyRecord(Canvas& c, bool polygons, const RecordReader& r, bool small)
{
    if (c.budget.work <= 0)
        return;
    const std::vector<QPolygonF> shapes = r.pointLists(32, r.u32(24), 4, small, Gdi::maxRecordPoints);
    if (polygons)
        c.polygons(shapes);
    else
        c.polylines(shapes);
}

void polyDrawRecord(Canvas& c, const RecordReader& r, bool small)
{
    const qint64 count = r.u32(24);
    const QPolygonF points = r.points(28, count, small, Gdi::maxRecordPoints);
    c.polyDraw(points, r.bytes(28 + points.size() * (small ? 4 : 8), points.size()));
}

void textRecord(Canvas& c, const RecordReader& r, bool wide)
{
    constexpr quint32 glyphIndex = 0x10, pairs = 0x2000;
    Canvas::TextRun run;
    run.at = r.point32(36);
    const qint64 count = std::min<qint64>(r.u32(44), 0x10000);
    const qint64 textAt = r.u32(48);
    run.options = r.u32(52);
    run.box = r.rect32(56);
    const qint64 dxAt = r.u32(72);
    const QByteArray bytes = r.bytes(textAt, count * (wide ? 2 : 1));
    run.text = wide ? QString::fromUtf16(reinterpret_cast<const char16_t*>(bytes.constData()), bytes.size() / 2)
                    : QString::fromLatin1(bytes);
    run.glyphIndices = run.options & glyphIndex;
    const int step = (run.options & pairs) ? 2 : 1;
    if (dxAt > 0 && r.has(dxAt, 4 * step * count))
        for (qint64 i = 0; i < count; ++i)
            run.dx.push_back(r.s32(dxAt + 4 * step * i));
    c.text(run);
}

void smallTextRecord(Canvas& c, const RecordReader& r)
{
    constexpr quint32 noRect = 0x100, smallChars = 0x200;
    Canvas::TextRun run;
    run.at = r.point32(8);
    const qint64 count = std::min<qint64>(r.u32(16), 0x10000);
    run.options = r.u32(20);
    qint64 at = 36;
    if (!(run.options & noRect)) {
        run.box = r.rect32(at);
        at += 16;
    }
    if (run.options & smallChars) {
        run.text = QString::fromLatin1(r.bytes(at, count));
    } else {
        const QByteArray bytes = r.bytes(at, 2 * count);
        run.text = QString::fromUtf16(reinterpret_cast<const char16_t*>(bytes.constData()), bytes.size() / 2);
    }
    run.options &= ~quint32(0x10);
    c.text(run);
}


void penRecord(Canvas& c, const RecordReader& r, bool extended)
{
    Gdi::Pen pen;
    if (!extended) {
        pen = Gdi::simplePen(r.u32(12), r.s32(16), r.colour(24));
    } else {
        pen.style = r.u32(28);
        pen.width = r.u32(32);
        pen.colour = r.colour(40);
        if (r.u32(36) == 1) // BS_NULL
            pen.style = (pen.style & ~0xFu) | 5;
        const qint64 entries = std::min<qint64>(r.u32(48), 16);
        for (qint64 i = 0; i < entries; ++i)
            pen.userDashes.push_back(r.u32(52 + 4 * i));
    }
    c.create(r.u32(8), pen);
}

void brushRecord(Canvas& c, quint32 type, const RecordReader& r)
{
    Gdi::Brush brush;
    if (type == createBrush) {
        const quint32 style = r.u32(12);
        brush.kind = style == 1 ? Gdi::Brush::null : style == 2 ? Gdi::Brush::hatched : Gdi::Brush::solid;
        brush.colour = r.colour(16);
        brush.hatch = int(r.u32(20));
    } else {
        brush.kind = Gdi::Brush::pattern;
        brush.colour = Qt::black;
        brush.image = bitmap(r, 16, 24);
    }
    c.create(r.u32(8), brush);
}

// BitBlt, StretchBlt, AlphaBlend, TransparentBlt: a source bitmap with its
// own transform, or none.
void bltRecord(Canvas& c, quint32 type, const RecordReader& r)
{
    const QRectF target(r.s32(24), r.s32(28), r.s32(32), r.s32(36));
    const quint32 rop = r.u32(40);
    QImage image = bitmap(r, 84, 92);
    QRectF source(r.s32(44), r.s32(48), 0, 0);
    if (type == bitBlt) {
        const QTransform t = transform(r, 52);
        source.setSize(QSizeF(std::abs(target.width() * (t.m11() ? t.m11() : 1)), std::abs(target.height() * (t.m22() ? t.m22() : 1))));
    } else {
        source.setSize(QSizeF(r.s32(100), r.s32(104)));
    }
    if (type == transparentBlt && !image.isNull()) {
        const QColor key = r.colour(40);
        image = image.convertToFormat(QImage::Format_ARGB32);
        image.setAlphaChannel(image.createMaskFromColor(key.rgb(), Qt::MaskOutColor).convertToFormat(QImage::Format_Alpha8));
    }
    const bool copies = type == alphaBlend || type == transparentBlt;
    c.blit(target, image, source.intersected(QRectF(image.rect())), copies ? 0x00CC0020 : rop);
}

void dibRecord(Canvas& c, quint32 type, const RecordReader& r)
{
    const QImage image = bitmap(r, 48, 56);
    if (image.isNull())
        return;
    const bool stretch = type == stretchDiBits;
    const QRectF target(r.s32(24), r.s32(28), stretch ? r.s32(72) : r.s32(40), stretch ? r.s32(76) : r.s32(44));
    QRectF source(r.s32(32), r.s32(36), r.s32(40), r.s32(44));
    // A bitmap stored bottom line first counts its rows from the bottom.
    const qint64 info = r.u32(48);
    if (r.s32(info + 8) > 0 && r.u32(info) != 12)
        source.moveTop(image.height() - source.bottom());
    c.blit(target, image, source.normalized().intersected(QRectF(image.rect())), stretch ? r.u32(68) : 0x00CC0020);
}

void gradientRecord(Canvas& c, const RecordReader& r)
{
    const qint64 vertices = std::min<qint64>(r.u32(24), r.length() / 16);
    const qint64 shapes = std::min<qint64>(r.u32(28), r.length() / 8);
    const quint32 mode = r.u32(32);
    const auto point = [&](quint32 i) { return r.point32(36 + 16 * qint64(i)); };
    const auto colour = [&](quint32 i) {
        const qint64 at = 36 + 16 * qint64(i) + 8;
        return QColor(r.u16(at) >> 8, r.u16(at + 2) >> 8, r.u16(at + 4) >> 8);
    };
    const qint64 indices = 36 + 16 * vertices;
    for (qint64 s = 0; s < shapes; ++s) {
        if (mode == 2) {
            const qint64 at = indices + 12 * s;
            const quint32 a = r.u32(at), b = r.u32(at + 4), d = r.u32(at + 8);
            if (a >= vertices || b >= vertices || d >= vertices)
                continue;
            const QColor ca = colour(a), cb = colour(b), cd = colour(d);
            c.gradientTriangle(QPolygonF{point(a), point(b), point(d)},
                               QColor((ca.red() + cb.red() + cd.red()) / 3, (ca.green() + cb.green() + cd.green()) / 3,
                                      (ca.blue() + cb.blue() + cd.blue()) / 3));
        } else if (mode < 2) {
            const qint64 at = indices + 8 * s;
            const quint32 a = r.u32(at), b = r.u32(at + 4);
            if (a >= vertices || b >= vertices)
                continue;
            c.gradientRect(QRectF(point(a), point(b)), colour(a), colour(b), mode == 1);
        }
    }
}

void play(Canvas& c, quint32 type, const RecordReader& r)
{
    Gdi::DeviceContext& dc = c.dc;
    switch (type) {
    case polyBezier: case polygon: case polyline: case polyBezierTo: case polylineTo:
        polyRecord(c, type, r, false);
        break;
    case polyBezier16: case polygon16: case polyline16: case polyBezierTo16: case polylineTo16:
        polyRecord(c, type, r, true);
        break;
    case polyPolyline: case polyPolygon: polyPolyRecord(c, type == polyPolygon, r, false); break;
    case polyPolyline16: case polyPolygon16: polyPolyRecord(c, type == polyPolygon16, r, true); break;
    case polyDraw: case polyDraw16: polyDrawRecord(c, r, type == polyDraw16); break;
    case setWindowExt: dc.windowExtent = QSizeF(r.s32(8), r.s32(12)); c.mappingChanged(); break;
    case setWindowOrg: dc.windowOrigin = r.point32(8); break;
    case setViewportExt: dc.viewportExtent = QSizeF(r.s32(8), r.s32(12)); c.mappingChanged(); break;
    case setViewportOrg: dc.viewportOrigin = r.point32(8); break;
    case scaleViewportExt: case scaleWindowExt: {
        QSizeF& extent = type == scaleViewportExt ? dc.viewportExtent : dc.windowExtent;
        if (r.s32(12) && r.s32(20))
            extent = QSizeF(extent.width() * r.s32(8) / r.s32(12), extent.height() * r.s32(16) / r.s32(20));
        c.mappingChanged();
        break;
    }
    case setPixel: c.setPixel(r.point32(8), r.colour(16)); break;
    case setMapMode:
        if (r.u32(8) >= 1 && r.u32(8) <= 8)
            dc.mapMode = int(r.u32(8));
        c.mappingChanged();
        break;
    case setBkMode: dc.opaqueBackground = r.u32(8) == 2; break;
    case setPolyFillMode: dc.fillRule = r.u32(8) == 2 ? Qt::WindingFill : Qt::OddEvenFill; break;
    case setRop2: dc.rop2 = int(r.u32(8)); break;
    case setTextAlign: dc.textAlign = r.u32(8); break;
    case setTextColour: dc.textColour = r.colour(8); break;
    case setBkColour: dc.backColour = r.colour(8); break;
    case offsetClipRgn: c.offsetClip(r.point32(8)); break;
    case moveTo: c.moveTo(r.point32(8)); break;
    case excludeClipRect: c.clipRect(r.rect32(8), true); break;
    case intersectClipRect: c.clipRect(r.rect32(8), false); break;
    case saveDc: c.save(); break;
    case restoreDc: c.restore(r.s32(8)); break;
    case setWorldTransform: dc.world = transform(r, 8); break;
    case modifyWorldTransform: {
        const QTransform t = transform(r, 8);
        switch (r.u32(32)) {
        case 1: dc.world.reset(); break;
        case 2: dc.world = t * dc.world; break;
        case 3: dc.world = dc.world * t; break;
        case 4: dc.world = t; break;
        }
        break;
    }
    case selectObject: c.select(r.u32(8)); break;
    case deleteObject: c.remove(r.u32(8)); break;
    case createPen: penRecord(c, r, false); break;
    case extCreatePen: penRecord(c, r, true); break;
    case createBrush: case createMonoBrush: case createDibPatternBrush: brushRecord(c, type, r); break;
    case createFont: c.create(r.u32(8), Gdi::logFont(r, 12, false)); break;
    case angleArc: c.angleArc(r.point32(8), r.u32(16), r.f32(20), r.f32(24)); break;
    case ellipse: c.ellipse(r.rect32(8)); break;
    case rectangle: c.rectangle(r.rect32(8)); break;
    case roundRect: c.rectangle(r.rect32(8), QSizeF(r.s32(24), r.s32(28))); break;
    case arc: c.arc(r.rect32(8), r.point32(24), r.point32(32), Canvas::Arc::open); break;
    case chord: c.arc(r.rect32(8), r.point32(24), r.point32(32), Canvas::Arc::chord); break;
    case pie: c.arc(r.rect32(8), r.point32(24), r.point32(32), Canvas::Arc::pie); break;
    case arcTo: c.arc(r.rect32(8), r.point32(24), r.point32(32), Canvas::Arc::to); break;
    case lineTo: c.lineTo(r.point32(8)); break;
    case setArcDirection: dc.clockwise = r.u32(8) == 2; break;
    case beginPath: c.beginPath(); break;
    case endPath: c.endPath(); break;
    case closeFigure: c.closeFigure(); break;
    case fillPath: c.drawPath(true, false); break;
    case strokeAndFillPath: c.drawPath(true, true); break;
    case strokePath: c.drawPath(false, true); break;
    case selectClipPath: c.selectClipPath(int(r.u32(8))); break;
    case abortPath: c.abortPath(); break;
    case fillRgn: case frameRgn: {
        const std::optional<Gdi::Brush> brush = brushAt(c, r.u32(28));
        const std::optional<QPainterPath> area = region(r, type == fillRgn ? 32 : 40, r.u32(24));
        if (brush && area && type == fillRgn)
            c.fillRegion(*area, *brush);
        else if (brush && area)
            c.frameRegion(*area, *brush, QSizeF(r.s32(32), r.s32(36)));
        break;
    }
    case paintRgn:
        if (const std::optional<QPainterPath> area = region(r, 28, r.u32(24)))
            c.fillRegion(*area, dc.brush);
        break;
    case extSelectClipRgn: c.clipRegion(region(r, 16, r.u32(8)), int(r.u32(12))); break;
    case bitBlt: case stretchBlt: case alphaBlend: case transparentBlt: bltRecord(c, type, r); break;
    case setDiBitsToDevice: case stretchDiBits: dibRecord(c, type, r); break;
    case extTextOutA: case extTextOutW: textRecord(c, r, type == extTextOutW); break;
    case smallTextOut: smallTextRecord(c, r); break;
    case gradientFill: gradientRecord(c, r); break;
    }
}

// Whether the file's EMF+ records are its drawing: it has them and either
// says it has nothing else or draws nothing with EMF records.
bool drawnFromEmfPlus(const QByteArray& data)
{
    static constexpr quint32 drawing[] = {
        polyBezier, polygon, polyline, polyBezierTo, polylineTo, polyPolyline, polyPolygon, setPixel, angleArc,
        ellipse, rectangle, roundRect, arc, chord, pie, lineTo, arcTo, polyDraw, fillPath, strokeAndFillPath,
        strokePath, fillRgn, frameRgn, paintRgn, bitBlt, stretchBlt, setDiBitsToDevice, stretchDiBits,
        extTextOutA, extTextOutW, polyBezier16, polygon16, polyline16, polyBezierTo16, polylineTo16,
        polyPolyline16, polyPolygon16, polyDraw16, smallTextOut, alphaBlend, transparentBlt, gradientFill};
    std::optional<bool> dual;
    bool drawsEmf = false;
    for (qint64 at = 0, size = 0; at + 8 <= data.size() && !drawsEmf; at += size) {
        const RecordReader r(data.constData() + at, data.size() - at);
        const quint32 type = r.u32(0);
        size = r.u32(4);
        if (size < 8 || type == endOfFile)
            break;
        // The EMF+ header is the first record of the first comment.
        if (type == comment && !dual && r.u32(12) == 0x2B464D45 && r.u16(16) == 0x4001)
            dual = r.u16(18) & 1;
        drawsEmf = std::find(std::begin(drawing), std::end(drawing), type) != std::end(drawing);
    }
    return dual && !(*dual && drawsEmf);
}

}

bool playEmf(const QByteArray& data, Gdi::Canvas& canvas)
{
    qint64 at = 0;
    int records = 0;
    std::optional<EmfPlus::Player> plus;
    if (drawnFromEmfPlus(data))
        plus.emplace(canvas);
    while (at + 8 <= data.size()) {
        const quint32 type = qFromLittleEndian<quint32>(data.constData() + at);
        const quint32 size = qFromLittleEndian<quint32>(data.constData() + at + 4);
        if (size < 8 || size > data.size() - at)
            return records > 1;
        if (type == endOfFile)
            return true;
        if (type == comment && plus)
            plus->play(RecordReader(data.constData() + at, size));
        else
            play(canvas, type, RecordReader(data.constData() + at, size));
        at += size;
        ++records;
    }
    return true;
}

}
