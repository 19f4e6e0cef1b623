#pragma once

#include <optional>
#include <string>
#include <utility>

namespace veltro {

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
