// The start-up, the port choice, the unloading and the quiet reopening of a
// lost device.
#include "panel/panel.h"

namespace veltro {

std::optional<StartupPlan> Panel::beginStartup() {
    if (services_.port == nullptr || !session_.hasFile()) {
        return std::nullopt;
    }
    writeActive(false);
    const LoadOutcome outcome = session_.load([this](int slot, const std::string& value) {
        controls_.slotLabels[static_cast<std::size_t>(slot)] = value;
    });
    if (outcome != LoadOutcome::Loaded) {
        return std::nullopt;
    }
    const WindowBeforeStartup before{kPollSlider.minimum, kPollSlider.maximum,
                                     controls_.pollSlider, controls_.version};
    return planStartup(session_.values(), session_.storedSlots(), before);
}

// Each value runs its control's action exactly as an operator's change
// would; their saves are held and merged into one.
PanelStep Panel::finishStartup(const StartupPlan& plan) {
    PanelStep step;
    SerialPort& port = *services_.port;
    if (plan.configuredPortName) {
        session_.rememberPortName(*plan.configuredPortName);
    }
    session_.hold();
    controls_.setupMark = plan.setupMark.value_or(controls_.setupMark);
    controls_.smallMark = plan.smallMark.value_or(controls_.smallMark);
    controls_.vectorMark = plan.vectorMark.value_or(controls_.vectorMark);
    if (plan.pollSlider) {
        sliderChanged(*plan.pollSlider);
    }
    setTimer1(plan.timerInterval);
    if (plan.check1) {
        check1Changed(*plan.check1);
    }
    // The start-up's own rule, unlike the click actions': only a clear
    // Check1 (0) checks Check2.
    check2Changed(controls_.check1 == 0 ? 1 : 0);
    rangeMode_ = plan.rangeMode.value_or(rangeMode_);
    if (plan.onTop) {
        onTopChanged(*plan.onTop);
    }
    if (plan.version) {
        versionChanged(*plan.version);
    }
    controls_.hiPwr = plan.hiPwr.value_or(controls_.hiPwr);
    if (plan.commPort) {
        port.setCommPort(*plan.commPort);
    }
    if (session_.release()) {
        saveSettings();
    }

    port.setSettings(plan.lineSettings);
    controls_.callsignEnabled = plan.callsignControlsEnabled;
    port.setInputLen(0);
    if (!port.setPortOpen(true)) {
        controls_.lampGreen = false;
        step.message = portNotAvailableMessage(port.commPort());
        return step;
    }
    controls_.portBoxText = plan.portName;
    session_.forgetPortName();
    port.setInBufferCount(0);
    cycle_.clearPending();
    rangeIndex_ = 2;
    writeActive(true);
    startTimer1();
    return step;
}

// Stop, close, save; the window then runs the start-up, which reads the
// chosen port back from the file just written.
void Panel::portChosen(std::string item) {
    controls_.portBoxText = std::move(item);
    session_.forgetPortName();
    if (services_.port == nullptr || !session_.hasFile()) {
        return;
    }
    stopRetries();
    stopTimer1();
    if (services_.port->portOpen()) {
        services_.port->setPortOpen(false);
        controls_.lampGreen = false;  // red over a closed port, as for a lost device
    }
    saveSettings();
}

void Panel::unload() {
    stopRetries();
    if (session_.savesOnClose()) {
        saveSettings();
    }
    writeActive(false);
}

// Released and said so ("Y" would tell other programs the panel polls when
// it does not); line settings, poll rate and pending commands carry over.
void Panel::portLost() {
    if (services_.port == nullptr) {
        return;
    }
    services_.port->setPortOpen(false);
    controls_.lampGreen = false;
    writeActive(false);
    retrying_ = true;
    if (services_.retryTimer != nullptr) {
        services_.retryTimer->start();
    }
}

// Each open follows the ports/com<n> link afresh: a replugged adapter may
// come back under another device name. A failed attempt shows nothing.
void Panel::retryPort() {
    if (!retrying_ || services_.port == nullptr) {
        stopRetries();
        return;
    }
    if (!services_.port->setPortOpen(true)) {
        return;
    }
    // What the device sent while coming up is no reply to any poll.
    services_.port->setInBufferCount(0);
    stopRetries();
    writeActive(true);
}

void Panel::stopRetries() {
    retrying_ = false;
    if (services_.retryTimer != nullptr) {
        services_.retryTimer->stop();
    }
}

}  // namespace veltro
