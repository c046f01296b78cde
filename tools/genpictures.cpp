// Build-time tool: renders the card pictures of one set as 105 x 105 24-bit BMP files.
//   genpictures animals|birds|greek OUTDIR   card.bmp, void.bmp, pic1.bmp .. picN.bmp
//   genpictures icon60|icon3 FILE.png         a 64 x 64 program icon
// Pictures come from colour emoji glyphs and drawings of our own; everything is rendered
// offscreen and deterministically, so the same sources always give the same files.
#include <QFile>
#include <QFont>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QPainterPath>
#include <cmath>
#include <cstdio>
#include <iostream>
#include <string>

#include "game/cardsets.h"
#include "offscreen.h"
#include "pix.h"

namespace {

using pix::kCard;

const QColor kWindowGrey(0xF0, 0xF0, 0xF0);  // the window's background: an empty place

// 24-bit uncompressed bottom-up BMP, written by hand so the format never depends on Qt.
bool writeBmp24(const QImage& src, const QString& path) {
    QImage img = src.convertToFormat(QImage::Format_RGB32);
    int w = img.width(), h = img.height();
    int stride = (w * 3 + 3) & ~3;
    QByteArray b;
    auto put32 = [&b](quint32 v) {
        for (int i = 0; i < 4; ++i) b.append(char((v >> (8 * i)) & 0xFF));
    };
    auto put16 = [&b](quint16 v) {
        b.append(char(v & 0xFF));
        b.append(char(v >> 8));
    };
    b.append("BM");
    put32(54 + stride * h);
    put32(0);
    put32(54);
    put32(40);
    put32(w);
    put32(h);
    put16(1);
    put16(24);
    put32(0);  // BI_RGB
    put32(stride * h);
    put32(3780);  // 96 dpi
    put32(3780);
    put32(0);
    put32(0);
    for (int y = h - 1; y >= 0; --y) {
        const QRgb* line = reinterpret_cast<const QRgb*>(img.constScanLine(y));
        for (int x = 0; x < w; ++x) {
            b.append(char(qBlue(line[x])));
            b.append(char(qGreen(line[x])));
            b.append(char(qRed(line[x])));
        }
        for (int pad = w * 3; pad < stride; ++pad) b.append('\0');
    }
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(b) == b.size();
}

QImage blankCard() {
    QImage img(kCard, kCard, QImage::Format_RGB32);
    img.fill(kWindowGrey);
    return img;
}

QPainterPath cardShape(double inset = 0.5) {
    QPainterPath path;
    path.addRoundedRect(QRectF(inset, inset, kCard - 2 * inset, kCard - 2 * inset), 7, 7);
    return path;
}

// The card back: a lattice in the set's colour around a medallion with the game's initial.
QImage cardBack(QColor base, QColor light) {
    QImage img = blankCard();
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(base.darker(150), 1));
    p.setBrush(base);
    p.drawPath(cardShape());
    QRectF inner(6, 6, kCard - 12, kCard - 12);
    p.save();
    p.setClipRect(inner);
    p.setPen(QPen(light, 1.2));
    for (int k = -kCard; k < 2 * kCard; k += 12) {
        p.drawLine(QPointF(k, 0), QPointF(k + kCard, kCard));
        p.drawLine(QPointF(k, kCard), QPointF(k + kCard, 0));
    }
    p.setPen(Qt::NoPen);
    p.setBrush(light);
    for (int y = 0; y <= kCard; y += 12)
        for (int x = 0; x <= kCard; x += 12) p.drawEllipse(QPointF(x + 4.5, y + 4.5), 1.6, 1.6);
    p.restore();
    p.setPen(QPen(light, 1.5));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(inner, 4, 4);
    QPointF c(kCard / 2.0, kCard / 2.0);
    p.setPen(QPen(light, 2));
    p.setBrush(base);
    p.drawEllipse(c, 21, 21);
    p.setPen(QPen(light, 1));
    p.drawEllipse(c, 17, 17);
    QFont f("DejaVu Serif");
    f.setBold(true);
    f.setPixelSize(28);
    QPainterPath z;
    z.addText(0, 0, f, "Z");
    QRectF zb = z.boundingRect();
    p.setPen(Qt::NoPen);
    p.setBrush(light);
    p.drawPath(z.translated(c - zb.center()));
    p.end();
    return img;
}

// The card's name, as large as fits: one line if it can, else two, squeezed if need be.
void letterName(QPainter& p, const QRectF& band, const QString& name) {
    QFont f("DejaVu Sans");
    f.setBold(true);
    QStringList lines{name};
    f.setPixelSize(12);
    double maxW = band.width() - 6;
    if (QFontMetricsF(f).horizontalAdvance(name) > maxW && name.contains(' ')) {
        // Break at the blank nearest the middle.
        int best = -1;
        for (int i = 0; i < name.size(); ++i)
            if (name[i] == ' ' &&
                (best < 0 || std::abs(i - name.size() / 2) < std::abs(best - name.size() / 2)))
                best = i;
        lines = {name.left(best), name.mid(best + 1)};
        f.setPixelSize(11);
    }
    QFontMetricsF fm(f);
    // Centre the letters from the capitals' top to the last baseline; descenders hang below.
    double lineH = f.pixelSize() * 0.98;
    double capH = fm.capHeight();
    double base0 = band.center().y() - (capH + lineH * (lines.size() - 1)) / 2 + capH;
    p.setPen(QColor(0x20, 0x20, 0x20));
    for (int i = 0; i < lines.size(); ++i) {
        double w = fm.horizontalAdvance(lines[i]);
        double sx = w > maxW ? maxW / w : 1.0;
        p.save();
        p.translate(band.center().x(), base0 + i * lineH);
        p.scale(sx, 1.0);
        p.setFont(f);
        p.drawText(QPointF(-w / 2, 0), lines[i]);
        p.restore();
    }
}

// A picture card: tinted face, the art fitted above, the name lettered below.
QImage faceCard(const pix::Face& face, const char* name1252) {
    QImage img = blankCard();
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.setPen(QPen(face.tint.darker(160), 1));
    p.setBrush(face.tint);
    p.drawPath(cardShape());
    QRectF box(6, 5, kCard - 12, 71);
    const QImage& art = face.art;
    double s = std::min(box.width() / art.width(), box.height() / art.height()) * face.scale;
    int w = std::max(1, int(std::lround(art.width() * s)));
    int h = std::max(1, int(std::lround(art.height() * s)));
    QImage fitted = art.scaled(w, h, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    double x = box.center().x() - w / 2.0;
    double y = face.scale < 1.0 ? box.bottom() - h : box.center().y() - h / 2.0;
    QPointF at(std::round(x), std::round(y));
    // A thin rim in a darker shade of the tint keeps pale pictures off a pale background.
    QImage rim = fitted;
    {
        QPainter q(&rim);
        q.setCompositionMode(QPainter::CompositionMode_SourceIn);
        QColor edge = face.tint.darker(190);
        edge.setAlpha(150);
        q.fillRect(rim.rect(), edge);
    }
    for (QPointF d : {QPointF(-1, 0), QPointF(1, 0), QPointF(0, -1), QPointF(0, 1)})
        p.drawImage(at + d, rim);
    p.drawImage(at, fitted);
    QRectF band(4, 77, kCard - 8, 25);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 255, 215));
    p.drawRoundedRect(band, 5, 5);
    // Only è and È occur beyond ASCII; Latin-1 and Windows-1252 agree on both.
    letterName(p, band, QString::fromLatin1(name1252));
    p.end();
    return img;
}

QString greekLetter(int n) {
    // 1 .. 24 small letters, 25 .. 48 capitals; the final sigma and the unused capital slot
    // between rho and sigma are skipped.
    int k = (n - 1) % 24;
    char16_t first = n <= 24 ? 0x03B1 : 0x0391;
    char16_t c = char16_t(first + k + (k >= 17 ? 1 : 0));
    return QString(QChar(c));
}

QImage greekCard(int n) {
    QImage img = blankCard();
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    bool small = n <= 24;
    QColor ink = small ? QColor(0x1A, 0x3A, 0x8A) : QColor(0xA0, 0x1C, 0x28);
    p.setPen(QPen(QColor(0xB0, 0xA6, 0x8A), 1));
    p.setBrush(QColor(0xFF, 0xFD, 0xF4));
    p.drawPath(cardShape());
    QColor frame = ink;
    frame.setAlpha(90);
    p.setPen(QPen(frame, 1.2));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(QRectF(5, 5, kCard - 10, kCard - 10), 4, 4);
    QFont f("DejaVu Serif");
    f.setPixelSize(76);
    QPainterPath glyph;
    glyph.addText(0, 0, f, greekLetter(n));
    QRectF gb = glyph.boundingRect();
    p.setPen(Qt::NoPen);
    p.setBrush(ink);
    p.drawPath(glyph.translated(QPointF(kCard / 2.0, kCard / 2.0) - gb.center()));
    p.end();
    return img;
}

// Program icons: a face-down card behind a face-up one.
QImage icon(bool greek) {
    QImage img(64, 64, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    QImage back = greek ? cardBack(QColor(0x8E, 0x24, 0x32), QColor(0xF2, 0xD7, 0x8A))
                        : cardBack(QColor(0x2E, 0x7D, 0x32), QColor(0xC8, 0xE6, 0xC9));
    QImage front = greek ? greekCard(48) : QImage();
    if (!greek) {
        pix::Face lion = pix::animalFace(2);
        front = QImage(kCard, kCard, QImage::Format_ARGB32_Premultiplied);
        front.fill(Qt::transparent);
        QPainter q(&front);
        q.setRenderHint(QPainter::Antialiasing);
        q.setPen(QPen(lion.tint.darker(160), 1));
        q.setBrush(lion.tint);
        q.drawPath(cardShape());
        QImage art = lion.art.scaled(86, 86, Qt::KeepAspectRatio, Qt::SmoothTransformation);
        q.drawImage((kCard - art.width()) / 2, (kCard - art.height()) / 2, art);
    }
    auto rounded = [](const QImage& card) {
        QImage out(card.size(), QImage::Format_ARGB32_Premultiplied);
        out.fill(Qt::transparent);
        QPainter q(&out);
        q.setRenderHint(QPainter::Antialiasing);
        q.setClipPath(cardShape());
        q.drawImage(0, 0, card);
        return out;
    };
    p.save();
    p.translate(6, 4);
    p.rotate(-10);
    p.drawImage(QRectF(0, 4, 40, 40), rounded(back));
    p.restore();
    p.save();
    p.translate(20, 16);
    p.rotate(8);
    p.drawImage(QRectF(0, 0, 42, 42), rounded(front));
    p.restore();
    p.end();
    return img;
}

int fail(const QString& what) {
    std::cerr << "genpictures: cannot write " << what.toStdString() << "\n";
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::cerr << "usage: genpictures animals|birds|greek OUTDIR | icon60|icon3 FILE\n";
        return 2;
    }
    pix::offscreen();
    QGuiApplication app(argc, argv);
    for (const char* family : {"Noto Color Emoji", "DejaVu Sans", "DejaVu Serif"})
        pix::requireFont(family);
    std::string set = argv[1];
    QString out = QString::fromLocal8Bit(argv[2]);
    if (set == "icon60" || set == "icon3") {
        if (!icon(set == "icon3").save(out, "PNG")) return fail(out);
        return 0;
    }
    QImage back;
    int count = 60;
    if (set == "greek") {
        back = cardBack(QColor(0x8E, 0x24, 0x32), QColor(0xF2, 0xD7, 0x8A));
        count = 48;
    } else if (set == "animals") {
        back = cardBack(QColor(0x2E, 0x7D, 0x32), QColor(0xC8, 0xE6, 0xC9));
    } else if (set == "birds") {
        back = cardBack(QColor(0x15, 0x65, 0xC0), QColor(0xBB, 0xDE, 0xFB));
    } else {
        std::cerr << "genpictures: unknown set " << set << "\n";
        return 2;
    }
    if (!writeBmp24(back, out + "/card.bmp")) return fail(out + "/card.bmp");
    if (!writeBmp24(blankCard(), out + "/void.bmp")) return fail(out + "/void.bmp");
    for (int n = 1; n <= count; ++n) {
        // The names lettered on the cards are the game's own hint texts.
        QImage pic =
            set == "greek" ? greekCard(n)
            : set == "animals"
                ? faceCard(pix::animalFace(n), game::cardName(game::animalsSet(), n).c_str())
                : faceCard(pix::birdFace(n), game::cardName(game::birdsSet(), n).c_str());
        QString file = out + QString("/pic%1.bmp").arg(n);
        if (!writeBmp24(pic, file)) return fail(file);
    }
    return 0;
}
