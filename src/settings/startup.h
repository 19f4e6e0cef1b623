#pragma once

#include <optional>
#include <string>

#include "platform/serial_port.h"
#include "settings/config_file.h"

namespace veltro {

// Menu items whose check marks the settings carry.
enum class MenuMark { Setup, Small, Vector };

// Check boxes the settings carry. Values: 0 clear, 1 checked, 2 greyed.
enum class CheckBox { Check1, Check2, OnTop, Version, HiPwr };

// Line settings and call-sign controls by chkVersion's value (0: older
// firmware at 38400 baud with the call-sign controls; else 115200 without).
std::string lineSettingsFor(int versionValue);
bool callsignControlsEnabledFor(int versionValue);

// "Com Port <n> is not available. Check Com Port setting."
std::string portNotAvailableMessage(int portNumber);

// What the start-up does to the main window. The window implements it;
// every setter that changes a check box or the slider runs that control's
// handler exactly as an operator's change would (only on a real change).
class StartupTarget {
  public:
    virtual ~StartupTarget() = default;

    // Registry value "Active": "Y" or "N".
    virtual void writeActive(const std::string& value) = 0;
    // LoadSettings on the window's config.ini into its slots, with the
    // Label22 captions as the label sink.
    virtual LoadOutcome loadSettings() = 0;
    virtual const SettingValues& settingValues() const = 0;

    // Between these two calls the window holds back the saves its handlers
    // ask for; endApplying() makes one save if any was asked for. A save in
    // the middle would write settings not yet applied from the window's
    // creation state and lose the configured ones.
    virtual void beginApplying() = 0;
    virtual void endApplying() = 0;
    // The configured ComPort text. SaveSettings writes it instead of the port
    // box's text until the box is set to it (setPortBoxText) or the operator
    // edits or chooses in the box, so a failed open cannot lose it.
    virtual void rememberConfiguredPortName(const std::string& name) = 0;
    // Whether the last load found a line with a value for the slot, even an
    // empty one; slots 0..11 only.
    virtual bool settingStored(int slot) const = 0;

    // The stored outer frame, placed at once; absent values are left as they
    // are. Never called with a negative height.
    virtual void placeWindow(std::optional<float> left, std::optional<float> top,
                             std::optional<float> height) = 0;
    // Check mark only; no view action runs.
    virtual void setMenuChecked(MenuMark which, bool checked) = 0;
    // HScroll1: false (and nothing changes) for a value outside its limits.
    virtual bool setPollSlider(int value) = 0;
    virtual int pollSlider() const = 0;
    virtual void setTimerInterval(int milliseconds) = 0;
    virtual void enableTimer() = 0;
    virtual void disableTimer() = 0;
    // Only called with 0, 1 or 2.
    virtual void setCheckValue(CheckBox which, int value) = 0;
    virtual int checkValue(CheckBox which) const = 0;
    virtual void setRangeMode(int value) = 0;
    virtual void setRangeIndex(int value) = 0;
    virtual void setCallsignControlsEnabled(bool enabled) = 0;

    virtual SerialPort& serialPort() = 0;
    // Modal, OK only; returns when the operator closes it.
    virtual void showMessage(const std::string& text) = 0;
    // Combo1's text; runs no Combo1_Click.
    virtual void setPortBoxText(const std::string& text) = 0;
    virtual void clearPendingCommands() = 0;
    virtual void saveSettings() = 0;
};

// Form_Activate: loads the settings, applies them, opens the port.
void runStartup(StartupTarget& target);

// Combo1_Click after the operator chose an item: stop, close, save, start up.
void runPortChoice(StartupTarget& target);

// Form_Unload: last save, then "Active" = "N".
void runShutdown(StartupTarget& target);

}  // namespace veltro
