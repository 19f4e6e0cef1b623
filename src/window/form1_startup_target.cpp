#include "window/form1_startup_target.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTimer>

#include "platform/message_box.h"
#include "platform/settings_store.h"
#include "readout/publication.h"
#include "window/check_mark_menu.h"
#include "window/form1.h"
#include "window/value_check_box.h"

namespace veltro {

void Form1StartupTarget::writeActive(const std::string& value) {
    if (SettingsStore* store = form_.services().store) {
        ReadingPublication(*store).setActive(value == "Y");
    }
}

LoadOutcome Form1StartupTarget::loadSettings() {
    stored_.reset();
    const LoadOutcome outcome = LoadSettings(
        form_.settingsFile(), form_.SettingValues, [this](int slot, const std::string& value) {
            stored_.set(static_cast<std::size_t>(slot));
            form_.Label22[slot]->setText(
                QString::fromLatin1(value.data(), static_cast<qsizetype>(value.size())));
        });
    form_.keepUnreadableSettingsFile = outcome == LoadOutcome::Unreadable;
    return outcome;
}

bool Form1StartupTarget::settingStored(int slot) const {
    return stored_.test(static_cast<std::size_t>(slot));
}

const SettingValues& Form1StartupTarget::settingValues() const {
    return form_.SettingValues;
}

void Form1StartupTarget::beginApplying() {
    form_.holdSaves();
}

void Form1StartupTarget::endApplying() {
    form_.releaseHeldSaves();
}

void Form1StartupTarget::rememberConfiguredPortName(const std::string& name) {
    form_.setConfiguredPortName(name);
}

void Form1StartupTarget::placeWindow(std::optional<float> left, std::optional<float> top,
                                     std::optional<float> height) {
    form_.placeStoredFrame(left, top, height);
}

void Form1StartupTarget::setMenuChecked(MenuMark which, bool checked) {
    QAction* item = which == MenuMark::Setup   ? form_.mnuSetup
                    : which == MenuMark::Small ? form_.mnuSmall
                                               : form_.mnuVector;
    setMarked(item, checked);
}

bool Form1StartupTarget::setPollSlider(int value) {
    QScrollBar* slider = form_.HScroll1;
    if (value < slider->minimum() || value > slider->maximum()) {
        return false;
    }
    slider->setValue(value);
    return true;
}

int Form1StartupTarget::pollSlider() const {
    return form_.HScroll1->value();
}

void Form1StartupTarget::setTimerInterval(int milliseconds) {
    form_.Timer1->setInterval(milliseconds);
}

void Form1StartupTarget::enableTimer() {
    form_.Timer1->start();
}

void Form1StartupTarget::disableTimer() {
    form_.Timer1->stop();
}

namespace {

ValueCheckBox* checkBox(Form1& form, CheckBox which) {
    switch (which) {
        case CheckBox::Check1:
            return form.Check1;
        case CheckBox::Check2:
            return form.Check2;
        case CheckBox::OnTop:
            return form.chkOnTop;
        case CheckBox::Version:
            return form.chkVersion;
        case CheckBox::HiPwr:
            break;
    }
    return form.chkHiPwr;
}

}  // namespace

void Form1StartupTarget::setCheckValue(CheckBox which, int value) {
    checkBox(form_, which)->setValue(value);
}

int Form1StartupTarget::checkValue(CheckBox which) const {
    return checkBox(form_, which)->value();
}

void Form1StartupTarget::setRangeMode(int value) {
    form_.RangeMode = value;
}

void Form1StartupTarget::setRangeIndex(int value) {
    form_.RangeIndex = value;
}

void Form1StartupTarget::setCallsignControlsEnabled(bool enabled) {
    form_.CmdCallsignSet->setEnabled(enabled);
    form_.TxtCallsignSet->setEnabled(enabled);
}

SerialPort& Form1StartupTarget::serialPort() {
    return *form_.services().port;
}

void Form1StartupTarget::showMessage(const std::string& text) {
    if (MessageBox* box = form_.services().messageBox) {
        box->show(text);
    }
}

void Form1StartupTarget::setPortBoxText(const std::string& text) {
    // Setting the edit text runs no Combo1_Click (that follows a list choice).
    // The box must hold the whole name, or the next save would cut it short.
    QLineEdit* edit = form_.Combo1->lineEdit();
    const int length = static_cast<int>(text.size());
    if (edit->maxLength() < length) {
        edit->setMaxLength(length);
    }
    form_.Combo1->setEditText(
        QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size())));
    // The box is narrow: show the start of the name, not its end.
    form_.Combo1->lineEdit()->setCursorPosition(0);
    form_.forgetConfiguredPortName();
}

void Form1StartupTarget::clearPendingCommands() {
    form_.pollCycle.clearPending();
}

void Form1StartupTarget::saveSettings() {
    form_.SaveSettings();
}

}  // namespace veltro
