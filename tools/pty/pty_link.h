#pragma once

#include <string>

namespace veltro::pty {

// The meter's end of a pseudo-terminal in raw mode. Held, it keeps the slave
// side open itself, so the master never sees a hang-up while no panel is
// attached. Not held, the master hangs up whenever no program has the slave
// open, which is how attachedNow() tells that a panel is there.
class PseudoTerminal {
  public:
    explicit PseudoTerminal(bool holdSlave = true) : hold_(holdSlave) {}
    ~PseudoTerminal();
    PseudoTerminal(const PseudoTerminal&) = delete;
    PseudoTerminal& operator=(const PseudoTerminal&) = delete;

    // False with a message if no pseudo-terminal could be made.
    bool open(std::string& error);
    int masterFd() const { return master_; }
    const std::string& devicePath() const { return devicePath_; }
    // Not held: whether some program has the slave side open right now.
    bool attachedNow() const;

    // The panel opens the device exclusively, and a panel that is killed
    // never lifts that; with this side holding the device open, its next
    // start would find the port busy. This turns readable whenever some
    // process closed the device; liftExclusiveHold() then frees it. Not
    // held, it also turns readable when a program opens the device.
    int closeWatchFd() const { return closeWatch_; }
    void liftExclusiveHold();

  private:
    bool hold_;
    int master_ = -1;
    int slave_ = -1;
    int closeWatch_ = -1;
    std::string devicePath_;
};

// The link <folder>/ports/com<N> to the device. A stale link left by an
// earlier run (its device gone) is replaced; anything else at that path is
// left alone.
class PortLink {
  public:
    PortLink() = default;
    ~PortLink() { remove(); }
    PortLink(const PortLink&) = delete;
    PortLink& operator=(const PortLink&) = delete;

    // A link that names a device still there belongs to a running program
    // and is refused, unless it is this one's own.
    bool create(const std::string& folder, int port, const std::string& target, std::string& error);
    // Removes the link if it still points at our device.
    void remove();
    const std::string& path() const { return path_; }

  private:
    std::string path_;
    std::string target_;
};

std::string linkPathFor(const std::string& folder, int port);

// The folder that holds the running executable.
std::string executableFolder();

}  // namespace veltro::pty
