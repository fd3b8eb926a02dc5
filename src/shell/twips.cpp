// Converting twips to pixels and back with the widget's logical DPI.

#include "twips.h"

#include <QWidget>

#include <cmath>

namespace gx {

int twipsToPixelsX(double twips, const QWidget* w)
{
    return int(std::lround(twips * w->logicalDpiX() / TwipsPerInch));
}
int twipsToPixelsY(double twips, const QWidget* w)
{
    return int(std::lround(twips * w->logicalDpiY() / TwipsPerInch));
}
double pixelsToTwipsX(int px, const QWidget* w)
{
    return std::round(px * TwipsPerInch / w->logicalDpiX());
}
double pixelsToTwipsY(int px, const QWidget* w)
{
    return std::round(px * TwipsPerInch / w->logicalDpiY());
}

} // namespace gx
