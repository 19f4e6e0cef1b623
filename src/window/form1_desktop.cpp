// How the window meets the desktop: the start-up at the first activation,
// and the outer frame geometry that config.ini keeps.
#include <QEvent>
#include <QTimer>
#include <QWindow>

#include "window/form1.h"
#include "window/twips.h"

namespace veltro {
namespace {

// Window coordinates from a hand-edited file beyond these are refused: no
// screen reaches them, and a window that size could not even be drawn.
constexpr int kMostWindowPixels = 32767;

constexpr Qt::WindowStates kNotNormal =
    Qt::WindowMaximized | Qt::WindowFullScreen | Qt::WindowMinimized;

std::optional<PlacedTwips> placed(std::optional<float> twips, int pixels, int least) {
    if (!twips || pixels < least || pixels > kMostWindowPixels) {
        return std::nullopt;
    }
    return PlacedTwips{*twips, pixels};
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
    // A window manager activates a new window once it has framed it. Without
    // one the window takes the focus itself; should no activation come even
    // so, the start-up runs after a while anyway.
    activateWindow();
    QTimer::singleShot(services_.intervals.activationFallbackMs, this,
                       &Form1::runFirstActivation);
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
            break;
        case QEvent::Move:
        case QEvent::Resize:
            // A maximized window may wear a thinner frame: keep the normal one.
            if (!(windowState() & kNotNormal) && isVisible()) {
                normalMargins_ = frameMargins();
            }
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

QRect Form1::normalClientGeometry() const {
    const QRect stored = normalGeometry();
    return !(windowState() & kNotNormal) || !stored.isValid() ? geometry() : stored;
}

int Form1::nonClientPixels() const {
    return height() - client_->height();
}

void Form1::placeStoredFrame(std::optional<float> leftTwips, std::optional<float> topTwips,
                             std::optional<float> heightTwips, bool restoreFirst) {
    const auto left = placed(leftTwips, leftTwips ? twipsToPixelsX(this, *leftTwips) : 0,
                             -kMostWindowPixels);
    const auto top = placed(topTwips, topTwips ? twipsToPixelsY(this, *topTwips) : 0,
                            -kMostWindowPixels);
    const auto height = placed(
        heightTwips,
        heightTwips ? std::max(0, twipsToPixelsY(this, *heightTwips - kStoredNonClientTwips)) : 0,
        0);
    if (left) {
        placedLeft_ = left;
    }
    if (top) {
        placedTop_ = top;
    }
    if (height) {
        placedHeight_ = height;
    }
    // One request with the whole rectangle. Before the window is shown the
    // position is the frame's own, which the window manager honours when it
    // frames the window; once shown, the frame it drew is known.
    const bool normal = !(windowState() & kNotNormal);
    const QMargins margins = normal ? frameMargins() : normalMargins_;
    const QRect current = normalClientGeometry();
    QRect client = current;
    if (left) {
        client.moveLeft(left->pixels + margins.left());
    }
    if (top) {
        client.moveTop(top->pixels + margins.top());
    }
    if (height) {
        client.setHeight(height->pixels + nonClientPixels());
    }
    if (client == current && (normal || !restoreFirst)) {
        return;  // nothing to move: a port choice leaves a maximized window maximized
    }
    if (!normal) {
        showNormal();  // a Style command asks for a height of its own
    }
    if (!isVisible()) {
        resize(client.size());
        move(client.topLeft());
    } else {
        setGeometry(client);
    }
}

SavedFrame Form1::savedFrame() const {
    const QRect client = normalClientGeometry();
    const QMargins margins = windowState() & kNotNormal ? normalMargins_ : frameMargins();
    SavedFrame frame;
    frame.left = twipsToSave(client.left() - margins.left(), twipsPerPixelX(this), 0, placedLeft_);
    frame.top = twipsToSave(client.top() - margins.top(), twipsPerPixelY(this), 0, placedTop_);
    frame.height = twipsToSave(client.height() - nonClientPixels(), twipsPerPixelY(this),
                               kStoredNonClientTwips, placedHeight_);
    return frame;
}

}  // namespace veltro
