// Start-up, the connection handlers and shutdown: the port box, the firmware
// box, the poll-rate slider and the window's unloading.
#include <algorithm>

#include <QCloseEvent>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QShowEvent>
#include <QTimer>

#include "platform/serial_port.h"
#include "window/form1.h"
#include "window/value_check_box.h"

namespace veltro {
namespace {

// QComboBox also reports "activated" when typed text that matches an item is
// confirmed (Return, or the focus leaving the box). That is typing, not a
// choice from the list: while the box's editor handles those events, the
// activation is not a port choice. The flag drops once the event is done.
class TypedTextGuard : public QObject {
  public:
    explicit TypedTextGuard(QObject* editor) : QObject(editor) { editor->installEventFilter(this); }
    bool typing() const { return typing_; }

  protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (confirmsTypedText(event) && !typing_) {
            typing_ = true;
            QTimer::singleShot(0, this, [this] { typing_ = false; });
        }
        return false;
    }

  private:
    static bool confirmsTypedText(QEvent* event) {
        if (event->type() == QEvent::FocusOut) {
            return true;
        }
        if (event->type() != QEvent::KeyPress) {
            return false;
        }
        const int key = static_cast<QKeyEvent*>(event)->key();
        return key == Qt::Key_Return || key == Qt::Key_Enter;
    }

    bool typing_ = false;
};

// A wheel turned over the closed box would step through the ports, each step
// a port choice that closes the port and starts up again: swallow it. The
// open list scrolls as usual.
class WheelGuard : public QObject {
  public:
    explicit WheelGuard(QObject* box) : QObject(box) { box->installEventFilter(this); }

  protected:
    bool eventFilter(QObject*, QEvent* event) override { return event->type() == QEvent::Wheel; }
};

}  // namespace

void Form1::connectConnectionHandlers() {
    // activated: an item chosen from the list (mouse or arrow keys); typing
    // into the box runs nothing, and typed text never becomes an item nor is
    // completed to one.
    Combo1->setInsertPolicy(QComboBox::NoInsert);
    Combo1->setCompleter(nullptr);
    auto* typedText = new TypedTextGuard(Combo1->lineEdit());
    // Real key events reach the box first, which hands them to its editor
    // directly, past the editor's filters: watch the box as well.
    Combo1->installEventFilter(typedText);
    new WheelGuard(Combo1);
    connect(Combo1, &QComboBox::activated, this, [this, typedText] {
        if (!typedText->typing()) {
            Combo1_Click();
        }
    });
    connect(chkVersion, &QCheckBox::stateChanged, this, &Form1::chkVersion_Click);
    connect(HScroll1, &QScrollBar::valueChanged, this, &Form1::HScroll1_Change);
    connect(mnuExit, &QAction::triggered, this, &Form1::mnuExit_Click);
}

// A device lost from the open port, and the quiet retries that bring it back.
void Form1::connectRecoveryHandlers() {
    connect(retryTimer_, &QTimer::timeout, this, [this] {
        panel_.retryPort();
        showControls();
    });
    if (services_.port != nullptr) {
        services_.port->onDeviceLost([this] {
            panel_.portLost();
            showControls();
        });
    }
}

void Form1::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    showFocusFromTheStart();
    awaitFirstActivation();
}

// Stop, close, save, start up: the start-up reads the chosen port back from
// the file just written.
void Form1::Combo1_Click() {
    if (services_.port == nullptr || services_.settingsDir.isEmpty()) {
        return;
    }
    panel_.portChosen(Combo1->currentText().toLatin1().toStdString());
    showControls();
    Form_Activate();
}

void Form1::chkVersion_Click() {
    panel_.versionChanged(chkVersion->value());
    showControls();
}

void Form1::HScroll1_Change() {
    panel_.sliderChanged(HScroll1->value());
    showControls();
}

void Form1::closeEvent(QCloseEvent* event) {
    Form_Unload();
    event->accept();
}

void Form1::Form_Unload() {
    panel_.unload();
}

void Form1::mnuExit_Click() {
    close();
}

}  // namespace veltro
