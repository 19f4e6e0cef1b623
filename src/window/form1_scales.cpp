// Fixed bar settings and the placing of scale numbers and ticks on the bars.
#include "window/bar_widget.h"
#include "window/form1.h"
#include "window/scale_label.h"
#include "window/scale_marks.h"

namespace veltro {
namespace {

// All bars run from 600 to 4395 twips across the client area.
constexpr double kBarLeftTwips = 600;
constexpr double kBarRightTwips = 4395;

void spanBar(ScaleLabel* label, double labelLeftTwips, double labelWidthTwips) {
    label->setBarSpan((kBarLeftTwips - labelLeftTwips) / labelWidthTwips,
                      (kBarRightTwips - labelLeftTwips) / labelWidthTwips);
}

void setBar(BarWidget* bar, float min, float max) {
    bar->setMin(min);
    bar->setMax(max);
    bar->setValue(min);
}

}  // namespace

void Form1::setUpScales() {
    setBar(ProgressBar7, 120, 920);
    setBar(ProgressBar4, 0, 499);
    setBar(ProgressBar1[0], 0, 100);
    setBar(ProgressBar1[1], 1, 2000);
    setBar(ProgressBar3[0], 0, 100);

    // Power scales in tenths of a dBm: the bar limits each range sets.
    spanBar(Label6[0], 480, 3975);
    Label6[0]->setMarks(powerScaleMarks(Label6[0]->text(), 190, 440));
    spanBar(Label6[3], 600, 3855);
    Label6[3]->setMarks(powerScaleMarks(Label6[3]->text(), 300, 540));
    spanBar(Label6[4], 600, 3855);
    Label6[4]->setMarks(powerScaleMarks(Label6[4]->text(), 400, 640));
    // The 10 kW coupler reads 6 dB down on the 2500 W bar.
    spanBar(Label6[5], 480, 3975);
    Label6[5]->setMarks(powerScaleMarks(Label6[5]->text(), 400, 640, 60));

    spanBar(Label6[2], 600, 3855);
    Label6[2]->setMarks(swrScaleMarks(Label6[2]->text()));

    // SWR ticks: the majors sit under the SWR numbers.
    spanBar(Label9, 600, 3855);
    std::vector<double> majors;
    for (const ScaleMark& mark : Label6[2]->marks()) {
        majors.push_back(mark.fraction);
    }
    Label9->setMarks(ticksAtMajors(Label9->text(), majors));

    spanBar(Label16, 540, 3855);
    Label16->setMarks(ticksByIndex(Label16->text()));
}

}  // namespace veltro
