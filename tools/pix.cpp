// Picture generator helpers: emoji rendering, cropping, colour changes.
#include "pix.h"

#include <QFont>
#include <QFontInfo>
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <iostream>

namespace pix {

void requireFont(const QString& family) {
    QFont f(family);
    f.setPixelSize(20);
    if (QFontInfo(f).family() != family) {
        // A stand-in font would draw empty boxes on every card: stop the build instead.
        std::cerr << "genpictures: the font \"" << family.toStdString()
                  << "\" is not installed (Debian: fonts-noto-color-emoji, fonts-dejavu-core)\n";
        std::exit(1);
    }
}

QImage crop(const QImage& src) {
    QImage img = src.convertToFormat(QImage::Format_ARGB32);
    int x0 = img.width(), y0 = img.height(), x1 = -1, y1 = -1;
    for (int y = 0; y < img.height(); ++y) {
        const QRgb* line = reinterpret_cast<const QRgb*>(img.constScanLine(y));
        for (int x = 0; x < img.width(); ++x)
            if (qAlpha(line[x]) > 8) {
                x0 = std::min(x0, x);
                x1 = std::max(x1, x);
                y0 = std::min(y0, y);
                y1 = std::max(y1, y);
            }
    }
    if (x1 < 0) return img;
    return img.copy(x0, y0, x1 - x0 + 1, y1 - y0 + 1);
}

QImage emoji(const QString& text) {
    QImage img(240, 240, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    QPainter p(&img);
    QFont f("Noto Color Emoji");
    f.setPixelSize(136);  // the font's own bitmap size: no blur from resampling twice
    p.setFont(f);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.drawText(img.rect(), Qt::AlignCenter, text);
    p.end();
    return crop(img);
}

QImage drawArt(const std::function<void(QPainter&)>& draw) {
    QImage img(100 * kArtScale, 100 * kArtScale, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(kArtScale, kArtScale);
    draw(p);
    p.end();
    return crop(img);
}

QImage mirrored(const QImage& img) { return img.mirrored(true, false); }

QImage recolor(const QImage& src, const std::function<QColor(const QColor&)>& f) {
    QImage img = src.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < img.height(); ++y) {
        QRgb* line = reinterpret_cast<QRgb*>(img.scanLine(y));
        for (int x = 0; x < img.width(); ++x) {
            int a = qAlpha(line[x]);
            if (a == 0) continue;
            QColor c = f(QColor(qRed(line[x]), qGreen(line[x]), qBlue(line[x])));
            line[x] = qRgba(c.red(), c.green(), c.blue(), a);
        }
    }
    return img;
}

QImage hueShift(const QImage& img, int degrees, double satMul, double lightMul) {
    return recolor(img, [=](const QColor& c) {
        float h, s, l, a;
        c.getHslF(&h, &s, &l, &a);
        if (h < 0) h = 0;  // grey: no hue to turn
        float nh = std::fmod(h + degrees / 360.0f + 1.0f, 1.0f);
        return QColor::fromHslF(nh, std::clamp(float(s * satMul), 0.0f, 1.0f),
                                std::clamp(float(l * lightMul), 0.0f, 1.0f));
    });
}

QImage group(const std::vector<QImage>& parts, double overlap, double shrink) {
    // Later parts stand a little behind and smaller, like a small herd.
    int h = 0;
    for (const auto& p : parts) h = std::max(h, p.height());
    std::vector<QImage> scaled;
    double f = 1.0;
    for (const auto& p : parts) {
        scaled.push_back(p.scaledToHeight(int(p.height() * f), Qt::SmoothTransformation));
        f *= shrink;
    }
    int w = 0;
    for (std::size_t i = 0; i < scaled.size(); ++i)
        w += i + 1 < scaled.size() ? int(scaled[i].width() * (1 - overlap)) : scaled[i].width();
    QImage out(w, h, QImage::Format_ARGB32_Premultiplied);
    out.fill(Qt::transparent);
    QPainter p(&out);
    // Draw from the back (the last, smallest) to the front.
    std::vector<int> xs(scaled.size());
    int pos = 0;
    for (std::size_t i = 0; i < scaled.size(); ++i) {
        xs[i] = pos;
        pos += int(scaled[i].width() * (1 - overlap));
    }
    for (std::size_t i = scaled.size(); i-- > 0;)
        p.drawImage(xs[i], h - scaled[i].height(), scaled[i]);
    p.end();
    return out;
}

QColor tintFor(int n, int hueOffset) {
    // Golden-angle steps keep neighbouring numbers far apart on the colour wheel.
    double hue = std::fmod(hueOffset + n * 137.508, 360.0);
    double light = (n % 3 == 0) ? 0.86 : (n % 3 == 1 ? 0.90 : 0.82);
    return QColor::fromHslF(hue / 360.0, 0.55, light);
}

}  // namespace pix
