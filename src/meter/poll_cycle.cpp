#include "meter/poll_cycle.h"

#include "meter/commands.h"
#include "meter/derived.h"
#include "meter/status_frame.h"

namespace veltro {

namespace {
// Rejected cycles, with a command pending and no poll written, after which
// the next cycle writes a recovery poll.
constexpr int kRejectedCyclesBeforeRecoveryPoll = 2;
}  // namespace

void PollCycle::clearPending() {
    AlarmCommandPending = false;
    PowerModeCommandPending = false;
    CallsignCommandPending = false;
    rejectedWhilePending_ = 0;
}

bool PollCycle::anyPending() const {
    return AlarmCommandPending || PowerModeCommandPending || CallsignCommandPending;
}

void PollCycle::callsignTextChanged(std::string_view boxText) {
    CallsignToSend = prepareCallsign(boxText);
}

// A pending command suppresses the poll, and commands go out only after an
// accepted frame; a silent meter would then never be asked again. So after
// two rejected cycles without a poll the next cycle polls anyway (a recovery
// poll). That cycle writes no commands even if it accepts a frame, which
// keeps a poll and a command out of the same cycle; the following cycle
// writes no poll, reads the answer and sends the commands.
void PollCycle::tick(SerialPort& port, PollDisplay& display) {
    port.setOutBufferCount(0);
    record.FrameText.clear();
    if (!port.portOpen()) {
        return;
    }
    port.setOutBufferCount(0);

    const bool pending = anyPending();
    const bool recoveryPoll = pending && rejectedWhilePending_ >= kRejectedCyclesBeforeRecoveryPoll;
    const bool pollWritten = !pending || recoveryPoll;
    if (pollWritten) {
        port.output(pollCommand(display.versionValue()));
    }

    const std::string rawInput = port.input();
    if (!isStatusFrame(rawInput)) {
        display.setLinkLamp(false);
        rejectedWhilePending_ = (pending && !pollWritten) ? rejectedWhilePending_ + 1 : 0;
        return;
    }
    rejectedWhilePending_ = 0;
    acceptFrame(rawInput, display);
    if (!recoveryPoll) {
        writePendingCommands(port, display);
    }
}

void PollCycle::acceptFrame(const std::string& rawInput, PollDisplay& display) {
    record.FrameText = rawInput;
    display.setLinkLamp(true);
    display.showInputString(record.FrameText);
    decodeFrame(record.FrameText, record,
                [&display](const std::string& text) { display.publishReading(text); });
    display.showCallsign(record.MeterCallsign);
    ComputeDerived(record);
    display.updateReadout(record);
    display.updateBargraphs(record);
}

void PollCycle::writePendingCommands(SerialPort& port, PollDisplay& display) {
    if (AlarmCommandPending) {
        port.output(alarmCommand(display.versionValue()));
        AlarmCommandPending = false;
    }
    if (PowerModeCommandPending) {
        port.output(powerModeCommand(display.versionValue()));
        PowerModeCommandPending = false;
    }
    if (CallsignCommandPending) {
        // Before the box has been edited there is no call sign to send; a
        // bare ";C?" would be a malformed command, so the request is dropped.
        if (CallsignToSend.size() == kCallsignCommandCharacters) {
            port.output(callsignCommand(CallsignToSend));
        }
        CallsignCommandPending = false;
    }
}

}  // namespace veltro
