#pragma once

#include "platform/window_manager.h"

namespace veltro {

// On Windows: SetWindowPos with the window's own rectangle, topmost or not.
// Elsewhere: Qt's stay-on-top hint on the native window, which neither moves
// nor resizes it.
class QtWindowManager : public WindowManager {
public:
    void setTopmost(QWidget& window, bool onTop) override;
};

}  // namespace veltro
