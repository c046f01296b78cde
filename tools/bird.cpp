// The bird painter: outline, plumage marks and what the bird stands on.
#include "bird.h"

#include <QPainterPathStroker>
#include <QtMath>
#include <cmath>

namespace pix {
namespace {

QPointF unit(QPointF v) {
    double l = std::hypot(v.x(), v.y());
    return l > 0 ? v / l : QPointF(1, 0);
}
QPointF perp(QPointF v) { return QPointF(-v.y(), v.x()); }

QPainterPath circle(QPointF c, double r) {
    QPainterPath p;
    p.addEllipse(c, r, r);
    return p;
}

QPainterPath strokeOf(const QPainterPath& path, double width) {
    QPainterPathStroker st;
    st.setWidth(width);
    st.setCapStyle(Qt::RoundCap);
    st.setJoinStyle(Qt::RoundJoin);
    return st.createStroke(path);
}

QPainterPath line(QPointF a, QPointF b, double width) {
    QPainterPath p(a);
    p.lineTo(b);
    return strokeOf(p, width);
}

// Deterministic pseudo-random numbers: the same picture every build.
struct Lcg {
    quint32 s;
    double next() {
        s = s * 1664525u + 1013904223u;
        return double(s >> 8) / double(1u << 24);
    }
};

}  // namespace

Bird::Bird(QPainter& p, const BirdShape& s) : p_(p), s_(s) {
    bodyT_.translate(s.body.x(), s.body.y());
    bodyT_.rotate(s.bodyAngle);
    QPainterPath body;
    body.addEllipse(QPointF(0, 0), s.bodyRx, s.bodyRy);
    outline_ = bodyT_.map(body);
    outline_ = outline_.united(circle(s.head, s.headR));
    QPointF from = toGlobal(s.bodyRx * 0.55, -s.bodyRy * 0.2);
    QPainterPath neck(from);
    if (s.neckW > 0)
        neck.quadTo(s.neckCtrl, s.head);
    else
        neck.lineTo(s.head);
    outline_ = outline_.united(strokeOf(neck, s.neckW > 0 ? s.neckW : s.headR * 1.6));
    outline_ = outline_.simplified();
}

void Bird::fillClipped(const QPainterPath& area, QColor c) {
    p_.save();
    p_.setPen(Qt::NoPen);
    p_.setBrush(c);
    p_.drawPath(area.intersected(outline_));
    p_.restore();
}

QPointF Bird::eyePos() const { return s_.head + QPointF(s_.headR * 0.35, -s_.headR * 0.15); }
QPointF Bird::beakBase() const { return s_.head + QPointF(s_.headR * 0.85, s_.headR * 0.1); }
QPointF Bird::rear() const { return toGlobal(-s_.bodyRx * 0.75, 0); }

QPainterPath Bird::tailPath() const {
    double a = qDegreesToRadians(s_.tailAngle);
    QPointF d(-std::cos(a), std::sin(a));
    QPointF n = perp(d);
    QPointF b = rear();
    QPointF t = b + d * (s_.tailLen + s_.bodyRx * 0.15);
    double hw = s_.tailW / 2;
    QPainterPath p(b + n * hw);
    p.lineTo(t + n * hw * s_.tailSpread);
    if (s_.tailFork > 0) p.lineTo(t - d * s_.tailFork);
    p.lineTo(t - n * hw * s_.tailSpread);
    p.lineTo(b - n * hw);
    p.closeSubpath();
    return p;
}

QPainterPath Bird::bodyArea() const { return outline_; }
QPainterPath Bird::headArea() const { return circle(s_.head, s_.headR * 1.02); }

void Bird::wingAxis(QPointF* shoulder, QPointF* tipOut, double* width) const {
    QPointF sh = toGlobal(s_.bodyRx * 0.45, -s_.bodyRy * 0.4);
    double a = qDegreesToRadians(s_.tailAngle);
    QPointF d(-std::cos(a), std::sin(a));
    QPointF tip = rear() + d * (s_.bodyRx * 0.1 + s_.tailLen * s_.wingReach);
    double w = s_.wingW;
    if (s_.stand == Stand::Flight) {
        // Spread and raised, reaching up and back.
        tip = sh + QPointF(-s_.bodyRx * 0.9, -s_.bodyRx * 1.5);
        w = s_.wingW * 1.6;
    }
    *shoulder = sh;
    *tipOut = tip;
    if (width) *width = w;
}

QPainterPath Bird::wingArea() const {
    QPointF sh, tip;
    double w;
    wingAxis(&sh, &tip, &w);
    QPointF ax = tip - sh;
    QPointF n = unit(perp(ax));
    if (n.y() > 0) n = -n;  // n points up
    QPainterPath p(sh + n * w * 0.55);
    p.cubicTo(sh + ax * 0.35 + n * w * 0.75, sh + ax * 0.8 + n * w * 0.3, tip);
    p.cubicTo(sh + ax * 0.65 - n * w * 0.75, sh + ax * 0.15 - n * w * 1.0, sh - unit(ax) * w * 0.3);
    p.cubicTo(sh - unit(ax) * w * 0.6, sh + n * w * 0.3, sh + n * w * 0.55);
    return p;
}

QPainterPath Bird::underArea(double level) const {
    QPointF b = beakBase() + QPointF(0, s_.beakW * 0.35);
    QPointF h = s_.head + QPointF(-s_.headR * 0.2, s_.headR * (0.45 + level));
    QPointF m = toGlobal(s_.bodyRx * 0.2, s_.bodyRy * (-0.15 + level));
    QPointF r = toGlobal(-s_.bodyRx * 1.1, s_.bodyRy * (0.15 + level));
    QPainterPath p(b);
    p.quadTo(h + QPointF(s_.headR * 0.5, 0), h);
    p.quadTo(m + QPointF(6, -6), m);
    p.lineTo(r);
    p.lineTo(r + QPointF(-20, 100));
    p.lineTo(b + QPointF(60, 100));
    p.lineTo(b + QPointF(60, 0));
    p.closeSubpath();
    return p;
}

QPainterPath Bird::backArea() const { return outline_.subtracted(underArea()); }

void Bird::legs(QColor c) {
    if (s_.stand == Stand::Water || s_.legLen <= 0) return;
    p_.save();
    p_.setPen(QPen(c, s_.legW, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    double bottom = toGlobal(0, s_.bodyRy).y();
    if (s_.stand == Stand::Trunk) {
        for (int i = 0; i < 2; ++i) {
            QPointF a = toGlobal(-s_.bodyRx * 0.1 + i * 6, s_.bodyRy * 0.6);
            QPointF f = a + QPointF(s_.legLen, 2);
            p_.drawLine(a, f);
            p_.drawLine(f, f + QPointF(2, -3));
            p_.drawLine(f, f + QPointF(2, 3));
        }
        p_.restore();
        return;
    }
    if (s_.stand == Stand::Flight) {
        // Long-legged fliers trail their legs.
        QPointF a = toGlobal(-s_.bodyRx * 0.5, s_.bodyRy * 0.5);
        double ang = qDegreesToRadians(s_.tailAngle);
        QPointF d(-std::cos(ang), std::sin(ang));
        p_.drawLine(a, a + d * s_.legLen);
        p_.restore();
        return;
    }
    for (int i = 0; i < 2; ++i) {
        double dx = i == 0 ? -2.5 : 2.5;
        QPointF top(toGlobal(s_.bodyRx * 0.05, s_.bodyRy * 0.6).x() + dx, bottom - 3);
        QPointF foot = top + QPointF(i == 0 ? -1.5 : 1.5, s_.legLen + 3);
        p_.drawLine(top, foot);
        p_.setPen(QPen(c, s_.legW * 0.8, Qt::SolidLine, Qt::RoundCap));
        p_.drawLine(foot, foot + QPointF(4.5, 0.3));
        p_.drawLine(foot, foot + QPointF(-3, 0.3));
        p_.setPen(QPen(c, s_.legW, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    }
    p_.restore();
}

void Bird::stand() {
    double footY = toGlobal(0, s_.bodyRy).y() + s_.legLen + 0.5;
    if (s_.groundY > 0) footY = s_.groundY;
    double x0 = std::min(rear().x(), s_.body.x() - s_.bodyRx) - 6;
    double x1 = std::max(s_.head.x(), s_.body.x() + s_.bodyRx) + 4;
    p_.save();
    p_.setPen(Qt::NoPen);
    switch (s_.stand) {
    case Stand::Perch: {
        QColor bark(0x7A, 0x55, 0x38);
        p_.setBrush(bark);
        p_.drawRoundedRect(QRectF(x0, footY, x1 - x0, 4.5), 2, 2);
        p_.setBrush(QColor(0x5E, 0x9E, 0x3A));
        QPainterPath leaf(QPointF(x1 - 6, footY + 1));
        leaf.quadTo(QPointF(x1 + 2, footY - 8), QPointF(x1 + 8, footY - 4));
        leaf.quadTo(QPointF(x1 + 2, footY + 3), QPointF(x1 - 6, footY + 1));
        p_.drawPath(leaf);
        break;
    }
    case Stand::Ground:
        p_.setBrush(QColor(0x6B, 0x8E, 0x4E, 150));
        p_.drawEllipse(QPointF((x0 + x1) / 2, footY + 1), (x1 - x0) / 2, 3.2);
        break;
    case Stand::Rock: {
        p_.setBrush(QColor(0x8C, 0x8C, 0x84));
        QPainterPath rock(QPointF(x0, footY + 9));
        rock.cubicTo(QPointF(x0, footY - 2), QPointF(x1 - 10, footY - 3), QPointF(x1, footY + 9));
        rock.closeSubpath();
        p_.drawPath(rock);
        break;
    }
    case Stand::Trunk: {
        double x = s_.body.x() + s_.bodyRy + s_.legLen - 1;
        QLinearGradient g(x, 0, x + 16, 0);
        g.setColorAt(0, QColor(0x8D, 0x6E, 0x52));
        g.setColorAt(1, QColor(0x5D, 0x43, 0x30));
        p_.setBrush(g);
        double top = s_.head.y() - s_.headR - 4, bottom = rear().y() + s_.tailLen + 6;
        p_.drawRect(QRectF(x, top, 16, bottom - top));
        p_.setPen(QPen(QColor(0x4A, 0x35, 0x25), 1));
        for (double y = top + 6; y < bottom - 4; y += 11)
            p_.drawLine(QPointF(x + 4, y), QPointF(x + 9, y + 5));
        break;
    }
    case Stand::Reed: {
        double x = toGlobal(s_.bodyRx * 0.05, 0).x();
        p_.setPen(QPen(QColor(0xA8, 0x8F, 0x4A), 3, Qt::SolidLine, Qt::RoundCap));
        p_.drawLine(QPointF(x + 3, s_.head.y() - 8), QPointF(x - 2, footY + 10));
        p_.setPen(Qt::NoPen);
        p_.setBrush(QColor(0x8A, 0x6A, 0x3A));
        p_.drawEllipse(QPointF(x + 3.3, s_.head.y() - 12), 2.6, 6);
        break;
    }
    case Stand::Water:
    case Stand::Flight: break;
    }
    p_.restore();
}

void Bird::base(QColor back, QColor tail, QColor legsColor) {
    if (s_.stand == Stand::Trunk || s_.stand == Stand::Reed) stand();
    if (s_.stand == Stand::Flight) {
        // The far wing, raised behind the body.
        p_.save();
        p_.translate(6, -2);
        p_.setPen(Qt::NoPen);
        p_.setBrush(back.darker(125));
        p_.drawPath(wingArea());
        p_.restore();
    }
    legs(legsColor);
    p_.save();
    p_.setPen(Qt::NoPen);
    p_.setBrush(tail);
    p_.drawPath(tailPath());
    p_.setBrush(back);
    p_.drawPath(outline_);
    p_.restore();
    if (s_.stand != Stand::Trunk && s_.stand != Stand::Reed && s_.stand != Stand::Water) stand();
}

void Bird::under(QColor c, double level) { fillClipped(underArea(level), c); }

void Bird::breast(QColor c, double size) {
    fillClipped(circle(toGlobal(s_.bodyRx * 0.55, s_.bodyRy * 0.3), s_.bodyRy * 0.85 * size), c);
}

void Bird::belly(QColor c, double size) {
    fillClipped(circle(toGlobal(-s_.bodyRx * 0.15, s_.bodyRy * 0.85), s_.bodyRy * 0.75 * size), c);
}

void Bird::cap(QColor c, double level) {
    QPointF e = eyePos();
    double y = e.y() + level * s_.headR;
    QPainterPath p(QPointF(s_.head.x() + s_.headR * 1.5, y - s_.headR * 0.15));
    p.lineTo(QPointF(s_.head.x() - s_.headR * 1.6, y + s_.headR * 0.35));
    p.lineTo(QPointF(s_.head.x() - s_.headR * 1.6, y - 40));
    p.lineTo(QPointF(s_.head.x() + s_.headR * 1.5, y - 40));
    p.closeSubpath();
    fillClipped(p.intersected(circle(s_.head, s_.headR * 1.05)), c);
}

void Bird::face(QColor c, double size) {
    fillClipped(circle(eyePos() + QPointF(s_.headR * 0.1, 0), s_.headR * 0.6 * size)
                    .intersected(headArea()),
                c);
}

void Bird::cheek(QColor c, double size) {
    QPainterPath p;
    p.addEllipse(eyePos() + QPointF(-s_.headR * 0.2, s_.headR * 0.5), s_.headR * 0.55 * size,
                 s_.headR * 0.4 * size);
    fillClipped(p.intersected(headArea()), c);
}

void Bird::eyeStripe(QColor c, double width) {
    QPainterPath p(beakBase() + QPointF(0, -0.5));
    p.quadTo(eyePos(), s_.head + QPointF(-s_.headR * 1.05, s_.headR * 0.15));
    fillClipped(strokeOf(p, width).intersected(headArea()), c);
}

void Bird::brow(QColor c, double width) {
    QPointF e = eyePos();
    QPainterPath p(beakBase() + QPointF(-1, -s_.headR * 0.4));
    p.quadTo(e + QPointF(0, -s_.headR * 0.38), s_.head + QPointF(-s_.headR * 1.0, -s_.headR * 0.2));
    fillClipped(strokeOf(p, width).intersected(headArea()), c);
}

void Bird::moustache(QColor c, double width) {
    QPainterPath p(beakBase() + QPointF(-1, s_.beakW * 0.4));
    p.quadTo(eyePos() + QPointF(0, s_.headR * 0.6),
             eyePos() + QPointF(-s_.headR * 0.6, s_.headR * 0.85));
    fillClipped(strokeOf(p, width), c);
}

void Bird::bib(QColor c, double size) {
    QPainterPath p;
    p.addEllipse(beakBase() + QPointF(-s_.headR * 0.4, s_.headR * 0.7), s_.headR * 0.45 * size,
                 s_.headR * 0.5 * size);
    fillClipped(p, c);
}

void Bird::nape(QColor c, double size) {
    fillClipped(circle(s_.head + QPointF(-s_.headR * 0.85, s_.headR * 0.05), s_.headR * 0.5 * size),
                c);
}

void Bird::collar(QColor c, double width) {
    fillClipped(line(s_.head + QPointF(-s_.headR * 1.1, s_.headR * 0.5),
                     s_.head + QPointF(s_.headR * 0.2, s_.headR * 1.25), width),
                c);
}

void Bird::neckSide(QColor c, double size) {
    QPainterPath p;
    p.addEllipse(s_.head + QPointF(-s_.headR * 0.6, s_.headR * 0.95), s_.headR * 0.45 * size,
                 s_.headR * 0.3 * size);
    fillClipped(p, c);
}

void Bird::wing(QColor c) {
    p_.save();
    p_.setPen(QPen(c.darker(130), 0.6));
    p_.setBrush(c);
    p_.drawPath(wingArea());
    p_.restore();
}

void Bird::wingBar(QColor c, double at, double width) {
    QPainterPath w = wingArea();
    QPointF a, t;
    wingAxis(&a, &t, nullptr);
    QPointF ax = unit(t - a);
    QPointF m = a + (t - a) * at;
    QPainterPath band = line(m - perp(ax) * 30, m + perp(ax) * 30, width);
    p_.save();
    p_.setPen(Qt::NoPen);
    p_.setBrush(c);
    p_.drawPath(band.intersected(w));
    p_.restore();
}

void Bird::wingTip(QColor c, double from) {
    QPainterPath w = wingArea();
    QPointF a, t;
    wingAxis(&a, &t, nullptr);
    QPointF ax = unit(t - a), n = perp(ax);
    QPointF m = a + (t - a) * from;
    QPainterPath half(m - n * 40);
    half.lineTo(m + n * 40);
    half.lineTo(m + n * 40 + ax * 60);
    half.lineTo(m - n * 40 + ax * 60);
    half.closeSubpath();
    p_.save();
    p_.setPen(Qt::NoPen);
    p_.setBrush(c);
    p_.drawPath(half.intersected(w));
    p_.restore();
}

void Bird::wingPatch(QColor c, double at, double size) {
    QPainterPath w = wingArea();
    QPointF a, t;
    wingAxis(&a, &t, nullptr);
    QPointF m = a + (t - a) * at;
    p_.save();
    p_.setPen(Qt::NoPen);
    p_.setBrush(c);
    p_.drawPath(circle(m, size).intersected(w));
    p_.restore();
}

void Bird::shoulder(QColor c, double size) {
    QPainterPath w = wingArea();
    QPointF a, t;
    wingAxis(&a, &t, nullptr);
    QPainterPath p;
    p.addEllipse(a + (t - a) * 0.15, s_.wingW * 0.7 * size, s_.wingW * 0.5 * size);
    p_.save();
    p_.setPen(Qt::NoPen);
    p_.setBrush(c);
    p_.drawPath(p.intersected(w));
    p_.restore();
}

void Bird::tailTip(QColor c, double from) {
    double a = qDegreesToRadians(s_.tailAngle);
    QPointF d(-std::cos(a), std::sin(a));
    QPointF m = rear() + d * ((s_.tailLen + s_.bodyRx * 0.15) * from);
    QPointF n = perp(d);
    QPainterPath half(m - n * 30);
    half.lineTo(m + n * 30);
    half.lineTo(m + n * 30 + d * 60);
    half.lineTo(m - n * 30 + d * 60);
    half.closeSubpath();
    p_.save();
    p_.setPen(Qt::NoPen);
    p_.setBrush(c);
    p_.drawPath(half.intersected(tailPath()));
    p_.restore();
}

void Bird::tailEdges(QColor c) {
    double a = qDegreesToRadians(s_.tailAngle);
    QPointF d(-std::cos(a), std::sin(a));
    QPointF n = perp(d);
    QPointF b = rear(), t = b + d * (s_.tailLen + s_.bodyRx * 0.15);
    double hw = s_.tailW / 2;
    QPainterPath edge = line(b + n * hw, t + n * hw * s_.tailSpread, 3.0)
                            .united(line(b - n * hw, t - n * hw * s_.tailSpread, 3.0));
    p_.save();
    p_.setPen(Qt::NoPen);
    p_.setBrush(c);
    p_.drawPath(edge.intersected(tailPath()));
    p_.restore();
}

void Bird::rump(QColor c) {
    fillClipped(circle(toGlobal(-s_.bodyRx * 0.8, -s_.bodyRy * 0.25), s_.bodyRy * 0.5), c);
}

void Bird::undertail(QColor c) {
    QPainterPath p = circle(toGlobal(-s_.bodyRx * 0.8, s_.bodyRy * 0.55), s_.bodyRy * 0.5);
    p_.save();
    p_.setPen(Qt::NoPen);
    p_.setBrush(c);
    p_.drawPath(p.intersected(outline_.united(tailPath())));
    p_.restore();
}

void Bird::spots(QColor c, double size, const QPainterPath& where, int seed, double density) {
    QPainterPath area = where.intersected(outline_);
    QRectF r = area.boundingRect();
    Lcg rnd{quint32(seed)};
    p_.save();
    p_.setPen(Qt::NoPen);
    p_.setBrush(c);
    p_.setClipPath(area);
    double step = size * 2.6 / std::sqrt(density);
    for (double y = r.top(); y < r.bottom() + step; y += step)
        for (double x = r.left(); x < r.right() + step; x += step) {
            QPointF q(x + (rnd.next() - 0.5) * step * 0.8, y + (rnd.next() - 0.5) * step * 0.8);
            double rr = size * (0.7 + 0.5 * rnd.next());
            p_.drawEllipse(q, rr, rr * 1.15);
        }
    p_.restore();
}

void Bird::streaks(QColor c, const QPainterPath& where, int seed) {
    QPainterPath area = where.intersected(outline_);
    QRectF r = area.boundingRect();
    Lcg rnd{quint32(seed)};
    p_.save();
    p_.setClipPath(area);
    p_.setPen(QPen(c, 1.3, Qt::SolidLine, Qt::RoundCap));
    for (double y = r.top(); y < r.bottom() + 4; y += 4.5)
        for (double x = r.left(); x < r.right() + 4; x += 5) {
            QPointF q(x + (rnd.next() - 0.5) * 3, y + (rnd.next() - 0.5) * 2);
            p_.drawLine(q, q + QPointF(-2.5, 1.2));
        }
    p_.restore();
}

void Bird::crest(QColor c, double len, double angle, double width) {
    double a = qDegreesToRadians(angle);
    QPointF d(std::cos(a), std::sin(a));
    QPointF root = s_.head + d * (s_.headR * 0.6);
    QPointF tip = s_.head + d * (s_.headR + len);
    QPointF n = perp(d);
    QPainterPath p(root + n * width / 2);
    p.quadTo(root + d * len * 0.6 + n * width * 0.3, tip);
    p.quadTo(root + d * len * 0.5 - n * width * 0.3, root - n * width / 2);
    p.closeSubpath();
    p_.save();
    p_.setPen(Qt::NoPen);
    p_.setBrush(c);
    p_.drawPath(p);
    p_.restore();
}

void Bird::eye(QColor iris, QColor ring, double r) {
    QPointF e = eyePos();
    p_.save();
    p_.setPen(Qt::NoPen);
    if (ring.isValid()) {
        p_.setBrush(ring);
        p_.drawEllipse(e, r + 1.1, r + 1.1);
    }
    p_.setBrush(iris);
    p_.drawEllipse(e, r, r);
    if (iris.lightness() > 60) {  // a pale iris needs its pupil
        p_.setBrush(QColor(10, 10, 10));
        p_.drawEllipse(e, r * 0.5, r * 0.5);
    }
    p_.setBrush(QColor(255, 255, 255, 220));
    p_.drawEllipse(e + QPointF(r * 0.35, -r * 0.35), r * 0.3, r * 0.3);
    p_.restore();
}

void Bird::beak(QColor c, QColor tipColor) {
    double a = qDegreesToRadians(s_.beakAngle);
    QPointF d(std::cos(a), std::sin(a));
    QPointF n = perp(d);  // points down-left of the beak's axis: "below"
    QPointF b = beakBase() - d * 1.5;
    QPointF tip = b + d * s_.beakLen + n * s_.beakCurve * s_.beakLen * 0.35;
    QPointF ctl = b + d * s_.beakLen * 0.55 + n * s_.beakCurve * s_.beakLen * 0.25;
    QPainterPath p(b - n * s_.beakW / 2);
    if (s_.hookBeak) {
        QPointF top = b + d * s_.beakLen * 0.55 - n * s_.beakW * 0.7;
        p.quadTo(top, tip + n * s_.beakW * 0.3);
        p.quadTo(b + d * s_.beakLen * 0.7 + n * s_.beakW * 0.4, b + n * s_.beakW / 2);
    } else {
        p.quadTo(ctl - n * s_.beakW * 0.15, tip);
        p.quadTo(ctl + n * s_.beakW * 0.3, b + n * s_.beakW / 2);
    }
    p.closeSubpath();
    p_.save();
    p_.setPen(QPen(c.darker(140), 0.5));
    p_.setBrush(c);
    p_.drawPath(p);
    if (tipColor.isValid()) {
        QPainterPath tipArea = circle(tip, s_.beakLen * 0.28).intersected(p);
        p_.setPen(Qt::NoPen);
        p_.setBrush(tipColor);
        p_.drawPath(tipArea);
    }
    p_.restore();
}

void Bird::water() {
    double y = toGlobal(0, s_.bodyRy * 0.3).y();
    double x0 = std::min(rear().x() - s_.tailLen, s_.body.x() - s_.bodyRx) - 6;
    double x1 = std::max(s_.head.x() + s_.headR + s_.beakLen, s_.body.x() + s_.bodyRx) + 6;
    QPainterPath w(QPointF(x0, y));
    for (double x = x0; x <= x1; x += 2) w.lineTo(QPointF(x, y + 1.6 * std::sin(x * 0.45)));
    w.lineTo(QPointF(x1, y + 14));
    w.lineTo(QPointF(x0, y + 14));
    w.closeSubpath();
    p_.save();
    p_.setPen(Qt::NoPen);
    QLinearGradient g(0, y, 0, y + 14);
    g.setColorAt(0, QColor(0x5B, 0x9B, 0xD5));
    g.setColorAt(1, QColor(0x2E, 0x6D, 0xA4));
    p_.setBrush(g);
    p_.drawPath(w);
    p_.setPen(QPen(QColor(255, 255, 255, 150), 1));
    p_.drawLine(QPointF(x0 + 8, y + 6), QPointF(x0 + 22, y + 6));
    p_.drawLine(QPointF(x1 - 26, y + 9), QPointF(x1 - 10, y + 9));
    p_.restore();
}

}  // namespace pix
