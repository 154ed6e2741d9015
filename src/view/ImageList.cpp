// Each picture is painted with antialiasing off so that its colours stay pure at 12 x 12.
#include "view/ImageList.h"

#include <QPainter>
#include <QPainterPath>
#include <QPolygon>
#include <functional>

namespace quorvia {

namespace {

const QColor kRed(210, 0, 0);
const QColor kBlue(0, 70, 220);
const QColor kDarkBlue(0, 40, 140);
const QColor kGold(230, 180, 20);
const QColor kGreen(40, 150, 60);
const QColor kGrey(90, 90, 90);

QImage Paint(const std::function<void(QPainter&)>& draw) {
    QImage image(kImageSize, kImageSize, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    draw(painter);
    return image;
}

void TriangleDown(QPainter& p, QRect box, const QColor& colour) {
    p.setPen(colour);
    p.setBrush(colour);
    p.drawPolygon(
        QPolygon({box.topLeft(), box.topRight(), QPoint(box.center().x(), box.bottom())}));
}

void TriangleUp(QPainter& p, QRect box, const QColor& colour) {
    p.setPen(colour);
    p.setBrush(colour);
    p.drawPolygon(
        QPolygon({box.bottomLeft(), box.bottomRight(), QPoint(box.center().x(), box.top())}));
}

void Globe(QPainter& p, QRect box) {
    p.setPen(kDarkBlue);
    p.setBrush(QColor(90, 170, 240));
    p.drawEllipse(box);
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(box.adjusted(box.width() / 4, 0, -box.width() / 4, 0));
    p.drawLine(box.left(), box.center().y(), box.right(), box.center().y());
    p.setPen(kGreen);
    p.drawPoint(box.left() + 2, box.top() + 3);
    p.drawPoint(box.right() - 2, box.bottom() - 3);
}

void Magnifier(QPainter& p, QPoint lensTopLeft, int lens, const QColor& colour) {
    p.setPen(QPen(colour, 1));
    p.setBrush(QColor(220, 240, 255));
    p.drawEllipse(QRect(lensTopLeft, QSize(lens, lens)));
    p.setPen(QPen(colour, 2));
    const QPoint handle = lensTopLeft + QPoint(lens, lens);
    p.drawLine(handle - QPoint(1, 1), handle + QPoint(2, 2));
}

} // namespace

const QList<QImage>& ImageList() {
    static const QList<QImage> pictures = [] {
        QList<QImage> list;
        list << Paint([](QPainter& p) { TriangleDown(p, QRect(1, 3, 10, 6), kRed); });
        list << Paint([](QPainter& p) { TriangleUp(p, QRect(1, 3, 10, 6), kBlue); });
        list << Paint([](QPainter& p) { Magnifier(p, QPoint(0, 0), 7, kBlue); });
        list << Paint([](QPainter& p) { Globe(p, QRect(0, 0, 11, 11)); });
        list << Paint([](QPainter& p) {
            p.setPen(kGrey);
            p.setBrush(Qt::white);
            p.drawPolygon(QPolygon(
                {QPoint(2, 0), QPoint(7, 0), QPoint(10, 3), QPoint(10, 11), QPoint(2, 11)}));
            p.drawPolyline(QPolygon({QPoint(7, 0), QPoint(7, 3), QPoint(10, 3)}));
            for (int y = 5; y <= 9; y += 2)
                p.drawLine(4, y, 8, y);
        });
        list << Paint([](QPainter& p) {
            p.setPen(kGrey);
            p.drawLine(2, 0, 2, 11);
            p.setPen(kRed);
            p.setBrush(kRed);
            p.drawPolygon(QPolygon({QPoint(3, 1), QPoint(10, 3), QPoint(3, 6)}));
        });
        list << Paint([](QPainter& p) {
            TriangleUp(p, QRect(2, 0, 8, 5), kBlue);
            TriangleDown(p, QRect(2, 7, 8, 5), kRed);
        });
        list << Paint([](QPainter& p) {
            p.setPen(QColor(150, 110, 0));
            p.setBrush(kGold);
            p.drawChord(QRect(2, -5, 8, 12), 180 * 16, 180 * 16);
            p.setBrush(Qt::NoBrush);
            p.drawArc(QRect(0, 1, 4, 4), 90 * 16, 180 * 16);
            p.drawArc(QRect(8, 1, 4, 4), 270 * 16, 180 * 16);
            p.setBrush(kGold);
            p.drawRect(5, 7, 2, 2);
            p.drawRect(3, 9, 6, 2);
        });
        list << Paint([](QPainter& p) {
            Globe(p, QRect(0, 0, 9, 9));
            Magnifier(p, QPoint(5, 5), 4, kGrey);
        });
        list << Paint([](QPainter& p) {
            p.setPen(Qt::black);
            p.setBrush(kGrey);
            p.drawEllipse(QRect(0, 5, 5, 5));
            p.drawEllipse(QRect(7, 5, 5, 5));
            p.drawRect(1, 1, 3, 4);
            p.drawRect(8, 1, 3, 4);
            p.drawLine(4, 4, 8, 4);
        });
        list << Paint([](QPainter& p) { Magnifier(p, QPoint(0, 0), 7, kRed); });
        return list;
    }();
    return pictures;
}

} // namespace quorvia
