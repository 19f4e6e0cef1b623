// The scale numbers and ticks placed on the bars, from the controls'
// rectangles and the readout's power scales.
#include "readout/bargraphs.h"
#include "window/bar_widget.h"
#include "window/form1.h"
#include "window/scale_label.h"
#include "window/scale_marks.h"

namespace veltro {

void Form1::setUpScales() {
    // Every bar spans the forward bar's rectangle.
    const ControlEntry& bar = entryOf(ProgressBar1[0]);
    auto spanBar = [&](ScaleLabel* label) {
        const ControlEntry& own = entryOf(label);
        const double width = own.width;
        label->setBarSpan((bar.left - own.left) / width,
                          (bar.left + bar.width - own.left) / width);
    };
    // Power scales in tenths of a dBm: the bar limits each range sets; the
    // 10 kW coupler reads 6 dB down on the 2500 W bar.
    for (const PowerScale& scale : powerScales()) {
        ScaleLabel* label = Label6.at(scale.label);
        spanBar(label);
        label->setMarks(powerScaleMarks(label->text(), scale.barMin, scale.barMax, scale.shift));
    }
    spanBar(Label6[2]);
    Label6[2]->setMarks(swrScaleMarks(Label6[2]->text()));

    // SWR ticks: the majors sit under the SWR numbers.
    spanBar(Label9);
    std::vector<double> majors;
    for (const ScaleMark& mark : Label6[2]->marks()) {
        majors.push_back(mark.fraction);
    }
    Label9->setMarks(ticksAtMajors(Label9->text(), majors));

    spanBar(Label16);
    Label16->setMarks(ticksByIndex(Label16->text()));
}

}  // namespace veltro
