#pragma once

#include <string>

namespace veltro {

// Per-user application settings (application, section, value name -> string),
// where other programs on the machine pick up what the panel publishes.
class SettingsStore {
public:
    virtual ~SettingsStore() = default;
    virtual void saveSetting(const std::string& application, const std::string& section,
                             const std::string& name, const std::string& value) = 0;
};

}  // namespace veltro
