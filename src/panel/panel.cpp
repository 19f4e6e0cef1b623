#include "panel/panel.h"

namespace veltro {

int otherOfPair(int value) {
    return value == 1 ? 0 : 1;
}

Panel::Panel(PanelServices services)
    : services_(std::move(services)), session_(services_.settingsFile) {
    if (services_.store != nullptr) {
        publication_ = std::make_unique<ReadingPublication>(*services_.store);
    }
    controls_.slotLabels.fill("Label22");
}

TickView Panel::tick() {
    TickView view;
    if (services_.port == nullptr) {
        return view;
    }
    view.result = cycle_.tick(*services_.port, controls_.version);
    if (view.result == CycleResult::PortClosed) {
        return view;
    }
    controls_.lampGreen = view.result == CycleResult::Accepted;
    if (view.result == CycleResult::Rejected) {
        return view;
    }
    ReadingRecord& record = cycle_.record;
    if (publication_) {
        publication_->publishReading(record.ReadingText);
    }
    view.readout = computeReadout(record, rangeMode_, controls_.hiPwr);
    if (view.readout.rangeIndex) {
        rangeIndex_ = *view.readout.rangeIndex;
    }
    view.bargraphs = computeBargraphs(record, rangeIndex_, controls_.hiPwr, controls_.check1);
    check2Changed(view.bargraphs.check2Value);
    return view;
}

void Panel::rangeClicked() {
    rangeMode_ = nextRangeMode(rangeMode_);
    saveSettings();
}



void Panel::styleChosen(ViewStyle style) {
    controls_.setupMark = style == ViewStyle::Setup;
    controls_.smallMark = style == ViewStyle::Small;
    controls_.vectorMark = style == ViewStyle::Vector;
    saveSettings();
}

void Panel::save() {
    saveSettings();
}

// Check1_Click: Check2 follows, then the save. A click on either box flips
// both; each of the two actions saves.
void Panel::check1Changed(int value) {
    if (value == controls_.check1) {
        return;
    }
    controls_.check1 = value;
    check2Changed(otherOfPair(controls_.check1));
    saveSettings();
}

// Check2_Click, the mirror image.
void Panel::check2Changed(int value) {
    if (value == controls_.check2) {
        return;
    }
    controls_.check2 = value;
    check1Changed(otherOfPair(controls_.check2));
    saveSettings();
}

// chkOnTop_Click: on top only for the value 1.
void Panel::onTopChanged(int value) {
    if (value == controls_.onTop) {
        return;
    }
    controls_.onTop = value;
    if (services_.setTopmost) {
        services_.setTopmost(value == 1);
    }
    saveSettings();
}

// chkVersion_Click: the new line speed takes effect at once, open port or not.
void Panel::versionChanged(int value) {
    if (value == controls_.version) {
        return;
    }
    controls_.version = value;
    if (services_.port != nullptr) {
        services_.port->setSettings(lineSettingsFor(value));
    }
    controls_.callsignEnabled = callsignControlsEnabledFor(value);
    controls_.versionText = std::to_string(value);
    saveSettings();
}

// HScroll1_Change: the timer restarts at the new interval, port open or not.
void Panel::sliderChanged(int value) {
    if (value == controls_.pollSlider) {
        return;
    }
    controls_.pollSlider = value;
    stopTimer1();
    setTimer1(value);
    controls_.pollRateText = std::to_string(value);
    saveSettings();
    startTimer1();
}

void Panel::saveSettings() {
    SettingsSnapshot snapshot;
    if (session_.hasFile() && services_.frame) {
        const SavedFrame frame = services_.frame();
        snapshot.left = frame.left;
        snapshot.top = frame.top;
        snapshot.height = frame.height;
    }
    snapshot.pwrMode = session_.values()[2];
    snapshot.setupChecked = controls_.setupMark;
    snapshot.smallChecked = controls_.smallMark;
    snapshot.vectorChecked = controls_.vectorMark;
    snapshot.comPort = controls_.portBoxText;
    snapshot.pollrate = controls_.pollSlider;
    snapshot.range = rangeMode_;
    snapshot.check1 = controls_.check1;
    snapshot.onTop = controls_.onTop;
    snapshot.version = controls_.version;
    snapshot.hiPwr = controls_.hiPwr;
    const auto written = session_.save(std::move(snapshot));
    if (written && services_.saved) {
        services_.saved(*written);
    }
}

void Panel::setTimer1(int intervalMs) {
    if (services_.timer1 != nullptr) {
        services_.timer1->setInterval(intervalMs);
    }
}

void Panel::startTimer1() {
    if (services_.timer1 != nullptr) {
        services_.timer1->start();
    }
}

void Panel::stopTimer1() {
    if (services_.timer1 != nullptr) {
        services_.timer1->stop();
    }
}

void Panel::writeActive(bool active) {
    if (publication_) {
        publication_->setActive(active);
    }
}

}  // namespace veltro
