#include "settings/port_recovery.h"

namespace veltro {

void PortRecovery::deviceLost(RecoveryTarget& target) {
    // "Y" would tell other programs the panel is polling when it is not.
    target.serialPort().setPortOpen(false);
    target.setLinkLamp(false);
    target.writeActive("N");
    retrying_ = true;
    target.startRetrying();
}

bool PortRecovery::retry(RecoveryTarget& target) {
    if (!retrying_) {
        target.stopRetrying();
        return false;
    }
    SerialPort& port = target.serialPort();
    // Each open follows the ports/com<n> link afresh: a replugged adapter
    // may come back under another device name.
    if (!port.setPortOpen(true)) {
        return false;
    }
    // What the device sent while coming up is no reply to any poll.
    port.setInBufferCount(0);
    retrying_ = false;
    target.stopRetrying();
    target.writeActive("Y");
    return true;
}

void PortRecovery::stop(RecoveryTarget& target) {
    retrying_ = false;
    target.stopRetrying();
}

}  // namespace veltro
