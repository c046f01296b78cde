#pragma once
// Shared helpers of the picture generator: art is drawn (or an emoji glyph rendered) large
// on a transparent image, cropped to what was drawn, and only then fitted onto a card, so
// every picture fills its card alike whatever its source.
#include <QColor>
#include <QImage>
#include <QPainter>
#include <QString>
#include <functional>

namespace pix {

constexpr int kCard = 105;
// Art is drawn in a 100 x 100 space onto a canvas this many times larger.
constexpr int kArtScale = 4;

struct Face {
    QImage art;          // transparent, cropped to its content
    QColor tint;         // the card's background
    double scale = 1.0;  // below 1: drawn smaller, standing on the bottom of the art box
};

// Ends the program with a message when `family` is not installed.
void requireFont(const QString& family);

// A colour emoji glyph of "Noto Color Emoji", cropped.
QImage emoji(const QString& text);
// Runs `draw` on a painter set up for the 100 x 100 art space; returns the cropped result.
QImage drawArt(const std::function<void(QPainter&)>& draw);
QImage crop(const QImage& img);
QImage mirrored(const QImage& img);
// Applies `f` to every opaque-enough pixel's colour, keeping its alpha.
QImage recolor(const QImage& img, const std::function<QColor(const QColor&)>& f);
QImage hueShift(const QImage& img, int degrees, double satMul = 1.0, double lightMul = 1.0);
// Lays two or more images side by side, overlapping by `overlap` of the first's width.
QImage group(const std::vector<QImage>& parts, double overlap, double shrink);

// A pleasant, clearly different background tint for picture n of a set.
QColor tintFor(int n, int hueOffset);

Face animalFace(int n);  // 1 .. 60
Face birdFace(int n);    // 1 .. 60

}  // namespace pix

namespace pix {
// The two parrots of the animal set share the bird painter.
QImage lorikeetArt();
QImage budgieArt();
}  // namespace pix
