// The animal set: colour emoji where a good glyph exists, recoloured or turned where two
// animals would otherwise share one, and drawings of our own for the rest.
#include <QPainterPath>
#include <cmath>

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

QImage blend(const QImage& img, QColor to, double amount) {
    return recolor(img, [=](const QColor& c) {
        auto mix = [amount](int a, int b) { return int(a + (b - a) * amount); };
        return QColor(mix(c.red(), to.red()), mix(c.green(), to.green()), mix(c.blue(), to.blue()));
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

// An orca from the dolphin glyph: dark parts black, pale parts white.
QImage orka() {
    return recolor(mirrored(e("🐬")), [](const QColor& c) {
        return c.lightness() < 170 ? QColor(0x1C, 0x1F, 0x24) : QColor(0xFA, 0xFA, 0xFA);
    });
}

}  // namespace

Face animalFace(int n) {
    Face f;
    f.tint = tintFor(n, 90);
    switch (n) {
    case 1:  // a young elephant: smaller, turned, a little rosier
        f.art = blend(mirrored(e("🐘")), QColor(0xE9, 0xA8, 0xB0), 0.3);
        f.scale = 0.72;
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
    case 11:  // smaller and greyer than the kangaroo
        f.art = tinted(mirrored(e("🦘")), 25, 0.18);
        f.scale = 0.8;
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
    case 46: f.art = e("🫏"); break;
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
    case 55: f.art = tinted(mirrored(e("🦙")), 28, 0.5, 0.85); break;
    case 56: f.art = hueShift(e("🐵"), 0, 0.7, 0.75); break;
    case 57: f.art = tinted(mirrored(e("🐐")), 32, 0.3, 0.95); break;
    case 58: f.art = e("🐝"); break;
    case 59: f.art = e("🐚"); break;
    case 60: f.art = e("🐘"); break;
    default: break;
    }
    return f;
}

}  // namespace pix
