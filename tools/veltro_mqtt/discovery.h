#pragma once

#include <string>

namespace veltro::tap {

// Home Assistant's device-based discovery: one retained config message that
// makes the meter a device with its entities, available while both
// veltro/<id>/status and veltro/<id>/link say "online".
struct Discovery {
    std::string topic;        // <prefix>/device/<object id>/config
    std::string payload;      // JSON
    std::string formerTopic;  // where earlier versions put it, if elsewhere
};

// "veltro_" and the id with every character but letters and digits written
// as "_" and two hex digits: two ids that differ never share a topic or a
// unique_id ("tx-1" is veltro_tx_2d1, "tx_1" veltro_tx_5f1).
std::string discoveryObjectId(const std::string& id);

Discovery discoveryFor(const std::string& prefix, const std::string& baseTopic, const std::string& id);

}  // namespace veltro::tap
