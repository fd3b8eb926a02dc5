#include "instruments.h"

#include <QGridLayout>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

namespace gx {

namespace {

constexpr double Sweep = 270.0;      // degrees of the dial scale
constexpr double StartAngle = 225.0; // zero, lower left; angles counter-clockwise from 3 o'clock

QPointF polar(double radius, double degrees)
{
    const double a = qDegreesToRadians(degrees);
    return {radius * std::cos(a), -radius * std::sin(a)};
}

QString tickLabel(double v, double spacing)
{
    const bool whole = std::fabs(spacing - std::round(spacing)) < 1e-9;
    return whole ? QString::number(std::lround(v)) : QString::number(v, 'g', 3);
}

QFont pixelFont(double pixels, bool bold = false)
{
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setPixelSize(std::max(1, int(std::lround(pixels))));
    f.setBold(bold);
    return f;
}

} // namespace

// ---------------------------------------------------------------- AGauge

AGauge::AGauge(QWidget* parent) : QWidget(parent)
{
    for (int i = 0; i < MaxPointers; ++i)
        m_colours[i] = ownPointerColour(i, 1);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

void AGauge::setDesign(double maximum, double major, double minor)
{
    m_designMax = maximum;
    for (auto& s : m_scales) {
        s.maximum = maximum;
        s.major = major;
        s.minor = minor;
    }
    faceChanged();
}

void AGauge::setPointerCount(int count)
{
    m_pointers = std::clamp(count, 1, MaxPointers);
    for (int i = 0; i < MaxPointers; ++i)
        m_colours[i] = ownPointerColour(i, m_pointers);
    update();
}

QColor AGauge::ownPointerColour(int pointer, int pointerCount)
{
    if (pointerCount == 1)
        return QColor(255, 96, 32);
    static const QColor phase[MaxPointers] = {QColor(235, 40, 40), QColor(255, 205, 0), QColor(60, 150, 255)};
    return phase[std::clamp(pointer, 0, MaxPointers - 1)];
}

void AGauge::setValue(int pointer, double value)
{
    if (!valid(pointer) || m_values[pointer] == value)
        return;
    m_values[pointer] = value;
    update();
}

double AGauge::value(int pointer) const
{
    return valid(pointer) ? m_values[pointer] : 0.0;
}

void AGauge::setPointerColour(int pointer, const QColor& colour)
{
    if (!valid(pointer))
        return;
    m_colours[pointer] = colour;
    update();
}

QColor AGauge::pointerColour(int pointer) const
{
    return valid(pointer) ? m_colours[pointer] : QColor();
}

void AGauge::resetPointerColour(int pointer)
{
    setPointerColour(pointer, ownPointerColour(pointer, m_pointers));
}

void AGauge::setMaximum(int scale, double maximum)
{
    if (!valid(scale) || maximum <= 0)
        return;
    m_scales[scale].maximum = maximum;
    faceChanged();
}

void AGauge::setMaximum(double maximum)
{
    for (int s = 0; s < MaxPointers; ++s)
        setMaximum(s, maximum);
}

double AGauge::maximum(int scale) const
{
    return valid(scale) ? m_scales[scale].maximum : 0.0;
}

void AGauge::setTicks(int scale, double major, double minor)
{
    if (!valid(scale))
        return;
    m_scales[scale].major = major;
    m_scales[scale].minor = minor;
    faceChanged();
}

double AGauge::majorTick(int scale) const
{
    return valid(scale) ? m_scales[scale].major : 0.0;
}

double AGauge::minorTick(int scale) const
{
    return valid(scale) ? m_scales[scale].minor : 0.0;
}

void AGauge::setBand(int scale, int band, double from, double to)
{
    if (!valid(scale) || band < 0 || band > 3)
        return;
    m_scales[scale].bands[band] = {from, to, true};
    faceChanged();
}

void AGauge::clearBand(int scale, int band)
{
    if (!valid(scale) || band < 0 || band > 3)
        return;
    m_scales[scale].bands[band] = {};
    faceChanged();
}

void AGauge::clearBands()
{
    for (auto& s : m_scales)
        s.bands = {};
    faceChanged();
}

AGauge::Band AGauge::band(int scale, int band) const
{
    if (!valid(scale) || band < 0 || band > 3)
        return {};
    return m_scales[scale].bands[band];
}

QColor AGauge::bandColour(int band)
{
    switch (band) {
    case 0: return QColor(220, 20, 20);
    case 1: return QColor(255, 100, 20);
    case 2: return QColor(30, 190, 60);
    default: return QColor(250, 215, 0);
    }
}

void AGauge::setCaption(const QString& caption)
{
    m_caption = caption;
    faceChanged();
}

void AGauge::setReadoutDecimals(int decimals)
{
    m_decimals = decimals;
    update();
}

double AGauge::angleFor(int scale, double value) const
{
    const double max = m_scales[scale].maximum > 0 ? m_scales[scale].maximum : 1.0;
    const double f = std::clamp(value / max, -0.02, 1.03);
    return StartAngle - Sweep * f;
}

void AGauge::faceChanged()
{
    m_face = QPixmap();
    update();
}

QRect AGauge::dialRect() const
{
    const int side = std::min(width(), height());
    return {(width() - side) / 2, (height() - side) / 2, side, side};
}

QPixmap AGauge::layer(void (*draw)(const AGauge&, QPainter&)) const
{
    const qreal dpr = devicePixelRatioF();
    const int side = dialRect().width();
    QPixmap pixmap(QSize(side, side) * dpr);
    pixmap.setDevicePixelRatio(dpr);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);
    p.translate(side / 2.0, side / 2.0);
    p.scale(side / 200.0, side / 200.0);  // the dial is drawn on -100..100
    draw(*this, p);
    return pixmap;
}

void AGauge::paintEvent(QPaintEvent*)
{
    const QRect dial = dialRect();
    if (dial.isEmpty())
        return;
    const qreal dpr = devicePixelRatioF();
    const auto stale = [&](const QPixmap& pm) {
        return pm.isNull() || pm.devicePixelRatio() != dpr || pm.size() != QSize(dial.width(), dial.width()) * dpr;
    };
    if (stale(m_face))
        m_face = layer([](const AGauge& g, QPainter& p) { g.drawFace(p); });
    if (stale(m_glass))
        m_glass = layer([](const AGauge&, QPainter& p) { drawHubAndGlass(p); });

    QPainter p(this);
    p.drawPixmap(dial.topLeft(), m_face);
    p.save();
    p.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);
    p.translate(QRectF(dial).center());
    p.scale(dial.width() / 200.0, dial.width() / 200.0);

    // Digital read-out of the values.
    if (m_decimals >= 0) {
        // Below the hub, under the numbers of the scale's two ends.
        p.setFont(pixelFont(m_pointers == 1 ? 13 : 11, true));
        const double w = m_pointers == 1 ? 50 : 30;
        const double total = w * m_pointers + 3 * (m_pointers - 1);
        for (int i = 0; i < m_pointers; ++i) {
            const QRectF r(-total / 2 + i * (w + 3), 55, w, 16);
            p.setPen(QPen(QColor(90, 96, 104), 1));
            p.setBrush(QColor(8, 10, 12));
            p.drawRoundedRect(r, 3, 3);
            p.setPen(m_pointers == 1 ? QColor(120, 255, 120) : m_colours[i]);
            p.drawText(r, Qt::AlignCenter, QString::number(m_values[i], 'f', m_decimals));
        }
    }

    // Pointers, the first on top.
    for (int i = m_pointers - 1; i >= 0; --i) {
        const double a = angleFor(i, m_values[i]);
        p.save();
        p.rotate(-a);  // the needle is drawn along +x
        QPolygonF needle;
        needle << QPointF(-16, -3.2) << QPointF(80, -1.0) << QPointF(84, 0) << QPointF(80, 1.0)
               << QPointF(-16, 3.2);
        p.translate(1.5, 2.5);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0, 0, 0, 90));
        p.drawPolygon(needle);
        p.translate(-1.5, -2.5);
        p.setPen(QPen(m_colours[i].darker(170), 0.8));
        p.setBrush(m_colours[i]);
        p.drawPolygon(needle);
        p.restore();
    }
    p.restore();
    p.drawPixmap(dial.topLeft(), m_glass);
}

void AGauge::drawFace(QPainter& p) const
{
    // Bezel and face.
    QLinearGradient bezel(-100, -100, 100, 100);
    bezel.setColorAt(0, QColor(215, 220, 226));
    bezel.setColorAt(0.5, QColor(120, 126, 134));
    bezel.setColorAt(1, QColor(45, 48, 54));
    p.setPen(Qt::NoPen);
    p.setBrush(bezel);
    p.drawEllipse(QPointF(0, 0), 99, 99);
    QLinearGradient inner(100, 100, -100, -100);
    inner.setColorAt(0, QColor(200, 205, 212));
    inner.setColorAt(1, QColor(40, 43, 48));
    p.setBrush(inner);
    p.drawEllipse(QPointF(0, 0), 94, 94);
    QRadialGradient face(QPointF(0, -25), 120);
    face.setColorAt(0, QColor(58, 64, 72));
    face.setColorAt(1, QColor(16, 18, 22));
    p.setBrush(face);
    p.drawEllipse(QPointF(0, 0), 90, 90);

    const Scale& sc = m_scales[0];
    const double max = sc.maximum > 0 ? sc.maximum : 1.0;

    // Bands.
    const QRectF bandRect(-79, -79, 158, 158);
    for (int b = 0; b < 4; ++b) {
        const Band& band = sc.bands[b];
        const double from = std::clamp(band.from, 0.0, max);
        const double to = std::clamp(band.to, 0.0, max);
        if (!band.shown || to <= from)
            continue;
        const double a0 = StartAngle - Sweep * from / max;
        const double a1 = StartAngle - Sweep * to / max;
        QPen pen(bandColour(b), 9);
        pen.setCapStyle(Qt::FlatCap);
        p.setPen(pen);
        p.setBrush(Qt::NoBrush);
        p.drawArc(bandRect, int(std::lround(a0 * 16)), int(std::lround((a1 - a0) * 16)));
    }

    // Ticks and their numbers.
    const QColor tickColour(235, 238, 242);
    if (sc.minor > 0 && max / sc.minor <= 300) {
        p.setPen(QPen(tickColour, 1.1));
        for (int i = 0;; ++i) {
            const double v = i * sc.minor;
            if (v > max * (1 + 1e-9))
                break;
            const double a = StartAngle - Sweep * v / max;
            p.drawLine(polar(77, a), polar(84, a));
        }
    }
    if (sc.major > 0 && max / sc.major <= 100) {
        const int majors = int(std::floor(max / sc.major + 1e-9)) + 1;
        const int labelEvery = majors > 12 ? 2 : 1;
        p.setFont(pixelFont(12, true));
        for (int i = 0; i < majors; ++i) {
            const double v = i * sc.major;
            const double a = StartAngle - Sweep * v / max;
            p.setPen(QPen(tickColour, 2.6, Qt::SolidLine, Qt::FlatCap));
            p.drawLine(polar(70, a), polar(85, a));
            if (i % labelEvery)
                continue;
            const QPointF c = polar(57, a);
            p.drawText(QRectF(c.x() - 22, c.y() - 8, 44, 16), Qt::AlignCenter, tickLabel(v, sc.major));
        }
    }

    // Caption.
    p.setPen(QColor(225, 228, 232));
    p.setFont(pixelFont(14, true));
    p.drawText(QRectF(-60, 16, 120, 20), Qt::AlignCenter, m_caption);
}

void AGauge::drawHubAndGlass(QPainter& p)
{
    QRadialGradient hub(QPointF(-3, -3), 12);
    hub.setColorAt(0, QColor(210, 214, 220));
    hub.setColorAt(1, QColor(40, 42, 46));
    p.setPen(QPen(QColor(20, 20, 20), 1));
    p.setBrush(hub);
    p.drawEllipse(QPointF(0, 0), 9, 9);

    QPainterPath glass;
    glass.addEllipse(QPointF(0, -38), 74, 50);
    QPainterPath faceClip;
    faceClip.addEllipse(QPointF(0, 0), 89, 89);
    QLinearGradient shine(0, -90, 0, 10);
    shine.setColorAt(0, QColor(255, 255, 255, 46));
    shine.setColorAt(1, QColor(255, 255, 255, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(shine);
    p.drawPath(glass.intersected(faceClip));
}

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
