// What the operator sees and types: the call sign's bytes, the Alarm
// button's painted face, TxtSWR as a display, typed port names.
#include <gtest/gtest.h>
#include <QFocusFrame>
#include <algorithm>
#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QImage>
#include <QLineEdit>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QWheelEvent>
#include <QTest>
#include <QTimer>

#include "meter/status_frame.h"
#include "window/colour_button.h"
#include "window/fakes.h"
#include "window/form1.h"
#include "window/value_check_box.h"

namespace veltro {
namespace {

class ControlRoles : public ::testing::Test {
  protected:
    testing::FakePort port;
    Form1 form{Form1Services{QString(), &port, nullptr, nullptr}};
    void SetUp() override {
        form.Timer1->stop();
        form.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    }
};

TEST_F(ControlRoles, EachTypedCharacterIsOneByteOnTheWire) {
    struct Row {
        QString typed;
        std::string sent;
    } rows[] = {
        {QString::fromUtf8("\xC3\xA9t"), "\xE9t    "},  // Latin-1 stays
        {QString::fromUtf8("\xCE\xA9"), "?     "},      // beyond Latin-1
        {QString::fromUtf8("\xF0\x9F\x98\x80"
                           "ab"),
         "?ab   "},  // beyond the BMP
    };
    for (const Row& row : rows) {
        form.TxtCallsignSet->setText(row.typed);
        form.CmdCallsignSet_Click();
        port.written.clear();
        port.incoming = buildFrame(FrameFields{});
        form.Timer1_Timer();
        EXPECT_EQ(port.written, std::vector<std::string>{";C" + row.sent + "?"})
            << row.typed.toStdString();
    }
}

TEST_F(ControlRoles, AlarmFaceIsPaintedExactlyRed) {
    form.CmdAlarm->setFaceColour(QColor(192, 0, 0));
    const QImage face = form.CmdAlarm->grab().toImage();
    const QRgb red = qRgb(192, 0, 0);
    EXPECT_EQ(face.pixel(3, face.height() / 2) & 0xFFFFFF, red & 0xFFFFFF);
    EXPECT_EQ(face.pixel(face.width() - 4, 3) & 0xFFFFFF, red & 0xFFFFFF);
    form.CmdAlarm->setFaceColour(QColor());
    const QImage normal = form.CmdAlarm->grab().toImage();
    EXPECT_NE(normal.pixel(3, normal.height() / 2) & 0xFFFFFF, red & 0xFFFFFF);
}

TEST_F(ControlRoles, DisplaysAreReadOnlyAndOutOfTheTabChain) {
    std::vector<std::pair<QLineEdit*, Qt::FocusPolicy>> rows = {
        {form.TxtSWR, Qt::NoFocus},
        {form.TxtPollRate, Qt::NoFocus},
        {form.Text3, Qt::NoFocus},
        {form.Text1, Qt::ClickFocus},  // its frame text can be selected and copied
    };
    for (QLineEdit* box : form.txtVector) {
        rows.emplace_back(box, Qt::NoFocus);
    }
    for (const auto& [box, focus] : rows) {
        EXPECT_TRUE(box->isReadOnly()) << box->objectName().toStdString();
        EXPECT_EQ(box->focusPolicy(), focus) << box->objectName().toStdString();
    }
    EXPECT_EQ(form.TxtSWR->palette().color(QPalette::Base),
              form.TxtSWR->palette().color(QPalette::Button));
}

TEST_F(ControlRoles, TabVisitsTheOperatorsControlsInOrder) {
    form.CmdCallsignSet->setEnabled(true);
    form.TxtCallsignSet->setEnabled(true);
    form.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    QStringList visited;
    for (int step = 0; step < 13; ++step) {
        QWidget* focused = QApplication::focusWidget();
        visited << focused->objectName();
        // The slider and the caption-less boxes show their focus by a frame.
        if (focused == form.HScroll1 || qobject_cast<ValueCheckBox*>(focused)) {
            const auto frames = form.clientArea()->findChildren<QFocusFrame*>();
            EXPECT_TRUE(std::any_of(frames.begin(), frames.end(), [&](QFocusFrame* frame) {
                return frame->isVisible() && frame->widget() == focused;
            })) << focused->objectName().toStdString();
        }
        QTest::keyClick(focused, Qt::Key_Tab);
    }
    EXPECT_EQ(visited, (QStringList{"CmdRange", "CmdAlarm", "CmdPower", "Combo1", "TxtCallsignSet",
                                    "CmdCallsignSet", "HScroll1", "Check1", "Check2", "chkOnTop",
                                    "chkVersion", "chkHiPwr", "CmdRange"}));
    // A click on the slider focuses it; the keys then move it.
    QTest::mouseClick(form.HScroll1, Qt::LeftButton, {}, form.HScroll1->rect().center());
    EXPECT_EQ(QApplication::focusWidget(), form.HScroll1);
    const struct {
        Qt::Key key;
        int step;
    } keys[] = {{Qt::Key_Right, 10}, {Qt::Key_PageUp, 100}, {Qt::Key_Left, -10},
                {Qt::Key_PageDown, -100}};
    for (const auto& row : keys) {
        const int before = form.HScroll1->value();
        QTest::keyClick(form.HScroll1, row.key);
        EXPECT_EQ(form.HScroll1->value(), before + row.step) << row.key;
    }
}

TEST(PortBox, KeysSentToTheBoxItselfChooseNoPort) {
    QTemporaryDir dir;
    testing::FakePort port;
    Form1 form{Form1Services{dir.path(), &port, nullptr, nullptr}};
    form.show();
    // The first start-up writes the default file and leaves the port be.
    for (int i = 0; i < 500 && !QFile::exists(dir.filePath("config.ini")); ++i) {
        QTest::qWait(10);
    }
    ASSERT_TRUE(QFile::exists(dir.filePath("config.ini")));
    QSignalSpy saves(&form, &Form1::settingsSaved);
    form.Combo1->setFocus();
    form.Combo1->lineEdit()->selectAll();
    for (const auto key : {Qt::Key_Return, Qt::Key_Enter}) {
        QTest::keyClicks(form.Combo1, "Com03");
        QTest::keyClick(form.Combo1, key);
        QApplication::processEvents();
        form.Combo1->lineEdit()->selectAll();
    }
    // Nor does a wheel turned over the closed box step to another port.
    QWheelEvent wheel(QPointF(5, 5), form.Combo1->mapToGlobal(QPointF(5, 5)), {}, {0, -120},
                      Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(form.Combo1, &wheel);
    // Combo1_Click would have saved and closed the port the fake holds open.
    EXPECT_EQ(saves.count(), 0);
    EXPECT_TRUE(port.portOpen());
    EXPECT_EQ(form.Combo1->currentText(), "Com03");
}

}  // namespace
}  // namespace veltro
