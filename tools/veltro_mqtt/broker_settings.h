#pragma once

#include <string>

#include "mqtt_link.h"
#include "tap_options.h"

namespace veltro::tap {

// Everything the broker connection needs, built from the options in one
// place: the password read and the TLS files checked here, once, at start.
// `baseTopic` is veltro/<id>. False with one line for a file that cannot be
// used (exit status 1).
bool brokerSettingsFor(const TapOptions& options, const std::string& baseTopic, BrokerSettings& settings,
                       std::string& error);

}  // namespace veltro::tap
