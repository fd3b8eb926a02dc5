// The LED lamp and the LEDRow that shows one status byte as eight lamps.
#include "instruments.h"
#include "paintutil.h"

#include <QGridLayout>
#include <QLabel>
#include <QPainter>

#include <algorithm>

namespace gx {

LED::LED(QWidget* parent) : QWidget(parent)
{
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

void LED::setOn(bool on)
{
    if (m_on == on)
        return;
    m_on = on;
    update();
}

void LED::setOnColour(const QColor& colour)
{
    // Polls set the same colours again and again: repaint only on a change.
    if (m_onColour == colour)
        return;
    m_onColour = colour;
    if (m_on)
        update();
}

void LED::setOffColour(const QColor& colour)
{
    if (m_offColour == colour)
        return;
    m_offColour = colour;
    if (!m_on)
        update();
}

void LED::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const double d = std::min(width(), height()) - 2.0;
    const QPointF c(width() / 2.0, height() / 2.0);
    const double r = d / 2;

    // Rim.
    QLinearGradient rim(c.x() - r, c.y() - r, c.x() + r, c.y() + r);
    rim.setColorAt(0, QColor(30, 30, 30));
    rim.setColorAt(1, QColor(170, 170, 170));
    p.setPen(Qt::NoPen);
    p.setBrush(rim);
    p.drawEllipse(c, r, r);

    const QColor base = colour();
    QRadialGradient body(c - QPointF(r * 0.3, r * 0.3), r * 1.1);
    if (m_on) {
        body.setColorAt(0, base.lighter(175));
        body.setColorAt(0.45, base);
        body.setColorAt(1, base.darker(160));
    } else {
        body.setColorAt(0, base.lighter(115));
        body.setColorAt(1, base.darker(240));
    }
    p.setBrush(body);
    p.drawEllipse(c, r * 0.82, r * 0.82);

    QRadialGradient shine(c - QPointF(r * 0.3, r * 0.35), r * 0.45);
    shine.setColorAt(0, QColor(255, 255, 255, m_on ? 200 : 90));
    shine.setColorAt(1, QColor(255, 255, 255, 0));
    p.setBrush(shine);
    p.drawEllipse(c - QPointF(r * 0.3, r * 0.35), r * 0.4, r * 0.3);
}

// ---------------------------------------------------------------- LEDRow

LEDRow::LEDRow(int count, Qt::Orientation orientation, bool withLabels, QWidget* parent) : QWidget(parent)
{
    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(2, 2, 2, 2);
    grid->setHorizontalSpacing(6);
    grid->setVerticalSpacing(3);
    for (int i = 0; i < count; ++i) {
        auto* led = new LED(this);
        led->setFixedSize(18, 18);
        m_leds.push_back(led);
        QLabel* label = withLabels ? new QLabel(this) : nullptr;
        if (label)
            m_labels.push_back(label);
        if (orientation == Qt::Vertical) {
            grid->addWidget(led, i, 0, Qt::AlignCenter);
            if (label)
                grid->addWidget(label, i, 1);
        } else {
            grid->addWidget(led, 0, i, Qt::AlignCenter);
            if (label) {
                label->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
                grid->addWidget(label, 1, i);
            }
        }
    }
    if (orientation == Qt::Vertical && withLabels)
        grid->setColumnStretch(1, 1);
}

void LEDRow::setValue(int byte)
{
    m_value = byte;
    for (int i = 0; i < count(); ++i)
        m_leds[i]->setOn((byte >> i) & 1);
}

QLabel* LEDRow::label(int i) const
{
    return i >= 0 && i < int(m_labels.size()) ? m_labels[i] : nullptr;
}

void LEDRow::setOnColour(const QColor& colour)
{
    for (auto* led : m_leds)
        led->setOnColour(colour);
}

void LEDRow::setOffColour(const QColor& colour)
{
    for (auto* led : m_leds)
        led->setOffColour(colour);
}

} // namespace gx
