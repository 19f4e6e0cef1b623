#pragma once

#include <QMainWindow>
#include <array>
#include <bitset>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <string>

#include "meter/poll_cycle.h"
#include "readout/readout.h"
#include "settings/config_file.h"
#include "settings/port_recovery.h"
#include "settings/configured_port_name.h"
#include "settings/save_hold.h"
#include "window/form1_services.h"
#include "window/outer_frame.h"

class QAction;
class QComboBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QScrollBar;
class QTimer;

namespace veltro {

class BarWidget;
class ColourButton;
class ReadingPublication;
class ScaleLabel;
struct StartupPlan;
class ValueCheckBox;

inline constexpr const char* kFormClassName = "Veltro_VCP";
inline constexpr const char* kFormCaption = "Veltro Virtual Control Panel";
// The client area the controls were laid out for, in twips.
inline constexpr int kDesignClientWidthTwips = 5835;
inline constexpr int kDesignClientHeightTwips = 4620;

// The panel's main window. Every control is a direct child of the central
// widget, placed absolutely from its rectangle in twips.
//
// Control names: each control's objectName is its name ("Label2",
// "CmdAlarm"); a member of a control array is "<name>_<index>"
// ("txtVector_0", "Label6_2", "ProgressBar1_1", "Picture2_0", "Label22_11").
// The same controls are public members below; arrays keep their indexes.
class Form1 : public QMainWindow, public PollDisplay {
    Q_OBJECT

  public:
    explicit Form1(Form1Services services = {}, QWidget* parent = nullptr);
    ~Form1() override;

    const Form1Services& services() const { return services_; }

    // objectName of a control-array member.
    static QString controlName(const char* name, int index);

    // ---- Menu -------------------------------------------------------------
    QAction* mnuFile = nullptr;
    QAction* mnuExit = nullptr;
    QAction* mnuStyle = nullptr;
    QAction* mnuSmall = nullptr;
    QAction* mnuVector = nullptr;
    QAction* mnuSetup = nullptr;
    QAction* mnuHelp = nullptr;
    QAction* mnuIndex = nullptr;
    QAction* mnuAbout = nullptr;

    // ---- Header line ------------------------------------------------------
    QLabel* Label3 = nullptr;
    QLabel* Label2 = nullptr;  // the meter's call sign

    // ---- Bargraph panel ---------------------------------------------------
    QLabel* Label7 = nullptr;
    QLabel* LblPwr = nullptr;
    QLabel* LblW = nullptr;
    ScaleLabel* Label16 = nullptr;  // forward tick strip
    QLabel* Label19 = nullptr;
    QLabel* Label35 = nullptr;
    std::map<int, ScaleLabel*> Label6;  // indexes 0, 2, 3, 4, 5 (no 1)
    QLabel* Label10 = nullptr;
    QLabel* Label11 = nullptr;
    QLabel* Label12 = nullptr;
    QLabel* Label8 = nullptr;
    ScaleLabel* Label9 = nullptr;              // SWR tick strip
    std::array<BarWidget*, 2> ProgressBar1{};  // 0 forward, 1 reflected
    std::array<BarWidget*, 1> ProgressBar3{};  // 0 SWR
    BarWidget* ProgressBar7 = nullptr;         // fixed, under the forward bar
    BarWidget* ProgressBar4 = nullptr;         // fixed, under the SWR bar
    QLineEdit* TxtSWR = nullptr;

    // ---- Button row -------------------------------------------------------
    ColourButton* CmdRange = nullptr;
    QLabel* LblRange = nullptr;
    ColourButton* CmdAlarm = nullptr;
    QLabel* LblAlarmMode = nullptr;
    QPushButton* CmdPower = nullptr;
    QLabel* Picture5 = nullptr;         // green lamp, above Picture2(0)
    std::array<QLabel*, 1> Picture2{};  // red lamp

    // ---- Vector panel -----------------------------------------------------
    std::array<QLineEdit*, 8> txtVector{};  // 0..3 values, 4..7 captions

    // ---- Setup panel ------------------------------------------------------
    QComboBox* Combo1 = nullptr;
    QPushButton* CmdCallsignSet = nullptr;
    QLineEdit* TxtCallsignSet = nullptr;
    QScrollBar* HScroll1 = nullptr;
    QLineEdit* TxtPollRate = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* Label17 = nullptr;
    QLineEdit* Text1 = nullptr;  // last accepted frame
    ValueCheckBox* Check1 = nullptr;
    QLabel* Label13 = nullptr;
    ValueCheckBox* chkOnTop = nullptr;
    QLabel* Label20 = nullptr;
    ValueCheckBox* chkHiPwr = nullptr;
    QLabel* Label24 = nullptr;
    QLabel* Label4 = nullptr;
    ValueCheckBox* Check2 = nullptr;
    QLabel* Label18 = nullptr;
    ValueCheckBox* chkVersion = nullptr;
    QLabel* Label23 = nullptr;

    // ---- Hidden area ------------------------------------------------------
    QLineEdit* Text3 = nullptr;
    std::array<QLabel*, 12> Label22{};
    QTimer* Timer1 = nullptr;

    // ---- Meter link and readout state --------------------------------------
    // The poll cycle with the reading record, the pending command flags and
    // CallsignToSend (empty until TxtCallsignSet is first edited).
    PollCycle pollCycle;
    // 0 25 W, 1 250 W, 2 2500 W/10 kW, 3 Auto. Starts at 3, the settings
    // file's default, which LblRange ("Auto") shows at creation.
    int RangeMode = 3;
    // 0 highest .. 2 lowest power range; 2 until the start-up sets it.
    int RangeIndex = 2;

    // ---- Poll cycle handlers (form1_poll.cpp) ------------------------------
    void Timer1_Timer();
    void CmdAlarm_Click();
    void CmdPower_Click();
    void CmdCallsignSet_Click();
    void TxtCallsignSet_Change();

    // ---- PollDisplay: what a poll cycle does to the window -----------------
    int versionValue() const override;                            // chkVersion
    void setLinkLamp(bool green) override;                        // Picture5
    void showInputString(const std::string& frameText) override;  // Text1
    void publishReading(const std::string& readingText) override;
    void showCallsign(const std::string& callsign) override;  // Label2
    void updateReadout(ReadingRecord& record) override;       // form1_display.cpp
    void updateBargraphs(ReadingRecord& record) override;     // form1_display.cpp

    // CmdAlarm's face: alarm red (192, 0, 0) or the system button face.
    void setAlarmColour(AlarmColour colour);
    QColor alarmButtonColour() const;

    // ---- Settings (form1_settings.cpp) -------------------------------------
    // Fourteen slots from config.ini, kept for the window's life; SaveSettings
    // reads slot 2 back.
    veltro::SettingValues SettingValues{};
    // Set while config.ini exists but could not be read: saves leave it be.
    bool keepUnreadableSettingsFile = false;
    // Set while the last start-up read config.ini. Before that, and with the
    // defaults just written or an unreadable file kept, the window holds
    // nothing configured: the unload leaves the file as it is.
    bool settingsLoaded = false;
    std::filesystem::path settingsFile() const;  // settingsDir/config.ini

    void CmdRange_Click();
    void Check1_Click();  // runs on every real change of Check1
    void Check2_Click();  // runs on every real change of Check2
    // Rewrites config.ini from the window. A failed write changes nothing
    // else; a save asked for while saves are held is made on release.
    void SaveSettings();
    SettingsSnapshot settingsSnapshot() const;

    // Saves asked for between holdSaves() and releaseHeldSaves(), while the
    // start-up applies the settings, are merged into one, made on release.
    void holdSaves();
    void releaseHeldSaves();
    // While set, ComPort is saved as this name instead of the port box's
    // text. Forgotten when the operator edits the box or chooses an item.
    void setConfiguredPortName(const std::string& name);
    void forgetConfiguredPortName();

    // ---- Start-up, connection and shutdown (form1_startup.cpp,
    // form1_connection.cpp) ---------------------------------------------------
    // Form_Activate runs at the window's first activation, and again from
    // Combo1_Click; it needs a port and a settings folder.
    void Form_Activate();
    void Combo1_Click();
    void chkVersion_Click();
    void HScroll1_Change();
    void Form_Unload();
    void mnuExit_Click();
    // Outer window geometry in twips, as config.ini keeps it (form1_desktop.cpp).
    // Places the frame at the stored position and height in one request; an
    // absent or implausible value leaves that part as it is. A maximized
    // window is restored first, unless it already stands there.
    void placeStoredFrame(std::optional<float> leftTwips, std::optional<float> topTwips,
                          std::optional<float> heightTwips);
    // What a save stores: the normal (not maximized) frame of the window.
    SavedFrame savedFrame() const;
    void writeActive(bool active);  // "Active" = "Y" / "N"

    // ---- A lost device and its quiet reopening (form1_recovery.cpp) --------
    // Runs when the port reports its device gone; then retries once a second.
    void portLost();
    void retryLostPort();
    // Ends the retries (a port choice, the window's unloading).
    void stopPortRetries();

    // ---- View styles and window commands (form1_views.cpp) -----------------
    void mnuSmall_Click();
    void mnuVector_Click();
    void mnuSetup_Click();
    void chkOnTop_Click();
    void SetTopmost(QWidget& window, bool onTop);
    void mnuAbout_Click();
    void mnuIndex_Click();

    // The frame the window manager draws round the client window.
    QMargins frameMargins() const;

    // Places every control from its twips rectangle at the current DPI.
    void layoutControls();
    QWidget* clientArea() const { return client_; }

  signals:
    // After every save SaveSettings makes (not a held one); ok is false when
    // the file could not be written.
    void settingsSaved(bool ok);

  private:
    void buildMenu();
    void createControls();  // form1_controls.cpp
    void useCachedBoxFrames();
    void bindControls();    // form1_controls.cpp
    void setUpScales();     // form1_scales.cpp
    void setUpKeyboard();   // form1_keyboard.cpp
    void showFocusFromTheStart();
    void resizeToDesign();
    void connectPollHandlers();        // form1_poll.cpp
    void connectSettingsHandlers();    // form1_settings.cpp
    void connectConnectionHandlers();  // form1_connection.cpp
    void connectViewHandlers();        // form1_views.cpp
    void connectRecoveryHandlers();    // form1_recovery.cpp
    void disconnectRecoveryHandlers();
    void applyViewStyle(float heightTwips, QAction* chosen);
    LoadOutcome loadSettingsFile();
    void applyStartupPlan(const StartupPlan& plan);
    void openConfiguredPort(const StartupPlan& plan);
    void showPortName(const std::string& name);  // Combo1's text; no Combo1_Click
    void showEvent(QShowEvent* event) override;
    // form1_desktop.cpp: the first activation runs the start-up; the frame
    // the window manager draws round the normal window is kept for saves.
    bool event(QEvent* event) override;
    void awaitFirstActivation();
    void runFirstActivation();
    QRect normalClientGeometry() const;
    int nonClientPixels() const;  // menu bar
    void closeEvent(QCloseEvent* event) override;

    template <typename T>
    T* control(const QString& objectName) const;

    QWidget* client_ = nullptr;
    Form1Services services_;
    std::unique_ptr<ReadingPublication> publication_;
    SaveHold saveHold_;
    ConfiguredPortName configuredPortName_;
    std::bitset<kSettingCount> storedSlots_;  // lines the last load found
    bool activated_ = false;  // Form_Activate runs at the first activation only
    // The stored values the window was last placed at (form1_desktop.cpp).
    std::optional<PlacedTwips> placedLeft_;
    std::optional<PlacedTwips> placedTop_;
    std::optional<PlacedTwips> placedHeight_;
    QMargins normalMargins_;  // the frame as drawn round the normal window
    PortRecovery portRecovery_;
    QTimer* retryTimer_ = nullptr;  // once a second while a lost device is away
};

}  // namespace veltro
