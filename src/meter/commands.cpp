#include "meter/commands.h"

namespace veltro {

namespace {

constexpr std::size_t kCallsignLength = 6;

std::string dialect(int versionValue, const char* longForm, const char* shortForm) {
    return versionValue == 0 ? longForm : shortForm;
}

}  // namespace

std::string pollCommand(int versionValue) {
    return dialect(versionValue, ";P?", "P");
}

std::string alarmCommand(int versionValue) {
    return dialect(versionValue, ";A?", "A");
}

std::string powerModeCommand(int versionValue) {
    return dialect(versionValue, ";F?", "F");
}

std::string callsignCommand(const std::string& callsignToSend) {
    return ";C" + callsignToSend + "?";
}

std::string prepareCallsign(std::string_view boxText) {
    std::string prepared(boxText.substr(0, kCallsignLength));
    prepared.resize(kCallsignLength, ' ');
    return prepared;
}

}  // namespace veltro
