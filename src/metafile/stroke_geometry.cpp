#include "metafile/stroke_geometry.h"

#include <algorithm>
#include <array>

namespace Metafile {

namespace {

double cross(QPointF o, QPointF a, QPointF b)
{
    return (a.x() - o.x()) * (b.y() - o.y()) - (a.y() - o.y()) * (b.x() - o.x());
}

// Andrew's monotone chain over a handful of points.
QPolygonF convexHull(std::array<QPointF, 8> p)
{
    std::sort(p.begin(), p.end(), [](QPointF l, QPointF r) {
        return l.x() < r.x() || (l.x() == r.x() && l.y() < r.y());
    });
    QPolygonF hull;
    for (int pass = 0; pass < 2; ++pass) {
        const qsizetype floor = hull.size();
        for (const QPointF& q : p) {
            while (hull.size() >= floor + 2 && cross(hull[hull.size() - 2], hull.last(), q) <= 0)
                hull.removeLast();
            hull << q;
        }
        hull.removeLast(); // the first point of the other chain
        std::reverse(p.begin(), p.end());
    }
    return hull;
}

// One side of Sutherland-Hodgman: keeps what lies where inside() holds.
template <typename Inside, typename Cut>
QPolygonF clipSide(const QPolygonF& in, Inside inside, Cut cut)
{
    QPolygonF out;
    for (qsizetype i = 0; i < in.size(); ++i) {
        const QPointF cur = in[i], prev = in[(i + in.size() - 1) % in.size()];
        if (inside(cur)) {
            if (!inside(prev))
                out << cut(prev, cur);
            out << cur;
        } else if (inside(prev)) {
            out << cut(prev, cur);
        }
    }
    return out;
}

QPointF atX(QPointF p, QPointF q, double x)
{
    return {x, p.y() + (q.y() - p.y()) * (x - p.x()) / (q.x() - p.x())};
}

QPointF atY(QPointF p, QPointF q, double y)
{
    return {p.x() + (q.x() - p.x()) * (y - p.y()) / (q.y() - p.y()), y};
}

}

QPolygonF clipPolygon(const QPolygonF& polygon, const QRectF& page)
{
    const double l = page.left(), r = page.right(), t = page.top(), b = page.bottom();
    QPolygonF area = clipSide(polygon, [l](QPointF p) { return p.x() >= l; }, [l](QPointF p, QPointF q) { return atX(p, q, l); });
    area = clipSide(area, [r](QPointF p) { return p.x() <= r; }, [r](QPointF p, QPointF q) { return atX(p, q, r); });
    area = clipSide(area, [t](QPointF p) { return p.y() >= t; }, [t](QPointF p, QPointF q) { return atY(p, q, t); });
    area = clipSide(area, [b](QPointF p) { return p.y() <= b; }, [b](QPointF p, QPointF q) { return atY(p, q, b); });
    return area.size() >= 3 ? area : QPolygonF();
}

QPolygonF nibSweep(QPointF a, QPointF b, QSizeF nib, const QRectF& page)
{
    const double hw = nib.width() / 2, hh = nib.height() / 2;
    std::array<QPointF, 8> corners;
    int i = 0;
    for (QPointF c : {a, b})
        for (QPointF d : {QPointF(-hw, -hh), QPointF(hw, -hh), QPointF(hw, hh), QPointF(-hw, hh)})
            corners[i++] = c + d;
    return clipPolygon(convexHull(corners), page);
}

// Liang-Barsky.
bool clipLine(QLineF& line, const QRectF& page)
{
    const QPointF p = line.p1(), d = line.p2() - line.p1();
    double enter = 0, leave = 1;
    const std::array<std::pair<double, double>, 4> sides{{
        {-d.x(), p.x() - page.left()}, {d.x(), page.right() - p.x()},
        {-d.y(), p.y() - page.top()}, {d.y(), page.bottom() - p.y()},
    }};
    for (const auto& [towards, room] : sides) {
        if (towards == 0) {
            if (room < 0)
                return false;
            continue;
        }
        const double t = room / towards;
        if (towards < 0)
            enter = std::max(enter, t);
        else
            leave = std::min(leave, t);
    }
    if (enter > leave)
        return false;
    line = QLineF(p + d * enter, p + d * leave);
    return true;
}

}

namespace Metafile {

namespace {

void addCurve(QPainterPath& out, const QPointF (&c)[4], const QRectF& area, int depth)
{
    const QRectF hull = QPolygonF{c[0], c[1], c[2], c[3]}.boundingRect();
    // Off the area, or small enough for Qt's own flattening.
    if (depth == 0 || !hull.intersects(area) || std::max(hull.width(), hull.height()) < 4 * std::max(area.width(), area.height())) {
        if (depth == 0 || !hull.intersects(area))
            out.lineTo(c[3]);
        else
            out.cubicTo(c[1], c[2], c[3]);
        return;
    }
    // de Casteljau halves.
    const QPointF ab = (c[0] + c[1]) / 2, bc = (c[1] + c[2]) / 2, cd = (c[2] + c[3]) / 2;
    const QPointF abc = (ab + bc) / 2, bcd = (bc + cd) / 2, mid = (abc + bcd) / 2;
    addCurve(out, {c[0], ab, abc, mid}, area, depth - 1);
    addCurve(out, {mid, bcd, cd, c[3]}, area, depth - 1);
}

}

QPainterPath curvesNear(const QPainterPath& path, const QRectF& area)
{
    if (area.contains(path.controlPointRect()))
        return path;
    QPainterPath out;
    out.setFillRule(path.fillRule());
    for (int i = 0; i < path.elementCount(); ++i) {
        const QPainterPath::Element e = path.elementAt(i);
        if (e.isMoveTo()) {
            out.moveTo(e);
        } else if (e.isLineTo()) {
            out.lineTo(e);
        } else if (e.isCurveTo() && i + 2 < path.elementCount()) {
            const QPointF c[4] = {out.currentPosition(), e, path.elementAt(i + 1), path.elementAt(i + 2)};
            addCurve(out, c, area, 40);
            i += 2;
        }
    }
    return out;
}

QPainterPath linesWithin(const QPainterPath& path, const QRectF& area)
{
    if (area.contains(path.controlPointRect()))
        return path;
    QPainterPath out;
    for (const QPolygonF& figure : path.toSubpathPolygons()) {
        bool drawing = false;
        for (qsizetype i = 1; i < figure.size(); ++i) {
            QLineF line(figure[i - 1], figure[i]);
            const bool whole = area.contains(line.p1()) && area.contains(line.p2());
            if (!whole && !clipLine(line, area)) {
                drawing = false;
                continue;
            }
            if (!drawing || line.p1() != figure[i - 1])
                out.moveTo(line.p1());
            out.lineTo(line.p2());
            drawing = line.p2() == figure[i];
        }
    }
    return out;
}

double drawingCost(const QPainterPath& path, const QRectF& page)
{
    const double most = page.width() + page.height();
    double cost = 0;
    QPointF last;
    for (int i = 0; i < path.elementCount(); ++i) {
        const QPointF p = path.elementAt(i);
        if (!path.elementAt(i).isMoveTo())
            cost += std::min(most, std::abs(p.x() - last.x()) + std::abs(p.y() - last.y()));
        cost += 1;
        last = p;
    }
    return cost;
}

QPainterPath fillWithin(const QPainterPath& path, const QRectF& area)
{
    if (area.contains(path.controlPointRect()))
        return path;
    QPainterPath out;
    out.setFillRule(path.fillRule());
    for (const QPolygonF& figure : path.toSubpathPolygons()) {
        const QPolygonF cut = clipPolygon(figure, area);
        if (!cut.isEmpty()) {
            out.addPolygon(cut);
            out.closeSubpath();
        }
    }
    return out;
}

}
