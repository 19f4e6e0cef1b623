#pragma once

#include <bitset>
#include <optional>
#include <string>

#include "settings/config_file.h"

namespace veltro {

// Line settings and call-sign controls by chkVersion's value (0: older
// firmware at 38400 baud with the call-sign controls; else 115200 without).
std::string lineSettingsFor(int versionValue);
bool callsignControlsEnabledFor(int versionValue);

// "Com Port <n> is not available. Check Com Port setting."
std::string portNotAvailableMessage(int portNumber);

// Check2 follows the value Check1 has once its own click action has run.
int check2For(int check1Value);

// The little of the window the start-up's decisions depend on, as it stands
// before anything is applied.
struct WindowBeforeStartup {
    int sliderMinimum = 0;
    int sliderMaximum = 0;
    int sliderValue = 0;
    int version = 0;  // chkVersion
};

// The stored outer frame in twips; an empty part leaves the window as it is.
struct StoredFrame {
    std::optional<float> left;
    std::optional<float> top;
    std::optional<float> height;  // never negative
    bool operator==(const StoredFrame&) const = default;
};

// What the start-up sets, in the order it is applied. An empty value did not
// convert or would be refused, and leaves its target as it was. Check
// values are 0, 1 or 2; Check2 follows Check1 (check2For).
struct StartupPlan {
    StoredFrame frame;
    std::optional<bool> setupMark;
    std::optional<bool> smallMark;
    std::optional<bool> vectorMark;
    std::optional<int> pollSlider;  // within the slider's limits
    int timerInterval = 0;          // the slider's value once applied
    std::optional<int> check1;
    std::optional<int> rangeMode;
    std::optional<int> onTop;
    std::optional<int> version;
    std::optional<int> hiPwr;
    std::optional<int> commPort;  // the port may still refuse it
    std::string lineSettings;     // by chkVersion's value once applied
    bool callsignControlsEnabled = false;
    // The ComPort text, which the port box shows once the port is open; kept
    // for the saves until then (empty when the file had no ComPort line).
    std::string portName;
    std::optional<std::string> configuredPortName;
    bool operator==(const StartupPlan&) const = default;
};

// The start-up's decisions from the loaded slots. `stored` says which slots
// the file had a line with a value for.
StartupPlan planStartup(const SettingValues& slots, const std::bitset<kSettingCount>& stored,
                        const WindowBeforeStartup& window);

}  // namespace veltro
