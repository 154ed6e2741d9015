#include "app/Pictures.h"

#include <QFont>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

#include <cmath>
#include <numbers>

namespace quorvia::Pictures {

namespace {

const QColor Ink(20, 70, 110);
const QColor Accent(230, 140, 30);
const QColor Paper(245, 247, 250);
const QColor Lines(170, 180, 195);

// Where the lens rests, and the circle it travels while scanning.
const QPointF RestCentre(38, 36);
const QPointF OrbitCentre(27, 27);
constexpr double OrbitRadius = 9;
constexpr double RestLens = 11;
constexpr double ScanLens = 13;

QPointF OrbitPoint(double turn) {
    const double a = 2 * std::numbers::pi * turn - std::numbers::pi / 2;
    return OrbitCentre + QPointF(OrbitRadius * std::cos(a), OrbitRadius * std::sin(a));
}

QPointF Mix(QPointF a, QPointF b, double t) {
    return a + (b - a) * t;
}

// A result page (a sheet with ranked lines) and the magnifier over it.
QImage Scene(QPointF lens, double radius) {
    QImage image(ClipSize, ClipSize, QImage::Format_RGB888);
    image.fill(Qt::white);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF sheet(8, 6, 38, 48);
    p.setPen(QPen(Lines, 1));
    p.setBrush(Paper);
    p.drawRect(sheet);
    const auto drawLines = [&](double thickness, const QColor& colour, const QColor& mark) {
        for (int i = 0; i < 6; ++i) {
            const double y = 13 + i * 7;
            p.setPen(Qt::NoPen);
            p.setBrush(mark);
            p.drawEllipse(QPointF(13, y), 1.6, 1.6);
            p.setPen(QPen(colour, thickness, Qt::SolidLine, Qt::RoundCap));
            p.drawLine(QPointF(17, y), QPointF(17 + 22 - (i % 3) * 5, y));
        }
    };
    drawLines(1.5, Lines, Lines);

    // Inside the lens the page shows larger and the found entry stands out.
    QPainterPath lensPath;
    lensPath.addEllipse(lens, radius, radius);
    p.save();
    p.setClipPath(lensPath);
    p.fillPath(lensPath, QColor(225, 240, 255));
    p.translate(lens);
    p.scale(1.5, 1.5);
    p.translate(-lens);
    drawLines(1.6, Ink, Accent);
    p.restore();

    // Rim and handle.
    const QPointF handleFrom = lens + QPointF(radius * 0.71, radius * 0.71);
    const QPointF handleTo = handleFrom + QPointF(radius * 0.85, radius * 0.85);
    p.setPen(QPen(Ink, 5, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(handleFrom, handleTo);
    p.setPen(QPen(Ink, 2.5));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(lens, radius, radius);
    return image;
}

double Ease(double t) {
    return t * t * (3 - 2 * t);
}

} // namespace

QImage Banner() {
    QImage image(BannerWidth, BannerHeight, QImage::Format_RGB888);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 0, BannerWidth, 0);
    sky.setColorAt(0, Ink);
    sky.setColorAt(1, QColor(40, 130, 170));
    p.fillRect(image.rect(), sky);

    // A rising bar chart on the right: rankings going up.
    for (int i = 0; i < 6; ++i) {
        const int h = 10 + i * 7;
        p.fillRect(QRect(470 + i * 18, BannerHeight - 8 - h, 12, h),
                   i == 5 ? Accent : QColor(255, 255, 255, 90 + i * 25));
    }
    p.setPen(QPen(Accent, 2));
    p.drawLine(QPointF(466, 44), QPointF(572, 8));

    QFont title(QStringLiteral("DejaVu Sans"));
    title.setPixelSize(30);
    title.setBold(true);
    p.setFont(title);
    p.setPen(Qt::white);
    p.drawText(QRect(18, 4, 300, 36), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Quorvia"));
    QFont tagline(QStringLiteral("DejaVu Sans"));
    tagline.setPixelSize(12);
    p.setFont(tagline);
    p.setPen(QColor(220, 235, 245));
    p.drawText(QRect(20, 38, 420, 18), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("Where do your sites stand in the search engines?"));
    return image;
}

QImage Still() {
    return Scene(RestCentre, RestLens);
}

QImage OpeningFrame(int frame, int frames) {
    const double t = Ease(double(frame + 1) / frames);
    return Scene(Mix(RestCentre, OrbitPoint(0), t), RestLens + (ScanLens - RestLens) * t);
}

QImage LoopingFrame(int frame, int frames) {
    return Scene(OrbitPoint(double(frame) / frames), ScanLens);
}

QImage ClosingFrame(int frame, int frames) {
    const double t = Ease(double(frame + 1) / frames);
    return Scene(Mix(OrbitPoint(0), RestCentre, t), ScanLens + (RestLens - ScanLens) * t);
}

QImage ScanButtonPicture() {
    QImage image(24, 24, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(Ink, 3.5, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(14.5, 14.5), QPointF(21, 21));
    p.setPen(QPen(Ink, 2));
    p.setBrush(QColor(225, 240, 255));
    p.drawEllipse(QPointF(9.5, 9.5), 7, 7);
    p.setPen(QPen(QColor(30, 150, 60), 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPolyline(QPolygonF({QPointF(6, 9.5), QPointF(8.5, 12), QPointF(13, 7)}));
    return image;
}

QImage StopButtonPicture() {
    QImage image(24, 24, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(140, 20, 20), 1.5));
    p.setBrush(QColor(210, 40, 40));
    p.drawEllipse(QPointF(12, 12), 10, 10);
    p.fillRect(QRectF(8, 8, 8, 8), Qt::white);
    return image;
}

QImage EngineHeaderPicture() {
    QImage image(12, 12, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(30, 110, 60), 1));
    p.setBrush(QColor(80, 160, 220));
    p.drawEllipse(QRectF(0.5, 0.5, 9, 9));
    p.drawLine(QPointF(0.5, 5), QPointF(9.5, 5));
    p.drawEllipse(QRectF(3, 0.5, 4, 9));
    p.setPen(QPen(Ink, 1.2));
    p.setBrush(QColor(255, 255, 255, 200));
    p.drawEllipse(QPointF(7.5, 7.5), 2.5, 2.5);
    p.setPen(QPen(Ink, 1.8, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(9.3, 9.3), QPointF(11.3, 11.3));
    return image;
}

} // namespace quorvia::Pictures
