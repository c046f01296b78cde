#pragma once
// A bird drawn from a handful of shapes (body, head, neck, tail, wing, beak, legs) in the
// 100 x 100 art space, facing right. Plumage is painted as marks clipped to the outline, so
// one painter draws a kingfisher, a stork or a coot from its colours and proportions.
#include <QColor>
#include <QPainter>
#include <QPainterPath>
#include <QPointF>
#include <QTransform>

namespace pix {

enum class Stand { Perch, Ground, Water, Trunk, Reed, Flight, Rock };

struct BirdShape {
    QPointF body{46, 56};
    double bodyRx = 24, bodyRy = 16, bodyAngle = -25;  // degrees; negative raises the front
    QPointF head{70, 34};
    double headR = 12;
    double beakLen = 9, beakW = 5.5, beakAngle = 8, beakCurve = 0;  // curve > 0 bends down
    bool hookBeak = false;
    double tailLen = 22, tailW = 9, tailAngle = 35, tailSpread = 1.2, tailFork = 0;
    double wingReach = 0.55, wingW = 9;  // how far the folded wing reaches over the tail
    double legLen = 12, legW = 1.8;
    double neckW = 0;  // above 0: a neck drawn as a thick curve from body to head
    QPointF neckCtrl{0, 0};
    Stand stand = Stand::Perch;
    double groundY = 0;  // 0: just below the feet
};

class Bird {
public:
    Bird(QPainter& p, const BirdShape& s);

    // Tail, legs, body and head in one colour (the back), with the stand under the feet.
    void base(QColor back, QColor tail, QColor legs);
    void under(QColor c, double level = 0.0);      // throat, breast and belly
    void breast(QColor c, double size = 1.0);      // front of the body
    void belly(QColor c, double size = 1.0);       // lower rear of the body
    void cap(QColor c, double level = 0.0);        // crown, down to the eye at level 0
    void face(QColor c, double size = 1.0);        // front of the head around the eye
    void cheek(QColor c, double size = 1.0);       // patch below and behind the eye
    void eyeStripe(QColor c, double width = 3.0);  // through the eye from beak to nape
    void brow(QColor c, double width = 2.0);       // a stripe above the eye
    void moustache(QColor c, double width = 2.5);  // from the beak's base down the cheek
    void bib(QColor c, double size = 1.0);         // under the beak
    void nape(QColor c, double size = 1.0);        // back of the head
    void collar(QColor c, double width = 3.5);     // a band round the neck
    void neckSide(QColor c, double size = 1.0);    // a patch at the side of the neck
    void wing(QColor c);
    void wingBar(QColor c, double at = 0.45, double width = 2.5);
    void wingTip(QColor c, double from = 0.55);
    void wingPatch(QColor c, double at = 0.3, double size = 4.0);
    void shoulder(QColor c, double size = 1.0);
    void tailTip(QColor c, double from = 0.7);
    void tailEdges(QColor c);
    void rump(QColor c);
    void undertail(QColor c);
    void spots(QColor c, double size, const QPainterPath& where, int seed, double density = 1);
    void streaks(QColor c, const QPainterPath& where, int seed);
    void crest(QColor c, double len = 10, double angle = -150, double width = 6);
    void eye(QColor iris = QColor(20, 20, 20), QColor ring = QColor(), double r = 2.3);
    void beak(QColor c, QColor tip = QColor());
    void water();  // waves over the lower body, for swimmers

    // Regions to aim marks at.
    QPainterPath bodyArea() const;
    QPainterPath headArea() const;
    QPainterPath wingArea() const;
    QPainterPath underArea(double level = 0.0) const;
    QPainterPath backArea() const;
    QPainterPath outline() const { return outline_; }

    QPointF eyePos() const;
    QPointF beakBase() const;
    QPointF rear() const;
    QPointF toGlobal(double bx, double by) const { return bodyT_.map(QPointF(bx, by)); }
    const BirdShape& shape() const { return s_; }
    QPainter& painter() { return p_; }

private:
    void wingAxis(QPointF* shoulder, QPointF* tip, double* width) const;
    void fillClipped(const QPainterPath& area, QColor c);
    QPainterPath tailPath() const;
    void legs(QColor c);
    void stand();

    QPainter& p_;
    BirdShape s_;
    QTransform bodyT_;
    QPainterPath outline_;
};

}  // namespace pix
