#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace veltro {

// The serial control the panel drives, reduced to the properties it uses.
// Bytes travel one for one: a std::string here is the raw bytes of the line.
class SerialPort {
  public:
    virtual ~SerialPort() = default;

    // CommPort: the port number (1 for Com1). A number the port does not
    // support is refused: the call returns false and the old number stays.
    virtual bool setCommPort(int number) = 0;
    virtual int commPort() const = 0;

    // Settings: "baud,parity,data,stop", e.g. "38400,n,8,1". Applies at once
    // to an open port. Returns false for text it does not understand.
    virtual bool setSettings(const std::string& settings) = 0;
    virtual std::string settings() const = 0;

    // InputLen: 0 makes input() return everything received.
    virtual void setInputLen(int length) = 0;

    // PortOpen: true opens the port, false closes it. Opening a missing, busy
    // or unreadable device returns false and leaves the port closed;
    // errorString() then says why.
    virtual bool setPortOpen(bool open) = 0;
    virtual bool portOpen() const = 0;
    virtual std::string errorString() const = 0;

    // InBufferCount / OutBufferCount = 0: discard what was received and not
    // yet read, or what is queued and not yet sent. Harmless on a closed port.
    virtual void setInBufferCount(int count) = 0;
    virtual void setOutBufferCount(int count) = 0;

    // Output: one write of exactly these bytes. Ignored on a closed port.
    virtual void output(std::string_view data) = 0;
    // Input: everything received and not yet read; empties the buffer.
    // Never blocks; empty on a closed port.
    virtual std::string input() = 0;

    // Run from the event loop, once per loss, when the open device goes away
    // for good (adapter pulled, far end hung up). The device is released by
    // then; the port still reads as open and silent until it is closed.
    // An empty handler stops the calls. Ports that cannot lose a device
    // never call it.
    virtual void onDeviceLost(std::function<void()> handler) { (void)handler; }
};

}  // namespace veltro
