#include "forget.h"

#include <condition_variable>
#include <mutex>

namespace veltro::tap {

namespace {
// Covers the attempts at 0, 1, 3 and 7 s of the back-off.
constexpr auto kPatience = std::chrono::seconds(10);
}  // namespace

int forgetRetained(const BrokerSettings& settings, const std::vector<std::string>& topics, MqttLink::Log log) {
    std::mutex mutex;
    std::condition_variable connected;
    bool up = false;
    MqttLink link(
        log,
        [&] {
            std::lock_guard lock(mutex);
            up = true;
            connected.notify_all();
        },
        [](const std::string&, const std::string&) {});
    std::string error;
    if (!link.start(settings, error)) {
        log(error);
        return 1;
    }
    {
        std::unique_lock lock(mutex);
        if (!connected.wait_for(lock, kPatience, [&] { return up; })) {
            lock.unlock();
            link.stop("");
            log("nothing cleared: no broker connection at " + settings.host + ":" + std::to_string(settings.port));
            return 1;
        }
    }
    for (const auto& topic : topics) {
        link.publish(topic, "", 1);
    }
    // The will topic last: the disconnect follows it on the same connection.
    link.stop("");
    log("cleared " + std::to_string(topics.size()) + " retained topics");
    return 0;
}

}  // namespace veltro::tap
