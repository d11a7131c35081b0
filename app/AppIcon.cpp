#include "app/AppIcon.h"

#include <QPainter>
#include <QPixmap>

namespace AppIcon {

QIcon make() {
    QPixmap pixmap(32, 32);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setPen(Qt::black);
    painter.setBrush(QColor(192, 192, 192));
    painter.drawRect(1, 1, 29, 29);
    painter.setBrush(QColor(0, 0, 128));
    painter.drawRect(1, 1, 29, 6);
    painter.setPen(QColor(128, 128, 128));
    for (int x = 8; x < 30; x += 7) painter.drawLine(x, 8, x, 30);
    for (int y = 14; y < 30; y += 6) painter.drawLine(2, y, 30, y);
    painter.fillRect(16, 15, 6, 5, QColor(0, 255, 0));
    return QIcon(pixmap);
}

} // namespace AppIcon
