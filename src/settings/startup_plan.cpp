#include "settings/startup_plan.h"

#include "settings/conversions.h"

namespace veltro {
namespace {

std::optional<int> checkBoxValue(const std::string& slot) {
    const auto value = toWholeNumber(slot);
    if (value && *value >= 0 && *value <= 2) {
        return value;
    }
    return std::nullopt;
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

int check2For(int check1Value) {
    return check1Value == 0 ? 1 : 0;
}

StartupPlan planStartup(const SettingValues& slots, const std::bitset<kSettingCount>& stored,
                        const WindowBeforeStartup& window) {
    StartupPlan plan;
    plan.frame.left = toSingle(slots[0]);
    plan.frame.top = toSingle(slots[1]);
    if (const auto height = toSingle(slots[3]); height && *height >= 0) {
        plan.frame.height = height;
    }
    plan.setupMark = toBoolean(slots[4]);
    plan.smallMark = toBoolean(slots[5]);
    plan.vectorMark = toBoolean(slots[6]);
    if (const auto rate = toWholeNumber(slots[8]);
        rate && *rate >= window.sliderMinimum && *rate <= window.sliderMaximum) {
        plan.pollSlider = rate;
    }
    plan.timerInterval = plan.pollSlider.value_or(window.sliderValue);
    plan.check1 = checkBoxValue(slots[10]);
    plan.rangeMode = toWholeNumber(slots[9]);
    plan.onTop = checkBoxValue(slots[11]);
    plan.version = checkBoxValue(slots[12]);
    plan.hiPwr = checkBoxValue(slots[13]);
    plan.commPort = portNumber(slots[7]);
    const int version = plan.version.value_or(window.version);
    plan.lineSettings = lineSettingsFor(version);
    plan.callsignControlsEnabled = callsignControlsEnabledFor(version);
    plan.portName = slots[7];
    // Without a ComPort line there is nothing to keep; an empty one is kept.
    if (stored.test(7)) {
        plan.configuredPortName = slots[7];
    }
    return plan;
}

}  // namespace veltro
