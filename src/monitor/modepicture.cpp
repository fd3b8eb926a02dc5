// The mode pictures: clickable drawings of the controller's Auto, Manual Start and Manual Stop keys.
#include "instruments.h"
#include "paintutil.h"

#include <QPainter>

#include <algorithm>
#include <cmath>

namespace gx {

using paint::pixelFont;
using paint::polar;

ModePicture::ModePicture(Kind kind, QWidget* parent) : QAbstractButton(parent), m_kind(kind)
{
    setCursor(Qt::PointingHandCursor);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Preferred);
}

void ModePicture::enterEvent(QEnterEvent* e)
{
    m_hover = true;
    update();
    QAbstractButton::enterEvent(e);
}

void ModePicture::leaveEvent(QEvent* e)
{
    m_hover = false;
    update();
    QAbstractButton::leaveEvent(e);
}

void ModePicture::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);
    // A key of the controller's keypad, 5:4, centred.
    const double kw = std::min<double>(width() - 2, (height() - 2) * 1.25);
    const double kh = kw / 1.25;
    QRectF key((width() - kw) / 2, (height() - kh) / 2, kw, kh);
    if (isDown())
        key.translate(1, 1);

    QLinearGradient g(key.topLeft(), key.bottomLeft());
    const QColor top = m_hover ? QColor(250, 250, 250) : QColor(228, 230, 234);
    g.setColorAt(0, isDown() ? top.darker(115) : top);
    g.setColorAt(1, QColor(150, 154, 162));
    p.setPen(QPen(QColor(40, 42, 46), 1.2));
    p.setBrush(g);
    p.drawRoundedRect(key, kw * 0.12, kw * 0.12);

    const QString word = m_kind == Kind::Auto ? QStringLiteral("AUTO") : QStringLiteral("MAN");
    p.setPen(QColor(30, 30, 34));
    p.setFont(pixelFont(kh * 0.26, true));
    p.drawText(QRectF(key.left(), key.top() + kh * 0.06, kw, kh * 0.34), Qt::AlignCenter, word);

    const QPointF c(key.center().x(), key.top() + kh * 0.66);
    const double r = kh * 0.22;
    switch (m_kind) {
    case Kind::Auto: {
        // Circular arrow.
        QPen pen(QColor(20, 140, 40), r * 0.32, Qt::SolidLine, Qt::FlatCap);
        p.setPen(pen);
        p.setBrush(Qt::NoBrush);
        const QRectF ring(c.x() - r, c.y() - r, 2 * r, 2 * r);
        p.drawArc(ring, 100 * 16, 290 * 16);
        const QPointF tip = c + polar(r, 100);
        QPolygonF head;
        head << tip + QPointF(r * 0.55, 0) << tip + QPointF(-r * 0.15, -r * 0.45) << tip + QPointF(-r * 0.15, r * 0.45);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(20, 140, 40));
        p.drawPolygon(head);
        break;
    }
    case Kind::ManStart: {
        p.setPen(QPen(QColor(10, 80, 20), 1));
        p.setBrush(QColor(30, 170, 50));
        p.drawEllipse(c, r, r);
        QPolygonF play;
        play << c + QPointF(-r * 0.35, -r * 0.5) << c + QPointF(r * 0.55, 0) << c + QPointF(-r * 0.35, r * 0.5);
        p.setPen(Qt::NoPen);
        p.setBrush(Qt::white);
        p.drawPolygon(play);
        break;
    }
    case Kind::ManStop: {
        p.setPen(QPen(QColor(90, 10, 10), 1));
        p.setBrush(QColor(210, 30, 30));
        p.drawEllipse(c, r, r);
        p.setPen(Qt::NoPen);
        p.setBrush(Qt::white);
        p.drawRect(QRectF(c.x() - r * 0.42, c.y() - r * 0.42, r * 0.84, r * 0.84));
        break;
    }
    }
}

} // namespace gx
