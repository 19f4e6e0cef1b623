#include "tap_options.h"

#include <arpa/inet.h>
#include <netinet/in.h>

#include <string_view>
#include <variant>
#include <vector>

#include "bounded_file.h"
#include "whole_number.h"

namespace veltro::tap {

namespace {

constexpr std::size_t kLongestConfigFile = 64 * 1024;

// One row per setting, the same name on the command line (--name) and in the
// config file. A bool field is a switch: no value on the command line.
struct Key {
    std::string_view name;
    std::variant<std::string TapOptions::*, int TapOptions::*, bool TapOptions::*,
                 sim::Generation TapOptions::*>
        field;
    int least = 0;
    int most = 0;
    std::string_view numberText = {};  // what a number must be, for the message
    bool inverted = false;             // the switch clears its field
    int leastButZero = 0;              // a number other than 0 is at least this
};

constexpr Key kKeys[] = {
    {"device", &TapOptions::device},
    {"port", &TapOptions::port, 1, 255, "a number from 1 to 255"},
    {"dir", &TapOptions::folder},
    {"host", &TapOptions::host},
    {"broker-port", &TapOptions::brokerPort, 1, 65535, "a number from 1 to 65535"},
    {"id", &TapOptions::id},
    {"discovery-prefix", &TapOptions::discoveryPrefix},
    {"no-discovery", &TapOptions::discovery, 0, 0, {}, true},
    {"cafile", &TapOptions::caFile},
    {"cert", &TapOptions::certFile},
    {"key", &TapOptions::keyFile},
    {"user", &TapOptions::user},
    {"password-file", &TapOptions::passwordFile},
    {"insecure", &TapOptions::insecure},
    {"record", &TapOptions::recordFile},
    {"heartbeat", &TapOptions::heartbeatSeconds, 5, 3600, "seconds from 5 to 3600"},
    {"forget", &TapOptions::forget},
    // Faster than a reply takes would only pile polls up at the meter.
    {"alone-poll", &TapOptions::alonePollMs, 0, 60000, "0 (never) or milliseconds from 20 to 60000", false, 20},
    {"generation", &TapOptions::generation},
};

// A value already checked against its key, kept until every source is read.
struct Setting {
    const Key* key;
    std::variant<std::string, int, bool, sim::Generation> value;
};

const Key* findKey(std::string_view name) {
    for (const Key& key : kKeys) {
        if (key.name == name) {
            return &key;
        }
    }
    return nullptr;
}

bool isSwitch(const Key& key) {
    return std::holds_alternative<bool TapOptions::*>(key.field);
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

// Checks `text` against its key alone; the message has no "--" or line yet.
bool parseSetting(std::string_view name, const std::string& text, Setting& setting, std::string& error) {
    const Key* key = findKey(name);
    if (key == nullptr) {
        error = "unknown setting: " + std::string(name);
        return false;
    }
    setting.key = key;
    const std::string quoted = " (not \"" + text + "\")";
    if (std::holds_alternative<std::string TapOptions::*>(key->field)) {
        if (text.empty()) {
            error = std::string(name) + " needs a value";
            return false;
        }
        setting.value = text;
    } else if (std::holds_alternative<int TapOptions::*>(key->field)) {
        int number = 0;
        if (!sim::parseWholeNumber(text, key->least, key->most, number) ||
            (number != 0 && number < key->leastButZero)) {
            error = std::string(name) + " needs " + std::string(key->numberText) + quoted;
            return false;
        }
        setting.value = number;
    } else if (std::holds_alternative<sim::Generation TapOptions::*>(key->field)) {
        const auto generation = sim::generationByName(text);
        if (!generation) {
            error = std::string(name) + " needs older or newer" + quoted;
            return false;
        }
        setting.value = *generation;
    } else {
        bool on = false;
        if (!parseYesNo(text, on)) {
            error = std::string(name) + " needs yes or no" + quoted;
            return false;
        }
        setting.value = on != key->inverted;
    }
    return true;
}

void apply(const Setting& setting, TapOptions& options) {
    std::visit(
        [&](auto member) {
            using Field = std::remove_reference_t<decltype(options.*member)>;
            options.*member = std::get<Field>(setting.value);
        },
        setting.key->field);
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

std::string trimmed(std::string_view text) {
    const auto first = text.find_first_not_of(" \t\r");
    if (first == std::string_view::npos) {
        return {};
    }
    return std::string(text.substr(first, text.find_last_not_of(" \t\r") - first + 1));
}

// "key = value" lines; '#' starts a comment line.
bool readConfigFile(const std::string& path, std::vector<Setting>& settings, std::string& error) {
    std::string content;
    if (!readBoundedFile(path, kLongestConfigFile, "config file", content, error)) {
        return false;
    }
    std::string_view rest = content;
    for (int number = 1; !rest.empty(); ++number) {
        const auto end = rest.find('\n');
        const std::string line = trimmed(rest.substr(0, end));
        rest.remove_prefix(end == std::string_view::npos ? rest.size() : end + 1);
        if (line.empty() || line.front() == '#') {
            continue;
        }
        const std::string where = path + ", line " + std::to_string(number) + ": ";
        const auto equals = line.find('=');
        if (equals == std::string::npos) {
            error = where + "expected \"setting = value\"";
            return false;
        }
        Setting setting{};
        if (!parseSetting(trimmed(line.substr(0, equals)), trimmed(line.substr(equals + 1)), setting, error)) {
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
        const Key* known = findKey(key);
        if (const auto equals = key.find('='); equals != std::string::npos) {
            value = key.substr(equals + 1);
            key.resize(equals);
        } else if (known != nullptr && isSwitch(*known)) {
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
        Setting setting{};
        if (!parseSetting(key, value, setting, error)) {
            error = "--" + error;
            return false;
        }
        fromLine.push_back(std::move(setting));
    }
    for (const auto* list : {&fromFile, &fromLine}) {
        for (const auto& setting : *list) {
            apply(setting, options);
        }
    }
    return true;
}

bool validateTapOptions(const TapOptions& o, std::string& error) {
    if (o.device.empty() && !o.forget) {
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
    in_addr v4{};
    in6_addr v6{};
    if (::inet_pton(AF_INET, host.c_str(), &v4) == 1) {
        return (ntohl(v4.s_addr) >> 24) == 127;
    }
    return host == "localhost" || (::inet_pton(AF_INET6, host.c_str(), &v6) == 1 && IN6_IS_ADDR_LOOPBACK(&v6));
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
