#pragma once

#include <optional>
#include <string>
#include <utility>

namespace veltro {

// Bookkeeping a window can use for StartupTarget::beginApplying/endApplying:
// saves asked for while the start-up applies the settings are merged into
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

// The configured port name, kept apart from the port box's text while the
// box shows something else (after a failed open).
class ConfiguredPortName {
  public:
    void remember(std::string name) { name_ = std::move(name); }
    // The box now shows the name, or the operator edited or chose in it.
    void forget() { name_.reset(); }
    const std::string& nameToSave(const std::string& portBoxText) const {
        return name_ ? *name_ : portBoxText;
    }

  private:
    std::optional<std::string> name_;
};

}  // namespace veltro
