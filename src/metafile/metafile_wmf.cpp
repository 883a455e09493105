#include "metafile/metafile_render.h"
#include "metafile/wmf_player.h"

#include <cmath>

namespace Metafile {

namespace {

// A placeable file's units an inch, and a bare file's logical units, come
// out at 96 DPI.
const QSizeF pixelsPerMm(96 / 25.4, 96 / 25.4);

struct Record {
    quint16 function;
    RecordReader reader;
};

// Calls each(record) for the records in order, up to the end of the file,
// the first damaged record or the first each answers false to.
template <typename Each>
void forEachRecord(const QByteArray& d, Each each)
{
    qint64 at = wmfRecordsStart(d);
    while (at + 6 <= d.size()) {
        const qint64 size = 2 * qint64(qFromLittleEndian<quint32>(d.constData() + at));
        const quint16 function = qFromLittleEndian<quint16>(d.constData() + at + 4);
        if (size < 6 || size > d.size() - at || function == 0 || !each(Record{function, RecordReader(d.constData() + at, size)}))
            return;
        at += size;
    }
}

// Records that change state but draw nothing.
bool isStateRecord(quint16 function)
{
    switch (function) {
    case 0x001E: case 0x0035: case 0x0102: case 0x0103: case 0x0104: case 0x0105: case 0x0106: case 0x0107:
    case 0x0108: case 0x012D: case 0x012E: case 0x01F0: case 0x0201: case 0x0209: case 0x020A: case 0x020B:
    case 0x020C: case 0x020D: case 0x020E: case 0x020F: case 0x0211: case 0x0231: case 0x0234: case 0x02FA:
    case 0x02FB: case 0x02FC: case 0x0142: case 0x00F7: case 0x0410: case 0x0412: case 0x0626:
        return true;
    }
    return false;
}

// The mapping in force at the first drawing record, which the frame is
// given in, and whether the file had set its window by then.
struct Setup {
    Gdi::DeviceContext dc;
    bool window = false;
};

// A file starts with its window mapped onto a viewport the player chose.
Gdi::DeviceContext startingWith(QSizeF viewportExtent)
{
    Gdi::DeviceContext dc;
    dc.mapMode = Gdi::MapMode::anisotropic;
    dc.viewportExtent = viewportExtent;
    return dc;
}

Setup setup(const QByteArray& d, const Gdi::DeviceContext& start)
{
    Setup out{start};
    forEachRecord(d, [&](const Record& r) {
        if (!isStateRecord(r.function))
            return false;
        if (followWmfMapping(out.dc, r.function, r.reader) && (r.function == 0x020C || r.function == 0x0410))
            out.window = out.dc.windowExtent.width() != 0 && out.dc.windowExtent.height() != 0;
        return true;
    });
    return out;
}

// Where a bare file without a window draws: its shapes' corners and points,
// and its texts' starts, a line high.
QRectF drawingBounds(const QByteArray& d)
{
    QRectF out;
    double textHeight = 12;
    const auto add = [&](QPointF p) { out |= QRectF(p, QSizeF(1e-9, 1e-9)); };
    forEachRecord(d, [&](const Record& rec) {
        const RecordReader& r = rec.reader;
        const auto pointAt = [&](qint64 at) { return QPointF(r.s16(at + 2), r.s16(at)); };
        switch (rec.function) {
        case 0x0213: case 0x0214: add(pointAt(6)); break;
        case 0x041B: case 0x0418: add(pointAt(6)); add(pointAt(10)); break;
        case 0x061C: add(pointAt(10)); add(pointAt(14)); break;
        case 0x0817: case 0x081A: case 0x0830: add(pointAt(14)); add(pointAt(18)); break;
        case 0x0324: case 0x0325:
            for (const QPointF& p : r.points(8, r.u16(6), true, Gdi::maxRecordPoints))
                add(p);
            break;
        case 0x02FB: textHeight = std::max(1, std::abs(r.s16(6))); break;
        case 0x0521: case 0x0A32: {
            const qint64 count = rec.function == 0x0521 ? r.s16(6) : r.s16(10);
            const QPointF at = rec.function == 0x0521 ? pointAt(8 + (std::max<qint64>(count, 0) + 1) / 2 * 2) : pointAt(6);
            out |= QRectF(at, QSizeF(1e-9, textHeight));
            break;
        }
        }
        return true;
    });
    return out;
}

}

QImage renderWmf(const QByteArray& data, qint64 maxPixels, QSize* natural, QString* why)
{
    if (wmfRecordsStart(data) > data.size()) {
        *why = QStringLiteral("damaged WMF file");
        return {};
    }
    std::optional<QSize> size = headerSize(data);
    if (!size) {
        *why = QStringLiteral("WMF file without a size");
        return {};
    }
    // The frame is the window the file sets up, which players map onto the
    // placeable box (whose own corners are often in other units, or
    // elsewhere); else the box, or for a bare file what it draws.
    const Setup s = setup(data, startingWith({1, 1}));
    QRectF logical;
    if (s.window)
        logical = QRectF(s.dc.windowOrigin, s.dc.windowExtent).normalized();
    else if (size->isValid())
        logical = QRectF(QPointF(qFromLittleEndian<qint16>(data.constData() + 6), qFromLittleEndian<qint16>(data.constData() + 8)),
                         QPointF(qFromLittleEndian<qint16>(data.constData() + 10), qFromLittleEndian<qint16>(data.constData() + 12))).normalized();
    else
        logical = drawingBounds(data);
    const QRectF onDevice = Gdi::pageTransform(s.dc, pixelsPerMm).mapRect(logical);
    if (!(onDevice.width() > 0 && onDevice.height() > 0)) {
        *why = QStringLiteral("WMF file draws nothing");
        return {};
    }
    if (!size->isValid()) {
        const bool metric = s.dc.mapMode >= Gdi::MapMode::loMetric && s.dc.mapMode <= Gdi::MapMode::twips;
        const QSizeF pixels = metric ? onDevice.size() : logical.size();
        size = QSize(std::max(1, int(std::lround(pixels.width()))), std::max(1, int(std::lround(pixels.height()))));
    }
    *natural = *size;
    // A viewport on which device units are the natural size's pixels, as a
    // SetPixel record expects.
    const QSizeF window = s.dc.windowExtent;
    const Gdi::DeviceContext start = startingWith(QSizeF(size->width() * std::abs(window.width()) / logical.width(),
                                                         size->height() * std::abs(window.height()) / logical.height()));
    const QRectF frame = Gdi::pageTransform(setup(data, start).dc, pixelsPerMm).mapRect(logical);
    if (!(frame.width() > 0 && frame.height() > 0)) {
        *why = QStringLiteral("WMF file draws nothing");
        return {};
    }
    const QSize drawn = drawnSize(*size, maxPixels);
    QImage image(drawn, QImage::Format_RGB32);
    if (image.isNull()) {
        *why = QStringLiteral("WMF picture too large");
        return {};
    }
    image.fill(Qt::white);
    const QTransform deviceToPicture = QTransform::fromTranslate(-frame.left(), -frame.top())
        * QTransform::fromScale(drawn.width() / frame.width(), drawn.height() / frame.height());
    bool played = false;
    {
        Gdi::Canvas canvas(image, deviceToPicture, pixelsPerMm);
        canvas.dc = start;
        played = playWmf(data, canvas);
    }
    if (!played) {
        *why = QStringLiteral("damaged WMF file");
        return {};
    }
    return image;
}

}
