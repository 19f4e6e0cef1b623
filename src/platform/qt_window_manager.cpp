#include "platform/qt_window_manager.h"

#include <QScreen>
#include <QWidget>
#include <QWindow>

#include "platform/topmost_rect.h"

#ifdef Q_OS_WIN
#include "platform/win32/topmost_window.h"
#endif

namespace veltro {

#ifdef Q_OS_WIN

void QtWindowManager::setTopmost(QWidget& window, bool onTop) {
    // The window's own frame rectangle goes back unchanged, so it stays put.
    // Qt measures it in device-independent pixels, the call takes the
    // screen's physical ones: the factors per physical pixel say so.
    const double twipsPerPixelX = 1440.0 / window.logicalDpiX();
    const double twipsPerPixelY = 1440.0 / window.logicalDpiY();
    const double scale = window.devicePixelRatioF();
    const QRect frame = window.frameGeometry();
    const TwipsRect twips{static_cast<float>(frame.x() * twipsPerPixelX),
                          static_cast<float>(frame.y() * twipsPerPixelY),
                          static_cast<float>(frame.width() * twipsPerPixelX),
                          static_cast<float>(frame.height() * twipsPerPixelY)};
    win32::setTopmost(reinterpret_cast<HWND>(window.winId()), onTop, twips, twipsPerPixelX / scale,
                      twipsPerPixelY / scale);
}

#else

void QtWindowManager::setTopmost(QWidget& window, bool onTop) {
    // QWidget::setWindowFlag would recreate (and hide) a visible window; the
    // native window takes the hint in place.
    if (QWindow* handle = window.windowHandle()) {
        handle->setFlag(Qt::WindowStaysOnTopHint, onTop);
        return;
    }
    window.setWindowFlag(Qt::WindowStaysOnTopHint, onTop);
}

#endif

}  // namespace veltro
