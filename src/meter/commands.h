#pragma once

#include <string>
#include <string_view>

namespace veltro {

// chkVersion value 0 selects the long dialect (";P?"), any other the short
// one ("P").
std::string pollCommand(int versionValue);
std::string alarmCommand(int versionValue);
std::string powerModeCommand(int versionValue);
// ";C" + the prepared call sign + "?", the same in both dialects.
std::string callsignCommand(const std::string& callsignToSend);

// The box's text cut or space-padded to exactly six characters.
std::string prepareCallsign(std::string_view boxText);

}  // namespace veltro
