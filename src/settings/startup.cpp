#include "settings/startup.h"

#include "settings/conversions.h"

namespace veltro {
namespace {

bool isCheckBoxValue(int value) {
    return value >= 0 && value <= 2;
}

void applyCheckBox(StartupTarget& target, CheckBox which, const std::string& slot) {
    const auto value = toWholeNumber(slot);
    if (value && isCheckBoxValue(*value))
        target.setCheckValue(which, *value);
}

void applyMenuMark(StartupTarget& target, MenuMark which, const std::string& slot) {
    if (const auto checked = toBoolean(slot))
        target.setMenuChecked(which, *checked);
}

void applyWindowGeometry(StartupTarget& target, const SettingValues& slots) {
    std::optional<float> height = toSingle(slots[3]);
    if (height && *height < 0)
        height.reset();
    target.placeWindow(toSingle(slots[0]), toSingle(slots[1]), height);
}

void applyPollRate(StartupTarget& target, const std::string& slot) {
    if (const auto rate = toWholeNumber(slot))
        target.setPollSlider(*rate);
    target.setTimerInterval(target.pollSlider());
}

// Step 3: every stored value onto its control, in this order; a value that
// does not convert or that the control refuses leaves it as it was.
void applySettings(StartupTarget& target, const SettingValues& slots) {
    applyWindowGeometry(target, slots);
    applyMenuMark(target, MenuMark::Setup, slots[4]);
    applyMenuMark(target, MenuMark::Small, slots[5]);
    applyMenuMark(target, MenuMark::Vector, slots[6]);
    applyPollRate(target, slots[8]);
    applyCheckBox(target, CheckBox::Check1, slots[10]);
    target.setCheckValue(CheckBox::Check2, target.checkValue(CheckBox::Check1) == 0 ? 1 : 0);
    if (const auto range = toWholeNumber(slots[9]))
        target.setRangeMode(*range);
    applyCheckBox(target, CheckBox::OnTop, slots[11]);
    applyCheckBox(target, CheckBox::Version, slots[12]);
    applyCheckBox(target, CheckBox::HiPwr, slots[13]);
    if (const auto port = portNumber(slots[7]))
        target.serialPort().setCommPort(*port);
}

}  // namespace

std::string lineSettingsFor(int versionValue) {
    return versionValue == 0 ? "38400,n,8,1" : "115200,n,8,1";
}

bool callsignControlsEnabledFor(int versionValue) {
    return versionValue == 0;
}

std::string portNotAvailableMessage(int portNumber) {
    return "Com Port " + std::to_string(portNumber) + " is not available. Check Com Port setting.";
}

void runStartup(StartupTarget& target) {
    target.writeActive("N");
    if (target.loadSettings() != LoadOutcome::Loaded)
        return;
    const SettingValues slots = target.settingValues();

    // Without a ComPort line there is nothing to keep; an empty one is kept.
    if (target.settingStored(7))
        target.rememberConfiguredPortName(slots[7]);
    target.beginApplying();
    applySettings(target, slots);
    target.endApplying();

    const int version = target.checkValue(CheckBox::Version);
    SerialPort& port = target.serialPort();
    port.setSettings(lineSettingsFor(version));
    target.setCallsignControlsEnabled(callsignControlsEnabledFor(version));
    port.setInputLen(0);
    if (!port.setPortOpen(true)) {
        target.showMessage(portNotAvailableMessage(port.commPort()));
        return;
    }
    target.setPortBoxText(slots[7]);
    port.setInBufferCount(0);
    target.clearPendingCommands();
    target.setRangeIndex(2);
    target.writeActive("Y");
    target.enableTimer();
}

void runPortChoice(StartupTarget& target) {
    target.disableTimer();
    SerialPort& port = target.serialPort();
    if (port.portOpen())
        port.setPortOpen(false);
    target.saveSettings();
    runStartup(target);
}

void runShutdown(StartupTarget& target) {
    target.saveSettings();
    target.writeActive("N");
}

}  // namespace veltro
