#include "browser/ImageList.h"

#include <QPainter>
#include <QPainterPath>
#include <QTransform>

namespace {

// Drawn in 16 × 16 logical pixels at the scale of the screen (1, 1.5, 2), so
// the tree's pictures stay sharp on a high-density screen.
QPixmap blank(qreal scale)
{
    QPixmap pixmap(qRound(16 * scale), qRound(16 * scale));
    pixmap.setDevicePixelRatio(scale);
    pixmap.fill(Qt::transparent);
    return pixmap;
}

QPixmap handRight(qreal scale)
{
    QPixmap pixmap = blank(scale);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(90, 60, 30), 1));
    p.setBrush(QColor(250, 214, 170));
    QPainterPath hand;
    hand.addRoundedRect(QRectF(1.5, 5.5, 7, 8), 2, 2);   // the fist
    hand.addRoundedRect(QRectF(6.5, 5.5, 8.5, 3), 1.5, 1.5); // the index finger
    p.drawPath(hand.simplified());
    p.drawLine(QPointF(3, 9.5), QPointF(7.5, 9.5));
    p.drawLine(QPointF(3, 11.5), QPointF(7.5, 11.5));
    return pixmap;
}

QPixmap handDown(qreal scale)
{
    QPixmap pixmap = handRight(scale).transformed(QTransform().rotate(90));
    pixmap.setDevicePixelRatio(scale);
    return pixmap;
}

QPixmap book(bool open, qreal scale)
{
    QPixmap pixmap = blank(scale);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    if (!open) {
        p.setPen(QColor(60, 30, 10));
        p.setBrush(QColor(150, 40, 30));
        p.drawRoundedRect(QRectF(3.5, 1.5, 10, 13), 1, 1);
        p.fillRect(QRectF(4, 2, 2, 12), QColor(100, 25, 20));
        p.setPen(QColor(230, 200, 120));
        p.drawLine(QPointF(8, 5.5), QPointF(12, 5.5));
        return pixmap;
    }
    p.setPen(QColor(60, 30, 10));
    p.setBrush(QColor(150, 40, 30));
    p.drawRect(QRectF(0.5, 3.5, 15, 10));
    p.setBrush(Qt::white);
    p.setPen(QColor(90, 90, 90));
    p.drawRect(QRectF(1.5, 2.5, 6, 10));
    p.drawRect(QRectF(8.5, 2.5, 6, 10));
    p.setPen(QColor(120, 120, 160));
    for (int y = 5; y <= 10; y += 2) {
        p.drawLine(QPointF(3, y + 0.5), QPointF(6.5, y + 0.5));
        p.drawLine(QPointF(10, y + 0.5), QPointF(13.5, y + 0.5));
    }
    return pixmap;
}

QPixmap sheet(bool written, qreal scale)
{
    QPixmap pixmap = blank(scale);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    QPainterPath page;
    page.moveTo(3.5, 1.5);
    page.lineTo(10.5, 1.5);
    page.lineTo(13.5, 4.5);
    page.lineTo(13.5, 14.5);
    page.lineTo(3.5, 14.5);
    page.closeSubpath();
    p.setPen(QColor(100, 100, 100));
    p.setBrush(Qt::white);
    p.drawPath(page);
    p.drawLine(QPointF(10.5, 1.5), QPointF(10.5, 4.5));
    p.drawLine(QPointF(10.5, 4.5), QPointF(13.5, 4.5));
    if (written) {
        p.setPen(QColor(30, 60, 140));
        for (int y = 6; y <= 12; y += 2)
            p.drawLine(QPointF(5, y + 0.5), QPointF(12, y + 0.5));
    }
    return pixmap;
}

QVector<QPixmap> drawn(qreal scale)
{
    return {handRight(scale), handDown(scale), book(false, scale), book(true, scale), sheet(false, scale), sheet(true, scale)};
}

} // namespace

ImageList::ImageList()
    : images_(drawn(1)), denser_{drawn(1.5), drawn(2)}
{
}

const ImageList &ImageList::tree()
{
    static const ImageList list;
    return list;
}

QIcon ImageList::icon(int image, int selectedImage) const
{
    const int key = image * count() + selectedImage;
    if (icons_.isEmpty())
        icons_.resize(count() * count());
    QIcon &icon = icons_[key];
    if (icon.isNull()) {
        for (const QVector<QPixmap> *set : {&images_, &denser_[0], &denser_[1]}) {
            icon.addPixmap(set->at(image), QIcon::Normal);
            icon.addPixmap(set->at(selectedImage), QIcon::Selected);
        }
    }
    return icon;
}
