#pragma once

#include <string>

#include "platform/settings_store.h"

namespace veltro {

inline constexpr const char* kRegistryApplication = "RAREduzo";
inline constexpr const char* kRegistrySection = "Settings";

// "Reading" and "Active" for other programs on the machine.
class ReadingPublication {
public:
    explicit ReadingPublication(SettingsStore& store) : store_(store) {}
    void publishReading(const std::string& readingText);  // "Reading"
    void setActive(bool active);                           // "Active" = "Y" / "N"

private:
    SettingsStore& store_;
};

}  // namespace veltro
