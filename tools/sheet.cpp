// Build-time tool: a contact sheet of one picture set, to look over every card at once.
//   sheet OUT.png DIR COLUMNS    reads DIR/card.bmp, void.bmp, pic1.bmp .. until one is missing
#include <QFileInfo>
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <iostream>
#include <vector>

#include "offscreen.h"

int main(int argc, char** argv) {
    if (argc != 4) {
        std::cerr << "usage: sheet OUT.png DIR COLUMNS\n";
        return 2;
    }
    pix::offscreen();
    QGuiApplication app(argc, argv);
    QString dir = QString::fromLocal8Bit(argv[2]);
    int cols = std::max(1, atoi(argv[3]));
    std::vector<std::pair<QString, QImage>> cards;
    for (QString name : {QString("card"), QString("void")})
        cards.push_back({name, QImage(dir + "/" + name + ".bmp")});
    for (int n = 1;; ++n) {
        QString file = dir + QString("/pic%1.bmp").arg(n);
        if (!QFileInfo::exists(file)) break;
        cards.push_back({QString::number(n), QImage(file)});
    }
    const int cell = 111, label = 14;
    int rows = 1 + int(cards.size() - 2 + cols - 1) / cols;
    QImage sheet(cols * cell + 6, rows * (cell + label) + 6, QImage::Format_RGB32);
    sheet.fill(QColor(0xF0, 0xF0, 0xF0));
    QPainter p(&sheet);
    QFont f("DejaVu Sans");
    f.setPixelSize(11);
    p.setFont(f);
    for (std::size_t i = 0; i < cards.size(); ++i) {
        // Back and empty place on the first row, the pictures below.
        int slot = i < 2 ? int(i) : int(i - 2) + cols;
        int x = 6 + (slot % cols) * cell, y = 6 + (slot / cols) * (cell + label);
        p.drawImage(x, y, cards[i].second);
        p.drawText(QRect(x, y + 105, 105, label), Qt::AlignCenter, cards[i].first);
    }
    p.end();
    if (!sheet.save(QString::fromLocal8Bit(argv[1]), "PNG")) {
        std::cerr << "sheet: cannot write " << argv[1] << "\n";
        return 1;
    }
    return 0;
}
