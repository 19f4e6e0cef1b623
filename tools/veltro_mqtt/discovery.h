#pragma once

#include <string>

#include "station_watch.h"

namespace veltro::tap {

// Home Assistant's device-based discovery: one retained config message that
// makes the meter a device with its entities, available while both
// veltro/<id>/status and veltro/<id>/link say "online".
struct Discovery {
    std::string topic;    // <prefix>/device/veltro_<id>/config
    std::string payload;  // JSON
};

// Peak and trip entities only while they are on.
Discovery discoveryFor(const std::string& prefix, const std::string& baseTopic, const std::string& id,
                       const WatchSettings& watch = {});

}  // namespace veltro::tap
