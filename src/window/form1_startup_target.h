#pragma once

#include <bitset>

#include "settings/config_file.h"
#include "settings/startup.h"

namespace veltro {

class Form1;

// The start-up's view of the main window: each call lands on the control or
// member it names. Value changes go through the controls, so their handlers
// run exactly as an operator's change would.
class Form1StartupTarget : public StartupTarget {
  public:
    explicit Form1StartupTarget(Form1& form) : form_(form) {}

    void writeActive(const std::string& value) override;
    LoadOutcome loadSettings() override;
    const SettingValues& settingValues() const override;
    void beginApplying() override;
    void endApplying() override;
    void rememberConfiguredPortName(const std::string& name) override;
    bool settingStored(int slot) const override;
    void placeWindow(std::optional<float> left, std::optional<float> top,
                     std::optional<float> height) override;
    void setMenuChecked(MenuMark which, bool checked) override;
    bool setPollSlider(int value) override;
    int pollSlider() const override;
    void setTimerInterval(int milliseconds) override;
    void enableTimer() override;
    void disableTimer() override;
    void setCheckValue(CheckBox which, int value) override;
    int checkValue(CheckBox which) const override;
    void setRangeMode(int value) override;
    void setRangeIndex(int value) override;
    void setCallsignControlsEnabled(bool enabled) override;
    SerialPort& serialPort() override;
    void showMessage(const std::string& text) override;
    void setPortBoxText(const std::string& text) override;
    void clearPendingCommands() override;
    void saveSettings() override;

  private:
    Form1& form_;
    std::bitset<kSettingCount> stored_;
};

}  // namespace veltro
