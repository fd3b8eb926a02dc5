// The bar gauge (LGauge): a row of lit segments with the percentage beside it.
#include "instruments.h"
#include "paintutil.h"

#include <QPainter>

#include <algorithm>
#include <cmath>

namespace gx {

using paint::pixelFont;

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

} // namespace gx
