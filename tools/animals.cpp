// The animal set: colour emoji where a good glyph exists, recoloured where that tells two
// apart, and drawings of our own for the rest; no two animals share one drawing.
#include <QPainterPath>
#include <QTransform>
#include <cmath>
#include <utility>

#include "pix.h"

namespace pix {
namespace {

QImage e(const char* utf8) { return emoji(QString::fromUtf8(utf8)); }

// Keeps each pixel's lightness but gives it one hue: greys become coloured too.
QImage tinted(const QImage& img, int hue, double sat, double lightMul = 1.0) {
    return recolor(img, [=](const QColor& c) {
        float h, s, l, a;
        c.getHslF(&h, &s, &l, &a);
        return QColor::fromHslF(hue / 360.0f, float(sat), std::min(1.0f, float(l * lightMul)));
    });
}

void eyeAt(QPainter& p, QPointF c, double r) {
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(25, 20, 20));
    p.drawEllipse(c, r, r);
    p.setBrush(Qt::white);
    p.drawEllipse(c + QPointF(r * 0.35, -r * 0.35), r * 0.3, r * 0.3);
}

// A tricoloured guinea pig: a round loaf with no tail.
QImage cavia() {
    return drawArt([](QPainter& p) {
        QPainterPath body;
        body.addEllipse(QPointF(45, 60), 34, 22);
        QPainterPath head;
        head.addEllipse(QPointF(74, 55), 18, 16);
        QPainterPath all = body.united(head);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0xE8, 0xA0, 0xA0));
        for (double x : {28.0, 44.0, 64.0, 76.0}) p.drawEllipse(QPointF(x, 81), 5, 3);
        p.setPen(QPen(QColor(0x8A, 0x6A, 0x50), 1.2));
        p.setBrush(QColor(0xFA, 0xF6, 0xEE));
        p.drawPath(all);
        p.save();
        p.setClipPath(all);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0xD9, 0x8A, 0x3A));
        p.drawEllipse(QPointF(22, 52), 22, 22);
        p.drawEllipse(QPointF(52, 44), 12, 10);
        p.setBrush(QColor(0x3A, 0x2E, 0x28));
        p.drawEllipse(QPointF(76, 46), 13, 11);
        p.drawEllipse(QPointF(38, 62), 9, 8);
        p.restore();
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0xD8, 0x9A, 0x8A));
        p.drawEllipse(QPointF(66, 40), 6, 4.5);
        p.setBrush(QColor(0x5A, 0x44, 0x3A));
        p.drawEllipse(QPointF(80, 39), 5, 4);
        eyeAt(p, QPointF(81, 50), 3.2);
        p.setBrush(QColor(0xE0, 0x80, 0x90));
        p.drawEllipse(QPointF(91, 58), 2.5, 2);
        p.setPen(QPen(QColor(0x60, 0x50, 0x48), 0.6));
        for (int i = -1; i <= 1; ++i) p.drawLine(QPointF(90, 60), QPointF(99, 58 + i * 3));
    });
}

// An armadillo: a banded shell, a pointed snout, upright ears and a ringed tail.
QImage gordeldier() {
    return drawArt([](QPainter& p) {
        QColor skin(0xC9, 0xA6, 0x98), shell(0x9E, 0x8E, 0x7E), band(0x6E, 0x60, 0x55);
        p.setPen(Qt::NoPen);
        p.setBrush(skin.darker(110));
        for (double x : {28.0, 36.0, 60.0, 68.0}) p.drawRoundedRect(QRectF(x - 3, 66, 7, 14), 3, 3);
        // tail
        QPainterPath tail(QPointF(22, 58));
        tail.quadTo(QPointF(8, 66), QPointF(2, 80));
        tail.quadTo(QPointF(12, 70), QPointF(24, 68));
        tail.closeSubpath();
        p.setBrush(shell);
        p.drawPath(tail);
        p.setPen(QPen(band, 1));
        for (double t : {0.25, 0.5, 0.75}) {
            QPointF a = tail.pointAtPercent(t * 0.5), b = tail.pointAtPercent(1 - t * 0.5);
            p.drawLine(a, b);
        }
        // head
        QPainterPath head(QPointF(70, 52));
        head.quadTo(QPointF(88, 56), QPointF(98, 68));
        head.quadTo(QPointF(86, 72), QPointF(70, 70));
        head.closeSubpath();
        p.setPen(QPen(skin.darker(130), 0.8));
        p.setBrush(skin);
        p.drawPath(head);
        QPainterPath ear(QPointF(72, 54));
        ear.quadTo(QPointF(70, 36), QPointF(76, 34));
        ear.quadTo(QPointF(80, 44), QPointF(78, 55));
        ear.closeSubpath();
        p.drawPath(ear);
        eyeAt(p, QPointF(80, 59), 1.8);
        // shell
        QPainterPath dome(QPointF(16, 68));
        dome.cubicTo(QPointF(16, 30), QPointF(76, 28), QPointF(76, 68));
        dome.closeSubpath();
        p.setPen(QPen(band, 1.2));
        p.setBrush(shell);
        p.drawPath(dome);
        p.save();
        p.setClipPath(dome);
        p.setPen(QPen(band, 1.6));
        for (double x = 34; x <= 58; x += 6) p.drawLine(QPointF(x, 30), QPointF(x, 70));
        p.setPen(QPen(shell.lighter(125), 0.8));
        for (double x = 20; x < 76; x += 4)
            for (double y = 40; y < 68; y += 5) p.drawPoint(QPointF(x + std::fmod(y, 3), y));
        p.restore();
    });
}

// A mara: a long-legged rodent, hare-like, with a white rump.
QImage mara() {
    return drawArt([](QPainter& p) {
        QColor back(0x8A, 0x7E, 0x72), flank(0xC8, 0x8E, 0x58), belly(0xF2, 0xEC, 0xE0);
        p.setPen(QPen(back.darker(125), 3.4, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(56, 58), QPointF(55, 90));
        p.drawLine(QPointF(36, 90), QPointF(45, 90));
        p.setPen(QPen(back.darker(110), 3.6, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(62, 56), QPointF(64, 90));
        p.drawLine(QPointF(64, 90), QPointF(69, 90));
        p.setPen(QPen(back, 4.5, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(28, 64), QPointF(36, 90));
        QPainterPath body;
        body.addEllipse(QPointF(44, 50), 26, 15);
        QPainterPath thigh;
        thigh.addEllipse(QPointF(30, 58), 13, 12);
        QPainterPath neck(QPointF(60, 44));
        neck.lineTo(QPointF(72, 32));
        neck.lineTo(QPointF(76, 44));
        neck.lineTo(QPointF(64, 56));
        neck.closeSubpath();
        QPainterPath head;
        head.addEllipse(QPointF(78, 34), 11, 8.5);
        QPainterPath snout;
        snout.addEllipse(QPointF(87, 37), 6, 5);
        QPainterPath all = body.united(thigh).united(neck).united(head).united(snout);
        p.setPen(QPen(back.darker(140), 0.8));
        p.setBrush(back);
        p.drawPath(all);
        p.save();
        p.setClipPath(all);
        p.setPen(Qt::NoPen);
        p.setBrush(flank);
        p.drawEllipse(QPointF(48, 60), 24, 10);
        p.drawEllipse(QPointF(80, 40), 10, 5);
        p.setBrush(belly);
        p.drawEllipse(QPointF(48, 68), 20, 6);
        p.drawEllipse(QPointF(18, 56), 7, 9);
        p.restore();
        p.setPen(QPen(back.darker(140), 0.8));
        p.setBrush(back);
        QPainterPath ear;
        ear.addEllipse(QPointF(72, 22), 4.5, 8);
        p.drawPath(ear);
        p.setBrush(QColor(0xD8, 0xA8, 0x98));
        p.drawEllipse(QPointF(72, 23), 2.4, 5.5);
        eyeAt(p, QPointF(81, 32), 2.6);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0x40, 0x30, 0x28));
        p.drawEllipse(QPointF(92, 37), 1.6, 1.4);
    });
}

using Seg = std::pair<QPointF, QPointF>;

QPainterPath ellipse(QPointF c, double rx, double ry, double degrees = 0) {
    QPainterPath p;
    p.addEllipse(QPointF(0, 0), rx, ry);
    return QTransform().translate(c.x(), c.y()).rotate(degrees).map(p);
}

// A straight limb as a rounded bar from `a` to `b`.
QPainterPath limb(QPointF a, QPointF b, double width) {
    QPainterPath line(a);
    line.lineTo(b);
    QPainterPathStroker s;
    s.setWidth(width);
    s.setCapStyle(Qt::RoundCap);
    return s.createStroke(line).simplified();
}

// Fleece: the shape's outline traced with small round tufts.
QPainterPath woolly(const QPainterPath& shape, double tuft) {
    QPainterPath out = shape;
    double len = shape.length();
    int n = std::max(6, int(len / (tuft * 1.5)));
    for (int i = 0; i < n; ++i) {
        QPainterPath t;
        t.addEllipse(shape.pointAtPercent(double(i) / n), tuft, tuft);
        out = out.united(t);
    }
    return out.simplified();
}

void fillPath(QPainter& p, const QPainterPath& path, QColor fill, QColor line = QColor(),
              double width = 0.9) {
    p.setPen(line.isValid() ? QPen(line, width) : QPen(Qt::NoPen));
    p.setBrush(fill);
    p.drawPath(path);
}

// A baby elephant: a big round head with a tuft of hair, a short trunk, stubby legs.
QImage olifantje() {
    return drawArt([](QPainter& p) {
        QColor skin(0xB4, 0xA6, 0xAC), line = skin.darker(150), pink(0xEE, 0xB4, 0xBC);
        QPainterPath tail(QPointF(17, 56));
        tail.quadTo(QPointF(9, 60), QPointF(10, 70));
        p.setPen(QPen(skin.darker(120), 2.2, Qt::SolidLine, Qt::RoundCap));
        p.setBrush(Qt::NoBrush);
        p.drawPath(tail);
        fillPath(p, ellipse(QPointF(10, 71), 2, 3), skin.darker(160));
        // The far legs, a shade darker, then the body with the near legs.
        for (double x : {28.0, 52.0})
            fillPath(p, limb(QPointF(x, 66), QPointF(x, 82), 11), skin.darker(115), line);
        QPainterPath body = ellipse(QPointF(38, 60), 23, 17);
        for (double x : {21.0, 45.0}) body = body.united(limb(QPointF(x, 66), QPointF(x, 84), 12));
        fillPath(p, body, skin, line);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0xF2, 0xEA, 0xE0));
        for (double x : {17.0, 21.0, 25.0, 41.0, 45.0, 49.0})
            p.drawEllipse(QPointF(x, 88.5), 1.6, 1.2);
        // Trunk: short, thick, curling up at the tip.
        QPainterPath trunk(QPointF(80, 50));
        trunk.cubicTo(QPointF(92, 56), QPointF(90, 72), QPointF(96, 74));
        trunk.cubicTo(QPointF(100, 74), QPointF(100, 68), QPointF(98, 67));
        trunk.cubicTo(QPointF(95, 68), QPointF(86, 70), QPointF(84, 56));
        trunk.closeSubpath();
        QPainterPath head = ellipse(QPointF(70, 42), 21, 20).united(trunk);
        fillPath(p, head, skin, line);
        p.setPen(QPen(line, 0.6));
        for (double y : {60.0, 64.0, 68.0}) p.drawLine(QPointF(87, y), QPointF(91, y - 1.5));
        // Ear: large and floppy, pink inside.
        QPainterPath ear = ellipse(QPointF(60, 46), 12, 15, 10);
        fillPath(p, ear, skin.darker(106), line);
        fillPath(p, ellipse(QPointF(60.5, 46), 8, 11, 10), pink);
        // Fuzz on the crown.
        p.setPen(QPen(QColor(0x6A, 0x5A, 0x5E), 0.8, Qt::SolidLine, Qt::RoundCap));
        for (int i = 0; i < 7; ++i) {
            double x = 62 + i * 2.6;
            p.drawLine(QPointF(x, 24 + std::abs(i - 3) * 0.7),
                       QPointF(x - 1 + i * 0.3, 18 + std::abs(i - 3)));
        }
        eyeAt(p, QPointF(79, 40), 3.0);
        fillPath(p, ellipse(QPointF(84, 48), 3.5, 2.2), QColor(0xE8, 0xA0, 0xA8, 150));
    });
}

// A red-necked wallaby sitting up on its tail: grey with rusty shoulders, a white cheek line.
QImage wallaby() {
    return drawArt([](QPainter& p) {
        QColor grey(0x94, 0x90, 0x8C), line = grey.darker(150), rust(0xB8, 0x78, 0x58);
        QColor pale(0xEC, 0xE6, 0xDC), dark(0x3C, 0x36, 0x34);
        QPainterPath tail(QPointF(36, 78));
        tail.cubicTo(QPointF(20, 84), QPointF(10, 88), QPointF(2, 90));
        tail.cubicTo(QPointF(12, 91), QPointF(26, 91), QPointF(42, 88));
        tail.closeSubpath();
        fillPath(p, tail, grey.darker(108), line);
        QPainterPath foot(QPointF(38, 84));
        foot.lineTo(QPointF(68, 86));
        foot.quadTo(QPointF(71, 89), QPointF(66, 90));
        foot.lineTo(QPointF(38, 90));
        foot.closeSubpath();
        QPainterPath haunch = ellipse(QPointF(42, 72), 15, 14);
        QPainterPath chest = ellipse(QPointF(54, 52), 10, 20, 18);
        QPainterPath neck = limb(QPointF(57, 40), QPointF(62, 28), 11);
        QPainterPath head = ellipse(QPointF(64, 26), 8, 7);
        QPainterPath snout = ellipse(QPointF(72, 29), 6.5, 4.2, 10);
        QPainterPath all =
            foot.united(haunch).united(chest).united(neck).united(head).united(snout);
        fillPath(p, all, grey, line);
        p.save();
        p.setClipPath(all);
        p.setPen(Qt::NoPen);
        p.setBrush(rust);
        p.drawPath(ellipse(QPointF(56, 36), 6, 10, 20));
        p.setBrush(pale);
        p.drawPath(ellipse(QPointF(60, 58), 5, 16, 12));
        p.setBrush(dark);
        p.drawPath(ellipse(QPointF(66, 89), 5, 2));
        p.restore();
        p.setPen(QPen(line, 0.9));
        p.setBrush(Qt::NoBrush);
        p.drawArc(QRectF(30, 60, 26, 26), 40 * 16, 150 * 16);
        // Forepaws held in front of the chest.
        p.setPen(QPen(grey.darker(115), 3, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(60, 46), QPointF(66, 55));
        p.setPen(QPen(dark, 3, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(66, 55), QPointF(67, 58));
        // Ears: tall, dark at the back, pale inside.
        fillPath(p, ellipse(QPointF(58, 15), 3.2, 8, -14), grey.darker(112), line);
        fillPath(p, ellipse(QPointF(63, 14), 3.4, 8.5, 8), grey, line);
        fillPath(p, ellipse(QPointF(63, 15), 1.8, 6, 8), QColor(0xE4, 0xC8, 0xC0));
        p.setPen(QPen(pale, 1.3, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(65, 31), QPointF(75, 31));
        eyeAt(p, QPointF(67, 25), 2.2);
        fillPath(p, ellipse(QPointF(78, 28.5), 1.6, 1.4), dark);
    });
}

// An Alpine ibex on a crag: a stocky grey-brown goat under long ridged horns curving back.
QImage steenbok() {
    return drawArt([](QPainter& p) {
        QColor coat(0x8E, 0x7C, 0x66), line = coat.darker(150), pale(0xE2, 0xD8, 0xC6);
        QColor horn(0x7A, 0x68, 0x52), ridge(0x4E, 0x42, 0x34);
        QPainterPath rock(QPointF(14, 96));
        rock.lineTo(QPointF(20, 86));
        rock.lineTo(QPointF(36, 84));
        rock.lineTo(QPointF(50, 87));
        rock.lineTo(QPointF(70, 84));
        rock.lineTo(QPointF(80, 90));
        rock.lineTo(QPointF(84, 96));
        rock.closeSubpath();
        fillPath(p, rock, QColor(0xA4, 0xA2, 0x9C), QColor(0x70, 0x6E, 0x68));
        p.setPen(QPen(QColor(0x80, 0x7E, 0x78), 0.8));
        p.drawLine(QPointF(36, 84), QPointF(40, 93));
        p.drawLine(QPointF(70, 84), QPointF(66, 92));
        for (const Seg& leg : {Seg{{30, 62}, {31, 85}}, Seg{{62, 62}, {64, 85}}})
            fillPath(p, limb(leg.first, leg.second, 5), coat.darker(125), line);
        QPainterPath body = ellipse(QPointF(46, 60), 25, 13);
        body = body.united(limb(QPointF(24, 64), QPointF(23, 86), 6));
        body = body.united(limb(QPointF(56, 64), QPointF(57, 86), 6));
        body = body.united(limb(QPointF(62, 56), QPointF(72, 40), 14));
        QPainterPath head = ellipse(QPointF(76, 40), 9, 7, 25);
        QPainterPath muzzle = ellipse(QPointF(84, 47), 5, 4, 40);
        QPainterPath beard(QPointF(80, 49));
        beard.lineTo(QPointF(84, 50));
        beard.lineTo(QPointF(80, 58));
        beard.closeSubpath();
        QPainterPath all = body.united(head).united(muzzle).united(beard);
        fillPath(p, all, coat, line);
        p.save();
        p.setClipPath(all);
        p.setPen(Qt::NoPen);
        p.setBrush(pale);
        p.drawPath(ellipse(QPointF(42, 71), 13, 3.5));
        p.setBrush(coat.darker(135));
        for (double x : {23.0, 57.0}) p.drawRect(QRectF(x - 3, 74, 6, 12));
        p.drawPath(ellipse(QPointF(80, 56), 3, 6, 20));
        p.restore();
        fillPath(p, limb(QPointF(16, 54), QPointF(21, 52), 4), coat.darker(130));
        // Horns: a thick scimitar sweeping back over the body, ridged across.
        QPainterPath outer(QPointF(80, 34));
        outer.cubicTo(QPointF(74, 6), QPointF(48, 2), QPointF(30, 20));
        QPainterPath inner(QPointF(30, 20));
        inner.cubicTo(QPointF(48, 10), QPointF(66, 14), QPointF(72, 36));
        QPainterPath hornPath = outer;
        hornPath.connectPath(inner);
        hornPath.closeSubpath();
        fillPath(p, hornPath, horn, ridge);
        p.setPen(QPen(ridge, 1.1, Qt::SolidLine, Qt::RoundCap));
        for (int i = 1; i <= 9; ++i) {
            double t = i / 10.5;
            p.drawLine(outer.pointAtPercent(t), inner.pointAtPercent(1 - t * 0.98));
        }
        fillPath(p, ellipse(QPointF(70, 33), 2.2, 4, -30), coat.darker(120), line);
        eyeAt(p, QPointF(77, 38), 2.2);
        fillPath(p, ellipse(QPointF(87.5, 47.5), 1.1, 0.9), QColor(0x30, 0x28, 0x22));
    });
}

// An alpaca: small, round and woolly, with a short fleecy neck, a pompom head and short ears.
QImage alpaca() {
    return drawArt([](QPainter& p) {
        QColor wool(0xDA, 0xA8, 0x6C), line = wool.darker(150), face(0x8A, 0x62, 0x42);
        for (double x : {34.0, 56.0})
            fillPath(p, limb(QPointF(x, 66), QPointF(x, 84), 7), wool.darker(115), line);
        QPainterPath body = woolly(ellipse(QPointF(45, 58), 22, 16), 3.4);
        QPainterPath neck = woolly(limb(QPointF(60, 52), QPointF(66, 38), 16), 3.2);
        QPainterPath top = woolly(ellipse(QPointF(69, 31), 10, 9), 3.2);
        QPainterPath legs;
        for (double x : {28.0, 50.0})
            legs = legs.united(woolly(limb(QPointF(x, 66), QPointF(x, 80), 8), 2.4));
        QPainterPath all = body.united(neck).united(top).united(legs);
        fillPath(p, all, wool, line);
        p.save();
        p.setClipPath(all);
        p.setPen(Qt::NoPen);
        p.setBrush(wool.lighter(112));
        p.drawPath(woolly(ellipse(QPointF(44, 52), 16, 7), 2.6));
        p.drawPath(woolly(ellipse(QPointF(67, 26), 6, 4), 2.2));
        p.restore();
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0x3A, 0x2C, 0x24));
        for (double x : {28.0, 34.0, 50.0, 56.0}) p.drawEllipse(QPointF(x, 85), 3.4, 1.7);
        fillPath(p, woolly(ellipse(QPointF(22, 50), 4, 3), 2.2), wool, line);
        // Ears: short and straight.
        fillPath(p, ellipse(QPointF(64, 19), 2.4, 5, -12), face, line);
        fillPath(p, ellipse(QPointF(72, 18), 2.4, 5, 14), face, line);
        // Face: short, rounded, darker than the fleece.
        fillPath(p, ellipse(QPointF(75, 35), 7, 6.5, 15), face, face.darker(130));
        fillPath(p, ellipse(QPointF(79, 38), 3.5, 2.8), face.lighter(130));
        eyeAt(p, QPointF(74, 31), 2.3);
        p.setPen(QPen(QColor(0x2A, 0x20, 0x1A), 0.8));
        p.drawLine(QPointF(80, 37), QPointF(81.5, 38.5));
        p.drawArc(QRectF(77, 38.5, 4, 2.5), 200 * 16, 140 * 16);
    });
}

// An orca swimming: a heavy black body, a tall dorsal fin, the white patch behind the eye.
QImage orka() {
    return drawArt([](QPainter& p) {
        QColor black(0x1C, 0x1F, 0x24), white(0xFA, 0xFA, 0xFA), line(0x08, 0x0A, 0x0E);
        QPainterPath body(QPointF(96, 56));
        body.cubicTo(QPointF(96, 40), QPointF(70, 38), QPointF(52, 40));
        body.cubicTo(QPointF(38, 42), QPointF(22, 48), QPointF(14, 54));
        body.lineTo(QPointF(14, 60));
        body.cubicTo(QPointF(30, 66), QPointF(56, 72), QPointF(76, 70));
        body.cubicTo(QPointF(90, 68), QPointF(97, 63), QPointF(96, 56));
        body.closeSubpath();
        QPainterPath fin(QPointF(46, 42));
        fin.cubicTo(QPointF(48, 30), QPointF(49, 16), QPointF(52, 6));
        fin.cubicTo(QPointF(56, 18), QPointF(60, 32), QPointF(64, 40));
        fin.closeSubpath();
        QPainterPath fluke(QPointF(16, 56));
        fluke.cubicTo(QPointF(10, 50), QPointF(4, 44), QPointF(0, 44));
        fluke.cubicTo(QPointF(4, 52), QPointF(4, 58), QPointF(0, 68));
        fluke.cubicTo(QPointF(6, 66), QPointF(12, 62), QPointF(16, 58));
        fluke.closeSubpath();
        QPainterPath flipper(QPointF(72, 66));
        flipper.cubicTo(QPointF(70, 74), QPointF(62, 84), QPointF(56, 82));
        flipper.cubicTo(QPointF(54, 78), QPointF(60, 72), QPointF(64, 66));
        flipper.closeSubpath();
        QPainterPath all = body.united(fin).united(fluke);
        fillPath(p, all, black, line);
        p.save();
        p.setClipPath(body);
        p.setPen(Qt::NoPen);
        p.setBrush(white);
        // Chin and belly, with the flank patch sweeping up towards the tail.
        QPainterPath belly(QPointF(97, 60));
        belly.cubicTo(QPointF(88, 66), QPointF(74, 66), QPointF(58, 66));
        belly.cubicTo(QPointF(48, 64), QPointF(40, 54), QPointF(30, 54));
        belly.cubicTo(QPointF(36, 62), QPointF(42, 70), QPointF(50, 74));
        belly.lineTo(QPointF(100, 74));
        belly.closeSubpath();
        p.drawPath(belly);
        p.drawPath(ellipse(QPointF(78, 47), 7, 2.8, -8));
        p.setBrush(QColor(0x9A, 0xA2, 0xAC));
        p.drawPath(ellipse(QPointF(42, 44), 9, 3, 6));
        p.restore();
        fillPath(p, flipper, black, line);
        p.setPen(QPen(line, 0.7));
        p.drawArc(QRectF(84, 56, 12, 6), 200 * 16, 120 * 16);
        eyeAt(p, QPointF(84, 50), 1.6);
    });
}

// A donkey standing: grey, big head, long dark-tipped ears, pale muzzle and belly.
QImage ezel() {
    return drawArt([](QPainter& p) {
        QColor coat(0x9C, 0x96, 0x92), line = coat.darker(150), pale(0xEE, 0xEA, 0xE4);
        QColor dark(0x3A, 0x34, 0x32);
        QPainterPath tail(QPointF(21, 48));
        tail.cubicTo(QPointF(14, 52), QPointF(14, 62), QPointF(15, 72));
        p.setPen(QPen(coat.darker(115), 2.2, Qt::SolidLine, Qt::RoundCap));
        p.setBrush(Qt::NoBrush);
        p.drawPath(tail);
        fillPath(p, ellipse(QPointF(15, 75), 2.6, 5), dark);
        for (const Seg& leg : {Seg{{31, 58}, {32, 87}}, Seg{{60, 58}, {62, 87}}})
            fillPath(p, limb(leg.first, leg.second, 5.5), coat.darker(118), line);
        QPainterPath body = ellipse(QPointF(44, 52), 24, 14);
        body = body.united(limb(QPointF(25, 58), QPointF(24, 88), 6.5));
        body = body.united(limb(QPointF(54, 58), QPointF(55, 88), 6.5));
        body = body.united(limb(QPointF(60, 48), QPointF(71, 32), 14));
        QPainterPath head = ellipse(QPointF(80, 40), 13, 7.5, 34);
        QPainterPath all = body.united(head);
        fillPath(p, all, coat, line);
        p.save();
        p.setClipPath(all);
        p.setPen(Qt::NoPen);
        p.setBrush(pale);
        p.drawPath(ellipse(QPointF(44, 64), 19, 6));
        p.drawPath(ellipse(QPointF(88, 47), 6.5, 5.5, 34));
        p.setBrush(dark);
        for (double x : {24.0, 55.0}) p.drawRect(QRectF(x - 4, 85, 8, 4));
        p.restore();
        p.setPen(Qt::NoPen);
        p.setBrush(dark);
        for (double x : {32.0, 62.0}) p.drawRect(QRectF(x - 3, 85, 6, 3.5));
        // Dark stripe along the back and across the shoulders; a short upright mane.
        p.setPen(QPen(coat.darker(140), 1.4, Qt::SolidLine, Qt::RoundCap));
        p.setBrush(Qt::NoBrush);
        QPainterPath stripe(QPointF(22, 44));
        stripe.quadTo(QPointF(40, 36), QPointF(58, 40));
        p.drawPath(stripe);
        p.drawLine(QPointF(57, 40), QPointF(59, 52));
        QPainterPath mane(QPointF(60, 40));
        mane.quadTo(QPointF(64, 30), QPointF(70, 24));
        p.setPen(QPen(dark, 3.2, Qt::SolidLine, Qt::RoundCap));
        p.drawPath(mane);
        // Ears: long, pale inside, dark at the tips.
        for (const auto& [c, a] :
             {std::pair{QPointF(70, 15), -12.0}, std::pair{QPointF(76, 14), 10.0}}) {
            QPainterPath ear = ellipse(c, 3.2, 10, a);
            fillPath(p, ear, coat, line);
            p.save();
            p.setClipPath(ear);
            p.setPen(Qt::NoPen);
            p.setBrush(dark);
            p.drawRect(QRectF(c.x() - 6, c.y() - 12, 12, 6));
            p.restore();
        }
        fillPath(p, ellipse(QPointF(76, 15), 1.5, 6, 10), QColor(0xE4, 0xD8, 0xD4));
        fillPath(p, ellipse(QPointF(79, 35), 3.4, 3.4), pale);
        eyeAt(p, QPointF(79, 35), 2.1);
        fillPath(p, ellipse(QPointF(91, 47), 1.4, 1.1, 30), dark);
    });
}

}  // namespace

Face animalFace(int n) {
    Face f;
    f.tint = tintFor(n, 90);
    switch (n) {
    case 1:  // a young elephant stands lower than the grown one
        f.art = olifantje();
        f.scale = 0.8;
        break;
    case 2: f.art = e("🦁"); break;
    case 3: f.art = e("🦧"); break;
    case 4: f.art = e("🐆"); break;
    case 5: f.art = e("🦭"); break;
    case 6: f.art = e("🦓"); break;
    case 7: f.art = e("🦏"); break;
    case 8: f.art = e("🐧"); break;
    case 9: f.art = e("🐻‍❄️"); break;
    case 10: f.art = hueShift(e("🐿️"), -12, 1.4, 0.95); break;
    case 11:  // smaller than the kangaroo
        f.art = wallaby();
        f.scale = 0.85;
        break;
    case 12: f.art = e("🦔"); break;
    case 13: f.art = tinted(e("🐇"), 30, 0.45, 0.92); break;
    case 14: f.art = e("🐈"); break;
    case 15: f.art = lorikeetArt(); break;
    case 16: f.art = e("🐅"); break;
    case 17: f.art = e("🐕"); break;
    case 18: f.art = e("🐹"); break;
    case 19: f.art = e("🐻"); break;
    case 20: f.art = e("🐓"); break;
    case 21: f.art = e("🐄"); break;
    case 22: f.art = e("🦛"); break;
    case 23: f.art = e("🐢"); break;
    case 24: f.art = e("🦘"); break;
    case 25: f.art = e("🐼"); break;
    case 26: f.art = e("🐬"); break;
    case 27: f.art = e("🐨"); break;
    case 28: f.art = e("🦋"); break;
    case 29: f.art = e("🐊"); break;
    case 30: f.art = hueShift(e("🐟"), 185, 1.3, 1.0); break;
    case 31: f.art = cavia(); break;
    case 32: f.art = e("🦝"); break;
    case 33: f.art = e("🦊"); break;
    case 34: f.art = e("🐺"); break;
    case 35: f.art = e("🦍"); break;
    case 36: f.art = hueShift(e("🐒"), 12, 1.3, 1.05); break;
    case 37: f.art = e("🦌"); break;
    case 38: f.art = e("🦜"); break;
    case 39: f.art = e("🦀"); break;
    case 40: f.art = e("🦞"); break;
    case 41: f.art = e("🦎"); break;
    case 42: f.art = e("🐍"); break;
    case 43: f.art = e("🐐"); break;
    case 44: f.art = e("🐖"); break;
    case 45: f.art = orka(); break;
    case 46: f.art = ezel(); break;  // the glyph's donkey kicks head-down
    case 47: f.art = tinted(e("🕷️"), 22, 0.55, 1.1); break;
    case 48: f.art = gordeldier(); break;
    case 49: f.art = e("🦦"); break;
    case 50: f.art = e("🦙"); break;
    case 51: f.art = e("🐎"); break;
    case 52: f.art = mara(); break;
    case 53:
        f.art = group({e("🐈"), e("🐈‍⬛"), tinted(e("🐈"), 30, 0.08, 1.1)}, 0.45, 0.85);
        break;
    case 54: f.art = budgieArt(); break;
    case 55: f.art = alpaca(); break;
    case 56: f.art = hueShift(e("🐵"), 0, 0.7, 0.75); break;
    case 57: f.art = steenbok(); break;
    case 58: f.art = e("🐝"); break;
    case 59: f.art = e("🐚"); break;
    case 60: f.art = e("🐘"); break;
    default: break;
    }
    return f;
}

}  // namespace pix
