#include "window/twips.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <algorithm>
#include <cmath>

namespace veltro {
namespace {

QScreen* screenOf(const QWidget* widget) {
    QScreen* screen = widget ? widget->screen() : nullptr;
    return screen ? screen : QGuiApplication::primaryScreen();
}

double safeDpi(double dpi) {
    return dpi > 0 ? dpi : 96.0;
}

// Far beyond any screen, yet small enough that pixel arithmetic on it
// cannot overflow; a hand-edited coordinate of 1e30 twips lands here.
constexpr double kMostPixels = 1 << 24;

int roundToPixel(double value) {
    if (std::isnan(value)) {
        return 0;
    }
    return static_cast<int>(std::lround(std::clamp(value, -kMostPixels, kMostPixels)));
}

}  // namespace

double twipsPerPixelX(const QWidget* widget) {
    QScreen* screen = screenOf(widget);
    return kTwipsPerInch / safeDpi(screen ? screen->logicalDotsPerInchX() : 96.0);
}

double twipsPerPixelY(const QWidget* widget) {
    QScreen* screen = screenOf(widget);
    return kTwipsPerInch / safeDpi(screen ? screen->logicalDotsPerInchY() : 96.0);
}

int twipsToPixelsX(const QWidget* widget, double twips) {
    return roundToPixel(twips / twipsPerPixelX(widget));
}

int twipsToPixelsY(const QWidget* widget, double twips) {
    return roundToPixel(twips / twipsPerPixelY(widget));
}

double pixelsToTwipsX(const QWidget* widget, int pixels) {
    return pixels * twipsPerPixelX(widget);
}

double pixelsToTwipsY(const QWidget* widget, int pixels) {
    return pixels * twipsPerPixelY(widget);
}

QRect twipsRectToPixels(const QWidget* widget, int left, int top, int width, int height) {
    const int x0 = twipsToPixelsX(widget, left);
    const int y0 = twipsToPixelsY(widget, top);
    const int x1 = twipsToPixelsX(widget, left + width);
    const int y1 = twipsToPixelsY(widget, top + height);
    return QRect(x0, y0, x1 - x0, y1 - y0);
}

}  // namespace veltro
