#pragma once

// Twips, the window's length unit, to and from pixels at the screen's logical DPI.

class QWidget;

namespace gx {

// The window's length unit: 1440 twips to an inch at the screen's logical DPI.
constexpr double TwipsPerInch = 1440.0;
int twipsToPixelsX(double twips, const QWidget* w);
int twipsToPixelsY(double twips, const QWidget* w);
double pixelsToTwipsX(int px, const QWidget* w);
double pixelsToTwipsY(int px, const QWidget* w);

} // namespace gx
