#include "meter/poll_cycle.h"

#include <algorithm>

#include "meter/commands.h"
#include "meter/derived.h"
#include "meter/status_frame.h"

namespace veltro {

namespace {
// Rejected cycles, with a command pending and no poll written, after which
// the next cycle writes a recovery poll. Each further recovery poll for the
// same commands waits one cycle longer (up to the cap), so a meter that
// answers later than one tick still gets its answer read in a cycle that may
// send the commands.
constexpr int kRejectedCyclesBeforeRecoveryPoll = 2;
constexpr int kMostRejectedCyclesBeforeRecoveryPoll = 8;
}  // namespace

void PollCycle::clearPending() {
    AlarmCommandPending = false;
    PowerModeCommandPending = false;
    CallsignCommandPending = false;
    rejectedWhilePending_ = 0;
    recoveryPolls_ = 0;
}

bool PollCycle::anyPending() const {
    return AlarmCommandPending || PowerModeCommandPending || CallsignCommandPending;
}

bool PollCycle::hasCallsign() const {
    return CallsignToSend.size() == kCallsignCommandCharacters;
}

void PollCycle::callsignTextChanged(std::string_view boxText) {
    CallsignToSend = prepareCallsign(boxText);
}

// A pending command suppresses the poll, and commands go out only after an
// accepted frame; a silent meter would then never be asked again. So after
// two rejected cycles without a poll the next cycle polls anyway (a recovery
// poll). That cycle writes no commands even if it accepts a frame, which
// keeps a poll and a command out of the same cycle; the following cycle
// writes no poll, reads the answer and sends the commands. Recovery polls
// back off (see above) so late answers cannot keep the commands waiting.
CycleResult PollCycle::tick(SerialPort& port, int version) {
    port.setOutBufferCount(0);
    record.FrameText.clear();
    if (!port.portOpen()) {
        return CycleResult::PortClosed;
    }
    port.setOutBufferCount(0);

    const bool pending = anyPending();
    if (!pending) {
        recoveryPolls_ = 0;
    }
    const int patience = std::min(kRejectedCyclesBeforeRecoveryPoll + recoveryPolls_,
                                  kMostRejectedCyclesBeforeRecoveryPoll);
    const bool recoveryPoll = pending && rejectedWhilePending_ >= patience;
    const bool pollWritten = !pending || recoveryPoll;
    if (recoveryPoll) {
        ++recoveryPolls_;
    }
    // What has arrived is taken before the poll goes out: a host that
    // preempts the panel inside the poll's write would otherwise let the
    // start of the next answer join this one, and a sound link show as lost.
    const std::string rawInput = port.input();
    if (pollWritten) {
        port.output(pollCommand(version));
    }
    if (!isStatusFrame(rawInput)) {
        rejectedWhilePending_ = (pending && !pollWritten) ? rejectedWhilePending_ + 1 : 0;
        return CycleResult::Rejected;
    }
    rejectedWhilePending_ = 0;
    record.FrameText = rawInput;
    decodeFrame(record.FrameText, record, nullptr);
    ComputeDerived(record);
    if (!recoveryPoll) {
        writePendingCommands(port, version);
    }
    return CycleResult::Accepted;
}

void PollCycle::writePendingCommands(SerialPort& port, int version) {
    if (AlarmCommandPending) {
        port.output(alarmCommand(version));
        AlarmCommandPending = false;
    }
    if (PowerModeCommandPending) {
        port.output(powerModeCommand(version));
        PowerModeCommandPending = false;
    }
    if (CallsignCommandPending) {
        // Before the box has been edited there is no call sign to send; a
        // bare ";C?" would be a malformed command, so the request is dropped.
        if (hasCallsign()) {
            port.output(callsignCommand(CallsignToSend));
        }
        CallsignCommandPending = false;
    }
}

}  // namespace veltro
