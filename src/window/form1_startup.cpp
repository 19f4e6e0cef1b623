// The start-up: config.ini loaded, its plan applied to the window in order,
// then the port opened.
#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTimer>

#include "platform/message_box.h"
#include "platform/serial_port.h"
#include "readout/publication.h"
#include "settings/startup_plan.h"
#include "window/check_mark_menu.h"
#include "window/form1.h"
#include "window/value_check_box.h"

namespace veltro {
namespace {

void markIf(QAction* item, std::optional<bool> checked) {
    if (checked) {
        setMarked(item, *checked);
    }
}

void setIf(ValueCheckBox* box, std::optional<int> value) {
    if (value) {
        box->setValue(*value);
    }
}

}  // namespace

void Form1::Form_Activate() {
    // A window closed while its start-up was still queued starts nothing:
    // it would publish "Active" = "Y" after the unload's "N".
    if (services_.port == nullptr || services_.settingsDir.isEmpty() || !isVisible()) {
        return;
    }
    writeActive(false);
    if (loadSettingsFile() != LoadOutcome::Loaded) {
        return;
    }
    const WindowBeforeStartup window{HScroll1->minimum(), HScroll1->maximum(), HScroll1->value(),
                                     chkVersion->value()};
    const StartupPlan plan = planStartup(SettingValues, storedSlots_, window);
    applyStartupPlan(plan);
    openConfiguredPort(plan);
}

LoadOutcome Form1::loadSettingsFile() {
    storedSlots_.reset();
    const LoadOutcome outcome =
        LoadSettings(settingsFile(), SettingValues, [this](int slot, const std::string& value) {
            storedSlots_.set(static_cast<std::size_t>(slot));
            Label22[slot]->setText(
                QString::fromLatin1(value.data(), static_cast<qsizetype>(value.size())));
        });
    keepUnreadableSettingsFile = outcome == LoadOutcome::Unreadable;
    settingsLoaded = outcome == LoadOutcome::Loaded;
    return outcome;
}

// Each value goes through its control, so its handler runs exactly as an
// operator's change would. Their saves are held and merged into one: a save
// in the middle would write settings not yet applied and lose them.
void Form1::applyStartupPlan(const StartupPlan& plan) {
    if (plan.configuredPortName) {
        setConfiguredPortName(*plan.configuredPortName);
    }
    holdSaves();
    placeStoredFrame(plan.frame.left, plan.frame.top, plan.frame.height);
    markIf(mnuSetup, plan.setupMark);
    markIf(mnuSmall, plan.smallMark);
    markIf(mnuVector, plan.vectorMark);
    if (plan.pollSlider) {
        HScroll1->setValue(*plan.pollSlider);
    }
    Timer1->setInterval(plan.timerInterval);
    setIf(Check1, plan.check1);
    Check2->setValue(check2For(Check1->value()));
    RangeMode = plan.rangeMode.value_or(RangeMode);
    setIf(chkOnTop, plan.onTop);
    setIf(chkVersion, plan.version);
    setIf(chkHiPwr, plan.hiPwr);
    if (plan.commPort) {
        services_.port->setCommPort(*plan.commPort);
    }
    releaseHeldSaves();
}

void Form1::openConfiguredPort(const StartupPlan& plan) {
    SerialPort& port = *services_.port;
    port.setSettings(plan.lineSettings);
    CmdCallsignSet->setEnabled(plan.callsignControlsEnabled);
    TxtCallsignSet->setEnabled(plan.callsignControlsEnabled);
    port.setInputLen(0);
    if (!port.setPortOpen(true)) {
        pollCycle.portClosed(*this);
        if (services_.messageBox != nullptr) {
            services_.messageBox->show(portNotAvailableMessage(port.commPort()));
        }
        return;
    }
    showPortName(plan.portName);
    port.setInBufferCount(0);
    pollCycle.clearPending();
    RangeIndex = 2;
    writeActive(true);
    Timer1->start();
}

void Form1::showPortName(const std::string& name) {
    // Setting the edit text runs no Combo1_Click (that follows a list choice).
    // The box must hold the whole name, or the next save would cut it short.
    QLineEdit* edit = Combo1->lineEdit();
    const int length = static_cast<int>(name.size());
    if (edit->maxLength() < length) {
        edit->setMaxLength(length);
    }
    Combo1->setEditText(QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size())));
    // The box is narrow: show the start of the name, not its end.
    edit->setCursorPosition(0);
    forgetConfiguredPortName();
}

void Form1::writeActive(bool active) {
    if (publication_) {
        publication_->setActive(active);
    }
}

}  // namespace veltro
