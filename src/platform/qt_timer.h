#pragma once

#include <QTimer>

#include "platform/timer.h"

namespace veltro {

// Timer on a QTimer the window owns.
class QtTimer : public Timer {
  public:
    explicit QtTimer(QTimer& timer) : timer_(timer) {}
    void setInterval(int ms) override { timer_.setInterval(ms); }
    void start() override { timer_.start(); }
    void stop() override { timer_.stop(); }

  private:
    QTimer& timer_;
};

}  // namespace veltro
