#pragma once

#include <string>

#include "platform/serial_port.h"

namespace veltro {

// What the recovery of a lost device does to the main window.
class RecoveryTarget {
  public:
    virtual ~RecoveryTarget() = default;
    virtual SerialPort& serialPort() = 0;
    // Registry value "Active": "Y" or "N".
    virtual void writeActive(const std::string& value) = 0;
    virtual void setLinkLamp(bool green) = 0;
    // The quiet retries, at most one a second.
    virtual void startRetrying() = 0;
    virtual void stopRetrying() = 0;
};

// A device that vanished from the open port (adapter pulled, far end hung
// up): release it and say so, then reopen the same port quietly until it is
// back. Line settings, poll rate and pending commands carry over untouched;
// a failed attempt shows nothing, unlike the start-up's open.
class PortRecovery {
  public:
    // The port reported its device gone: red lamp, "Active" = "N", retries.
    void deviceLost(RecoveryTarget& target);
    // One retry. True when the port is open again ("Active" = "Y").
    bool retry(RecoveryTarget& target);
    // A port choice or the window's unloading takes over from the retries.
    void stop(RecoveryTarget& target);

  private:
    bool retrying_ = false;
};

}  // namespace veltro
