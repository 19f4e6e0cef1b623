// How the window meets the desktop: the start-up at the first activation,
// and the outer frame geometry that config.ini keeps.
#include <QEvent>
#include <QTimer>
#include <QWindow>

#include "window/form1.h"
#include "window/twips.h"

namespace veltro {
namespace {

// A window manager activates a new window once it has framed it; without one
// no activation may ever come, so the start-up runs after this delay anyway.
constexpr int kActivationFallbackMs = 1500;

// Window coordinates from a hand-edited file beyond these are refused: no
// screen reaches them, and a window that size could not even be drawn.
constexpr int kMostWindowPixels = 32767;

bool plausiblePosition(int pixels) {
    return pixels >= -kMostWindowPixels && pixels <= kMostWindowPixels;
}

}  // namespace

void Form1::awaitFirstActivation() {
    if (activated_) {
        return;
    }
    if (isActiveWindow()) {
        runFirstActivation();
        return;
    }
    QTimer::singleShot(kActivationFallbackMs, this, &Form1::runFirstActivation);
}

void Form1::runFirstActivation() {
    if (activated_) {
        return;
    }
    activated_ = true;
    // After the event at hand, so a port message stands over the window.
    QTimer::singleShot(0, this, &Form1::Form_Activate);
}

bool Form1::event(QEvent* event) {
    const bool handled = QMainWindow::event(event);
    switch (event->type()) {
        case QEvent::WindowActivate:
            if (!activated_ && isVisible()) {
                runFirstActivation();
            }
            correctOuterFrame();
            break;
        case QEvent::Move:
        case QEvent::Resize:
        case QEvent::Show:
            correctOuterFrame();
            break;
        default:
            break;
    }
    return handled;
}

QMargins Form1::frameMargins() const {
    const QWindow* handle = windowHandle();
    return handle != nullptr && isVisible() ? handle->frameMargins() : QMargins();
}

QRect Form1::outerFrame() const {
    return frameRectOf(geometry(), frameMargins());
}

void Form1::applyOuterFrame() {
    marginsUsed_ = frameMargins();
    setGeometry(clientRectForFrame(geometry(), marginsUsed_, outerTarget_));
    // Once the window manager has told its frame, the target is met for good.
    if (!marginsUsed_.isNull()) {
        outerTarget_ = {};
    }
}

void Form1::correctOuterFrame() {
    const bool pending = outerTarget_.left || outerTarget_.top || outerTarget_.height;
    if (pending && frameMargins() != marginsUsed_) {
        applyOuterFrame();
    }
}

void Form1::setWindowLeftTwips(float twips) {
    const int left = twipsToPixelsX(this, twips);
    if (plausiblePosition(left)) {
        outerTarget_.left = left;
        applyOuterFrame();
    }
}

void Form1::setWindowTopTwips(float twips) {
    const int top = twipsToPixelsY(this, twips);
    if (plausiblePosition(top)) {
        outerTarget_.top = top;
        applyOuterFrame();
    }
}

void Form1::setWindowHeightTwips(float twips) {
    // The stored height is the outer one: frame and title bar included.
    const int outer = twipsToPixelsY(this, twips);
    if (outer >= 0 && outer <= kMostWindowPixels) {
        outerTarget_.height = outer;
        applyOuterFrame();
    }
}

}  // namespace veltro
