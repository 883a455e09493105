#include "metafile/gdi_state.h"
#include "metafile/record_reader.h"

#include <cmath>

namespace Metafile::Gdi {

std::optional<Object> stockObject(quint32 index)
{
    const auto brush = [](QColor colour) { return Brush{Brush::solid, colour, 0, {}}; };
    const auto pen = [](quint32 style, QColor colour) { return Pen{style, 0, colour, {}}; };
    switch (index & 0x7FFFFFFF) {
    case 0: case 18: return brush(Qt::white);
    case 1: return brush(QColor(0xC0, 0xC0, 0xC0));
    case 2: return brush(QColor(0x80, 0x80, 0x80));
    case 3: return brush(QColor(0x40, 0x40, 0x40));
    case 4: return brush(Qt::black);
    case 5: return Brush{Brush::null, Qt::white, 0, {}};
    case 6: return pen(0, Qt::white);
    case 7: case 19: return pen(0, Qt::black);
    case 8: return pen(5, Qt::black);
    case 10: case 11: case 16: return Font{-12, 0, 0, 400, false, false, false, QStringLiteral("monospace")};
    case 12: case 13: case 14: case 17: return Font{-12, 0, 0, 400, false, false, false, QStringLiteral("sans-serif")};
    }
    return std::nullopt;
}

Font logFont(const RecordReader& r, qint64 at, bool small)
{
    const int step = small ? 2 : 4;
    const auto number = [&](int i) { return small ? r.s16(at + 2 * i) : r.s32(at + 4 * i); };
    Font font;
    font.height = number(0);
    font.width = std::abs(number(1));
    font.escapement = number(2);
    font.weight = number(4);
    const qint64 flags = at + 5 * step;
    font.italic = r.u8(flags);
    font.underline = r.u8(flags + 1);
    font.strikeOut = r.u8(flags + 2);
    font.charset = r.u8(flags + 3);
    const QByteArray face = r.bytes(flags + 8, std::min<qint64>(32 * step / 2, r.length() - flags - 8));
    font.face = small ? QString::fromLatin1(face)
                      : QString::fromUtf16(reinterpret_cast<const char16_t*>(face.constData()), face.size() / 2);
    font.face.truncate(font.face.indexOf(QChar(0)));
    return font;
}

Pen simplePen(quint32 style, double width, QColor colour)
{
    Pen pen{style & 0xFFFF, width, colour, {}};
    if (width > 0)
        pen.style |= 0x10000;
    if (width > 1 && (pen.style & 0xF) >= 1 && (pen.style & 0xF) <= 4)
        pen.style &= ~0xFu;
    return pen;
}

QTransform pageTransform(const DeviceContext& dc, QSizeF pixelsPerMm)
{
    double sx = 1, sy = 1;
    switch (dc.mapMode) {
    case MapMode::loMetric: sx = 0.1; break;
    case MapMode::hiMetric: sx = 0.01; break;
    case MapMode::loEnglish: sx = 0.254; break;
    case MapMode::hiEnglish: sx = 0.0254; break;
    case MapMode::twips: sx = 25.4 / 1440; break;
    case MapMode::isotropic:
    case MapMode::anisotropic:
        if (dc.windowExtent.width() != 0 && dc.windowExtent.height() != 0) {
            sx = dc.viewportExtent.width() / dc.windowExtent.width();
            sy = dc.viewportExtent.height() / dc.windowExtent.height();
        }
        break;
    }
    if (dc.mapMode >= MapMode::loMetric && dc.mapMode <= MapMode::twips) {
        // Millimetres to pixels, with y growing upwards.
        sy = -sx * pixelsPerMm.height();
        sx *= pixelsPerMm.width();
    }
    return QTransform::fromTranslate(-dc.windowOrigin.x(), -dc.windowOrigin.y())
        * QTransform::fromScale(sx, sy)
        * QTransform::fromTranslate(dc.viewportOrigin.x(), dc.viewportOrigin.y());
}

void keepIsotropic(DeviceContext& dc)
{
    if (dc.mapMode != MapMode::isotropic || dc.windowExtent.width() == 0 || dc.windowExtent.height() == 0)
        return;
    const double sx = dc.viewportExtent.width() / dc.windowExtent.width();
    const double sy = dc.viewportExtent.height() / dc.windowExtent.height();
    const double s = std::min(std::abs(sx), std::abs(sy));
    dc.viewportExtent = {std::copysign(s, sx) * dc.windowExtent.width(), std::copysign(s, sy) * dc.windowExtent.height()};
}

}
