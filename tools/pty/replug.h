#pragma once

#include <memory>
#include <string>

#include "pty_link.h"

namespace veltro::pty {

// The meter's line as a USB adapter has it: it can vanish (pseudo-terminal
// closed, link removed) and come back as a new device under the same link.
class ReplugLine {
  public:
    // holdSlave: see PseudoTerminal.
    ReplugLine(std::string folder, int port, bool holdSlave = true)
        : folder_(std::move(folder)), port_(port), hold_(holdSlave) {}

    // The first device and its link. False with a message.
    bool open(std::string& error);
    // Hangs up the device and removes the link. The next device is made now,
    // before the old one is closed, so it gets another path, as a replugged
    // adapter does; nothing links to it until comeBack().
    bool vanish(std::string& error);
    bool comeBack(std::string& error);
    // A fresh device under the same link, while present: nothing a program
    // left on the old one (an exclusive hold, its settings, unread bytes)
    // reaches the next.
    bool renew(std::string& error);

    bool present() const { return present_; }
    // -1 while vanished.
    int masterFd() const { return present_ ? current_->masterFd() : -1; }
    // See PseudoTerminal; -1 while vanished.
    int closeWatchFd() const { return present_ ? current_->closeWatchFd() : -1; }
    void liftExclusiveHold() { current_->liftExclusiveHold(); }
    bool attachedNow() const { return present_ && current_->attachedNow(); }
    const std::string& devicePath() const { return current_->devicePath(); }
    const std::string& linkPath() const { return link_.path(); }
    void removeLink() { link_.remove(); }

  private:
    std::string folder_;
    int port_;
    bool hold_;
    std::unique_ptr<PseudoTerminal> current_;
    PortLink link_;
    bool present_ = false;
};

}  // namespace veltro::pty
