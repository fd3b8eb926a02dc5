// The dial gauge (AGauge): face and glass kept in pixmaps, read-outs and pointers drawn on every paint.
#include "instruments.h"
#include "paintutil.h"

#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

namespace gx {

using paint::pixelFont;
using paint::polar;

namespace {

constexpr double Sweep = 270.0;      // degrees of the dial scale
constexpr double StartAngle = 225.0; // zero, lower left; angles counter-clockwise from 3 o'clock

QString tickLabel(double v, double spacing)
{
    const bool whole = std::fabs(spacing - std::round(spacing)) < 1e-9;
    return whole ? QString::number(std::lround(v)) : QString::number(v, 'g', 3);
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

} // namespace gx
