// Painting the generator-set picture of the start screen and the information and error icons.

#include "artwork.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace gx::artwork {

QPixmap generatorSet(const QSize& size)
{
    QPixmap pm(size);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    const double w = size.width(), h = size.height();

    // Skid base.
    p.setPen(QPen(QColor(40, 40, 40), 2));
    p.setBrush(QColor(70, 70, 70));
    p.drawRoundedRect(QRectF(w * 0.05, h * 0.78, w * 0.9, h * 0.08), 3, 3);

    // Engine block.
    QLinearGradient engine(0, h * 0.3, 0, h * 0.78);
    engine.setColorAt(0, QColor(255, 200, 40));
    engine.setColorAt(1, QColor(200, 140, 0));
    p.setBrush(engine);
    p.drawRoundedRect(QRectF(w * 0.08, h * 0.35, w * 0.5, h * 0.43), 6, 6);
    // Cylinder heads.
    p.setBrush(QColor(230, 170, 20));
    for (int i = 0; i < 4; ++i)
        p.drawRect(QRectF(w * (0.12 + 0.11 * i), h * 0.26, w * 0.08, h * 0.1));
    // Exhaust stack.
    p.setBrush(QColor(110, 110, 110));
    p.drawRect(QRectF(w * 0.47, h * 0.1, w * 0.05, h * 0.2));

    // Alternator.
    QLinearGradient alt(0, h * 0.4, 0, h * 0.78);
    alt.setColorAt(0, QColor(60, 110, 190));
    alt.setColorAt(1, QColor(25, 60, 130));
    p.setBrush(alt);
    p.drawRoundedRect(QRectF(w * 0.6, h * 0.4, w * 0.3, h * 0.38), 10, 10);
    p.setPen(QPen(QColor(200, 220, 255), 2));
    for (int i = 1; i < 5; ++i)
        p.drawLine(QPointF(w * (0.6 + 0.06 * i), h * 0.45), QPointF(w * (0.6 + 0.06 * i), h * 0.73));

    // Controller panel with its small display.
    p.setPen(QPen(QColor(30, 30, 30), 2));
    p.setBrush(QColor(230, 230, 230));
    p.drawRoundedRect(QRectF(w * 0.66, h * 0.12, w * 0.22, h * 0.22), 4, 4);
    p.setBrush(QColor(192, 192, 0));
    p.drawRect(QRectF(w * 0.69, h * 0.16, w * 0.16, h * 0.07));
    p.setBrush(QColor(0, 200, 0));
    p.drawEllipse(QPointF(w * 0.72, h * 0.29), w * 0.015, w * 0.015);
    p.setBrush(QColor(220, 0, 0));
    p.drawEllipse(QPointF(w * 0.78, h * 0.29), w * 0.015, w * 0.015);
    return pm;
}

QPixmap statusIcon(bool error, int size)
{
    QPixmap pm(size, size);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(error ? QColor(200, 30, 30) : QColor(30, 100, 200));
    p.drawEllipse(QRectF(1, 1, size - 2, size - 2));
    p.setPen(QPen(Qt::white, size / 8.0, Qt::SolidLine, Qt::RoundCap));
    if (error) {
        p.drawLine(QPointF(size * 0.5, size * 0.22), QPointF(size * 0.5, size * 0.58));
        p.drawPoint(QPointF(size * 0.5, size * 0.76));
    } else {
        p.drawPoint(QPointF(size * 0.5, size * 0.26));
        p.drawLine(QPointF(size * 0.5, size * 0.44), QPointF(size * 0.5, size * 0.76));
    }
    return pm;
}

} // namespace gx::artwork
