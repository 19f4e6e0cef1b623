// The window as created: names, types, texts, states, geometry and stacking
// that the rest of the panel relies on.
#include <gtest/gtest.h>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QTimer>
#include <cmath>

#include "window/bar_widget.h"
#include "window/check_mark_menu.h"
#include "window/colour_button.h"
#include "window/form1.h"
#include "window/scale_label.h"
#include "window/value_check_box.h"

namespace veltro {
namespace {

class Form1Layout : public ::testing::Test {
  protected:
    Form1 form;

    QWidget* find(const QString& name) const {
        return form.clientArea()->findChild<QWidget*>(name, Qt::FindDirectChildrenOnly);
    }
    // Pixels for twips at the screen's logical DPI, rounded to nearest.
    int px(double twips, bool vertical = false) const {
        const double dpi = vertical ? form.logicalDpiY() : form.logicalDpiX();
        return static_cast<int>(std::lround(twips * dpi / 1440.0));
    }
    QRect rectFor(int left, int top, int width, int height) const {
        return QRect(QPoint(px(left), px(top, true)),
                     QPoint(px(left + width) - 1, px(top + height, true) - 1));
    }
    int stackPosition(const QString& name) const {
        return static_cast<int>(form.clientArea()->children().indexOf(find(name)));
    }
};

TEST_F(Form1Layout, WindowIdentity) {
    EXPECT_EQ(form.objectName(), "Form1");
    EXPECT_EQ(form.property("className").toString(), "Veltro_VCP");
    EXPECT_EQ(form.windowTitle(), "Veltro Virtual Control Panel");
    EXPECT_FALSE(form.windowIcon().isNull());
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    EXPECT_EQ(form.clientArea()->size(), QSize(px(5835), px(4620, true)));
}

TEST_F(Form1Layout, MenuTreeWithAccessKeysAndNoMarks) {
    const struct {
        const char* menu;
        const char* caption;
        std::vector<std::pair<const char*, const char*>> items;
    } expected[] = {
        {"mnuFile", "&File", {{"mnuExit", "&Exit"}}},
        {"mnuStyle",
         "&Style",
         {{"mnuSmall", "&Small"}, {"mnuVector", "&Vector"}, {"mnuSetup", "&Setup"}}},
        {"mnuHelp", "&Help", {{"mnuIndex", "&Index"}, {"mnuAbout", "&About"}}},
    };
    const QList<QAction*> top = form.menuBar()->actions();
    ASSERT_EQ(top.size(), 3);
    for (int m = 0; m < 3; ++m) {
        SCOPED_TRACE(expected[m].menu);
        QAction* menuAction = top[m];
        EXPECT_EQ(menuAction->objectName(), expected[m].menu);
        EXPECT_EQ(menuAction->text(), expected[m].caption);
        const QList<QAction*> items = menuAction->menu()->actions();
        ASSERT_EQ(items.size(), static_cast<qsizetype>(expected[m].items.size()));
        for (std::size_t i = 0; i < expected[m].items.size(); ++i) {
            QAction* item = items[static_cast<qsizetype>(i)];
            EXPECT_EQ(item->objectName(), expected[m].items[i].first);
            EXPECT_EQ(item->text(), expected[m].items[i].second);
            EXPECT_TRUE(item->shortcut().isEmpty());
            EXPECT_FALSE(isMarked(item));
            EXPECT_TRUE(item->isEnabled());
            EXPECT_TRUE(item->isVisible());
            EXPECT_EQ(form.findChild<QAction*>(expected[m].items[i].first), item);
        }
    }
    EXPECT_FALSE(form.mnuSetup->isCheckable());  // Qt must not tick it by itself
    EXPECT_EQ(form.mnuStyle, top[1]);
}

struct ControlRow {
    const char* name;
    const char* type;
    const char* text;  // nullptr: no text to compare
    bool visible;
    bool enabled;
};

TEST_F(Form1Layout, ControlsAtCreation) {
    const ControlRow rows[] = {
        {"Label3", "QLabel", "Property of", true, true},
        {"Label2", "QLabel", "Label2", true, true},
        {"Label7", "QLabel", "Pwr", true, true},
        {"LblPwr", "QLabel", "2500.00", true, true},
        {"LblW", "QLabel", "W", true, true},
        {"Label19", "QLabel", "Ref", true, true},
        {"Label35", "QLabel", "Peak", true, true},
        {"Label8", "QLabel", "Swr", false, true},
        {"Label9", "veltro::ScaleLabel", nullptr, false, true},
        {"Label16", "veltro::ScaleLabel", nullptr, true, true},
        {"Label6_0", "veltro::ScaleLabel", nullptr, false, true},
        {"Label6_2", "veltro::ScaleLabel", nullptr, false, true},
        {"Label6_3", "veltro::ScaleLabel", nullptr, false, true},
        {"Label6_4", "veltro::ScaleLabel", nullptr, false, true},
        {"Label6_5", "veltro::ScaleLabel", nullptr, false, true},
        {"ProgressBar1_0", "veltro::BarWidget", nullptr, false, true},
        {"ProgressBar1_1", "veltro::BarWidget", nullptr, true, true},
        {"ProgressBar3_0", "veltro::BarWidget", nullptr, false, true},
        {"ProgressBar4", "veltro::BarWidget", nullptr, true, true},
        {"ProgressBar7", "veltro::BarWidget", nullptr, true, true},
        {"TxtSWR", "QLineEdit", "SWR", true, true},
        {"CmdRange", "QPushButton", "Range", true, true},
        {"LblRange", "QLabel", "Auto", true, true},
        {"CmdAlarm", "QPushButton", "Alarm", true, true},
        {"LblAlarmMode", "QLabel", "2.0", true, true},
        {"CmdPower", "QPushButton", "Power Mode", true, true},
        {"Picture5", "QLabel", nullptr, false, true},
        {"Picture2_0", "QLabel", nullptr, true, true},
        {"txtVector_0", "QLineEdit", "", true, true},
        {"txtVector_3", "QLineEdit", "", true, true},
        {"txtVector_4", "QLineEdit", "Z:", true, true},
        {"txtVector_5", "QLineEdit", "PH:", true, true},
        {"txtVector_6", "QLineEdit", "R:", true, true},
        {"txtVector_7", "QLineEdit", "X:", true, true},
        {"Combo1", "QComboBox", nullptr, true, true},
        {"CmdCallsignSet", "QPushButton", "Set", true, false},
        {"TxtCallsignSet", "QLineEdit", "Call", true, false},
        {"HScroll1", "QScrollBar", nullptr, true, true},
        {"TxtPollRate", "QLineEdit", "", true, true},
        {"Label1", "QLabel", "Poll Rate (msec)", true, true},
        {"Label17", "QLabel", "Input String", true, true},
        {"Text1", "QLineEdit", "Text1", true, true},
        {"Label13", "QLabel", "Same as Numerical", true, true},
        {"Label20", "QLabel", "Always on Top", true, true},
        {"Label24", "QLabel", "High Power Coupler", true, true},
        {"Label4", "QLabel", "Bargraph:", true, true},
        {"Label18", "QLabel", "Always Fast", true, true},
        {"Label23", "QLabel", "v1.2.0.0 or newer", true, true},
        {"Check1", "QCheckBox", "", true, true},
        {"Check2", "QCheckBox", "", true, true},
        {"chkOnTop", "QCheckBox", "", true, true},
        {"chkHiPwr", "QCheckBox", "", true, true},
        {"chkVersion", "QCheckBox", "", true, true},
        {"Text3", "QLineEdit", "Text3", true, true},
        {"Label22_0", "QLabel", "Label22", true, true},
        {"Label22_11", "QLabel", "Label22", true, true},
    };
    for (const ControlRow& row : rows) {
        SCOPED_TRACE(row.name);
        QWidget* widget = find(row.name);
        ASSERT_NE(widget, nullptr);
        EXPECT_TRUE(widget->inherits(row.type));
        EXPECT_EQ(!widget->isHidden(), row.visible);
        EXPECT_EQ(widget->isEnabled(), row.enabled);
        if (!row.text) {
            continue;
        }
        if (auto* label = qobject_cast<QLabel*>(widget)) {
            EXPECT_EQ(label->text(), row.text);
            EXPECT_EQ(label->textFormat(), Qt::PlainText);
        } else if (auto* box = qobject_cast<QLineEdit*>(widget)) {
            EXPECT_EQ(box->text(), row.text);
        } else if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
            EXPECT_EQ(button->text(), row.text);
        }
    }
    for (ValueCheckBox* box :
         {form.Check1, form.Check2, form.chkOnTop, form.chkHiPwr, form.chkVersion}) {
        EXPECT_EQ(box->value(), 0);
    }
}

TEST_F(Form1Layout, MembersAreTheNamedControls) {
    EXPECT_EQ(form.Label2, find("Label2"));
    EXPECT_EQ(form.txtVector[5], find("txtVector_5"));
    EXPECT_EQ(form.ProgressBar1[1], find("ProgressBar1_1"));
    EXPECT_EQ(form.Label22[7], find("Label22_7"));
    EXPECT_EQ(form.Picture2[0], find("Picture2_0"));
    std::vector<int> label6Indexes;
    for (const auto& [index, label] : form.Label6) {
        label6Indexes.push_back(index);
        EXPECT_EQ(label, find(Form1::controlName("Label6", index)));
    }
    EXPECT_EQ(label6Indexes, (std::vector<int>{0, 2, 3, 4, 5}));
    EXPECT_EQ(find("Label6_1"), nullptr);
}

TEST_F(Form1Layout, ScaleCaptionsExactlyAsDesigned) {
    const struct {
        QLabel* label;
        const char* text;
        int length;
    } rows[] = {
        {form.Label6[0],
         "   .1            .2                 .5              1             2                 5 "
         "           10              25",
         115},
        {form.Label6[3],
         "1             2                 5              10          20               50        "
         " 100           250",
         104},
        {form.Label6[4],
         "10         20               50          100        200             500      1000     "
         "   2500",
         92},
        {form.Label6[5],
         "   40          80              200         400        800             2K         4K  "
         "         10K",
         97},
        {form.Label6[2],
         "1    1.2      1.5            2.0              3.0         4.0      5.0               "
         "7.0        10.0   ",
         103},
        {form.Label16,
         "  |'''''''''''''''|'''''''''''''''''|''''''''''''''''|''''''''''''''|''''''''''''''''''"
         "''|''''''''|''''''|'''''''|''''''|''''| ",
         127},
        {form.Label9,
         " | ' ' | ' ' ' ' | ' ' ' ' ' ' | ' ' ' ' ' ' ' | ' ' ' ' ' | ' ' ' ' | ' ' ' ' ' ' ' | "
         "' ' ' ' ' ' | ",
         101},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.label->objectName().toStdString());
        EXPECT_EQ(row.label->text(), QString::fromLatin1(row.text));
        EXPECT_EQ(row.label->text().size(), row.length);
    }
}

TEST_F(Form1Layout, RectanglesInTwipsAtScreenDpi) {
    const struct {
        const char* name;
        int left, top, width, height;
    } rows[] = {
        {"Label3", 1680, 0, 1095, 255},          {"ProgressBar7", 600, 360, 3795, 225},
        {"ProgressBar1_0", 600, 360, 3795, 225}, {"LblW", 5300, 480, 255, 255},
        {"Label16", 540, 600, 3855, 255},        {"Label6_0", 480, 840, 3975, 255},
        {"Label10", 600, 1275, 735, 45},         {"Label12", 1800, 1275, 2580, 45},
        {"Label9", 600, 1560, 3855, 135},        {"Picture5", 5040, 2040, 255, 255},
        {"txtVector_5", 1560, 2520, 375, 285},   {"Combo1", 120, 3120, 855, 315},
        {"chkHiPwr", 4680, 4005, 255, 255},      {"Label24", 4920, 3960, 1335, 495},
        {"Label22_11", 480, 7800, 615, 255},     {"Text3", 3840, 5400, 615, 375},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(find(row.name)->geometry(), rectFor(row.left, row.top, row.width, row.height));
    }
    if (form.logicalDpiX() == 96) {
        EXPECT_EQ(form.Picture5->size(), QSize(17, 17));
        EXPECT_EQ(form.Picture5->pixmap().size(), QSize(15, 15));
    }
}

TEST_F(Form1Layout, PortBoxListAndText) {
    const QStringList items{"Com01", "Com02", "Com03",  "Com04", "Com05", "Com06",
                            "Com07", "Com08", "Com09 ", "Com10", "Com11", "Com12",
                            "Com13", "Com14", "Com15",  "Com16"};
    ASSERT_EQ(form.Combo1->count(), items.size());
    for (int i = 0; i < items.size(); ++i) {
        EXPECT_EQ(form.Combo1->itemText(i), items[i]);
    }
    EXPECT_TRUE(form.Combo1->isEditable());
    EXPECT_EQ(form.Combo1->currentText(), "Com1");
    form.Combo1->setCurrentIndex(8);
    EXPECT_EQ(form.Combo1->currentText(), "Com09 ");
}

TEST_F(Form1Layout, PollRateSliderAndTimer) {
    EXPECT_EQ(form.HScroll1->orientation(), Qt::Horizontal);
    EXPECT_EQ(form.HScroll1->value(), 50);
    EXPECT_EQ(form.HScroll1->minimum(), 50);
    EXPECT_EQ(form.HScroll1->maximum(), 5000);
    EXPECT_EQ(form.HScroll1->singleStep(), 10);
    EXPECT_EQ(form.HScroll1->pageStep(), 100);
    EXPECT_EQ(form.Timer1->objectName(), "Timer1");
    EXPECT_TRUE(form.Timer1->isActive());
    EXPECT_EQ(form.Timer1->interval(), 200);
}

TEST_F(Form1Layout, FixedBarsZonesAndButtonColours) {
    const struct {
        BarWidget* bar;
        float min, max;
    } bars[] = {{form.ProgressBar7, 120, 920},
                {form.ProgressBar4, 0, 499},
                {form.ProgressBar1[0], 0, 100},
                {form.ProgressBar1[1], 1, 2000},
                {form.ProgressBar3[0], 0, 100}};
    for (const auto& row : bars) {
        SCOPED_TRACE(row.bar->objectName().toStdString());
        EXPECT_EQ(row.bar->min(), row.min);
        EXPECT_EQ(row.bar->max(), row.max);
        EXPECT_EQ(row.bar->value(), row.min);
        EXPECT_EQ(row.bar->fillFraction(), 0.0);
    }
    const struct {
        QLabel* label;
        QColor colour;
    } zones[] = {{form.Label10, QColor(0, 192, 0)},
                 {form.Label11, QColor(255, 255, 0)},
                 {form.Label12, QColor(192, 0, 0)}};
    for (const auto& zone : zones) {
        EXPECT_TRUE(zone.label->autoFillBackground());
        EXPECT_EQ(zone.label->palette().color(QPalette::Window), zone.colour);
    }
    const QColor face = QApplication::palette().color(QPalette::Button);
    EXPECT_EQ(form.alarmButtonColour(), face);
    form.CmdAlarm->setFaceColour(QColor(192, 0, 0));
    EXPECT_EQ(form.alarmButtonColour(), QColor(192, 0, 0));
    EXPECT_EQ(form.CmdAlarm->palette().color(QPalette::Button), QColor(192, 0, 0));
    form.CmdAlarm->setFaceColour(QColor());
    EXPECT_EQ(form.alarmButtonColour(), face);
}

TEST_F(Form1Layout, StackingOfBarsLampsAndLabels) {
    EXPECT_GT(stackPosition("ProgressBar1_0"), stackPosition("ProgressBar7"));
    EXPECT_GT(stackPosition("ProgressBar3_0"), stackPosition("ProgressBar4"));
    EXPECT_GT(stackPosition("Picture5"), stackPosition("Picture2_0"));
    EXPECT_GT(stackPosition("ProgressBar1_1"), stackPosition("Label16"));
    EXPECT_GT(stackPosition("ProgressBar7"), stackPosition("Label6_2"));
}

}  // namespace
}  // namespace veltro
