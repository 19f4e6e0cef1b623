#pragma once

#include <string>

namespace veltro::sim {

// The meter's end of a pseudo-terminal in raw mode. It keeps the slave side
// open itself, so the master never sees a hang-up while no panel is attached.
class PseudoTerminal {
  public:
    PseudoTerminal() = default;
    ~PseudoTerminal();
    PseudoTerminal(const PseudoTerminal&) = delete;
    PseudoTerminal& operator=(const PseudoTerminal&) = delete;

    // False with a message if no pseudo-terminal could be made.
    bool open(std::string& error);
    int masterFd() const { return master_; }
    const std::string& devicePath() const { return devicePath_; }

    // The panel opens the device exclusively, and a panel that is killed
    // never lifts that; with this side holding the device open, its next
    // start would find the port busy. This turns readable whenever some
    // process closed the device; liftExclusiveHold() then frees it.
    int closeWatchFd() const { return closeWatch_; }
    void liftExclusiveHold();

  private:
    int master_ = -1;
    int slave_ = -1;
    int closeWatch_ = -1;
    std::string devicePath_;
};

// The link <folder>/ports/com<N> to the device. A stale link left by an
// earlier run is replaced; anything else at that path is left alone.
class PortLink {
  public:
    PortLink() = default;
    ~PortLink() { remove(); }
    PortLink(const PortLink&) = delete;
    PortLink& operator=(const PortLink&) = delete;

    bool create(const std::string& folder, int port, const std::string& target, std::string& error);
    // Removes the link if it still points at our device.
    void remove();
    const std::string& path() const { return path_; }

  private:
    std::string path_;
    std::string target_;
};

// The folder that holds the running executable.
std::string executableFolder();

}  // namespace veltro::sim
