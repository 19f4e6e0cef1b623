#pragma once

class QWidget;

namespace veltro {

// Puts a top-level window into or out of the always-on-top group without
// moving, resizing or activating it. A refusal is silent.
class WindowManager {
public:
    virtual ~WindowManager() = default;
    virtual void setTopmost(QWidget& window, bool onTop) = 0;
};

}  // namespace veltro
