#pragma once

#include <deque>
#include <string>
#include <vector>

#include "support/fake_port_base.h"

namespace veltro::testing {

// Records every write and serves queued replies, one per input() call.
class FakeSerialPort : public FakePortBase {
  public:
    bool setPortOpen(bool open) override {
        open_ = open;
        return true;
    }
    bool portOpen() const override { return open_; }
    void setInBufferCount(int) override { replies.clear(); }
    void setOutBufferCount(int count) override { outBufferClears += count == 0 ? 1 : 0; }
    void output(std::string_view data) override {
        if (open_) {
            writes.emplace_back(data);
        }
    }
    std::string input() override {
        ++inputReads;
        writesBeforeInput = writes.size();
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
    std::size_t writesBeforeInput = 0;  // as the last input() found them

  private:
    bool open_ = true;
};

}  // namespace veltro::testing
