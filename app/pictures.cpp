#include "pictures.h"

#include <QPainter>
#include <QPixmap>

namespace app {

QIcon connectPicture()
{
    QPixmap pm(16, 16);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setPen(QColor(64, 64, 64));
    p.setBrush(QColor(176, 176, 176));
    p.drawRect(3, 1, 9, 13);
    p.setPen(QColor(96, 96, 96));
    for (int y = 4; y <= 8; y += 2)
        p.drawLine(5, y, 10, y);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 200, 0));
    p.drawEllipse(QPoint(7, 12), 1, 1);
    return QIcon(pm);
}

QIcon exitPicture()
{
    QPixmap pm(16, 16);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(200, 0, 0), 3, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(3, 3, 12, 12);
    p.drawLine(12, 3, 3, 12);
    return QIcon(pm);
}

QIcon programIcon()
{
    QPixmap pm(32, 32);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(0, 0, 128), 2));
    p.setBrush(QColor(255, 255, 224));
    p.drawRect(3, 7, 26, 18);
    p.drawLine(3, 7, 16, 18);
    p.drawLine(29, 7, 16, 18);
    return QIcon(pm);
}

}  // namespace app
