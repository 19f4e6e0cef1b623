#pragma once

#include <QRect>

class QWidget;

namespace veltro {

// Window geometry is kept in twips (1/1440 inch). These are the only place
// where twips meet pixels; the factor follows the logical DPI of the
// widget's screen (15 twips a pixel at 96 dpi).
inline constexpr double kTwipsPerInch = 1440.0;

double twipsPerPixelX(const QWidget* widget);
double twipsPerPixelY(const QWidget* widget);

// Twips to pixels rounds to the nearest pixel (halves away from zero).
int twipsToPixelsX(const QWidget* widget, double twips);
int twipsToPixelsY(const QWidget* widget, double twips);
// Pixels to twips is exact (no rounding): callers store single precision.
double pixelsToTwipsX(const QWidget* widget, int pixels);
double pixelsToTwipsY(const QWidget* widget, int pixels);

// A rectangle in twips to pixels. The edges are converted, not the size, so
// controls that abut in twips abut on screen at any DPI.
QRect twipsRectToPixels(const QWidget* widget, int left, int top, int width, int height);

}  // namespace veltro
