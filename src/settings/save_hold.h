#pragma once

#include <utility>

namespace veltro {

// Saves asked for while the start-up applies the settings are merged into
// one, made once everything is applied.
class SaveHold {
  public:
    void begin() {
        holding_ = true;
        requested_ = false;
    }
    // Whether the caller should save now; false while holding (remembered).
    bool saveNow() {
        if (!holding_)
            return true;
        requested_ = true;
        return false;
    }
    // Whether a held-back save is due now.
    bool end() {
        holding_ = false;
        return std::exchange(requested_, false);
    }

  private:
    bool holding_ = false;
    bool requested_ = false;
};

}  // namespace veltro
