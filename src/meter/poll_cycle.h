#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "meter/reading_record.h"
#include "platform/serial_port.h"

namespace veltro {

// What one poll cycle does to the window, in the order the cycle calls it.
// The window implements this; tests record the calls.
class PollDisplay {
  public:
    virtual ~PollDisplay() = default;
    // chkVersion's value, read afresh each time a command is written.
    virtual int versionValue() const = 0;
    // Link lamp: true shows green (Picture5 visible), false red.
    virtual void setLinkLamp(bool green) = 0;
    // Text1 shows the accepted frame.
    virtual void showInputString(const std::string& frameText) = 0;
    // Registry "Reading", during decoding.
    virtual void publishReading(const std::string& readingText) = 0;
    // Label2 shows the meter's call sign.
    virtual void showCallsign(const std::string& callsign) = 0;
    // Impedance boxes, mode, range, alarm, power and SWR (after ComputeDerived).
    virtual void updateReadout(ReadingRecord& record) = 0;
    // Bars and scales; may clamp PowerDbm, ReflectedLevel, SwrLevel in place.
    virtual void updateBargraphs(ReadingRecord& record) = 0;
};

// The poll cycle (Timer1_Timer) with its pending commands. Owns the reading
// record and the flags; the window owns the port and the display.
class PollCycle {
  public:
    // One tick of Timer1.
    void tick(SerialPort& port, PollDisplay& display);

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

    // The panel closed its port or failed to open one: the lamp shows red, as
    // for a lost device. Ticks over the closed port leave it so.
    void portClosed(PollDisplay& display) { display.setLinkLamp(false); }

    // TxtCallsignSet_Change: rebuild CallsignToSend from the box's text.
    void callsignTextChanged(std::string_view boxText);

    bool AlarmCommandPending = false;
    bool PowerModeCommandPending = false;
    bool CallsignCommandPending = false;
    std::string CallsignToSend;
    ReadingRecord record;

  private:
    void acceptFrame(const std::string& rawInput, PollDisplay& display);
    void writePendingCommands(SerialPort& port, PollDisplay& display);

    static constexpr std::size_t kCallsignCommandCharacters = 6;
    // See poll_cycle.cpp: how a pending command keeps polling alive.
    int rejectedWhilePending_ = 0;
    int recoveryPolls_ = 0;  // since the commands were asked for
};

}  // namespace veltro
