// The run-hour odometer: six hour wheels and a tenths wheel that rolls over.
#include "instruments.h"
#include "paintutil.h"

#include <QPainter>

#include <algorithm>
#include <cmath>

namespace gx {

using paint::pixelFont;

namespace {
constexpr int HourWheels = 6;
constexpr int Wheels = HourWheels + 1;
constexpr double MaxReading = 999999.9;

long tenthsOf(double hours)
{
    return long(std::floor(std::clamp(hours, 0.0, MaxReading) * 10 + 1e-6));
}
} // namespace

Odometer::Odometer(QWidget* parent) : QWidget(parent)
{
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
}

void Odometer::setValue(double hours)
{
    m_value = hours;
    if (m_active && m_shown != hours) {
        m_shown = hours;
        update();
    }
}

void Odometer::setActive(bool active)
{
    m_active = active;
    if (active && m_shown != m_value) {
        m_shown = m_value;
        update();
    }
}

QString Odometer::displayedText() const
{
    const long t = tenthsOf(m_shown);
    return QStringLiteral("%1.%2").arg(t / 10, HourWheels, 10, QLatin1Char('0')).arg(t % 10);
}

void Odometer::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);

    // Wheels keep a 0.62 aspect; the housing adds a margin and a gap before the tenths.
    const double margin = 0.35;  // in wheel widths
    const double gap = 0.35;
    const double unitsW = Wheels + gap + 2 * margin + (Wheels - 1) * 0.08;
    const double wheelW = std::min(width() / unitsW, (height() - 2) / (1 / 0.62 + 2 * margin));
    const double wheelH = wheelW / 0.62;
    const double housingW = wheelW * unitsW;
    const double housingH = wheelH + 2 * margin * wheelW;
    const QRectF housing((width() - housingW) / 2, (height() - housingH) / 2, housingW, housingH);

    QLinearGradient metal(housing.topLeft(), housing.bottomLeft());
    metal.setColorAt(0, QColor(150, 156, 164));
    metal.setColorAt(1, QColor(52, 56, 62));
    p.setPen(QPen(QColor(25, 25, 25), 1));
    p.setBrush(metal);
    p.drawRoundedRect(housing, wheelW * 0.25, wheelW * 0.25);

    const long tenths = tenthsOf(m_shown);
    // The tenths wheel turns on during the last fifth of each tenth.
    const double frac = std::clamp(m_shown, 0.0, MaxReading) * 10 - tenths;
    const double roll = std::clamp((frac - 0.8) / 0.2, 0.0, 1.0);
    const QString text = displayedText().remove(QLatin1Char('.'));

    p.setFont(pixelFont(wheelH * 0.72, true));
    double x = housing.left() + margin * wheelW;
    const double y = housing.top() + margin * wheelW;
    for (int i = 0; i < Wheels; ++i) {
        if (i == HourWheels)
            x += gap * wheelW;
        const QRectF box(x, y, wheelW, wheelH);
        const bool tenthsWheel = i == HourWheels;
        const QColor face = tenthsWheel ? QColor(200, 30, 30) : QColor(18, 18, 18);
        p.setPen(Qt::NoPen);
        p.setBrush(face);
        p.drawRect(box);

        p.save();
        p.setClipRect(box);
        p.setPen(QColor(245, 245, 245));
        const int digit = text[i].digitValue();
        const double off = tenthsWheel ? roll * wheelH : 0.0;
        p.drawText(box.translated(0, -off), Qt::AlignCenter, QString::number(digit));
        if (off > 0)
            p.drawText(box.translated(0, wheelH - off), Qt::AlignCenter, QString::number((digit + 1) % 10));
        p.restore();

        // Drum shading: darker towards the top and bottom edges.
        QLinearGradient drum(box.topLeft(), box.bottomLeft());
        drum.setColorAt(0, QColor(0, 0, 0, 170));
        drum.setColorAt(0.25, QColor(0, 0, 0, 0));
        drum.setColorAt(0.45, QColor(255, 255, 255, 30));
        drum.setColorAt(0.75, QColor(0, 0, 0, 0));
        drum.setColorAt(1, QColor(0, 0, 0, 170));
        p.setBrush(drum);
        p.setPen(QPen(QColor(0, 0, 0), 1));
        p.drawRect(box);
        x += wheelW * 1.08;
    }
    // Decimal point.
    const double px = housing.left() + margin * wheelW + HourWheels * wheelW * 1.08 + gap * wheelW / 2 - wheelW * 0.04;
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(240, 240, 240));
    p.drawEllipse(QPointF(px, y + wheelH * 0.86), wheelW * 0.08, wheelW * 0.08);
}

} // namespace gx
