#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "meter/reading_record.h"
#include "platform/serial_port.h"

namespace veltro {

// What one poll cycle did. On Accepted the record holds the new frame,
// decoded and with its derived values; the caller shows it.
enum class CycleResult { PortClosed, Rejected, Accepted };

// The poll cycle (Timer1_Timer) with its pending commands. Owns the reading
// record and the flags; the caller owns the port and shows the result.
class PollCycle {
  public:
    // One tick of Timer1. version: chkVersion's value, which picks the dialect
    // of every command written.
    CycleResult tick(SerialPort& port, int version);

    // Button handlers only raise their flag.
    void requestAlarm() { AlarmCommandPending = true; }
    void requestPowerMode() { PowerModeCommandPending = true; }
    // Before the call-sign box has been edited there is nothing to send, and
    // a raised flag would only hold back the next poll.
    void requestCallsign() { CallsignCommandPending = CallsignCommandPending || hasCallsign(); }
    bool hasCallsign() const;
    // Start-up clears all three once the port is open.
    void clearPending();
    bool anyPending() const;

    // TxtCallsignSet_Change: rebuild CallsignToSend from the box's text.
    void callsignTextChanged(std::string_view boxText);

    bool AlarmCommandPending = false;
    bool PowerModeCommandPending = false;
    bool CallsignCommandPending = false;
    std::string CallsignToSend;
    ReadingRecord record;

  private:
    void writePendingCommands(SerialPort& port, int version);

    static constexpr std::size_t kCallsignCommandCharacters = 6;
    // See poll_cycle.cpp: how a pending command keeps polling alive.
    int rejectedWhilePending_ = 0;
    int recoveryPolls_ = 0;  // since the commands were asked for
};

}  // namespace veltro
