// veltro-mqtt: the tap between the meter and the panel that carries the
// station's readings to an MQTT broker. See --help.
#include <unistd.h>

#include <iostream>
#include <mutex>
#include <thread>

#include <QString>

#include "broker_settings.h"
#include "forget.h"
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

std::string hostName() {
    char name[256] = {};
    return ::gethostname(name, sizeof name - 1) == 0 ? name : "";
}

// Every retained topic this id may have left on the broker.
std::vector<std::string> retainedTopics(const std::string& base, const Discovery& discovery) {
    std::vector<std::string> topics;
    for (const char* subtopic : kRetainedSubtopics) {
        topics.push_back(base + "/" + subtopic);
    }
    for (const auto* topic : {&discovery.topic, &discovery.formerTopic}) {
        if (!topic->empty()) {
            topics.push_back(*topic);
        }
    }
    return topics;
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
    if (options.id.empty()) {
        options.id = defaultId(hostName(), options.port);
    }
    const std::string base = "veltro/" + options.id;
    BrokerSettings broker;
    if (!brokerSettingsFor(options, base, broker, error)) {
        say(error);
        return 1;
    }
    const Discovery discovery = discoveryFor(options.discoveryPrefix, base, options.id);
    if (options.forget) {
        return forgetRetained(broker, retainedTopics(base, discovery), say);
    }
    if (options.folder.empty()) {
        const QString own = QString::fromStdString(veltro::pty::executableFolder());
        options.folder = veltro::settingsFolderFor(own).toStdString();
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
    std::vector<std::string> cleared;
    for (const auto* topic : {&discovery.formerTopic, options.discovery ? nullptr : &discovery.topic}) {
        if (topic != nullptr && !topic->empty()) {
            cleared.push_back(*topic);
        }
    }
    observer.emplace(base, options.discovery ? std::optional(discovery) : std::nullopt, cleared,
                     options.discoveryPrefix + "/status", timing, queue, link, say);
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
    say("relaying " + options.device + " <-> " + relay.linkPath() + "; publishing under " + base +
        " at " + broker.host + ":" + std::to_string(broker.port));
    if (!link.start(broker, error)) {
        say(error);
        return 1;
    }
    std::thread observerThread([&] { observer->run(); });

    relay.run(stopFd);

    observer->stop();
    observerThread.join();
    link.publish(base + "/link", "offline", 1);
    link.stop("offline");
    say("stopped");
    return 0;
}
