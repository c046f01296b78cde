// The European bird set: a few colour emoji, the rest drawn by the bird painter from each
// species' proportions and the colour pattern a birder knows it by.
#include <QtMath>
#include <cmath>
#include <functional>

#include "bird.h"
#include "pix.h"

namespace pix {
namespace {

QColor rgb(unsigned v) { return QColor((v >> 16) & 0xFF, (v >> 8) & 0xFF, v & 0xFF); }

QImage paint(const BirdShape& s, const std::function<void(Bird&)>& f) {
    return drawArt([&](QPainter& p) {
        Bird b(p, s);
        f(b);
    });
}

QImage e(const char* utf8) { return emoji(QString::fromUtf8(utf8)); }

const QColor kBlack = rgb(0x1E1E22), kWhite = rgb(0xFAFAF7), kDark = rgb(0x2A2A2A);

// Shapes the species are built from.
BirdShape songbird() { return BirdShape{}; }

BirdShape plump() {
    BirdShape s;
    s.bodyRx = 22;
    s.bodyRy = 18;
    s.bodyAngle = -20;
    s.head = {67, 36};
    s.tailLen = 18;
    return s;
}

BirdShape finch() {
    BirdShape s = plump();
    s.beakLen = 7;
    s.beakW = 7;
    return s;
}

BirdShape ground() {
    BirdShape s;
    s.stand = Stand::Ground;
    s.bodyAngle = -12;
    s.bodyRx = 26;
    s.head = {72, 36};
    s.legLen = 14;
    return s;
}

BirdShape wader(double legs, double neck) {
    BirdShape s;
    s.stand = Stand::Ground;
    s.bodyAngle = -8;
    s.bodyRx = 24;
    s.bodyRy = 13;
    s.body = {44, 46};
    s.head = {66 + neck * 0.3, 38 - neck};
    s.headR = 8;
    s.legLen = legs;
    s.legW = 2.0;
    s.tailLen = 10;
    s.tailAngle = 20;
    s.wingReach = 0.9;
    s.wingW = 10;
    if (neck > 0) {
        s.neckW = 7;
        s.neckCtrl = {60, 38 - neck * 0.4};
    }
    return s;
}

BirdShape swimmer() {
    BirdShape s;
    s.stand = Stand::Water;
    s.bodyAngle = -4;
    s.body = {44, 60};
    s.bodyRx = 28;
    s.bodyRy = 13;
    s.head = {72, 40};
    s.headR = 9;
    s.neckW = 9;
    s.neckCtrl = {70, 52};
    s.tailLen = 6;
    s.tailAngle = 15;
    s.wingReach = 0.3;
    s.wingW = 10;
    s.beakLen = 9;
    s.beakW = 4.5;
    s.beakAngle = 5;
    return s;
}

BirdShape clinging() {
    BirdShape s;
    s.stand = Stand::Trunk;
    s.bodyAngle = -72;
    s.body = {42, 56};
    s.bodyRx = 22;
    s.bodyRy = 12;
    s.head = {52, 26};
    s.headR = 10;
    s.tailAngle = 100;
    s.tailLen = 16;
    s.tailW = 8;
    s.wingReach = 0.4;
    s.wingW = 8;
    s.legLen = 8;
    s.beakLen = 12;
    s.beakW = 4;
    s.beakAngle = -5;
    return s;
}

BirdShape flier() {
    BirdShape s;
    s.stand = Stand::Flight;
    s.bodyAngle = -8;
    s.body = {44, 62};
    s.bodyRx = 22;
    s.bodyRy = 8;
    s.head = {66, 56};
    s.headR = 7;
    s.tailLen = 16;
    s.tailAngle = 10;
    s.wingW = 9;
    s.legLen = 0;
    return s;
}

// A barn owl: upright, golden back, white heart-shaped face.
QImage kerkuil() {
    return drawArt([](QPainter& p) {
        QColor gold = rgb(0xD9A45B), grey = rgb(0xB8B0A8);
        p.setPen(Qt::NoPen);
        p.setBrush(rgb(0x7A5538));
        p.drawRoundedRect(QRectF(14, 86, 72, 5), 2, 2);
        QPainterPath body;
        body.addEllipse(QPointF(50, 60), 24, 28);
        p.setBrush(gold);
        p.drawPath(body);
        p.save();
        p.setClipPath(body);
        p.setBrush(kWhite);
        p.drawEllipse(QPointF(54, 70), 18, 22);
        p.setBrush(grey);
        for (int i = 0; i < 8; ++i)
            p.drawEllipse(QPointF(32 + (i * 7) % 18, 44 + i * 4.5), 1.3, 1.3);
        p.setBrush(rgb(0x4A4038));
        for (int i = 0; i < 6; ++i) p.drawEllipse(QPointF(50 + (i * 5) % 12, 62 + i * 4), 0.9, 0.9);
        p.restore();
        // Wing folded along the side.
        QPainterPath wing(QPointF(30, 42));
        wing.cubicTo(QPointF(18, 60), QPointF(24, 82), QPointF(38, 88));
        wing.cubicTo(QPointF(36, 70), QPointF(38, 52), QPointF(30, 42));
        p.setBrush(gold.darker(112));
        p.drawPath(wing);
        p.setBrush(rgb(0xF6F2EA));
        p.drawEllipse(QPointF(28, 60), 1.2, 1.2);
        p.drawEllipse(QPointF(30, 72), 1.2, 1.2);
        // Head and heart-shaped face.
        p.setBrush(gold);
        p.drawEllipse(QPointF(50, 26), 20, 18);
        QPainterPath heart(QPointF(50, 18));
        heart.cubicTo(QPointF(40, 8), QPointF(30, 16), QPointF(33, 28));
        heart.cubicTo(QPointF(36, 38), QPointF(46, 42), QPointF(50, 46));
        heart.cubicTo(QPointF(54, 42), QPointF(64, 38), QPointF(67, 28));
        heart.cubicTo(QPointF(70, 16), QPointF(60, 8), QPointF(50, 18));
        p.setPen(QPen(rgb(0xB07A40), 1.2));
        p.setBrush(kWhite);
        p.drawPath(heart);
        p.setPen(Qt::NoPen);
        p.setBrush(kBlack);
        p.drawEllipse(QPointF(43, 27), 3.2, 3.4);
        p.drawEllipse(QPointF(57, 27), 3.2, 3.4);
        p.setBrush(rgb(0xE8D8C0));
        QPainterPath beak(QPointF(48.5, 31));
        beak.lineTo(QPointF(51.5, 31));
        beak.lineTo(QPointF(50, 38));
        beak.closeSubpath();
        p.drawPath(beak);
        p.setPen(QPen(rgb(0x5A5048), 1.6, Qt::SolidLine, Qt::RoundCap));
        for (double x : {43.0, 47.0, 54.0, 58.0}) p.drawLine(QPointF(x, 85), QPointF(x, 88));
    });
}

QImage parrot(QColor body, QColor head, QColor breast, QColor wing, bool budgie) {
    BirdShape s = songbird();
    s.bodyAngle = -60;
    s.body = {46, 54};
    s.bodyRx = 20;
    s.bodyRy = 13;
    s.head = {58, 26};
    s.headR = 11;
    s.tailLen = budgie ? 26 : 20;
    s.tailW = 7;
    s.tailAngle = 105;
    s.tailSpread = 0.6;
    s.hookBeak = true;
    s.beakLen = 9;
    s.beakW = 8;
    s.beakAngle = 35;
    s.legLen = 6;
    s.wingReach = 0.5;
    return paint(s, [=](Bird& b) {
        b.base(body, budgie ? rgb(0x2A56A8) : body.darker(115), rgb(0x8A8A9A));
        b.under(breast, 0.15);
        if (budgie) {
            b.cap(head, 0.9);
            b.spots(kBlack, 0.8, b.headArea().subtracted(b.underArea(-0.2)), 3, 0.6);
            b.bib(head, 0.9);
            b.wing(wing);
            // Black scalloping over the yellow-green wing.
            QPainterPath w = b.wingArea();
            b.painter().save();
            b.painter().setClipPath(w);
            b.painter().setPen(QPen(kBlack, 1.1));
            b.painter().setBrush(Qt::NoBrush);
            QRectF r = w.boundingRect();
            for (double y = r.top(); y < r.bottom(); y += 3.5)
                for (double x = r.left(); x < r.right(); x += 5)
                    b.painter().drawArc(QRectF(x, y, 5, 4), 200 * 16, 140 * 16);
            b.painter().restore();
            b.beak(rgb(0xE8C070));
            b.painter().setPen(Qt::NoPen);
            b.painter().setBrush(rgb(0x3060C0));  // the blue nose skin above the beak
            b.painter().drawEllipse(b.beakBase() + QPointF(-2, -3.5), 2.8, 2);
        } else {
            b.cap(head, 0.7);
            b.wing(wing);
            b.wingPatch(rgb(0xF2C12E), 0.25, 3.5);
            b.beak(rgb(0xE8452C));
        }
        b.eye(budgie ? kBlack : rgb(0xE03C28), budgie ? kWhite : QColor(), 2.2);
    });
}

QImage stork(bool flying) {
    if (!flying) {
        BirdShape s = wader(34, 10);
        s.headR = 7;
        s.beakLen = 22;
        s.beakW = 4.5;
        s.beakAngle = 20;
        s.wingReach = 1.2;
        return paint(s, [](Bird& b) {
            b.base(kWhite, kWhite, rgb(0xE2412E));
            b.wing(kWhite);
            b.wingTip(kBlack, 0.35);
            b.beak(rgb(0xE2412E));
            b.eye(kBlack);
        });
    }
    BirdShape s = flier();
    s.bodyRx = 24;
    s.head = {84, 58};
    s.headR = 5.5;
    s.neckW = 5;
    s.neckCtrl = {74, 58};
    s.beakLen = 16;
    s.beakW = 3.6;
    s.beakAngle = 12;
    s.legLen = 24;
    s.legW = 2;
    s.tailLen = 8;
    return paint(s, [](Bird& b) {
        b.base(kWhite, kWhite, rgb(0xE2412E));
        b.wing(kWhite);
        b.wingTip(kBlack, 0.45);
        b.beak(rgb(0xE2412E));
        b.eye(kBlack, QColor(), 1.5);
    });
}

QImage crane() {
    auto one = [](Bird& b) {
        QColor grey = rgb(0x9AA0A8);
        b.base(grey, kDark, kDark);
        b.collar(kWhite, 3.0);
        b.face(kBlack, 1.3);
        b.cap(rgb(0xD8342C), 0.0);
        b.cheek(kWhite, 0.8);
        b.wing(grey.darker(108));
        b.wingTip(kDark, 0.75);
        b.beak(rgb(0x5A5A52));
        b.eye(rgb(0xC8A020));
    };
    BirdShape s = wader(30, 16);
    s.headR = 6.5;
    s.beakLen = 12;
    s.beakW = 3.5;
    s.wingReach = 1.3;
    QImage front = paint(s, one);
    s.head = {70, 30};
    QImage back = paint(s, one);
    return group({front, mirrored(back)}, 0.5, 0.82);
}

QImage heron() {
    // Tall and upright, the long neck kinked forward.
    BirdShape s = wader(32, 0);
    s.body = {42, 50};
    s.bodyRx = 22;
    s.bodyRy = 11;
    s.bodyAngle = -28;
    s.head = {66, 12};
    s.headR = 6.5;
    s.neckW = 6.5;
    s.neckCtrl = {78, 36};
    s.beakLen = 18;
    s.beakW = 4;
    s.beakAngle = 8;
    s.tailLen = 8;
    s.tailAngle = 60;
    s.wingReach = 1.0;
    s.wingW = 11;
    return paint(s, [](Bird& b) {
        QColor grey = rgb(0x8E98A4);
        b.base(grey, grey.darker(120), rgb(0xA89A60));
        QPainterPath neck = b.outline().subtracted(b.headArea());
        QPainterPath front = b.underArea(0.15).intersected(neck);
        b.painter().setPen(Qt::NoPen);
        b.painter().setBrush(kWhite);
        b.painter().drawPath(front);
        b.streaks(kDark, front, 9);
        b.face(kWhite, 1.6);
        b.eyeStripe(kBlack, 2.2);
        b.crest(kBlack, 11, 175, 2.2);
        b.wing(grey);
        b.wingTip(kDark, 0.75);
        b.beak(rgb(0xE0B030));
        b.eye(rgb(0xE8D040));
    });
}

}  // namespace

QImage lorikeetArt() {
    return parrot(rgb(0x2F9E3E), rgb(0x2B45B8), rgb(0xE8461F), rgb(0x2F9E3E), false);
}

QImage budgieArt() {
    return parrot(rgb(0x6CC43A), rgb(0xF2E14C), rgb(0x7DD447), rgb(0xD8D060), true);
}

Face birdFace(int n) {
    Face f;
    f.tint = tintFor(n, 200);
    BirdShape s;
    switch (n) {
    case 1: f.art = kerkuil(); break;
    case 2: {  // ijsvogel: blue above, orange below, a dagger beak
        s = plump();
        s.headR = 13;
        s.head = {66, 33};
        s.beakLen = 18;
        s.beakW = 5;
        s.beakAngle = 6;
        s.tailLen = 10;
        s.legLen = 7;
        f.art = paint(s, [](Bird& b) {
            QColor blue = rgb(0x1E7FD0), cyan = rgb(0x21C4E8), orange = rgb(0xF2801E);
            b.base(blue, blue, rgb(0xE0402A));
            b.under(orange, 0.1);
            b.cheek(orange, 1.0);
            b.neckSide(kWhite, 1.0);
            b.bib(kWhite, 0.6);
            b.cap(blue, -0.1);
            b.spots(cyan, 0.9, b.headArea(), 4, 0.5);
            b.rump(cyan);
            b.wing(blue);
            b.spots(cyan, 0.8, b.wingArea(), 7, 0.6);
            b.beak(kBlack);
            b.eye();
        });
        break;
    }
    case 3: {  // goudvink: black cap, rose-red breast, grey back
        s = finch();
        s.beakLen = 6;
        s.beakW = 7.5;
        f.art = paint(s, [](Bird& b) {
            b.base(rgb(0x8A8E94), kBlack, rgb(0x6A5A50));
            b.under(rgb(0xE8505A), -0.1);
            b.belly(rgb(0xF0F0F0), 0.5);
            b.cap(kBlack, 0.25);
            b.bib(kBlack, 0.6);
            b.rump(kWhite);
            b.wing(kBlack);
            b.wingBar(rgb(0xC8C8C8), 0.25, 3.0);
            b.beak(kBlack);
            b.eye();
        });
        break;
    }
    case 4: {  // grote bonte specht: black and white, red under the tail and on the nape
        s = clinging();
        f.art = paint(s, [](Bird& b) {
            b.base(kBlack, kBlack, rgb(0x5A5A5A));
            b.under(rgb(0xF4F0E8), 0.0);
            b.undertail(rgb(0xE02828));
            b.face(kWhite, 1.4);
            b.cap(kBlack, -0.35);
            b.moustache(kBlack, 2.4);
            b.nape(rgb(0xE02828), 0.6);
            b.wing(kBlack);
            b.shoulder(kWhite, 1.2);
            b.spots(kWhite, 0.8, b.wingArea(), 11, 0.35);
            b.beak(rgb(0x4A4A4A));
            b.eye();
        });
        break;
    }
    case 5: {  // fuut: white face, rusty ruff, black double crest
        s = swimmer();
        s.head = {74, 28};
        s.headR = 8;
        s.neckCtrl = {72, 46};
        s.neckW = 8;
        s.beakLen = 12;
        s.beakW = 4;
        f.art = paint(s, [](Bird& b) {
            QColor back = rgb(0x6E5A4A);
            b.base(back, back, back);
            b.under(kWhite, -0.25);
            b.face(kWhite, 1.3);
            b.collar(rgb(0xC8642A), 7);
            b.cheek(rgb(0xC8642A), 0.7);
            b.cap(kBlack, -0.25);
            b.crest(kBlack, 9, -150, 5);
            b.crest(kBlack, 7, -115, 4);
            b.wing(back.darker(110));
            b.water();
            b.beak(rgb(0xE0A0A0));
            b.eye(rgb(0xD02020));
        });
        break;
    }
    case 6: {  // papegaaiduiker: black and white, a big striped beak
        s = songbird();
        s.stand = Stand::Rock;
        s.bodyAngle = -70;
        s.body = {48, 56};
        s.bodyRx = 24;
        s.bodyRy = 16;
        s.head = {56, 26};
        s.headR = 12;
        s.beakLen = 12;
        s.beakW = 12;
        s.beakAngle = 10;
        s.tailLen = 6;
        s.tailAngle = 100;
        s.legLen = 8;
        s.legW = 3.2;
        s.wingReach = 0.6;
        f.art = paint(s, [](Bird& b) {
            b.base(kBlack, kBlack, rgb(0xF07830));
            b.under(kWhite, 0.1);
            b.face(rgb(0xE8E8E8), 1.3);
            b.cap(kBlack, -0.4);
            b.collar(kBlack, 4);
            b.wing(kBlack);
            b.beak(rgb(0xE8502A), rgb(0xF0B030));
            QPainter& p = b.painter();
            p.setPen(QPen(rgb(0x4A6080), 2.2));
            QPointF bb = b.beakBase();
            p.drawLine(bb + QPointF(1, -5), bb + QPointF(2, 5));
            b.eye(kBlack, rgb(0xE04030), 2.2);
        });
        break;
    }
    case 7: {  // pimpelmees: blue cap, white cheek, yellow breast
        s = plump();
        s.beakLen = 5;
        f.art = paint(s, [](Bird& b) {
            QColor blue = rgb(0x2A8AE0);
            b.base(rgb(0x9AB84A), blue, rgb(0x6A7A9A));
            b.under(rgb(0xF5D83A), -0.05);
            b.face(kWhite, 1.45);
            b.cap(blue, -0.25);
            b.eyeStripe(rgb(0x1A2A6A), 2.2);
            b.bib(rgb(0x1A2A6A), 0.55);
            b.collar(rgb(0x1A2A6A), 2.0);
            b.wing(blue);
            b.wingBar(kWhite, 0.3, 2.2);
            b.beak(kBlack);
            b.eye();
        });
        break;
    }
    case 8: {  // roodborst: orange face and breast, brown back
        s = plump();
        s.beakLen = 7;
        s.beakW = 4;
        s.legLen = 15;
        s.legW = 1.5;
        f.art = paint(s, [](Bird& b) {
            QColor brown = rgb(0x8A7050);
            b.base(brown, brown, rgb(0x8A6A5A));
            b.under(rgb(0xF0F0EA), 0.0);
            b.breast(rgb(0xB8B8B8), 1.12);
            b.breast(rgb(0xF26A24), 1.0);
            b.face(rgb(0xF26A24), 1.1);
            b.cap(brown, -0.35);
            b.wing(brown.darker(108));
            b.beak(kDark);
            b.eye();
        });
        break;
    }
    case 9: {  // watersnip: streaked brown, very long straight beak
        s = wader(10, 0);
        s.headR = 9;
        s.head = {68, 36};
        s.beakLen = 28;
        s.beakW = 3.5;
        s.beakAngle = 18;
        s.wingReach = 0.7;
        f.art = paint(s, [](Bird& b) {
            QColor brown = rgb(0x7A5A3A);
            b.base(brown, brown, rgb(0x8A9A60));
            b.under(rgb(0xEEE4D0), 0.35);
            b.streaks(rgb(0x4A3A2A), b.bodyArea().subtracted(b.underArea(0.35)), 5);
            b.brow(rgb(0xE8D8A8), 2.0);
            b.cap(rgb(0x3A2A1A), -0.5);
            b.wing(brown);
            QPainter& p = b.painter();
            p.save();
            p.setClipPath(b.wingArea());
            p.setPen(QPen(rgb(0xE8C878), 1.5));
            for (int i = 0; i < 3; ++i)
                p.drawLine(b.toGlobal(12 - i * 4, -14 + i * 5),
                           b.toGlobal(-24 - i * 4, -6 + i * 5));
            p.restore();
            b.beak(rgb(0x8A6A4A));
            b.eye();
        });
        break;
    }
    case 10: {  // torenvalk: grey head, rusty spotted back, hooked beak
        s = songbird();
        s.bodyAngle = -55;
        s.body = {44, 54};
        s.head = {60, 26};
        s.hookBeak = true;
        s.beakLen = 8;
        s.beakW = 6;
        s.beakAngle = 25;
        s.tailLen = 28;
        s.tailAngle = 80;
        s.tailW = 8;
        s.wingReach = 0.7;
        s.legLen = 8;
        f.art = paint(s, [](Bird& b) {
            QColor rust = rgb(0xC0683A);
            b.base(rust, rgb(0x8A98A8), rgb(0xF0C020));
            b.tailTip(kBlack, 0.85);
            b.under(rgb(0xF0DEC0), 0.05);
            b.spots(rgb(0x5A3A2A), 0.7, b.underArea(0.2), 21, 0.5);
            b.cap(rgb(0x8A98A8), 0.3);
            b.moustache(rgb(0x3A3A40), 2.2);
            b.wing(rust);
            b.spots(kBlack, 0.9, b.wingArea(), 13, 0.6);
            b.wingTip(rgb(0x3A3A3A), 0.7);
            b.beak(rgb(0x4A5A70));
            b.eye(kBlack, rgb(0xF0C020), 2.6);
        });
        break;
    }
    case 11: f.art = e("🦆"); break;
    case 12: {  // koolmees: black head, white cheek, yellow breast with a black tie
        s = plump();
        s.beakLen = 6;
        f.art = paint(s, [](Bird& b) {
            b.base(rgb(0x7A9A4A), rgb(0x5A6A80), rgb(0x6A7A9A));
            b.under(rgb(0xF4D430), -0.05);
            b.cap(kBlack, 1.2);
            b.cheek(kWhite, 1.25);
            b.bib(kBlack, 0.8);
            QPainter& p = b.painter();
            p.save();
            p.setClipPath(b.outline());
            p.setPen(QPen(kBlack, 4, Qt::SolidLine, Qt::RoundCap));
            p.drawLine(b.beakBase() + QPointF(-6, 8), b.toGlobal(0, b.shape().bodyRy * 0.8));
            p.restore();
            b.nape(rgb(0xF0F0E0), 0.25);
            b.wing(rgb(0x5A6A80));
            b.wingBar(kWhite, 0.35, 2.2);
            b.beak(kBlack);
            b.eye();
        });
        break;
    }
    case 13: {  // kuifmees: speckled pointed crest, black bridle and bib
        s = plump();
        s.beakLen = 5;
        f.art = paint(s, [](Bird& b) {
            QColor brown = rgb(0x8A7258);
            b.base(brown, brown, rgb(0x6A6A7A));
            b.under(rgb(0xF0E8D8), 0.0);
            b.crest(kBlack, 11, -125, 9);
            b.crest(kWhite, 8, -125, 5);
            b.face(kWhite, 1.5);
            b.cap(kBlack, -0.45);
            b.spots(kWhite, 0.7, b.headArea().subtracted(b.underArea(-0.6)), 2, 1.2);
            b.eyeStripe(kBlack, 1.6);
            QPainter& p = b.painter();
            p.save();
            p.setPen(QPen(kBlack, 1.8));
            p.setBrush(Qt::NoBrush);
            QPointF e = b.eyePos();
            p.drawArc(QRectF(e.x() - 10, e.y() - 4, 12, 14), 180 * 16, 120 * 16);
            p.restore();
            b.bib(kBlack, 0.75);
            b.wing(brown.darker(110));
            b.beak(kBlack);
            b.eye();
        });
        break;
    }
    case 14: {  // winterkoning: tiny, round, barred brown, tail cocked up
        s = plump();
        s.bodyRx = 20;
        s.bodyRy = 17;
        s.bodyAngle = -10;
        s.head = {64, 38};
        s.headR = 10;
        s.beakLen = 8;
        s.beakW = 3;
        s.tailAngle = -55;
        s.tailLen = 14;
        s.tailW = 7;
        s.wingReach = 0.2;
        f.art = paint(s, [](Bird& b) {
            QColor brown = rgb(0x9A6A3E);
            b.base(brown, brown, rgb(0xB08A6A));
            b.under(rgb(0xD0A878), 0.1);
            b.brow(rgb(0xE8D0A8), 1.6);
            b.wing(brown);
            QPainter& p = b.painter();
            p.save();
            p.setClipPath(b.wingArea());
            p.setPen(QPen(rgb(0x4A3020), 1.1));
            QRectF r = b.wingArea().boundingRect();
            for (double x = r.left(); x < r.right(); x += 3.5)
                p.drawLine(QPointF(x, r.top()), QPointF(x + 3, r.bottom()));
            p.restore();
            b.beak(rgb(0x5A4A3A));
            b.eye();
        });
        break;
    }
    case 15: {  // merel: all black, orange-yellow beak and eye ring
        s = ground();
        s.bodyRx = 25;
        s.headR = 10.5;
        s.beakLen = 10;
        s.beakW = 4.5;
        s.tailLen = 22;
        s.tailAngle = 28;
        f.art = paint(s, [](Bird& b) {
            b.base(rgb(0x1C1C1E), rgb(0x151517), rgb(0x3A3230));
            b.wing(rgb(0x242428));
            b.beak(rgb(0xF2A81E));
            b.eye(kBlack, rgb(0xF2C01E), 2.3);
        });
        break;
    }
    case 16: {  // huismus: grey crown, chestnut nape, black bib
        s = finch();
        f.art = paint(s, [](Bird& b) {
            QColor brown = rgb(0x9A6A3E);
            b.base(brown, rgb(0x6A5040), rgb(0xB08A6A));
            b.under(rgb(0xB8B8B4), 0.0);
            b.cheek(rgb(0xE0E0DC), 1.2);
            b.cap(rgb(0x8A8A90), -0.2);
            b.eyeStripe(rgb(0x8A4A2A), 3.0);
            b.bib(kBlack, 0.9);
            b.wing(brown);
            b.streaks(kBlack, b.wingArea(), 17);
            b.wingBar(kWhite, 0.3, 2.0);
            b.beak(kDark);
            b.eye();
        });
        break;
    }
    case 17: {  // zilvermeeuw: white, pale grey wings with black tips, yellow beak
        s = ground();
        s.bodyRx = 26;
        s.bodyRy = 14;
        s.headR = 10;
        s.beakLen = 13;
        s.beakW = 5;
        s.beakAngle = 5;
        s.wingReach = 1.2;
        s.wingW = 11;
        s.legLen = 16;
        s.tailLen = 10;
        s.tailAngle = 20;
        f.art = paint(s, [](Bird& b) {
            b.base(kWhite, kWhite, rgb(0xF0A8A0));
            b.wing(rgb(0xB8C4CE));
            b.wingTip(kBlack, 0.72);
            b.spots(kWhite, 0.9, b.wingArea().subtracted(b.wingArea().translated(-8, 0)), 3, 0.2);
            b.beak(rgb(0xF2C830), rgb(0xE0402A));
            b.eye(rgb(0xF0E070));
        });
        break;
    }
    case 18: {  // gele kwikstaart: bright yellow below, long dark tail
        s = ground();
        s.bodyRx = 22;
        s.bodyRy = 12;
        s.head = {68, 38};
        s.headR = 9;
        s.beakLen = 7;
        s.beakW = 3;
        s.tailLen = 32;
        s.tailW = 6;
        s.tailAngle = 15;
        s.tailSpread = 0.9;
        s.legLen = 16;
        s.legW = 1.4;
        f.art = paint(s, [](Bird& b) {
            QColor olive = rgb(0x8A9A3A);
            b.base(olive, kDark, kDark);
            b.tailEdges(kWhite);
            b.under(rgb(0xFAE020), -0.15);
            b.cap(olive, -0.3);
            b.brow(rgb(0xFAE020), 1.8);
            b.wing(rgb(0x5A5A40));
            b.wingBar(rgb(0xE8E0A0), 0.35, 1.6);
            b.wingBar(rgb(0xE8E0A0), 0.6, 1.6);
            b.beak(kDark);
            b.eye();
        });
        break;
    }
    case 19: {  // kluut: black and white, upturned beak, long blue-grey legs
        s = wader(30, 6);
        s.headR = 7;
        s.beakLen = 20;
        s.beakW = 2.6;
        s.beakAngle = 2;
        s.beakCurve = -0.6;
        s.wingReach = 1.1;
        f.art = paint(s, [](Bird& b) {
            b.base(kWhite, kWhite, rgb(0x7A9AC0));
            b.cap(kBlack, 0.2);
            b.nape(kBlack, 0.8);
            b.wing(kWhite);
            b.wingTip(kBlack, 0.6);
            QPainter& p = b.painter();
            p.save();
            p.setClipPath(b.wingArea().united(b.outline()));
            p.setPen(QPen(kBlack, 3, Qt::SolidLine, Qt::RoundCap));
            p.drawLine(b.toGlobal(16, -8), b.toGlobal(-6, -12));
            p.restore();
            b.beak(kBlack);
            b.eye(rgb(0x9A3A2A));
        });
        break;
    }
    case 20: {  // hop: pinkish-orange, black-and-white barred wings, fan crest
        s = ground();
        s.beakLen = 18;
        s.beakW = 3.5;
        s.beakCurve = 0.6;
        s.beakAngle = 12;
        s.tailLen = 18;
        s.tailW = 9;
        f.art = paint(s, [](Bird& b) {
            QColor buff = rgb(0xE0A070);
            b.base(buff, kBlack, kDark);
            for (double a : {-165.0, -140.0, -115.0, -92.0}) b.crest(kBlack, 13, a, 6);
            for (double a : {-165.0, -140.0, -115.0, -92.0}) b.crest(buff, 9, a, 5);
            b.tailTip(kWhite, 0.55);
            b.tailTip(kBlack, 0.7);
            b.wing(kBlack);
            QPainter& p = b.painter();
            p.save();
            p.setClipPath(b.wingArea());
            p.setPen(QPen(kWhite, 2.2));
            for (int i = 0; i < 5; ++i)
                p.drawLine(b.toGlobal(14 - i * 7, -20), b.toGlobal(8 - i * 7, 10));
            p.restore();
            b.beak(kDark);
            b.eye();
        });
        break;
    }
    case 21: {  // bijeneter: chestnut crown, yellow throat, turquoise below
        s = songbird();
        s.beakLen = 14;
        s.beakW = 3.5;
        s.beakCurve = 0.3;
        s.tailLen = 30;
        s.tailW = 6;
        s.tailSpread = 0.7;
        f.art = paint(s, [](Bird& b) {
            QColor green = rgb(0x2EA88A);
            b.base(rgb(0x9A4A2A), green, rgb(0x6A5A4A));
            b.under(rgb(0x3AB8C8), 0.0);
            b.bib(rgb(0xF8D430), 1.0);
            b.cap(rgb(0x9A4A2A), 0.1);
            b.eyeStripe(kBlack, 3.0);
            b.wing(green);
            b.shoulder(rgb(0xD8A030), 1.3);
            b.beak(kBlack);
            b.eye(rgb(0xD02020));
        });
        break;
    }
    case 22: {  // ekster: black and white, very long tail
        s = songbird();
        s.bodyAngle = -15;
        s.tailLen = 40;
        s.tailW = 8;
        s.tailAngle = 25;
        s.tailSpread = 0.9;
        s.beakLen = 10;
        s.beakW = 5;
        s.legLen = 10;
        f.art = paint(s, [](Bird& b) {
            b.base(kBlack, rgb(0x2A3A5A), kBlack);
            b.belly(kWhite, 1.0);
            b.wing(rgb(0x1E2A48));
            b.shoulder(kWhite, 1.5);
            b.beak(kBlack);
            b.eye();
        });
        break;
    }
    case 23: {  // blauwborst: blue breast with a white star, white brow
        s = songbird();
        s.legLen = 15;
        s.beakLen = 8;
        s.beakW = 3.5;
        f.art = paint(s, [](Bird& b) {
            QColor brown = rgb(0x7A6450);
            b.base(brown, rgb(0x5A4030), kDark);
            b.under(rgb(0xF0EAE0), -0.05);
            b.breast(rgb(0xE06A30), 0.95);
            b.breast(kBlack, 0.85);
            b.breast(rgb(0x2050C8), 0.75);
            b.bib(rgb(0x2050C8), 1.0);
            QPainter& p = b.painter();
            p.setPen(Qt::NoPen);
            p.setBrush(kWhite);
            p.drawEllipse(b.beakBase() + QPointF(-6, 9), 2.2, 2.2);
            b.brow(kWhite, 1.8);
            b.wing(brown);
            b.beak(kDark);
            b.eye();
        });
        break;
    }
    case 24: f.art = stork(false); break;
    case 25: {  // staartmees: tiny round body, very long tail, black brow band
        s = plump();
        s.bodyRx = 17;
        s.bodyRy = 14;
        s.bodyAngle = -10;
        s.body = {52, 52};
        s.head = {68, 40};
        s.headR = 10;
        s.beakLen = 4;
        s.beakW = 3.5;
        s.tailLen = 42;
        s.tailW = 5;
        s.tailAngle = 22;
        s.tailSpread = 1.0;
        s.wingReach = 0.15;
        f.art = paint(s, [](Bird& b) {
            b.base(rgb(0xF0E4E4), kBlack, kDark);
            b.tailEdges(kWhite);
            b.belly(rgb(0xE8B8C0), 1.1);
            QPainter& p = b.painter();
            p.save();
            p.setClipPath(b.headArea());
            p.setPen(QPen(kBlack, 3.4, Qt::SolidLine, Qt::RoundCap));
            QPointF e = b.eyePos();
            p.drawLine(e + QPointF(0, -3.5), b.shape().head + QPointF(-12, 2));
            p.restore();
            b.wing(kBlack);
            b.wingPatch(rgb(0xE8B8C0), 0.3, 4.0);
            b.beak(kBlack);
            b.eye();
        });
        break;
    }
    case 26: {  // boomklever: blue-grey above, black eye stripe, orange-buff below
        s = songbird();
        s.bodyAngle = -5;
        s.head = {72, 44};
        s.beakLen = 11;
        s.beakW = 4;
        s.beakAngle = 0;
        s.tailLen = 10;
        s.tailAngle = 20;
        f.art = paint(s, [](Bird& b) {
            QColor blue = rgb(0x6A88A8);
            b.base(blue, blue, rgb(0x8A7A6A));
            b.under(rgb(0xE8A868), 0.0);
            b.cheek(kWhite, 1.1);
            b.bib(kWhite, 0.8);
            b.eyeStripe(kBlack, 2.6);
            b.wing(blue);
            b.beak(rgb(0x4A4A52));
            b.eye();
        });
        break;
    }
    case 27: {  // zanglijster: brown above, pale breast with dark drop spots
        s = songbird();
        s.bodyRx = 25;
        s.legLen = 14;
        s.beakLen = 9;
        s.beakW = 4;
        f.art = paint(s, [](Bird& b) {
            QColor brown = rgb(0x8A6E4E);
            b.base(brown, brown, rgb(0xC0A090));
            b.under(rgb(0xF8F0DC), -0.05);
            b.breast(rgb(0xF0D8A8), 0.8);
            b.spots(rgb(0x3A2A1A), 1.2, b.underArea(0.0), 27, 0.55);
            b.wing(brown.darker(105));
            b.beak(rgb(0x5A4A3A));
            b.eye();
        });
        break;
    }
    case 28: {  // boomkruiper: streaky brown on the trunk, white below, curved beak
        s = clinging();
        s.beakLen = 12;
        s.beakW = 2.5;
        s.beakCurve = 0.7;
        s.beakAngle = -10;
        s.bodyRy = 10;
        f.art = paint(s, [](Bird& b) {
            QColor brown = rgb(0x8A6A44);
            b.base(brown, brown, rgb(0x8A7A6A));
            b.under(kWhite, 0.05);
            b.brow(kWhite, 1.6);
            b.spots(rgb(0xE8D8B8), 0.7, b.backArea(), 28, 0.9);
            b.wing(brown);
            b.spots(rgb(0xE8D8B8), 0.7, b.wingArea(), 29, 0.7);
            b.beak(rgb(0x4A3A2A));
            b.eye();
        });
        break;
    }
    case 29: {  // groene specht: green, red crown, black mask
        s = clinging();
        s.bodyRy = 13;
        f.art = paint(s, [](Bird& b) {
            QColor green = rgb(0x6A9A3A);
            b.base(green, green.darker(115), rgb(0x5A5A5A));
            b.under(rgb(0xC8D4A0), 0.05);
            b.rump(rgb(0xE0D040));
            b.cap(rgb(0xD82A2A), -0.3);
            b.face(kBlack, 0.8);
            b.moustache(kBlack, 3.0);
            b.moustache(rgb(0xD82A2A), 1.2);
            b.wing(green);
            b.beak(rgb(0x5A5A5A));
            b.eye(kWhite, kBlack, 2.2);
        });
        break;
    }
    case 30: {  // groenling: olive green with yellow wing edge, stout pale beak
        s = finch();
        f.art = paint(s, [](Bird& b) {
            QColor green = rgb(0x7A9A3A);
            b.base(green, rgb(0x5A6A3A), rgb(0xC8A090));
            b.under(rgb(0xB8CA50), 0.0);
            b.wing(rgb(0x6A7A5A));
            b.wingBar(rgb(0xF8E020), 0.55, 3.0);
            b.tailEdges(rgb(0xF0D820));
            b.beak(rgb(0xE8C8B8));
            b.eye();
        });
        break;
    }
    case 31: {  // vlaamse gaai: pinkish brown, blue barred wing patch, black moustache
        s = songbird();
        s.bodyRx = 25;
        s.beakLen = 9;
        s.beakW = 5;
        f.art = paint(s, [](Bird& b) {
            QColor body = rgb(0xC09480);
            b.base(body, kBlack, rgb(0xA08880));
            b.under(rgb(0xD8B0A0), 0.1);
            b.cap(rgb(0xE8E0D8), -0.3);
            b.streaks(kBlack, b.headArea().subtracted(b.underArea(-0.5)), 31);
            b.moustache(kBlack, 2.6);
            b.rump(kWhite);
            b.wing(kBlack);
            QPainter& p = b.painter();
            QPainterPath w = b.wingArea();
            QPainterPath patch;
            patch.addEllipse(b.toGlobal(10, -8), 7, 5);
            p.save();
            p.setClipPath(w.intersected(patch));
            p.fillRect(QRectF(0, 0, 100, 100), rgb(0x2A78E0));
            p.setPen(QPen(kBlack, 1.1));
            for (double x = 40; x < 80; x += 2.6) p.drawLine(QPointF(x, 20), QPointF(x - 4, 70));
            p.restore();
            b.wingPatch(kWhite, 0.5, 2.5);
            b.beak(kBlack);
            b.eye(rgb(0xA8C8E8));
        });
        break;
    }
    case 32: {  // vink: blue-grey cap, rosy face and breast, white wing bars
        s = finch();
        s.beakLen = 7;
        s.beakW = 5.5;
        f.art = paint(s, [](Bird& b) {
            b.base(rgb(0x8A5A3E), rgb(0x3A3A3A), rgb(0x9A8A80));
            b.under(rgb(0xD88A6A), -0.15);
            b.belly(rgb(0xE8D0C0), 0.6);
            b.cap(rgb(0x6A80A0), 0.0);
            b.nape(rgb(0x6A80A0), 0.8);
            b.rump(rgb(0x7AA04A));
            b.wing(kDark);
            b.wingBar(kWhite, 0.18, 3.0);
            b.wingBar(kWhite, 0.45, 2.0);
            b.beak(rgb(0x8A98A8));
            b.eye();
        });
        break;
    }
    case 33: {  // putter: red face, black and white head, yellow wing band
        s = finch();
        s.beakLen = 8;
        s.beakW = 5;
        f.art = paint(s, [](Bird& b) {
            b.base(rgb(0xC0A080), kBlack, rgb(0xB09080));
            b.under(rgb(0xF4EEE4), 0.05);
            b.cap(kBlack, -0.3);
            b.cheek(kWhite, 1.3);
            b.nape(kBlack, 0.8);
            b.face(rgb(0xD8282A), 0.75);
            b.wing(kBlack);
            b.wingBar(rgb(0xF8D020), 0.4, 4.5);
            b.spots(kWhite, 0.8, b.wingArea().subtracted(b.wingArea().translated(8, -3)), 33, 0.3);
            b.beak(rgb(0xE8D0C0));
            b.eye();
        });
        break;
    }
    case 34: {  // visdiefje: flying, white, black cap, red beak, forked tail
        s = flier();
        s.tailFork = 9;
        s.tailSpread = 1.8;
        s.beakLen = 11;
        s.beakW = 3.5;
        s.beakAngle = 20;
        f.art = paint(s, [](Bird& b) {
            b.base(kWhite, kWhite, kDark);
            b.cap(kBlack, 0.2);
            b.wing(rgb(0xD0D8E0));
            b.wingTip(rgb(0x7A8490), 0.8);
            b.beak(rgb(0xE83A2A), kBlack);
            b.eye();
        });
        break;
    }
    case 35:  // buizerd: a brown raptor, so the eagle glyph loses its white head
        f.art = recolor(e("🦅"), [](const QColor& c) {
            if (c.lightness() > 180 && c.saturation() < 60) return rgb(0xB08A64);
            return c;
        });
        break;
    case 36: {  // roerdomp: streaked golden brown, beak pointing to the sky, in the reeds
        s = wader(16, 10);
        s.bodyAngle = -60;
        s.body = {46, 56};
        s.bodyRx = 22;
        s.bodyRy = 12;
        s.head = {56, 20};
        s.headR = 7;
        s.neckW = 10;
        s.neckCtrl = {54, 34};
        s.beakLen = 14;
        s.beakW = 4;
        s.beakAngle = -75;
        s.tailAngle = 95;
        s.tailLen = 6;
        s.wingReach = 0.5;
        f.art = paint(s, [](Bird& b) {
            QColor gold = rgb(0xC8964E);
            QPainter& p = b.painter();
            p.setPen(QPen(rgb(0x9AAA5A), 2.2, Qt::SolidLine, Qt::RoundCap));
            for (double x : {26.0, 32.0, 66.0, 72.0})
                p.drawLine(QPointF(x, 88), QPointF(x + (x < 50 ? -4 : 4), 10));
            b.base(gold, gold, rgb(0xA8B050));
            b.streaks(rgb(0x5A3A1A), b.bodyArea(), 36);
            b.cap(kBlack, -0.2);
            b.moustache(kBlack, 2.0);
            b.wing(gold.darker(108));
            b.streaks(rgb(0x5A3A1A), b.wingArea(), 37);
            b.beak(rgb(0xC8C060));
            b.eye(rgb(0xF0D040));
        });
        break;
    }
    case 37: {  // baardmannetje: tawny, blue-grey head, black drooping moustache
        s = songbird();
        s.stand = Stand::Reed;
        s.bodyRx = 20;
        s.bodyRy = 14;
        s.headR = 10;
        s.head = {64, 36};
        s.beakLen = 5;
        s.beakW = 4;
        s.tailLen = 34;
        s.tailW = 7;
        s.tailAngle = 60;
        s.tailSpread = 0.8;
        s.legLen = 8;
        f.art = paint(s, [](Bird& b) {
            QColor tawny = rgb(0xD09050);
            b.base(tawny, tawny, kDark);
            b.under(rgb(0xE8D0C0), 0.0);
            b.cap(rgb(0x98A8B8), 0.9);
            QPainter& p = b.painter();
            p.setPen(Qt::NoPen);
            p.setBrush(kBlack);
            QPointF e = b.eyePos();
            QPainterPath m(e + QPointF(-2, -2));
            m.lineTo(e + QPointF(3, -1));
            m.quadTo(e + QPointF(2, 8), e + QPointF(-3, 13));
            m.quadTo(e + QPointF(-3, 6), e + QPointF(-2, -2));
            p.drawPath(m);
            b.wing(tawny);
            b.wingBar(kBlack, 0.5, 2.0);
            b.wingTip(kWhite, 0.8);
            b.beak(rgb(0xF0B030));
            b.eye(rgb(0xF0B030));
        });
        break;
    }
    case 38: {  // appelvink: a huge beak, orange-brown head, grey collar
        s = finch();
        s.headR = 14;
        s.head = {66, 34};
        s.beakLen = 11;
        s.beakW = 11;
        s.tailLen = 12;
        f.art = paint(s, [](Bird& b) {
            b.base(rgb(0x8A5A3A), rgb(0x8A5A3A), rgb(0xC8A090));
            b.under(rgb(0xD8A890), 0.0);
            b.collar(rgb(0x9AA0A8), 5);
            b.bib(kBlack, 0.55);
            b.wing(kDark);
            b.wingPatch(kWhite, 0.25, 4.5);
            b.tailTip(kWhite, 0.75);
            b.beak(rgb(0x8A9AB8));
            b.eye();
        });
        break;
    }
    case 39: {  // houtduif: blue-grey, pink breast, white neck patch
        s = ground();
        s.bodyRx = 27;
        s.bodyRy = 16;
        s.headR = 9;
        s.head = {72, 36};
        s.beakLen = 6;
        s.beakW = 3.5;
        s.legLen = 8;
        s.legW = 2.4;
        s.tailLen = 18;
        s.tailAngle = 18;
        f.art = paint(s, [](Bird& b) {
            QColor grey = rgb(0x8A94A8);
            b.base(grey, grey.darker(115), rgb(0xE06060));
            b.breast(rgb(0xB8909A), 0.9);
            b.neckSide(rgb(0x4AA088), 1.4);
            b.neckSide(kWhite, 0.9);
            b.wing(grey);
            b.wingBar(kWhite, 0.15, 3.0);
            b.wingTip(kDark, 0.85);
            b.tailTip(kDark, 0.8);
            b.beak(rgb(0xE85A5A), rgb(0xF0D040));
            b.eye(rgb(0xE8E0C0));
        });
        break;
    }
    case 40: {  // turkse tortel: pale buff-grey, black half collar
        s = ground();
        s.bodyRx = 25;
        s.bodyRy = 13;
        s.headR = 8.5;
        s.head = {72, 38};
        s.beakLen = 6;
        s.beakW = 3;
        s.legLen = 8;
        s.tailLen = 24;
        s.tailAngle = 18;
        f.art = paint(s, [](Bird& b) {
            QColor buff = rgb(0xD8C8B8);
            b.base(buff, buff.darker(110), rgb(0xD07070));
            b.collar(kBlack, 2.2);
            b.wing(buff.darker(108));
            b.wingTip(rgb(0x5A5A5A), 0.85);
            b.tailTip(kWhite, 0.85);
            b.beak(kDark);
            b.eye(rgb(0xB02020));
        });
        break;
    }
    case 41: {  // zwarte roodstaart: sooty black, orange-red tail, white wing patch
        s = songbird();
        s.legLen = 14;
        s.beakLen = 7;
        s.beakW = 3.2;
        s.tailLen = 22;
        f.art = paint(s, [](Bird& b) {
            b.base(rgb(0x4A4A50), rgb(0xE8581E), kDark);
            b.under(rgb(0x28282C), -0.2);
            b.undertail(rgb(0xE8581E));
            b.wing(rgb(0x3A3A40));
            b.wingPatch(kWhite, 0.35, 3.8);
            b.beak(kBlack);
            b.eye();
        });
        break;
    }
    case 42: {  // dodaars: small, round, chestnut neck, pale spot at the beak
        s = swimmer();
        s.bodyRx = 22;
        s.bodyRy = 14;
        s.body = {46, 58};
        s.head = {68, 42};
        s.headR = 9;
        s.neckCtrl = {66, 52};
        s.beakLen = 7;
        s.beakW = 4;
        f.art = paint(s, [](Bird& b) {
            QColor brown = rgb(0x4A3A30);
            b.base(brown, brown, brown);
            b.collar(rgb(0xA8482A), 8);
            b.cheek(rgb(0xA8482A), 1.2);
            b.wing(brown.darker(110));
            b.water();
            b.beak(kBlack);
            QPainter& p = b.painter();
            p.setPen(Qt::NoPen);
            p.setBrush(rgb(0xF0E870));
            p.drawEllipse(b.beakBase() + QPointF(-0.5, 0.5), 2.0, 1.8);
            b.eye(rgb(0xE8D040), QColor(), 2.0);
        });
        break;
    }
    case 43: {  // kauw: black with a grey nape and a pale eye
        s = ground();
        s.bodyRx = 24;
        s.headR = 10.5;
        s.beakLen = 8;
        s.beakW = 5;
        f.art = paint(s, [](Bird& b) {
            b.base(rgb(0x2A2A30), rgb(0x2A2A30), kBlack);
            b.nape(rgb(0xA8AEB6), 1.6);
            b.neckSide(rgb(0xA8AEB6), 1.4);
            b.cap(rgb(0x2A2A30), -0.4);
            b.wing(rgb(0x1E1E24));
            b.beak(kBlack);
            b.eye(rgb(0xE8ECF0));
        });
        break;
    }
    case 44: f.art = stork(true); break;
    case 45: f.art = crane(); break;
    case 46: {  // boerenzwaluw: dark blue, red throat, long tail streamers
        s = songbird();
        s.bodyAngle = -10;
        s.bodyRy = 12;
        s.head = {70, 40};
        s.headR = 10;
        s.beakLen = 4;
        s.beakW = 5;
        s.tailLen = 36;
        s.tailW = 7;
        s.tailAngle = 20;
        s.tailFork = 26;
        s.tailSpread = 2.2;
        s.wingReach = 0.8;
        s.wingW = 7;
        s.legLen = 6;
        f.art = paint(s, [](Bird& b) {
            QColor blue = rgb(0x1A2A5A);
            b.base(blue, blue, kDark);
            b.under(rgb(0xF4E8D4), 0.0);
            b.bib(rgb(0xB8282A), 1.1);
            b.face(rgb(0xB8282A), 0.35);
            b.wing(blue);
            b.beak(kBlack);
            b.eye();
        });
        break;
    }
    case 47: f.art = e("🦢"); break;
    case 48: {  // wielewaal: golden yellow, black wings, red beak
        s = songbird();
        s.bodyRx = 25;
        s.beakLen = 10;
        s.beakW = 4.5;
        f.art = paint(s, [](Bird& b) {
            QColor gold = rgb(0xF8D018);
            b.base(gold, kBlack, kDark);
            b.tailTip(gold, 0.8);
            b.eyeStripe(kBlack, 2.0);
            b.wing(kBlack);
            b.wingPatch(gold, 0.2, 2.5);
            b.beak(rgb(0xC8504A));
            b.eye(rgb(0xB02020));
        });
        break;
    }
    case 49: {  // koperwiek: bold cream brow, red flanks, streaked breast
        s = songbird();
        s.bodyRx = 24;
        s.beakLen = 8;
        s.beakW = 4;
        s.legLen = 14;
        f.art = paint(s, [](Bird& b) {
            QColor brown = rgb(0x7A6450);
            b.base(brown, brown, rgb(0xC0A090));
            b.under(rgb(0xF6F0E4), -0.05);
            b.streaks(rgb(0x4A3A2A), b.underArea(0.0), 49);
            // The red flank shows below the folded wing, which is painted over its top.
            const BirdShape& sh = b.shape();
            QPolygonF flank;
            for (int i = 0; i < 36; ++i) {
                double a = i * M_PI / 18;
                flank << b.toGlobal(sh.bodyRx * (0.05 + 0.5 * std::cos(a)),
                                    sh.bodyRy * (0.3 + 0.42 * std::sin(a)));
            }
            QPainterPath flankPath;
            flankPath.addPolygon(flank);
            QPainter& p = b.painter();
            p.save();
            p.setPen(Qt::NoPen);
            p.setBrush(rgb(0xC8401E));
            p.drawPath(flankPath.intersected(b.outline()));
            p.restore();
            b.brow(rgb(0xFFF2C8), 3.6);
            b.moustache(rgb(0xF8ECC0), 1.8);
            b.wing(brown);
            b.beak(rgb(0x5A4A3A), rgb(0xE0C040));
            b.eye();
        });
        break;
    }
    case 50: {  // nijlgans: buff goose, dark patch round the eye, pink legs
        s = ground();
        s.bodyRx = 28;
        s.bodyRy = 16;
        s.bodyAngle = -8;
        s.head = {76, 26};
        s.headR = 8;
        s.neckW = 8;
        s.neckCtrl = {70, 42};
        s.beakLen = 9;
        s.beakW = 5;
        s.beakAngle = 12;
        s.legLen = 14;
        s.legW = 2.6;
        s.tailLen = 10;
        s.tailAngle = 15;
        s.wingReach = 0.9;
        f.art = paint(s, [](Bird& b) {
            QColor buff = rgb(0xC8A888);
            b.base(buff, kDark, rgb(0xE89A9A));
            b.breast(rgb(0x8A5A3A), 0.35);
            b.face(rgb(0x7A4A2A), 0.7);
            b.collar(rgb(0x9A6A4A), 2.0);
            b.wing(rgb(0xA88868));
            b.shoulder(kWhite, 1.0);
            b.wingTip(kDark, 0.8);
            b.beak(rgb(0xE89A9A));
            b.eye(rgb(0xE8A020));
        });
        break;
    }
    case 51: {  // lepelaar: white, black spoon beak with a yellow tip, shaggy crest
        s = wader(30, 8);
        s.headR = 7;
        s.beakLen = 22;
        s.beakW = 3.2;
        s.beakAngle = 28;
        s.wingReach = 1.0;
        f.art = paint(s, [](Bird& b) {
            b.base(kWhite, kWhite, kBlack);
            b.crest(kWhite, 9, 190, 5);
            b.bib(rgb(0xF0D880), 0.8);
            b.wing(rgb(0xF2F0EA));
            b.beak(kBlack, rgb(0xE8C040));
            QPainter& p = b.painter();
            double a = qDegreesToRadians(b.shape().beakAngle);
            QPointF tip =
                b.beakBase() + QPointF(std::cos(a), std::sin(a)) * (b.shape().beakLen - 3);
            p.setPen(Qt::NoPen);
            p.setBrush(kBlack);
            p.drawEllipse(tip, 3.8, 3.2);
            p.setBrush(rgb(0xE8C040));
            p.drawEllipse(tip + QPointF(0.6, 0.6), 2.6, 2.0);
            b.eye(rgb(0xB02020));
        });
        break;
    }
    case 52: f.art = e("🦩"); break;
    case 53: {  // scholekster: black and white, long orange beak, pink legs
        s = wader(14, 3);
        s.headR = 8;
        s.bodyRy = 14;
        s.beakLen = 18;
        s.beakW = 3.8;
        s.beakAngle = 12;
        f.art = paint(s, [](Bird& b) {
            b.base(kBlack, kBlack, rgb(0xF0A0A0));
            b.belly(kWhite, 1.3);
            b.under(kWhite, 0.6);
            b.wing(kBlack);
            b.wingBar(kWhite, 0.5, 2.2);
            b.beak(rgb(0xF06A1E));
            b.eye(rgb(0xD02020), rgb(0xF08040));
        });
        break;
    }
    case 54: {  // waterhoen: slate, red shield, white flank line, green legs
        s = ground();
        s.bodyRx = 24;
        s.bodyRy = 15;
        s.headR = 9;
        s.head = {70, 36};
        s.beakLen = 8;
        s.beakW = 4.5;
        s.legLen = 16;
        s.legW = 2.0;
        s.tailLen = 10;
        s.tailAngle = -25;
        f.art = paint(s, [](Bird& b) {
            QColor slate = rgb(0x3A3A48);
            b.base(slate, kBlack, rgb(0xA8C040));
            b.undertail(kWhite);
            b.wing(rgb(0x4A4A38));
            QPainter& p = b.painter();
            p.save();
            p.setClipPath(b.outline());
            p.setPen(QPen(kWhite, 2.0));
            p.drawLine(b.toGlobal(14, 6), b.toGlobal(-14, 10));
            p.restore();
            b.beak(rgb(0xD82A2A), rgb(0xF0D030));
            p.setPen(Qt::NoPen);
            p.setBrush(rgb(0xD82A2A));
            p.drawEllipse(b.beakBase() + QPointF(-1.5, -3.5), 3.2, 3.0);
            b.eye(rgb(0xB02020));
        });
        break;
    }
    case 55: {  // spreeuw: glossy black with pale spots, yellow beak
        s = ground();
        s.bodyRx = 23;
        s.headR = 10;
        s.beakLen = 11;
        s.beakW = 4;
        s.tailLen = 12;
        f.art = paint(s, [](Bird& b) {
            QColor gloss = rgb(0x2A2438);
            b.base(gloss, gloss, rgb(0xD08A8A));
            b.breast(rgb(0x2A4A3A), 0.8);
            b.spots(rgb(0xF0E4C8), 0.7, b.bodyArea().subtracted(b.headArea()), 55, 0.6);
            b.wing(rgb(0x3A3048));
            b.spots(rgb(0xC8A878), 0.6, b.wingArea(), 56, 0.5);
            b.beak(rgb(0xF0D030));
            b.eye();
        });
        break;
    }
    case 56: {  // meerkoet: black with a white beak and shield
        s = swimmer();
        s.bodyRy = 15;
        s.head = {70, 42};
        s.headR = 9.5;
        s.neckCtrl = {68, 52};
        s.beakLen = 8;
        s.beakW = 5;
        f.art = paint(s, [](Bird& b) {
            b.base(rgb(0x262628), rgb(0x262628), kBlack);
            b.wing(rgb(0x303034));
            b.water();
            b.beak(rgb(0xF4F2F0));
            QPainter& p = b.painter();
            p.setPen(Qt::NoPen);
            p.setBrush(rgb(0xF4F2F0));
            p.drawEllipse(b.beakBase() + QPointF(-2, -4.5), 3.0, 4.0);
            b.eye(rgb(0xC02020));
        });
        break;
    }
    case 57: {  // wintertaling: chestnut head with a green eye band, cream tail patch
        s = swimmer();
        s.head = {72, 42};
        s.headR = 9.5;
        s.neckCtrl = {70, 52};
        s.beakLen = 8;
        s.beakW = 4;
        f.art = paint(s, [](Bird& b) {
            QColor grey = rgb(0xA8A8A4);
            b.base(grey, rgb(0x5A5A58), kDark);
            b.spots(rgb(0x8A8A88), 0.5, b.bodyArea().subtracted(b.headArea()), 57, 1.0);
            b.collar(rgb(0x9A3A22), 10);
            QPainterPath head = b.headArea();
            b.painter().setPen(Qt::NoPen);
            b.painter().setBrush(rgb(0x9A3A22));
            b.painter().drawPath(head);
            b.eyeStripe(rgb(0x2A8A4A), 4.5);
            b.undertail(rgb(0xF0D870));
            b.wing(grey);
            QPainter& p = b.painter();
            p.save();
            p.setClipPath(b.outline());
            p.setPen(QPen(kWhite, 1.8));
            p.drawLine(b.toGlobal(14, -6), b.toGlobal(-18, -8));
            p.setPen(QPen(kBlack, 1.2));
            p.drawLine(b.toGlobal(14, -4), b.toGlobal(-18, -6));
            p.restore();
            b.water();
            b.beak(kDark);
            b.eye();
        });
        break;
    }
    case 58: {  // pestvogel: swept-back crest, black mask, yellow-tipped tail
        s = songbird();
        s.bodyRx = 24;
        s.beakLen = 6;
        s.beakW = 4.5;
        s.tailLen = 16;
        f.art = paint(s, [](Bird& b) {
            QColor pink = rgb(0xC8A090);
            b.base(pink, rgb(0x5A5058), kDark);
            b.crest(pink, 13, -160, 9);
            b.tailTip(rgb(0xF8D020), 0.82);
            b.undertail(rgb(0xB8502A));
            b.eyeStripe(kBlack, 2.8);
            b.bib(kBlack, 0.6);
            b.wing(rgb(0x6A6068));
            b.wingBar(kWhite, 0.55, 1.6);
            b.wingTip(rgb(0xF0D020), 0.85);
            b.wingPatch(rgb(0xE02020), 0.45, 1.6);
            b.beak(kBlack);
            b.eye();
        });
        break;
    }
    case 59: f.art = heron(); break;
    case 60: {  // bonte kraai: grey body, black head, wings and tail
        s = ground();
        s.bodyRx = 26;
        s.bodyRy = 16;
        s.headR = 11;
        s.beakLen = 12;
        s.beakW = 6;
        s.legLen = 12;
        f.art = paint(s, [](Bird& b) {
            b.base(rgb(0x9A9CA0), kBlack, kBlack);
            b.cap(kBlack, 2.0);
            b.bib(kBlack, 1.3);
            b.wing(kBlack);
            b.beak(kBlack);
            b.eye();
        });
        break;
    }
    default: break;
    }
    return f;
}

}  // namespace pix
