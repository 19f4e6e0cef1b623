#pragma once

#include "platform/message_box.h"

class QWidget;

namespace veltro {

// The application's title, shown on every message box.
inline constexpr const char* kApplicationTitle = "Veltro Control Panel";

class QtMessageBox : public MessageBox {
public:
    explicit QtMessageBox(QWidget* parent = nullptr) : parent_(parent) {}
    void setParent(QWidget* parent) { parent_ = parent; }
    void show(const std::string& text) override;

private:
    QWidget* parent_;
};

}  // namespace veltro
