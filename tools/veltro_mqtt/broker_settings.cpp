#include "broker_settings.h"

#include <unistd.h>

#include "bounded_file.h"
#include "tls_files.h"

namespace veltro::tap {

namespace {

constexpr std::size_t kLongestPasswordFile = 4 * 1024;

bool readPassword(const std::string& path, std::string& password, std::string& error) {
    std::string content;
    if (!readBoundedFile(path, kLongestPasswordFile, "password file", content, error)) {
        return false;
    }
    password = content.substr(0, content.find('\n'));
    if (!password.empty() && password.back() == '\r') {
        password.pop_back();
    }
    if (password.empty() || password.find('\0') != std::string::npos) {
        error = "the password file " + path + " holds no password on its first line";
        return false;
    }
    return true;
}

}  // namespace

bool brokerSettingsFor(const TapOptions& options, const std::string& baseTopic, BrokerSettings& settings,
                       std::string& error) {
    settings = {};
    if (!options.passwordFile.empty() && !readPassword(options.passwordFile, settings.password, error)) {
        return false;
    }
    if (!checkTlsFiles(options.caFile, options.certFile, options.keyFile, error)) {
        return false;
    }
    settings.host = options.host;
    settings.port = options.effectiveBrokerPort();
    settings.clientId = "veltro-mqtt-" + options.id + "-" + std::to_string(::getpid());
    settings.user = options.user;
    settings.caFile = options.caFile;
    settings.certFile = options.certFile;
    settings.keyFile = options.keyFile;
    settings.willTopic = baseTopic + "/status";
    if (options.discovery && !options.forget) {
        settings.watchedTopic = options.discoveryPrefix + "/status";
    }
    return true;
}

}  // namespace veltro::tap
