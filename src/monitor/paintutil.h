#pragma once

// Small drawing helpers shared by the painted instruments.

#include <QFont>
#include <QPointF>
#include <QtMath>

#include <algorithm>
#include <cmath>

namespace gx::paint {

// The point at `radius` and `degrees` (counter-clockwise from 3 o'clock; y down).
inline QPointF polar(double radius, double degrees)
{
    const double a = qDegreesToRadians(degrees);
    return {radius * std::cos(a), -radius * std::sin(a)};
}

inline QFont pixelFont(double pixels, bool bold = false)
{
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setPixelSize(std::max(1, int(std::lround(pixels))));
    f.setBold(bold);
    return f;
}

} // namespace gx::paint
