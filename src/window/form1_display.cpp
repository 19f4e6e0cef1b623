// Shows what a poll cycle did: the lamp, the frame, the readout and the bars.
#include <QCursor>
#include <QLabel>
#include <QLineEdit>
#include <QToolTip>

#include "window/bar_widget.h"
#include "window/colour_button.h"
#include "window/form1.h"
#include "window/meter_text.h"
#include "window/scale_label.h"
#include "window/value_check_box.h"

namespace veltro {
namespace {

const QColor kAlarmRed(192, 0, 0);

QString text(const std::string& ascii) {
    return QString::fromLatin1(ascii);
}

// A box too narrow for its text shows the text's start, not its end.
// Setting a box to the text it already shows would repaint it for nothing.
void showFromStart(QLineEdit* box, const QString& shown) {
    if (shown == box->text() && box->cursorPosition() == 0 && !box->hasSelectedText()) {
        return;
    }
    box->setText(shown);
    box->setCursorPosition(0);
}

// The impedance boxes are narrow: the whole figure shows as the box's
// tooltip, and a tooltip open over the box follows the figure.
void showFigure(QLineEdit* box, const QString& shown) {
    showFromStart(box, shown);
    if (box->toolTip() == shown) {
        return;
    }
    box->setToolTip(shown);
    if (QToolTip::isVisible() && box->underMouse()) {
        QToolTip::showText(QCursor::pos(), shown, box);
    }
}

void setLimitsMaxFirst(BarWidget* bar, const BarSetting& setting) {
    bar->setMax(setting.max);
    bar->setMin(setting.min);
}

}  // namespace

QColor Form1::alarmButtonColour() const {
    return CmdAlarm->faceColour();
}

void Form1::showTick(const TickView& view) {
    if (view.result == CycleResult::PortClosed) {
        return;
    }
    Picture5->setVisible(view.result == CycleResult::Accepted);
    if (view.result != CycleResult::Accepted) {
        return;
    }
    const ReadingRecord& record = panel_.pollCycle().record;
    // The frame as received; a steady meter sends the same one every time.
    showFromStart(Text1, meterTextForDisplay(record.FrameText));
    Label2->setText(meterTextForDisplay(record.MeterCallsign));
    showReadout(view.readout);
    showBargraphs(view.bargraphs);
    // The bars may have set Check2, whose click action set Check1.
    showControls();
}

void Form1::showReadout(const ReadoutUpdate& update) {
    for (std::size_t i = 0; i < update.vectorTexts.size(); ++i) {
        showFigure(txtVector[i], text(update.vectorTexts[i]));
    }
    if (update.modeCaption) {
        Label35->setText(text(*update.modeCaption));
    }
    if (update.rangeCaption) {
        LblRange->setText(text(*update.rangeCaption));
    }
    if (update.alarmCaption) {
        LblAlarmMode->setText(text(*update.alarmCaption));
    }
    if (update.alarmColour) {
        CmdAlarm->setFaceColour(*update.alarmColour == AlarmColour::Alarm ? kAlarmRed : QColor());
    }
    LblPwr->setText(text(update.powerText));
    showFromStart(TxtSWR, text(update.swrText));
}

void Form1::showBargraphs(const BargraphUpdate& update) {
    // setVisible, not show(): on a shown widget it returns at once, every frame.
    ProgressBar1[0]->setVisible(true);
    ProgressBar1[1]->setVisible(true);
    ProgressBar3[0]->setVisible(true);

    ProgressBar3[0]->setMin(update.swr.min);
    ProgressBar3[0]->setMax(update.swr.max);
    ProgressBar3[0]->setValue(update.swr.value);
    Label9->setVisible(true);
    Label8->setVisible(true);
    Label6[2]->setVisible(true);

    if (!update.power) {
        return;
    }
    for (const auto& [index, visible] : update.power->labelWrites) {
        if (const auto label = Label6.find(index); label != Label6.end()) {
            label->second->setVisible(visible);
        }
    }
    setLimitsMaxFirst(ProgressBar1[0], update.power->forward);
    setLimitsMaxFirst(ProgressBar1[1], update.power->reflected);
    ProgressBar1[0]->setValue(update.power->forward.value);
    ProgressBar1[1]->setValue(update.power->reflected.value);
}

}  // namespace veltro
