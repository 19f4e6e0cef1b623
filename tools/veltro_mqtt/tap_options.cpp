#include "tap_options.h"

#include "whole_number.h"

#include <fstream>
#include <string_view>
#include <utility>
#include <vector>

namespace veltro::tap {

namespace {

using Setting = std::pair<std::string, std::string>;

// Switches that take no value on the command line ("yes"/"no" in the file).
constexpr std::string_view kSwitches[] = {"insecure", "no-discovery"};
constexpr std::size_t kLongestConfigFile = 64 * 1024;

bool isSwitch(std::string_view key) {
    for (auto name : kSwitches) {
        if (key == name) {
            return true;
        }
    }
    return false;
}

bool parseYesNo(std::string_view text, bool& value) {
    if (text == "yes" || text == "true" || text == "1") {
        value = true;
    } else if (text == "no" || text == "false" || text == "0") {
        value = false;
    } else {
        return false;
    }
    return true;
}

bool topicLevelSafe(std::string_view text) {
    if (text.empty() || text.size() > 64) {
        return false;
    }
    for (char c : text) {
        const bool ok = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                        c == '-' || c == '_';
        if (!ok) {
            return false;
        }
    }
    return true;
}

bool applySetting(const Setting& setting, TapOptions& o, std::string& error) {
    const auto& [key, value] = setting;
    std::string* text = nullptr;
    if (key == "device") {
        text = &o.device;
    } else if (key == "dir") {
        text = &o.folder;
    } else if (key == "host") {
        text = &o.host;
    } else if (key == "id") {
        text = &o.id;
    } else if (key == "discovery-prefix") {
        text = &o.discoveryPrefix;
    } else if (key == "cafile") {
        text = &o.caFile;
    } else if (key == "cert") {
        text = &o.certFile;
    } else if (key == "key") {
        text = &o.keyFile;
    } else if (key == "user") {
        text = &o.user;
    } else if (key == "password-file") {
        text = &o.passwordFile;
    } else if (key == "record") {
        text = &o.recordFile;
    }
    if (text != nullptr) {
        if (value.empty()) {
            error = key + " needs a value";
            return false;
        }
        *text = value;
        return true;
    }
    bool ok = true;
    if (key == "port") {
        ok = sim::parseWholeNumber(value, 1, 255, o.port);
        error = "port needs a number from 1 to 255";
    } else if (key == "broker-port") {
        ok = sim::parseWholeNumber(value, 1, 65535, o.brokerPort);
        error = "broker-port needs a number from 1 to 65535";
    } else if (key == "heartbeat") {
        ok = sim::parseWholeNumber(value, 5, 3600, o.heartbeatSeconds);
        error = "heartbeat needs seconds from 5 to 3600";
    } else if (key == "alone-poll") {
        // Faster than a reply takes would only pile polls up at the meter.
        ok = sim::parseWholeNumber(value, 0, 60000, o.alonePollMs) && (o.alonePollMs == 0 || o.alonePollMs >= 20);
        error = "alone-poll needs 0 (never) or milliseconds from 20 to 60000";
    } else if (key == "generation") {
        const auto generation = sim::generationByName(value);
        ok = generation.has_value();
        o.generation = generation.value_or(o.generation);
        error = "generation needs older or newer";
    } else if (key == "insecure") {
        ok = parseYesNo(value, o.insecure);
        error = "insecure needs yes or no";
    } else if (key == "no-discovery") {
        bool off = false;
        ok = parseYesNo(value, off);
        o.discovery = !off;
        error = "no-discovery needs yes or no";
    } else {
        error = "unknown setting: " + key;
        return false;
    }
    if (ok) {
        error.clear();
    } else {
        error += " (not \"" + value + "\")";
    }
    return ok;
}

std::string trimmed(const std::string& text) {
    const auto first = text.find_first_not_of(" \t\r");
    if (first == std::string::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

// "key = value" lines; '#' starts a comment line.
bool readConfigFile(const std::string& path, std::vector<Setting>& settings, std::string& error) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error = "cannot read the config file " + path;
        return false;
    }
    std::string line;
    std::size_t total = 0;
    for (int number = 1; std::getline(in, line); ++number) {
        total += line.size() + 1;
        if (total > kLongestConfigFile) {
            error = path + " is too long for a config file";
            return false;
        }
        const std::string where = path + ", line " + std::to_string(number) + ": ";
        line = trimmed(line);
        if (line.empty() || line.front() == '#') {
            continue;
        }
        const auto equals = line.find('=');
        if (equals == std::string::npos) {
            error = where + "expected \"setting = value\"";
            return false;
        }
        Setting setting{trimmed(line.substr(0, equals)), trimmed(line.substr(equals + 1))};
        TapOptions probe;
        if (!applySetting(setting, probe, error)) {
            error = where + error;
            return false;
        }
        settings.push_back(std::move(setting));
    }
    return true;
}

}  // namespace

bool parseTapOptions(int argc, char** argv, TapOptions& options, std::string& error) {
    std::vector<Setting> fromFile;
    std::vector<Setting> fromLine;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        if (arg == "-h" || arg == "--help") {
            options.help = true;
            continue;
        }
        if (arg == "-d") {
            arg = "--device";
        } else if (arg == "-p") {
            arg = "--port";
        }
        if (!arg.starts_with("--")) {
            error = "unknown argument: " + arg;
            return false;
        }
        std::string key = arg.substr(2);
        std::string value;
        if (const auto equals = key.find('='); equals != std::string::npos) {
            value = key.substr(equals + 1);
            key.resize(equals);
        } else if (isSwitch(key)) {
            value = "yes";
        } else if (i + 1 < argc) {
            value = argv[++i];
        } else {
            error = arg + " needs a value";
            return false;
        }
        if (key == "config") {
            if (!readConfigFile(value, fromFile, error)) {
                return false;
            }
            continue;
        }
        fromLine.emplace_back(std::move(key), std::move(value));
    }
    for (const auto* list : {&fromFile, &fromLine}) {
        for (const auto& setting : *list) {
            if (!applySetting(setting, options, error)) {
                if (list == &fromLine) {
                    error = "--" + error;
                }
                return false;
            }
        }
    }
    return true;
}

bool validateTapOptions(const TapOptions& o, std::string& error) {
    if (o.device.empty()) {
        error = "no device: say which serial device the meter is on (--device PATH)";
    } else if (!o.id.empty() && !topicLevelSafe(o.id)) {
        error = "id \"" + o.id + "\" may hold only letters, digits, '-' and '_' (at most 64)";
    } else if (o.discoveryPrefix.find_first_of("+#") != std::string::npos ||
               o.discoveryPrefix.front() == '/' || o.discoveryPrefix.back() == '/') {
        error = "discovery-prefix \"" + o.discoveryPrefix + "\" is not a topic prefix";
    } else if (o.certFile.empty() != o.keyFile.empty()) {
        error = "a client certificate needs both cert and key";
    } else if (!o.certFile.empty() && o.caFile.empty()) {
        error = "a client certificate needs TLS: give the broker's CA with cafile";
    } else if (!o.passwordFile.empty() && o.user.empty()) {
        error = "password-file needs a user";
    } else if (o.caFile.empty() && !o.insecure && !isLoopbackHost(o.host)) {
        error = "the broker " + o.host +
                " is on another machine: use TLS (cafile) or say insecure to send in the clear";
    } else {
        return true;
    }
    return false;
}

bool isLoopbackHost(const std::string& host) {
    return host == "localhost" || host == "::1" || host == "[::1]" || host.starts_with("127.");
}

std::string defaultId(const std::string& hostName, int port) {
    std::string id;
    for (char c : hostName.substr(0, hostName.find('.'))) {
        const bool ok = (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '_';
        const bool upper = c >= 'A' && c <= 'Z';
        id += ok ? c : upper ? static_cast<char>(c - 'A' + 'a') : '_';
    }
    if (id.empty() || id.size() > 48) {
        id = "veltro";
    }
    return id + "-com" + std::to_string(port);
}

}  // namespace veltro::tap
