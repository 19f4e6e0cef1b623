#pragma once

namespace veltro {

// A periodic timer with a millisecond interval and an enabled state
// (Timer1, and the retries of a lost device).
class Timer {
  public:
    virtual ~Timer() = default;
    virtual void setInterval(int ms) = 0;
    // Starts afresh: the next tick is a full interval away.
    virtual void start() = 0;
    virtual void stop() = 0;
};

}  // namespace veltro
