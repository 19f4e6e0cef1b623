#pragma once

#include <deque>
#include <string>
#include <vector>

#include "platform/serial_port.h"

namespace veltro::testing {

// Records every write and serves queued replies, one per input() call.
class FakeSerialPort : public SerialPort {
  public:
    bool setCommPort(int number) override {
        port_ = number;
        return true;
    }
    int commPort() const override { return port_; }
    bool setSettings(const std::string& settings) override {
        settings_ = settings;
        return true;
    }
    std::string settings() const override { return settings_; }
    void setInputLen(int) override {}
    bool setPortOpen(bool open) override {
        open_ = open;
        return true;
    }
    bool portOpen() const override { return open_; }
    std::string errorString() const override { return {}; }
    void setInBufferCount(int) override { replies.clear(); }
    void setOutBufferCount(int count) override { outBufferClears += count == 0 ? 1 : 0; }
    void output(std::string_view data) override {
        if (open_) {
            writes.emplace_back(data);
        }
    }
    std::string input() override {
        ++inputReads;
        if (!open_ || replies.empty()) {
            return {};
        }
        std::string next = std::move(replies.front());
        replies.pop_front();
        return next;
    }

    std::deque<std::string> replies;
    std::vector<std::string> writes;
    int outBufferClears = 0;
    int inputReads = 0;

  private:
    int port_ = 1;
    std::string settings_ = "38400,n,8,1";
    bool open_ = true;
};

}  // namespace veltro::testing
