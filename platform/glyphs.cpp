// The pictures of the buttons that show a glyph: the indicator and the connect button.
#include <QIcon>
#include <QPainter>
#include <QPixmap>

#include "platform/qt_internal.h"

namespace plat {

// Picture of the indicator: a green tick or a red cross.
QIcon kindGlyph(BitBtn::Kind kind) {
    QPixmap pm(16, 16);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    if (kind == BitBtn::bkYes) {
        p.setPen(QPen(QColor(0, 150, 0), 2.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.drawPolyline(QPolygonF({QPointF(2.5, 8.5), QPointF(6.5, 12.5), QPointF(13.5, 3.5)}));
    } else {
        p.setPen(QPen(QColor(210, 0, 0), 2.6, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(3.5, 3.5), QPointF(12.5, 12.5));
        p.drawLine(QPointF(12.5, 3.5), QPointF(3.5, 12.5));
    }
    return QIcon(pm);
}

// Picture of the connect button: two screens joined by a cable.
QIcon connectGlyph() {
    QPixmap pm(24, 24);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    auto screen = [&](int x, int y) {
        p.setPen(QColor(40, 40, 40));
        p.setBrush(QColor(0, 0, 128));
        p.drawRect(x, y, 10, 8);
        p.fillRect(x + 3, y + 9, 5, 2, QColor(128, 128, 128));
    };
    screen(1, 2);
    screen(13, 12);
    p.setPen(QPen(QColor(200, 0, 0), 2));
    p.drawLine(6, 13, 6, 18);
    p.drawLine(6, 18, 12, 18);
    return QIcon(pm);
}

}  // namespace plat
