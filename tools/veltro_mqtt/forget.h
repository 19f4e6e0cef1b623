#pragma once

#include <string>
#include <vector>

#include "mqtt_link.h"

namespace veltro::tap {

// Empties each of `topics` on the broker (a retained message with no
// payload) and disconnects. 0 when done; 1 when the broker could not be
// reached within a few back-off attempts.
int forgetRetained(const BrokerSettings& settings, const std::vector<std::string>& topics, MqttLink::Log log);

}  // namespace veltro::tap
