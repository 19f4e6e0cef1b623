// The window's own widgets: the bar, the scale labels, the value check box
// and literal meter text.
#include <gtest/gtest.h>
#include <QApplication>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <cmath>

#include "window/bar_widget.h"
#include "window/cached_frame_style.h"
#include "meter/status_frame.h"
#include "window/fakes.h"
#include "window/form1.h"
#include "window/meter_text.h"
#include "window/scale_label.h"
#include "window/scale_marks.h"
#include "window/value_check_box.h"

namespace veltro {
namespace {

// Each row is drawn twice in turn, so the second box of a kind is drawn
// from the cache the first one filled: a state missing from the key shows.
TEST(CachedFrameStyle, BoxesLookAsTheBaseStyleDrawsThem) {
    struct Row {
        QSize size;
        bool enabled;
        bool framed;
    };
    const Row rows[] = {{{60, 21}, true, true},   {{60, 21}, false, true},
                        {{61, 21}, true, true},   {{60, 30}, true, true},
                        {{60, 21}, true, false},  {{60, 21}, false, true}};
    CachedFrameStyle cached(QApplication::style()->name());
    for (int pass = 0; pass < 2; ++pass) {
        for (const Row& row : rows) {
            QLineEdit plain(QStringLiteral("12.3")), boxed(QStringLiteral("12.3"));
            boxed.setStyle(&cached);
            for (QLineEdit* box : {&plain, &boxed}) {
                box->resize(row.size);
                box->setEnabled(row.enabled);
                box->setFrame(row.framed);
            }
            EXPECT_EQ(plain.grab().toImage(), boxed.grab().toImage())
                << row.size.width() << "x" << row.size.height() << " enabled " << row.enabled;
        }
    }
}

class PaintCounter : public QObject {
  public:
    int paints = 0;
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint) {
            ++paints;
        }
        return false;
    }
};

TEST(BarWidget, RepaintsOnlyWhenWhatItShowsChanges) {
    BarWidget bar;
    bar.resize(200, 15);
    bar.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&bar));
    PaintCounter counter;
    bar.installEventFilter(&counter);
    auto settle = [] { QApplication::processEvents(); };

    bar.setMin(0);
    bar.setMax(100);
    bar.setValue(0);
    settle();
    EXPECT_EQ(counter.paints, 0);  // all as they were

    bar.setValue(42.5f);
    settle();
    EXPECT_EQ(counter.paints, 1);
    bar.setValue(42.5f);
    bar.setMax(100);
    settle();
    EXPECT_EQ(counter.paints, 1);
    bar.setMax(200);
    settle();
    EXPECT_EQ(counter.paints, 2);
}

TEST(BarWidget, FractionalValuesMoveTheEdgeSmoothly) {
    BarWidget bar;
    bar.resize(102, 12);  // 100 px trough inside the 1 px border
    bar.setMin(0);
    bar.setMax(100);
    bar.setValue(50.5f);
    EXPECT_DOUBLE_EQ(bar.fillFraction(), 0.505);
    const QImage image = bar.grab().toImage().convertToFormat(QImage::Format_RGB32);
    const int y = 6;
    const QRgb fill = bar.fillColour().rgb();
    const QRgb trough = image.pixel(95, y);
    EXPECT_EQ(image.pixel(10, y), fill);
    EXPECT_NE(trough, fill);
    // The trough starts at x = 1, so the edge falls half way through pixel 51.
    const QRgb edge = image.pixel(51, y);
    EXPECT_NE(edge, fill);
    EXPECT_NE(edge, trough);
    EXPECT_EQ(image.pixel(52, y), trough);

    const struct {
        float min, max, value;
        double fraction;
    } rows[] = {{120, 920, 120, 0}, {120, 920, 1000, 1}, {120, 920, 0, 0},
                {0, 0, 5, 0},       {10, 5, 7, 0},       {1, 2000, 1000.5f, 0.5}};
    for (const auto& row : rows) {
        bar.setMin(row.min);
        bar.setMax(row.max);
        bar.setValue(row.value);
        EXPECT_NEAR(bar.fillFraction(), row.fraction, 1e-6);
    }
}

TEST(ScaleMarks, NumbersSitAtTheirPlacesOnTheBar) {
    const struct {
        std::vector<ScaleMark> marks;
        std::size_t index;
        const char* text;
        double fraction;
    } rows[] = {
        {powerScaleMarks("   .1   25", 190, 440), 0, ".1", 0.04},
        {powerScaleMarks("   .1   25", 190, 440), 1, "25", (439.794 - 190) / 250},
        {powerScaleMarks("1  250", 300, 540), 0, "1", 0},
        {powerScaleMarks("10  2500", 400, 640), 1, "2500", (639.794 - 400) / 240},
        {powerScaleMarks("   40  10K", 400, 640, 60), 0, "40", (460.206 - 460) / 240},
        {powerScaleMarks("   40  10K", 400, 640, 60), 1, "10K", 1},
        {swrScaleMarks("1    2.0   10.0   "), 0, "1", 0},
        {swrScaleMarks("1    2.0   10.0   "), 1, "2.0", 0.30103},
        {swrScaleMarks("1    2.0   10.0   "), 2, "10.0", 1},
    };
    for (const auto& row : rows) {
        ASSERT_GT(row.marks.size(), row.index);
        EXPECT_EQ(row.marks[row.index].text, row.text);
        EXPECT_NEAR(row.marks[row.index].fraction, row.fraction, 1e-4) << row.text;
    }
}

TEST(ScaleMarks, TickStrips) {
    const auto swr = ticksAtMajors(" | ' ' | ' | ", {0, 0.3, 0.9});
    ASSERT_EQ(swr.size(), 6u);
    const double expected[] = {0, 0.1, 0.2, 0.3, 0.6, 0.9};
    for (std::size_t i = 0; i < swr.size(); ++i) {
        EXPECT_NEAR(swr[i].fraction, expected[i], 1e-12) << i;
    }
    const auto forward = ticksByIndex("  |''|'| ");
    ASSERT_EQ(forward.size(), 6u);
    EXPECT_EQ(forward.front().fraction, 0);
    EXPECT_EQ(forward.back().fraction, 1);
    EXPECT_NEAR(forward[1].fraction, 0.2, 1e-12);
    EXPECT_TRUE(ticksByIndex("no ticks").empty());
}

TEST(ScaleMarks, WindowScalesLineUpWithTheBars) {
    Form1 form;
    for (auto& [index, label] : form.Label6) {
        label->show();
    }
    form.Label9->show();
    const BarWidget* bar = form.ProgressBar3[0];
    auto barX = [bar](double fraction) { return bar->x() + fraction * bar->width(); };
    auto markCentre = [](ScaleLabel* label, int i) {
        const ScaleMark& mark = label->marks()[static_cast<std::size_t>(i)];
        return label->x() + label->markLeft(i) +
               label->fontMetrics().horizontalAdvance(mark.text) / 2.0;
    };
    // "10" on the 250 W scale, "2.0" on the SWR scale: well inside, so not clamped.
    ScaleLabel* scale250 = form.Label6[3];
    EXPECT_NEAR(markCentre(scale250, 3), barX((400 - 300) / 240.0), 1.0);
    ScaleLabel* swr = form.Label6[2];
    EXPECT_NEAR(markCentre(swr, 3), barX(std::log10(2.0)), 1.0);
    // The SWR tick strip's majors sit under the SWR numbers.
    int major = 0;
    for (int i = 0; i < static_cast<int>(form.Label9->marks().size()); ++i) {
        if (form.Label9->marks()[static_cast<std::size_t>(i)].text == "|") {
            if (major == 3) {
                EXPECT_NEAR(markCentre(form.Label9, i), markCentre(swr, 3), 1.0);
            }
            ++major;
        }
    }
    EXPECT_EQ(major, 9);
    // Numbers at the bar's ends stay inside their label.
    for (auto& [index, label] : form.Label6) {
        for (int i = 0; i < static_cast<int>(label->marks().size()); ++i) {
            EXPECT_GE(label->markLeft(i), 0);
            EXPECT_LE(label->markLeft(i) + label->fontMetrics().horizontalAdvance(
                                               label->marks()[static_cast<std::size_t>(i)].text),
                      label->width() + 0.5);
        }
    }
}

TEST(ValueCheckBox, CaptionLabelsDoNotToggle) {
    Form1 form;
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    const struct {
        QLabel* caption;
        ValueCheckBox* box;
    } pairs[] = {{form.Label13, form.Check1},
                 {form.Label18, form.Check2},
                 {form.Label20, form.chkOnTop},
                 {form.Label24, form.chkHiPwr},
                 {form.Label23, form.chkVersion}};
    for (const auto& pair : pairs) {
        const int before = pair.box->value();
        EXPECT_TRUE(pair.box->text().isEmpty());
        QTest::mouseClick(pair.caption, Qt::LeftButton);
        EXPECT_EQ(pair.box->value(), before);
    }
}

TEST(ValueCheckBox, ValuesAndClicks) {
    ValueCheckBox box;
    box.resize(17, 17);
    box.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&box));
    int changes = 0;
    QObject::connect(&box, &QCheckBox::stateChanged, [&changes] { ++changes; });
    QTest::mouseClick(&box, Qt::LeftButton, {}, QPoint(8, 8));
    EXPECT_EQ(box.value(), 1);
    box.setValue(2);
    EXPECT_EQ(box.checkState(), Qt::PartiallyChecked);
    box.setValue(2);
    QTest::mouseClick(&box, Qt::LeftButton, {}, QPoint(8, 8));
    EXPECT_EQ(box.value(), 0);  // an operator's click clears a greyed box
    box.setValue(7);
    EXPECT_EQ(box.value(), 0);
    EXPECT_EQ(changes, 3);
}

TEST(MeterText, ShownLiterally) {
    const struct {
        std::string bytes;
        QString shown;
    } rows[] = {
        {"<b>AB", "<b>AB"},
        {"&amp;", "&amp;"},
        {"&Call", "&Call"},
        {std::string("A\0B", 3), QString("A") + QChar(0x2400) + "B"},
        {"X\r\nY\t", QString("X") + QChar(0x240D) + QChar(0x240A) + "Y" + QChar(0x2409)},
        {"\x7F\x85\xE9\xFF", QString(QChar(0x2421)) + QChar(0xFFFD) + QChar(0xE9) + QChar(0xFF)},
        {"", ""},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(meterTextForDisplay(row.bytes), row.shown);
    }
    // Through the window: a call sign with markup and a line end.
    testing::FakePort port;
    Form1 form{Form1Services{QString(), &port, nullptr, nullptr}};
    FrameFields fields;
    fields.callsign = "<b>\nW1";
    port.incoming = buildFrame(fields);
    form.Timer1_Timer();
    EXPECT_EQ(form.Label2->text(), meterTextForDisplay("<b>\nW1"));
    EXPECT_EQ(form.Text1->text(), meterTextForDisplay(buildFrame(fields)));
    EXPECT_EQ(form.Label2->textFormat(), Qt::PlainText);
    EXPECT_FALSE(form.Label2->text().contains(u'\n'));
}

}  // namespace
}  // namespace veltro
