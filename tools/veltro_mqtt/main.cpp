// veltro-mqtt: the tap between the meter and the panel that carries the
// station's readings to an MQTT broker. See --help.
#include <unistd.h>

#include <fstream>
#include <iostream>
#include <mutex>
#include <thread>

#include <QString>

#include "observer.h"
#include "platform/settings_location.h"
#include "pty_link.h"
#include "relay.h"
#include "stop_signals.h"
#include "tap_options.h"

namespace {

using namespace veltro::tap;

constexpr std::size_t kQueueChunks = 4096;

std::mutex logMutex;
void say(const std::string& line) {
    std::lock_guard lock(logMutex);
    std::cerr << "veltro-mqtt: " << line << std::endl;
}

bool readable(const std::string& path) {
    return path.empty() || std::ifstream(path).good();
}

bool readPassword(const std::string& path, std::string& password, std::string& error) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error = "cannot read the password file " + path;
        return false;
    }
    std::getline(in, password);
    if (!password.empty() && password.back() == '\r') {
        password.pop_back();
    }
    if (password.empty()) {
        error = "the password file " + path + " holds no password on its first line";
        return false;
    }
    return true;
}

std::string hostName() {
    char name[256] = {};
    return ::gethostname(name, sizeof name - 1) == 0 ? name : "";
}

}  // namespace

int main(int argc, char** argv) {
    TapOptions options;
    std::string error;
    if (!parseTapOptions(argc, argv, options, error)) {
        say(error + " (see --help)");
        return 2;
    }
    if (options.help) {
        std::cout << tapUsageText();
        return 0;
    }
    if (!validateTapOptions(options, error)) {
        say(error);
        return 2;
    }
    for (const auto* file : {&options.caFile, &options.certFile, &options.keyFile}) {
        if (!readable(*file)) {
            say("cannot read " + *file);
            return 2;
        }
    }
    BrokerSettings broker;
    broker.host = options.host;
    broker.port = options.effectiveBrokerPort();
    if (!options.passwordFile.empty() && !readPassword(options.passwordFile, broker.password, error)) {
        say(error);
        return 2;
    }
    if (options.id.empty()) {
        options.id = defaultId(hostName(), options.port);
    }
    if (options.folder.empty()) {
        const QString own = QString::fromStdString(veltro::pty::executableFolder());
        options.folder = veltro::settingsFolderFor(own).toStdString();
    }
    const std::string base = "veltro/" + options.id;
    broker.clientId = "veltro-mqtt-" + options.id + "-" + std::to_string(::getpid());
    broker.user = options.user;
    broker.caFile = options.caFile;
    broker.certFile = options.certFile;
    broker.keyFile = options.keyFile;
    broker.willTopic = base + "/status";
    const std::string birthTopic = options.discoveryPrefix + "/status";
    if (options.discovery) {
        broker.watchedTopic = birthTopic;
    }

    const int stopFd = veltro::pty::stopSignalPipe();
    if (stopFd < 0) {
        say("cannot make a pipe");
        return 1;
    }

    ChunkQueue queue(kQueueChunks);
    std::optional<Observer> observer;
    MqttLink link(
        say, [&] { observer->brokerConnected(); },
        [&](const std::string& topic, const std::string& payload) { observer->brokerMessage(topic, payload); });
    PolicyTiming timing;
    timing.heartbeat = std::chrono::seconds(options.heartbeatSeconds);
    observer.emplace(base,
                     options.discovery ? std::optional(discoveryFor(options.discoveryPrefix, base, options.id))
                                       : std::nullopt,
                     birthTopic, timing, queue, link, say);
    if (!options.recordFile.empty() && !observer->openRecording(options.recordFile, error)) {
        say(error);
        return 1;
    }
    AlonePolling alone;
    alone.interval = std::chrono::milliseconds(options.alonePollMs);
    alone.command = options.generation == veltro::sim::Generation::Older ? ";P?" : "P";
    alone.speed = options.generation == veltro::sim::Generation::Older ? B38400 : B115200;
    Relay relay(options.device, options.folder, options.port, alone, queue, say);
    if (!relay.start(error)) {
        say(error);
        return relay.refused() ? 2 : 1;
    }
    if (!link.start(broker, error)) {
        say(error);
        return 2;
    }
    say("relaying " + options.device + " <-> " + relay.linkPath() + "; publishing under " + base +
        " at " + broker.host + ":" + std::to_string(broker.port));
    std::thread observerThread([&] { observer->run(); });

    relay.run(stopFd);

    observer->stop();
    observerThread.join();
    link.publish(base + "/link", "offline", 1);
    link.stop("offline");
    say("stopped");
    return 0;
}
