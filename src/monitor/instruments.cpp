#include "instruments.h"
#include "paintutil.h"

#include <QGridLayout>
#include <QLabel>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace gx {

using paint::pixelFont;
using paint::polar;

// ---------------------------------------------------------------- LGauge

LGauge::LGauge(QWidget* parent) : QWidget(parent)
{
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
}

void LGauge::setValue(double percent)
{
    if (m_value == percent)
        return;
    m_value = percent;
    update();
}

void LGauge::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);
    const double h = std::min<double>(height() - 2, width() * 0.16);
    const QRectF frame(1, (height() - h) / 2, width() - 2, h);
    const double textW = std::min(frame.width() * 0.24, h * 2.6);
    const QRectF track(frame.left(), frame.top(), frame.width() - textW - 4, h);

    p.setPen(QPen(QColor(110, 116, 124), 1));
    p.setBrush(QColor(10, 12, 14));
    p.drawRoundedRect(track, h * 0.18, h * 0.18);

    constexpr int Segments = 20;
    const double pad = std::max(2.0, h * 0.14);
    const double segW = (track.width() - 2 * pad) / Segments;
    const double lit = std::clamp(m_value, 0.0, 100.0) / 100.0 * Segments;
    p.setPen(Qt::NoPen);
    for (int i = 0; i < Segments; ++i) {
        QColor c = i < 12 ? QColor(40, 210, 70) : i < 17 ? QColor(255, 190, 0) : QColor(235, 40, 30);
        if (i + 0.5 > lit)
            c = c.darker(420);
        p.setBrush(c);
        p.drawRoundedRect(QRectF(track.left() + pad + i * segW + segW * 0.1, track.top() + pad, segW * 0.8,
                                 track.height() - 2 * pad),
                          1.5, 1.5);
    }

    const QRectF textRect(track.right() + 4, frame.top(), textW, h);
    p.setPen(QPen(QColor(110, 116, 124), 1));
    p.setBrush(QColor(10, 12, 14));
    p.drawRoundedRect(textRect, h * 0.18, h * 0.18);
    p.setPen(QColor(120, 255, 120));
    p.setFont(pixelFont(h * 0.55, true));
    p.drawText(textRect, Qt::AlignCenter, QStringLiteral("%1 %").arg(std::lround(m_value)));
}

// ---------------------------------------------------------------- LED

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

// ---------------------------------------------------------------- Odometer

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

// ---------------------------------------------------------------- ModePicture

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
