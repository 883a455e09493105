#include "metafile/metafile_render.h"

#include "metafile/raster_device_guards.h"

#include <QRect>
#include <QtEndian>
#include <QVector>

#include <libwmf/api.h>
#include <libwmf/gd.h>
#include <libwmf/ipa.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <optional>

namespace Metafile {

namespace {

constexpr quint32 placeableKey = 0x9AC6CDD7;
constexpr int placeableSize = 22;
constexpr int standardHeaderSize = 18;

quint16 u16(const QByteArray& d, qint64 at) { return qFromLittleEndian<quint16>(d.constData() + at); }
qint16 s16(const QByteArray& d, qint64 at) { return qFromLittleEndian<qint16>(d.constData() + at); }
quint32 u32(const QByteArray& d, qint64 at) { return qFromLittleEndian<quint32>(d.constData() + at); }

bool isPlaceable(const QByteArray& d)
{
    return d.size() >= placeableSize && u32(d, 0) == placeableKey;
}

// Records that only set up the logical-to-device mapping.
bool isMappingRecord(quint16 function)
{
    switch (function) {
    case 0x0103: // SETMAPMODE
    case 0x020B: // SETWINDOWORG
    case 0x020C: // SETWINDOWEXT
    case 0x020D: // SETVIEWPORTORG
    case 0x020E: // SETVIEWPORTEXT
    case 0x020F: // OFFSETWINDOWORG
    case 0x0211: // OFFSETVIEWPORTORG
    case 0x0410: // SCALEWINDOWEXT
    case 0x0412: // SCALEVIEWPORTEXT
        return true;
    }
    return false;
}

// Records that change state but draw nothing; the mapping in force at the
// first drawing record is the one the header's frame is given in.
bool isStateRecord(quint16 function)
{
    if (isMappingRecord(function))
        return true;
    switch (function) {
    case 0x001E: case 0x0035: case 0x0102: case 0x0104: case 0x0106:
    case 0x0107: case 0x0108: case 0x012D: case 0x012E: case 0x01F0:
    case 0x0201: case 0x0209: case 0x020A: case 0x0231: case 0x0234:
    case 0x02FA: case 0x02FB: case 0x02FC: case 0x0142: case 0x00F7:
    case 0x0626:
        return true;
    }
    return false;
}

void appendRecord(QByteArray& out, quint16 function, const QVector<qint16>& params)
{
    char buf[6];
    qToLittleEndian<quint32>(quint32(3 + params.size()), buf);
    qToLittleEndian<quint16>(function, buf + 4);
    out.append(buf, 6);
    for (qint16 p : params) {
        qToLittleEndian<qint16>(p, buf);
        out.append(buf, 2);
    }
}

// The window a file sets up, tracked through its mapping records.
struct Window {
    QPoint origin, extent;
    bool set = false;

    void follow(quint16 function, const QByteArray& d, qint64 pos, quint32 words)
    {
        const auto param = [&](quint32 i) { return i + 3 < words ? int(s16(d, pos + 6 + 2 * i)) : 0; };
        switch (function) {
        case 0x020B: origin = {param(1), param(0)}; break;             // SETWINDOWORG y, x
        case 0x020F: origin += QPoint(param(1), param(0)); break;      // OFFSETWINDOWORG
        case 0x020C: extent = {param(1), param(0)}; set = true; break; // SETWINDOWEXT y, x
        case 0x0410:                                                   // SCALEWINDOWEXT yd, yn, xd, xn
            if (param(0) && param(2))
                extent = {extent.x() * param(3) / param(2), extent.y() * param(1) / param(0)};
            break;
        }
    }
    // Its corners, when it is set and they fit a record's coordinates.
    std::optional<QRect> corners() const
    {
        const QPoint far = origin + extent;
        const auto fits = [](int v) { return v >= -32768 && v <= 32767; };
        if (!set || extent.x() == 0 || extent.y() == 0 || !fits(far.x()) || !fits(far.y()))
            return std::nullopt;
        return QRect(origin, far);
    }
};

// libwmf frames its output by the extent of what is drawn, which shifts and
// crops a drawing with a margin. To frame it by the header instead, play a
// metafile holding only the mapping records and two points at the frame's
// corners; its extent is the frame in libwmf's device coordinates. The frame
// is the window the file sets up, which players map onto the placeable box
// (whose own corners are often in other units, or elsewhere), else the box.
QByteArray frameProbe(const QByteArray& d)
{
    QByteArray out = d.left(placeableSize + standardHeaderSize);
    qint64 pos = placeableSize + u16(d, placeableSize + 2) * 2;
    quint32 maxRecord = 8;
    Window window;
    while (pos + 6 <= d.size()) {
        const quint32 words = u32(d, pos);
        const quint16 function = u16(d, pos + 4);
        if (words < 3 || pos + qint64(words) * 2 > d.size() || !isStateRecord(function))
            break;
        if (isMappingRecord(function)) {
            out.append(d.constData() + pos, qint64(words) * 2);
            maxRecord = std::max(maxRecord, words);
            window.follow(function, d, pos, words);
        }
        pos += qint64(words) * 2;
    }
    const QRect frame = window.corners().value_or(QRect(QPoint(s16(d, 6), s16(d, 8)), QPoint(s16(d, 10), s16(d, 12))));
    // SETPIXEL: colour, y, x
    appendRecord(out, 0x041F, {0, 0, qint16(frame.top()), qint16(frame.left())});
    appendRecord(out, 0x041F, {0, 0, qint16(frame.bottom()), qint16(frame.right())});
    appendRecord(out, 0x0000, {});                    // end of file
    char* header = out.data() + placeableSize;
    qToLittleEndian<quint32>(quint32((out.size() - placeableSize) / 2), header + 6);
    qToLittleEndian<quint16>(0, header + 10);         // no objects
    qToLittleEndian<quint32>(maxRecord, header + 12);
    return out;
}

// The records as libwmf draws them right:
// - its raster device outlines ellipses but never fills them; a polygon
//   through the same outline fills correctly;
// - it sizes a pen by the logical unit as it stood at the last window or
//   viewport extent, even when a mapping mode set since changed what a unit
//   is, and draws the lines that pen makes too thin or too thick; the
//   extents are set again after each mapping mode.
QByteArray forLibwmf(const QByteArray& d)
{
    const qint64 start = (isPlaceable(d) ? placeableSize : 0);
    const qint64 first = start + u16(d, start + 2) * 2;
    if (first > d.size())
        return d;
    QByteArray out = d.left(first);
    // The largest record present, not what the header claims: libwmf sets
    // aside a buffer of the claimed size, up to 8 GB.
    quint32 maxRecord = 3;
    qint64 pos = first;
    QByteArray extents[2]; // SETWINDOWEXT, SETVIEWPORTEXT
    while (pos + 6 <= d.size()) {
        const quint32 words = u32(d, pos);
        if (words < 3 || pos + qint64(words) * 2 > d.size())
            break;
        const quint16 function = u16(d, pos + 4);
        if (function == 0x020C || function == 0x020E)
            extents[function == 0x020E] = d.mid(pos, qint64(words) * 2);
        if (function == 0x0103) {
            out.append(d.constData() + pos, qint64(words) * 2);
            for (const QByteArray& extent : extents)
                out += extent;
            maxRecord = std::max(maxRecord, words);
        } else if (function == 0x0418 && words == 7) { // ELLIPSE: bottom, right, top, left
            const double bottom = s16(d, pos + 6), right = s16(d, pos + 8);
            const double top = s16(d, pos + 10), left = s16(d, pos + 12);
            const double cx = (left + right) / 2, cy = (top + bottom) / 2;
            const double rx = (right - left) / 2, ry = (bottom - top) / 2;
            constexpr int points = 72;
            QVector<qint16> params{points};
            for (int i = 0; i < points; ++i) {
                const double a = 2 * M_PI * i / points;
                params << qint16(std::lround(cx + rx * std::cos(a)))
                       << qint16(std::lround(cy + ry * std::sin(a)));
            }
            appendRecord(out, 0x0324, params); // POLYGON
            maxRecord = std::max<quint32>(maxRecord, 3 + params.size());
        } else {
            out.append(d.constData() + pos, qint64(words) * 2);
            maxRecord = std::max(maxRecord, words);
        }
        pos += qint64(words) * 2;
    }
    out.append(d.constData() + pos, d.size() - pos);
    char* header = out.data() + start;
    qToLittleEndian<quint32>(quint32((out.size() - start) / 2), header + 6);
    qToLittleEndian<quint32>(maxRecord, header + 12);
    return out;
}

// One libwmf session drawing through its built-in raster device.
class Session {
public:
    explicit Session(const QByteArray& data) : bytes(data)
    {
        wmfAPI_Options options;
        std::memset(&options, 0, sizeof options);
        options.function = wmf_gd_function;
        const unsigned long flags = WMF_OPT_FUNCTION | WMF_OPT_IGNORE_NONFATAL
            | WMF_OPT_NO_ERROR | WMF_OPT_NO_DEBUG;
        if (wmf_api_create(&api, flags, &options) != wmf_E_None) {
            if (api)
                wmf_api_destroy(api);
            api = nullptr;
            return;
        }
        guardRasterDevice(api, &device);
        if (wmf_mem_open(api, reinterpret_cast<unsigned char*>(bytes.data()), bytes.size()) != wmf_E_None)
            return;
        opened = true;
        scanned = wmf_scan(api, 0, &extent) == wmf_E_None;
    }
    ~Session()
    {
        if (api) {
            if (opened)
                wmf_mem_close(api);
            wmf_api_destroy(api);
        }
    }
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    bool ok() const { return api && scanned; }

    wmfAPI* api = nullptr;
    wmfD_Rect extent{};

private:
    wmfFunctionReference device{};
    QByteArray bytes;
    bool opened = false;
    bool scanned = false;
};

}

QImage renderWmf(const QByteArray& data, qint64 maxPixels, QSize* natural, QString* why)
{
    Session session(forLibwmf(data));
    if (!session.ok()) {
        *why = QStringLiteral("damaged WMF file");
        return {};
    }

    // A placeable header gives the size; a bare file only tells it when played.
    std::optional<QSize> size = headerSize(data);
    wmfD_Rect frame = session.extent;
    if (size && size->isValid()) {
        Session probe(frameProbe(data));
        if (probe.ok() && probe.extent.BR.x > probe.extent.TL.x && probe.extent.BR.y > probe.extent.TL.y)
            frame = probe.extent;
    } else if (size) {
        unsigned int w = 0, h = 0;
        wmf_display_size(session.api, &w, &h, 96, 96);
        const unsigned most = std::numeric_limits<int>::max();
        size = w < 1 || h < 1 || w > most || h > most ? std::nullopt : std::optional(QSize(int(w), int(h)));
    }
    if (!size) {
        *why = QStringLiteral("WMF file without a size");
        return {};
    }
    *natural = *size;
    const QSize drawn = drawnSize(*size, maxPixels);
    const qint64 w = drawn.width(), h = drawn.height();
    if (!(frame.BR.x > frame.TL.x) || !(frame.BR.y > frame.TL.y)) {
        *why = QStringLiteral("WMF file draws nothing");
        return {};
    }

    wmf_gd_t* device = WMF_GD_GetData(session.api);
    device->type = wmf_gd_image;
    device->bbox = frame;
    device->width = unsigned(w);
    device->height = unsigned(h);
    wmfD_Rect played;
    if (wmf_play(session.api, 0, &played) != wmf_E_None || !device->gd_image) {
        *why = QStringLiteral("damaged WMF file");
        return {};
    }
    const int* pixels = wmf_gd_image_pixels(device->gd_image);
    if (!pixels) {
        *why = QStringLiteral("damaged WMF file");
        return {};
    }
    QImage image(int(w), int(h), QImage::Format_RGB32);
    if (image.isNull()) {
        *why = QStringLiteral("WMF picture too large");
        return {};
    }
    // The raster device keeps true colour as 0x00RRGGBB with gd's inverted
    // 7-bit alpha on top; the page is opaque white, so the colour is enough.
    for (int y = 0; y < int(h); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        const int* src = pixels + qint64(y) * w;
        for (int x = 0; x < int(w); ++x)
            line[x] = 0xff000000u | (quint32(src[x]) & 0x00ffffffu);
    }
    return image;
}

}
