// Whole poll cycles through the real window on a fake port: readout texts,
// colours, bars and scales, commands, and rejected replies.
#include <gtest/gtest.h>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QElapsedTimer>
#include <QScrollBar>
#include <QTest>
#include <QThread>
#include <QTimer>

#include "meter/status_frame.h"
#include "window/bar_widget.h"
#include "window/colour_button.h"
#include "window/fakes.h"
#include "window/form1.h"
#include "window/scale_label.h"
#include "window/value_check_box.h"

namespace veltro {
namespace {

using veltro::testing::FakePort;
using veltro::testing::RecordingStore;

class Form1Poll : public ::testing::Test {
  protected:
    FakePort port;
    RecordingStore store;
    Form1 form{Form1Services{QString(), &port, &store, nullptr}};

    void SetUp() override { form.Timer1->stop(); }

    // One tick that reads `frame`.
    void tickWith(const std::string& frame) {
        port.incoming = frame;
        form.Timer1_Timer();
    }
    static FrameFields fields(double watts, double dbm, double swr) {
        FrameFields f;
        f.forwardPower = watts;
        f.powerDbm = dbm;
        f.swr = swr;
        f.callsign = "W1AW";
        return f;
    }
};

TEST_F(Form1Poll, AcceptedFrameRefreshesEveryDisplay) {
    FrameFields f = fields(100, 50.0, 1.5);
    f.impedance = 50;
    f.phase = 0;
    f.alarmSetting = 1;
    f.powerMode = 0;
    const std::string frame = buildFrame(f);
    tickWith(frame);

    EXPECT_EQ(port.written, std::vector<std::string>{";P?"});
    EXPECT_TRUE(form.Picture5->isVisibleTo(&form));
    EXPECT_EQ(form.Text1->text(), QString::fromLatin1(frame));
    EXPECT_EQ(form.Label2->text(), "W1AW  ");
    EXPECT_EQ(form.txtVector[0]->text(), "50");
    EXPECT_EQ(form.txtVector[3]->text(), "0");
    FrameFields wide = f;
    wide.impedance = 56.3;
    wide.phase = 12.4;
    tickWith(buildFrame(wide));
    for (std::size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(form.txtVector[i]->cursorPosition(), 0) << i;  // narrow boxes show the start
    }
    // The same number again still brings a box the operator scrolled back to its start.
    form.txtVector[0]->setCursorPosition(3);
    form.TxtSWR->selectAll();
    tickWith(buildFrame(wide));
    EXPECT_EQ(form.txtVector[0]->cursorPosition(), 0);
    EXPECT_FALSE(form.TxtSWR->hasSelectedText());
    EXPECT_EQ(form.Label35->text(), "Norm");
    EXPECT_EQ(form.LblRange->text(), "Auto");
    EXPECT_EQ(form.LblAlarmMode->text(), "1.5");
    EXPECT_EQ(form.alarmButtonColour(), QColor(192, 0, 0));
    EXPECT_EQ(form.LblPwr->text(), "100.00");
    EXPECT_EQ(form.TxtSWR->text(), "1.50");
    ASSERT_FALSE(store.writes.empty());
    EXPECT_EQ(store.writes.back(), std::make_tuple(std::string("RAREduzo"), std::string("Settings"),
                                                   std::string("Reading"), std::string("50.0")));
}

struct ReadoutRow {
    double watts, dbm, swr;
    int alarm, mode, meterRange, rangeMode, hiPwr;
    const char* vector0;
    const char* modeCaption;
    const char* rangeCaption;
    int rangeIndex;
    const char* alarmCaption;
    bool red;
    const char* power;
    const char* swrText;
};

TEST_F(Form1Poll, ReadoutTable) {
    const ReadoutRow rows[] = {
        {100, 50.0, 1.5, 1, 1, 0, 0, 0, "50", "Peak", " 25 ", 2, "1.5", true, "100.00", "1.50"},
        {1, 30.0, 1.5, 1, 2, 0, 1, 0, "50", "Tune", " 250", 1, "1.5", false, "1.00", "1.50"},
        {2500, 64.0, 3.0, 4, 0, 0, 2, 1, "50", "Norm", "10K", 0, "3.0", true, "2500.00", "3.00"},
        {0, 0, 3.0, 5, 0, 1, 2, 0, "0.00", "Norm", "2500", 0, "User", true, "0.00", "3.00"},
        {5, 15.0, 1.2, 3, 0, 1, 3, 0, "0.00", "Norm", "Auto", 1, "2.5", false, "5.00", "1.20"},
        {0.004, 15.1, 1.0, 2, 0, 2, 3, 2, "50", "Norm", "Auto", 2, "2.0", false, "0.00", "1.00"},
    };
    for (const ReadoutRow& row : rows) {
        SCOPED_TRACE(row.power);
        FrameFields f = fields(row.watts, row.dbm, row.swr);
        f.alarmSetting = row.alarm;
        f.powerMode = row.mode;
        f.meterRange = row.meterRange;
        form.panel().setRangeMode(row.rangeMode);
        form.chkHiPwr->setValue(row.hiPwr);
        tickWith(buildFrame(f));
        EXPECT_EQ(form.txtVector[0]->text(), row.vector0);
        EXPECT_EQ(form.Label35->text(), row.modeCaption);
        EXPECT_EQ(form.LblRange->text(), row.rangeCaption);
        EXPECT_EQ(form.panel().rangeIndex(), row.rangeIndex);
        EXPECT_EQ(form.LblAlarmMode->text(), row.alarmCaption);
        EXPECT_EQ(form.alarmButtonColour() == QColor(192, 0, 0), row.red);
        EXPECT_EQ(form.LblPwr->text(), row.power);
        EXPECT_EQ(form.TxtSWR->text(), row.swrText);
    }
}

// Everything a rejected reply must leave alone.
struct DisplayState {
    std::vector<QString> texts;
    std::vector<float> bars;
    std::vector<bool> shown;
    QColor alarm;

    static DisplayState of(const Form1& form) {
        DisplayState s;
        for (QLineEdit* box : form.txtVector) {
            s.texts.push_back(box->text());
        }
        for (QLabel* label :
             {form.Label2, form.Label35, form.LblRange, form.LblAlarmMode, form.LblPwr}) {
            s.texts.push_back(label->text());
        }
        s.texts.push_back(form.TxtSWR->text());
        s.texts.push_back(form.Text1->text());
        for (BarWidget* bar : {form.ProgressBar1[0], form.ProgressBar1[1], form.ProgressBar3[0]}) {
            s.bars.insert(s.bars.end(), {bar->min(), bar->max(), bar->value()});
            s.shown.push_back(!bar->isHidden());
        }
        for (const auto& [index, label] : form.Label6) {
            s.shown.push_back(!label->isHidden());
        }
        s.alarm = form.alarmButtonColour();
        return s;
    }
    bool operator==(const DisplayState&) const = default;
};

TEST_F(Form1Poll, RejectedReplyOnlyTurnsTheLampRed) {
    FrameFields f = fields(100, 50.0, 2.5);
    f.alarmSetting = 2;
    tickWith(buildFrame(f));
    const DisplayState before = DisplayState::of(form);
    const auto readingsPublished = store.writes.size();

    for (const std::string& junk :
         {std::string(), buildFrame(f).substr(0, 42), std::string(43, 'x'),
          buildFrame(f) + buildFrame(f), std::string("\0\r\n<b>", 6)}) {
        tickWith(junk);
        EXPECT_FALSE(form.Picture5->isVisibleTo(&form));
        EXPECT_TRUE(DisplayState::of(form) == before);
    }
    EXPECT_EQ(store.writes.size(), readingsPublished);
}

TEST_F(Form1Poll, ClosedPortTicksChangeNothing) {
    tickWith(buildFrame(fields(100, 50.0, 1.5)));
    const DisplayState before = DisplayState::of(form);
    port.open = false;
    port.written.clear();
    form.CmdAlarm_Click();
    tickWith(buildFrame(fields(5, 37.0, 1.1)));
    EXPECT_TRUE(form.Picture5->isVisibleTo(&form));
    EXPECT_TRUE(DisplayState::of(form) == before);
    EXPECT_TRUE(port.written.empty());
    EXPECT_TRUE(form.panel().pollCycle().AlarmCommandPending);
}

// After the event loop stalls for one and a half intervals the polls still
// come a full interval apart: each tick times the next from itself.
TEST_F(Form1Poll, PollsStayAnIntervalApartAfterAStall) {
    constexpr int kIntervalMs = 100;
    QElapsedTimer clock;
    clock.start();
    std::vector<qint64> polls;
    QObject::connect(form.Timer1, &QTimer::timeout, [&] { polls.push_back(clock.nsecsElapsed()); });
    form.HScroll1->setValue(kIntervalMs);  // restarts the timer at that interval
    QTimer::singleShot(0, [] { QThread::msleep(kIntervalMs * 3 / 2); });
    ASSERT_TRUE(QTest::qWaitFor([&] { return polls.size() >= 3; }, 20 * kIntervalMs));
    for (std::size_t i = 1; i < polls.size(); ++i) {
        EXPECT_GE(polls[i] - polls[i - 1], (kIntervalMs - 1) * 1000000LL) << i;
    }
}

TEST_F(Form1Poll, ButtonsRaiseFlagsThatTheNextGoodFrameSends) {
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    form.TxtCallsignSet->setEnabled(true);
    form.CmdCallsignSet->setEnabled(true);
    form.TxtCallsignSet->clear();
    QTest::keyClicks(form.TxtCallsignSet, "ab");
    EXPECT_EQ(form.panel().pollCycle().CallsignToSend, "ab    ");
    EXPECT_EQ(form.TxtCallsignSet->text(), "ab");

    QTest::mouseClick(form.CmdAlarm, Qt::LeftButton);
    QTest::mouseClick(form.CmdPower, Qt::LeftButton);
    QTest::mouseClick(form.CmdCallsignSet, Qt::LeftButton);
    QTest::keyClicks(form.TxtCallsignSet, "cdefgh");
    tickWith(buildFrame(fields(100, 50.0, 1.5)));
    // No poll in a cycle that sends commands; the call sign as typed by then.
    EXPECT_EQ(port.written, (std::vector<std::string>{";A?", ";F?", ";Cabcdef?"}));
    EXPECT_FALSE(form.panel().pollCycle().anyPending());
    port.written.clear();
    form.chkVersion->setValue(1);
    tickWith(buildFrame(fields(100, 50.0, 1.5)));
    EXPECT_EQ(port.written, std::vector<std::string>{"P"});
}

struct BarRow {
    int rangeMode, hiPwr, check1, meterRange;
    double watts, dbm, swr;
    int scaleShown;  // Label6 index shown, -1 none touched
    float min, max, forward;
    float swrValue;
};

TEST_F(Form1Poll, BargraphRows) {
    const BarRow rows[] = {
        {2, 0, 0, 0, 170, 52.3, 1.0, 4, 400, 640, 523, 0},
        {2, 1, 0, 0, 1000, 60.0, 1.0, 5, 400, 640, 540, 0},
        {2, 0, 0, 0, 3, 35.0, 1.0, 4, 400, 640, 400, 0},
        {1, 0, 0, 0, 10, 40.0, 2.0, 3, 300, 540, 400, 30.103f},
        {0, 0, 0, 0, 0.1, 20.0, 1.0, 0, 190, 440, 200, 0},
        {2, 0, 1, 0, 100, 43.9, 1.0, 4, 400, 640, 500, 0},  // same as numerical
        {0, 0, 0, 0, 0.1, 20.0, 10.0, 0, 190, 440, 200, 100},
    };
    for (const BarRow& row : rows) {
        SCOPED_TRACE(row.forward);
        form.panel().setRangeMode(row.rangeMode);
        form.chkHiPwr->setValue(row.hiPwr);
        form.Check1->setValue(row.check1);
        FrameFields f = fields(row.watts, row.dbm, row.swr);
        f.meterRange = row.meterRange;
        tickWith(buildFrame(f));
        for (BarWidget* bar : {form.ProgressBar1[0], form.ProgressBar1[1], form.ProgressBar3[0]}) {
            EXPECT_FALSE(bar->isHidden());
        }
        for (QLabel* label : {static_cast<QLabel*>(form.Label9), form.Label8,
                              static_cast<QLabel*>(form.Label6[2])}) {
            EXPECT_FALSE(label->isHidden());
        }
        for (int index : {0, 3, 4, 5}) {
            EXPECT_EQ(!form.Label6[index]->isHidden(), index == row.scaleShown) << index;
        }
        EXPECT_EQ(form.ProgressBar1[0]->min(), row.min);
        EXPECT_EQ(form.ProgressBar1[0]->max(), row.max);
        EXPECT_NEAR(form.ProgressBar1[0]->value(), row.forward, 1e-3);
        EXPECT_EQ(form.ProgressBar1[1]->min(), row.min);
        EXPECT_EQ(form.ProgressBar1[1]->max(), row.max);
        EXPECT_EQ(form.ProgressBar3[0]->min(), 0);
        EXPECT_EQ(form.ProgressBar3[0]->max(), 100);
        EXPECT_NEAR(form.ProgressBar3[0]->value(), row.swrValue, 0.05);
        EXPECT_EQ(form.Check2->value(), row.check1 == 1 ? 0 : 1);
    }
}

TEST_F(Form1Poll, AutoRangeOutsideTheScalesLeavesThePowerBars) {
    form.panel().setRangeMode(3);
    FrameFields f = fields(10, 40.0, 2.0);
    f.meterRange = 3;
    tickWith(buildFrame(f));
    EXPECT_EQ(form.panel().rangeIndex(), 3);
    EXPECT_TRUE(form.ProgressBar1[0]->isVisibleTo(&form));  // shown, limits untouched
    EXPECT_EQ(form.ProgressBar1[0]->max(), 100);
    for (int index : {0, 3, 4, 5}) {
        EXPECT_TRUE(form.Label6[index]->isHidden());
    }
    EXPECT_NEAR(form.ProgressBar3[0]->value(), 30.103, 0.05);

    f.meterRange = 1;
    tickWith(buildFrame(f));
    EXPECT_EQ(form.panel().rangeIndex(), 1);
    EXPECT_FALSE(form.Label6[3]->isHidden());
    EXPECT_EQ(form.ProgressBar1[0]->max(), 540);
}

}  // namespace
}  // namespace veltro
