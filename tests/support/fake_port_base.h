#pragma once

#include <string>

#include "platform/serial_port.h"

namespace veltro::testing {

// The parts of a fake serial port that only remember what they are told;
// fakes derive from it and play the line their own way.
class FakePortBase : public SerialPort {
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
    void setInputLen(int length) override { inputLen = length; }
    std::string errorString() const override { return {}; }

    int inputLen = -1;

  private:
    int port_ = 1;
    std::string settings_ = "38400,n,8,1";
};

}  // namespace veltro::testing
