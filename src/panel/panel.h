#pragma once
// The panel's state and rules without widgets. Operator actions, ticks and
// what the port read come in as calls; what the window shows comes out as
// values (controls(), timer(), the steps). The window never holds state the
// panel needs, and the panel never touches a widget.

#include <array>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "meter/poll_cycle.h"
#include "panel/settings_session.h"
#include "platform/serial_port.h"
#include "platform/settings_store.h"
#include "platform/timer.h"
#include "readout/bargraphs.h"
#include "readout/publication.h"
#include "readout/readout.h"
#include "settings/startup_plan.h"

namespace veltro {

// The poll-rate slider in milliseconds: bounds and steps as designed.
struct PollSliderDesign {
    int minimum = 50;
    int maximum = 5000;
    int singleStep = 10;
    int pageStep = 100;
    int atCreation = 50;
};
inline constexpr PollSliderDesign kPollSlider{};
inline constexpr int kTimer1IntervalAtCreation = 200;

enum class ViewStyle { Small, Vector, Setup };

// The values of the controls the panel drives outside the readout.
struct PanelControls {
    int check1 = 0;  // "Same as Numerical"
    int check2 = 0;  // "Always Fast"
    int onTop = 0;
    int version = 0;  // chkVersion
    int hiPwr = 0;
    int pollSlider = kPollSlider.atCreation;
    std::string pollRateText;           // TxtPollRate
    std::string versionText = "Text3";  // Text3
    bool callsignEnabled = false;       // CmdCallsignSet and TxtCallsignSet
    bool setupMark = false;
    bool smallMark = false;
    bool vectorMark = false;
    std::string portBoxText = "Com1";  // Combo1
    std::array<std::string, 12> slotLabels;  // Label22 0..11
    bool lampGreen = false;                  // Picture5 shown
    bool operator==(const PanelControls&) const = default;
};

// What a step asks of the window besides showing controls().
struct PanelStep {
    std::optional<std::string> message;  // a message box, once all else is shown
};

// What one tick shows. Nothing for a closed port; only the red lamp for a
// rejected reply; for an accepted frame the readout and the bars.
struct TickView {
    CycleResult result = CycleResult::PortClosed;
    ReadoutUpdate readout;
    BargraphUpdate bargraphs;
};

// Any pointer may be null: without a port ticks do nothing and nothing
// starts up, without a store nothing is published.
struct PanelServices {
    SerialPort* port = nullptr;
    SettingsStore* store = nullptr;
    Timer* timer1 = nullptr;      // the poll timer
    Timer* retryTimer = nullptr;  // once a second while a lost device is away
    std::filesystem::path settingsFile;  // empty: nothing is loaded or saved
    // Where the window stands, read at each save.
    std::function<SavedFrame()> frame;
    // Told of each save as it is made: false when the file could not be
    // written.
    std::function<void(bool written)> saved;
    // SetTopmost: the window joins (true) or leaves the topmost group.
    std::function<void(bool onTop)> setTopmost;
};

// The bargraph-source pair ("Same as Numerical", "Always Fast"): what a
// box's click action, and the bars, set the other box to. Checked unless
// this one is (value 1); a greyed box (2) counts as not checked.
int otherOfPair(int value);

class Panel {
  public:
    explicit Panel(PanelServices services);

    // ---- The poll cycle and its buttons ----
    TickView tick();  // Timer1_Timer
    void requestAlarm() { cycle_.requestAlarm(); }
    void requestPowerMode() { cycle_.requestPowerMode(); }
    void requestCallsign() { cycle_.requestCallsign(); }
    void callsignTextChanged(std::string_view bytes) { cycle_.callsignTextChanged(bytes); }

    // ---- Changes, the operator's or the program's: each runs the control's
    // action (Check1_Click, Check2_Click, chkOnTop_Click, chkVersion_Click,
    // HScroll1_Change) when the value really changes ----
    void rangeClicked();  // CmdRange_Click
    void check1Changed(int value);
    void check2Changed(int value);
    void onTopChanged(int value);
    void versionChanged(int value);
    void hiPwrChanged(int value) { controls_.hiPwr = value; }  // no action
    void sliderChanged(int value);
    // The port box's text; an edit by the operator also forgets the
    // configured name kept aside.
    void portBoxShows(std::string text) { controls_.portBoxText = std::move(text); }
    void portBoxEdited() { session_.forgetPortName(); }
    // Combo1_Click up to its start-up: stop, close, save.
    void portChosen(std::string item);
    // A Style command once the window has its height: marks, then the save.
    void styleChosen(ViewStyle style);
    void save();  // SaveSettings

    // ---- Start-up, shutdown ----
    // Form_Activate up to the frame: "Active" = "N", config.ini loaded. A
    // plan when there is one to apply; the window places its frame from it,
    // then calls finishStartup.
    std::optional<StartupPlan> beginStartup();
    PanelStep finishStartup(const StartupPlan& plan);
    void unload();  // Form_Unload

    // ---- A device lost from the open port, reopened quietly ----
    void portLost();
    void retryPort();  // each tick of the retry timer

    // ---- State, for the window and for tests ----
    const PanelControls& controls() const { return controls_; }
    int rangeMode() const { return rangeMode_; }
    int rangeIndex() const { return rangeIndex_; }
    PollCycle& pollCycle() { return cycle_; }
    const PollCycle& pollCycle() const { return cycle_; }
    SettingsSession& session() { return session_; }
    const SettingsSession& session() const { return session_; }
    bool retrying() const { return retrying_; }
    void setRangeMode(int mode) { rangeMode_ = mode; }  // tests

  private:
    void saveSettings();
    void writeActive(bool active);
    void stopRetries();
    void setTimer1(int intervalMs);
    void startTimer1();
    void stopTimer1();

    PanelServices services_;
    std::unique_ptr<ReadingPublication> publication_;
    SettingsSession session_;
    PollCycle cycle_;
    PanelControls controls_;
    // 0 25 W, 1 250 W, 2 2500 W/10 kW, 3 Auto. Starts at 3, the settings
    // file's default, which LblRange ("Auto") shows at creation.
    int rangeMode_ = 3;
    int rangeIndex_ = 2;  // 0 highest .. 2 lowest power range
    bool retrying_ = false;
};

}  // namespace veltro
