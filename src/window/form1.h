#pragma once

#include <QMainWindow>
#include <array>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "panel/panel.h"
#include "platform/qt_timer.h"
#include "window/control_table.h"
#include "window/form1_services.h"
#include "window/outer_frame.h"

class QAction;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QScrollBar;
class QTimer;

namespace veltro {

class BarWidget;
class ColourButton;
class ScaleLabel;
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
class Form1 : public QMainWindow {
    Q_OBJECT

  public:
    explicit Form1(Form1Services services = {}, QWidget* parent = nullptr);
    ~Form1() override;

    const Form1Services& services() const { return services_; }
    // The panel's state and rules; the window shows them.
    Panel& panel() { return panel_; }
    const Panel& panel() const { return panel_; }

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

    // ---- Poll cycle handlers (form1_poll.cpp) ------------------------------
    void Timer1_Timer();
    void CmdAlarm_Click();
    void CmdPower_Click();
    void CmdCallsignSet_Click();
    void TxtCallsignSet_Change();

    // CmdAlarm's face: alarm red (192, 0, 0) or the system button face.
    QColor alarmButtonColour() const;

    // ---- Settings (form1_settings.cpp) -------------------------------------
    std::filesystem::path settingsFile() const;  // settingsDir/config.ini

    void CmdRange_Click();
    void Check1_Click();  // runs on every real change of Check1
    void Check2_Click();  // runs on every real change of Check2
    // Rewrites config.ini from the panel and the window's frame. A failed
    // write changes nothing else; a save asked for while the start-up holds
    // saves is made once it has applied everything.
    void SaveSettings();

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
    // window is restored first, unless it already stands there and
    // restoreFirst is false.
    void placeStoredFrame(std::optional<float> leftTwips, std::optional<float> topTwips,
                          std::optional<float> heightTwips, bool restoreFirst = false);
    // What a save stores: the normal (not maximized) frame of the window.
    SavedFrame savedFrame() const;

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
    void setUpScales();     // form1_scales.cpp
    void setUpKeyboard();   // form1_keyboard.cpp
    void showFocusFromTheStart();
    void resizeToDesign();
    void connectPollHandlers();        // form1_poll.cpp
    void connectSettingsHandlers();    // form1_settings.cpp
    void connectConnectionHandlers();  // form1_connection.cpp
    void connectViewHandlers();        // form1_views.cpp
    void connectRecoveryHandlers();
    PanelServices panelServices();  // makes Timer1 and the retry timer
    void applyViewStyle(float heightTwips, ViewStyle style);
    // What the panel now holds, shown; showing sets nothing off
    // (form1_settings.cpp, form1_display.cpp).
    void showControls();
    void showStep(const PanelStep& step);
    void showTick(const TickView& view);
    void showReadout(const ReadoutUpdate& update);
    void showBargraphs(const BargraphUpdate& update);
    void showPortName(const std::string& name);  // Combo1's text
    void showEvent(QShowEvent* event) override;
    // form1_desktop.cpp: the first activation runs the start-up; the frame
    // the window manager draws round the normal window is kept for saves.
    bool event(QEvent* event) override;
    void awaitFirstActivation();
    void runFirstActivation();
    QRect normalClientGeometry() const;
    int nonClientPixels() const;  // menu bar
    void closeEvent(QCloseEvent* event) override;

    // The table row each control was made from.
    const ControlEntry& entryOf(const QWidget* control) const;

    QWidget* client_ = nullptr;
    std::vector<std::pair<ControlEntry, QWidget*>> created_;  // in table order
    Form1Services services_;
    QTimer* retryTimer_ = nullptr;  // once a second while a lost device is away
    std::optional<QtTimer> timer1Control_;
    std::optional<QtTimer> retryControl_;
    Panel panel_;
    std::optional<PanelControls> shownControls_;  // as last shown
    bool activated_ = false;  // Form_Activate runs at the first activation only
    // The stored values the window was last placed at (form1_desktop.cpp).
    std::optional<PlacedTwips> placedLeft_;
    std::optional<PlacedTwips> placedTop_;
    std::optional<PlacedTwips> placedHeight_;
    QMargins normalMargins_;  // the frame as drawn round the normal window
};

}  // namespace veltro
