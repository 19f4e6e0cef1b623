#pragma once

#include <QMainWindow>
#include <array>
#include <map>
#include <string>

#include "readout/readout.h"

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
    explicit Form1(QWidget* parent = nullptr);
    ~Form1() override;

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

    // ---- Meter text and colours -------------------------------------------
    // The meter's bytes, shown literally as Latin-1 text.
    void showCallsign(const std::string& callsign);      // Label2
    void showInputString(const std::string& frameText);  // Text1
    void setAlarmColour(AlarmColour colour);             // CmdAlarm face
    QColor alarmButtonColour() const;

    // ---- Geometry ---------------------------------------------------------
    // Places every control from its twips rectangle at the current DPI.
    void layoutControls();
    QWidget* clientArea() const { return client_; }

  private:
    void buildMenu();
    void createControls();  // form1_controls.cpp
    void bindControls();    // form1_controls.cpp
    void setUpScales();     // form1_scales.cpp
    void resizeToDesign();

    template <typename T>
    T* control(const QString& objectName) const;

    QWidget* client_ = nullptr;
};

}  // namespace veltro
