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

// How long, and how often, a stored frame is put back when the window
// manager moves it right after the start-up placed it.
constexpr qint64 kSettleMs = 1500;
constexpr int kSettleRetries = 5;

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
    settleClock_.start();
}

bool Form1::outerFrameMeetsTarget() const {
    const QRect frame = outerFrame();
    return (!outerTarget_.left || frame.left() == *outerTarget_.left) &&
           (!outerTarget_.top || frame.top() == *outerTarget_.top) &&
           (!outerTarget_.height || frame.height() == *outerTarget_.height);
}

void Form1::correctOuterFrame() {
    const bool pending = outerTarget_.left || outerTarget_.top || outerTarget_.height;
    if (!pending) {
        return;
    }
    if (frameMargins() != marginsUsed_) {
        applyOuterFrame();
        return;
    }
    // A window manager may still answer an older request, or its own first
    // placement, just after ours; put the frame back a few times while that
    // settles. Once the frame is known and the time is up, the window is the
    // operator's to move.
    if (marginsUsed_.isNull()) {
        return;
    }
    if (settleClock_.elapsed() > kSettleMs || settleRetries_ >= kSettleRetries) {
        outerTarget_ = {};
        return;
    }
    if (!outerFrameMeetsTarget()) {
        ++settleRetries_;
        applyOuterFrame();
    }
}

void Form1::placeStoredFrame(std::optional<float> leftTwips, std::optional<float> topTwips,
                             std::optional<float> heightTwips) {
    using Pixels = std::optional<int>;
    const Pixels left = leftTwips ? Pixels(twipsToPixelsX(this, *leftTwips)) : std::nullopt;
    const Pixels top = topTwips ? Pixels(twipsToPixelsY(this, *topTwips)) : std::nullopt;
    // The stored height is the outer one: frame and title bar included.
    const Pixels height = heightTwips ? Pixels(twipsToPixelsY(this, *heightTwips)) : std::nullopt;
    bool placed = false;
    if (left && plausiblePosition(*left)) {
        outerTarget_.left = left;
        placed = true;
    }
    if (top && plausiblePosition(*top)) {
        outerTarget_.top = top;
        placed = true;
    }
    if (height && *height >= 0 && *height <= kMostWindowPixels) {
        outerTarget_.height = height;
        placed = true;
    }
    if (placed) {
        applyOuterFrame();
    }
}

}  // namespace veltro
