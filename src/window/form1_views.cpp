// View styles, always on top and the Help messages.
#include <QAction>

#include "platform/message_box.h"
#include "platform/window_manager.h"
#include "window/form1.h"
#include "window/help_texts.h"
#include "window/value_check_box.h"

namespace veltro {
namespace {

// Outer window heights in twips.
constexpr float kSmallHeight = 3200;
constexpr float kVectorHeight = 3700;
constexpr float kSetupHeight = 5250;

}  // namespace

void Form1::connectViewHandlers() {
    connect(mnuSmall, &QAction::triggered, this, &Form1::mnuSmall_Click);
    connect(mnuVector, &QAction::triggered, this, &Form1::mnuVector_Click);
    connect(mnuSetup, &QAction::triggered, this, &Form1::mnuSetup_Click);
    connect(chkOnTop, &QCheckBox::stateChanged, this, &Form1::chkOnTop_Click);
    connect(mnuAbout, &QAction::triggered, this, &Form1::mnuAbout_Click);
    connect(mnuIndex, &QAction::triggered, this, &Form1::mnuIndex_Click);
}

void Form1::applyViewStyle(float heightTwips, ViewStyle style) {
    // A Style command asks for a height of its own: a maximized window
    // comes back to normal first.
    placeStoredFrame(std::nullopt, std::nullopt, heightTwips, true);
    panel_.styleChosen(style);
    showControls();
}

void Form1::mnuSmall_Click() {
    applyViewStyle(kSmallHeight, ViewStyle::Small);
}

void Form1::mnuVector_Click() {
    applyViewStyle(kVectorHeight, ViewStyle::Vector);
}

void Form1::mnuSetup_Click() {
    applyViewStyle(kSetupHeight, ViewStyle::Setup);
}

void Form1::chkOnTop_Click() {
    panel_.onTopChanged(chkOnTop->value());
    showControls();
}

void Form1::SetTopmost(QWidget& window, bool onTop) {
    if (services_.windowManager != nullptr) {
        services_.windowManager->setTopmost(window, onTop);
    }
}

void Form1::mnuAbout_Click() {
    if (services_.messageBox != nullptr) {
        services_.messageBox->show(aboutText());
    }
}

void Form1::mnuIndex_Click() {
    if (services_.messageBox != nullptr) {
        services_.messageBox->show(indexText());
    }
}

}  // namespace veltro
