// The keyboard: which controls take focus, in what order, and how focus shows.
#include <QComboBox>
#include <QEvent>
#include <QFocusFrame>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>

#include "window/colour_button.h"
#include "window/form1.h"
#include "window/value_check_box.h"

namespace veltro {
namespace {

// Fusion marks a focused button or box itself, but neither a scroll bar nor
// a check box without a caption: a frame around the focused one does.
class FocusFrameFollower : public QObject {
  public:
    explicit FocusFrameFollower(QWidget* parent) : QObject(parent), frame_(new QFocusFrame(parent)) {
        frame_->hide();
    }
    void follow(QWidget* widget) { widget->installEventFilter(this); }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::FocusIn) {
            frame_->setWidget(static_cast<QWidget*>(watched));
            frame_->show();
        } else if (event->type() == QEvent::FocusOut) {
            frame_->setWidget(nullptr);
            frame_->hide();
        }
        return false;
    }

  private:
    QFocusFrame* frame_;
};

// Boxes only the program writes: their text can be selected and copied
// (with a click where selectOnClick), never typed over, and Tab passes them.
void makeDisplay(QLineEdit* box, bool selectOnClick) {
    box->setReadOnly(true);
    box->setFocusPolicy(selectOnClick ? Qt::ClickFocus : Qt::NoFocus);
}

}  // namespace

void Form1::setUpKeyboard() {
    for (QLineEdit* box : txtVector) {
        makeDisplay(box, false);
    }
    makeDisplay(Text3, false);
    makeDisplay(TxtSWR, false);
    makeDisplay(TxtPollRate, false);
    makeDisplay(Text1, true);
    // A click on the slider gives it the focus, so the arrow keys move it.
    HScroll1->setFocusPolicy(Qt::StrongFocus);
    // A scroll bar's inverted controls turn Right into a step down here:
    // Right and Page Up raise the rate, Left and Page Down lower it.
    HScroll1->setInvertedControls(false);

    // Down the button row, then the setup panel's columns. Disabled
    // controls are passed over.
    QWidget* const order[] = {CmdRange, CmdAlarm, CmdPower,   Combo1,
                              TxtCallsignSet, CmdCallsignSet, HScroll1, Check1,
                              Check2, chkOnTop, chkVersion, chkHiPwr};
    for (std::size_t i = 1; i < std::size(order); ++i) {
        setTabOrder(order[i - 1], order[i]);
    }
    auto* follower = new FocusFrameFollower(client_);
    for (std::size_t i = 6; i < std::size(order); ++i) {  // from HScroll1 on
        follower->follow(order[i]);
    }
    CmdRange->setFocus(Qt::OtherFocusReason);
}

void Form1::showFocusFromTheStart() {
    // Showing a window clears this; without it focus shows only once Tab has
    // been pressed, and a Space right after the start would act unseen.
    setAttribute(Qt::WA_KeyboardFocusChange);
}

}  // namespace veltro
