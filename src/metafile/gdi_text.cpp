#include "metafile/gdi_canvas.h"
#include "metafile/symbol_fonts.h"

#include <QFontInfo>
#include <QFontMetricsF>
#include <QGlyphRun>
#include <QRawFont>

#include <cmath>

namespace Metafile::Gdi {

namespace {

QPointF unitVector(const QTransform& t, QPointF along)
{
    return t.map(along) - t.map(QPointF(0, 0));
}

// A cell height counts the font's internal leading, about an eighth of it.
constexpr double emPerCell = 0.87;

QFont qtFont(const Font& given, double pixels, QString* text)
{
    QString family = given.face;
    if (isSymbolFont(family)) {
        // Qt draws a symbol font's own codes only: the characters are drawn
        // from a font that has them.
        *text = symbolsAsUnicode(family, *text);
        family = QStringLiteral("serif");
    }
    QFont font(family.isEmpty() ? QStringLiteral("sans-serif") : family);
    font.setPixelSize(std::max(1, int(std::lround(pixels))));
    font.setWeight(QFont::Weight(std::clamp(given.weight ? given.weight : 400, 100, 900)));
    font.setItalic(given.italic);
    font.setUnderline(given.underline);
    font.setStrikeOut(given.strikeOut);
    return font;
}

}

void Canvas::text(const TextRun& run)
{
    constexpr quint32 etoOpaque = 2, etoClipped = 4;
    constexpr quint32 updatePosition = 1, right = 2, centre = 6, bottom = 8, baseline = 24;
    const QTransform t = toPicture();
    if ((run.options & etoOpaque) && !run.box.isEmpty())
        painter.fillPath([&] { QPainterPath p; p.addPolygon(t.map(QPolygonF(run.box.normalized()))); return p; }(), dc.backColour);
    if (run.text.isEmpty())
        return;

    const Font& given = dc.font;
    const QPointF along = unitVector(t, {1, 0}), up = unitVector(t, {0, 1});
    const double xScale = std::hypot(along.x(), along.y()), yScale = std::hypot(up.x(), up.y());
    const double em = std::abs(given.height ? given.height : 12.0) * (given.height > 0 ? emPerCell : 1) * yScale;
    if (!(em >= 0.5) || !(xScale > 0))
        return;
    const double limit = maxSizeAgainstPage * std::max(page.width(), page.height());
    // A large letter costs what its area of small ones would.
    const double pixels = std::min(em, limit);
    if (!Budget::spend(budget.characters, qint64((run.text.size() + 1) * (1 + pixels * pixels / (64 * 64)))))
        return;
    QString text = run.text;
    const QFont font = qtFont(given, pixels, &text);
    const QFontMetricsF metrics(font);

    // Advances along the baseline, in pixels.
    std::vector<double> offsets;
    double width = 0;
    if (!run.dx.empty()) {
        for (qsizetype i = 0; i < text.size(); ++i) {
            offsets.push_back(width);
            width += i < qsizetype(run.dx.size()) ? std::clamp(run.dx[size_t(i)] * xScale, -limit, limit) : 0;
        }
    }
    double stretch = 1;
    if (given.width > 0 && metrics.averageCharWidth() > 0)
        stretch = std::clamp(given.width * xScale / metrics.averageCharWidth(), 0.1, 10.0);
    if (run.dx.empty())
        width = metrics.horizontalAdvance(text) * stretch;

    const QPointF anchor = (dc.textAlign & updatePosition) ? dc.position : run.at;
    double x = 0, y = 0;
    if ((dc.textAlign & centre) == centre)
        x = -width / 2;
    else if (dc.textAlign & right)
        x = -width;
    if ((dc.textAlign & baseline) == baseline)
        y = 0;
    else if (dc.textAlign & bottom)
        y = -metrics.descent();
    else
        y = metrics.ascent();
    if (dc.textAlign & updatePosition)
        dc.position = anchor + QPointF(width / xScale, 0);

    // The escapement turns the baseline counter-clockwise in logical units as
    // if y grew downwards; where the mapping turns y upwards it turns the other
    // way on the page. The letters stay upright on their baseline.
    const double turn = given.escapement / 10.0 * M_PI / 180;
    const QPointF baselineDirection = unitVector(t, {std::cos(turn), -std::sin(turn)});
    const double angle = std::atan2(baselineDirection.y(), baselineDirection.x()) * 180 / M_PI;
    painter.save();
    if ((run.options & etoClipped) && !run.box.isEmpty()) {
        QPainterPath box;
        box.addPolygon(t.map(QPolygonF(run.box.normalized())));
        painter.setClipPath(box, dc.clip ? Qt::IntersectClip : Qt::ReplaceClip);
    }
    const QPointF origin = t.map(anchor);
    painter.setTransform(QTransform::fromTranslate(origin.x(), origin.y()).rotate(angle));
    if (dc.opaqueBackground && !(run.options & etoOpaque))
        painter.fillRect(QRectF(x, y - metrics.ascent(), width, metrics.height()), dc.backColour);
    painter.setFont(font);
    painter.setPen(dc.textColour);
    if (run.glyphIndices) {
        // Indices into the writer's font file: only the same font has them.
        const QRawFont raw = QRawFont::fromFont(font);
        if (QFontInfo(font).family().compare(font.family(), Qt::CaseInsensitive) == 0 && raw.isValid()) {
            QList<quint32> glyphs;
            QList<QPointF> positions;
            for (qsizetype i = 0; i < text.size(); ++i) {
                glyphs << text[i].unicode();
                positions << QPointF(i < qsizetype(offsets.size()) ? offsets[size_t(i)] : 0, 0);
            }
            if (offsets.empty()) {
                const QList<QPointF> advances = raw.advancesForGlyphIndexes(glyphs);
                double at = 0;
                for (qsizetype i = 0; i < glyphs.size(); ++i) {
                    positions[i] = QPointF(at, 0);
                    at += advances.value(i).x();
                }
            }
            QGlyphRun glyphRun;
            glyphRun.setRawFont(raw);
            glyphRun.setGlyphIndexes(glyphs);
            glyphRun.setPositions(positions);
            painter.drawGlyphRun(QPointF(x, y), glyphRun);
        }
    } else if (offsets.empty()) {
        painter.scale(stretch, 1);
        painter.drawText(QPointF(x / stretch, y), text);
    } else {
        for (qsizetype i = 0; i < text.size(); ++i) {
            const qsizetype n = text[i].isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
            painter.drawText(QPointF(x + offsets[size_t(i)], y), text.mid(i, n));
            i += n - 1;
        }
    }
    painter.restore();
}

}
