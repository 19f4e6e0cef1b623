#pragma once

#include <atomic>
#include <chrono>
#include <deque>
#include <functional>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <thread>

struct mosquitto;
struct mosquitto_message;

namespace veltro::tap {

struct BrokerSettings {
    std::string host;
    int port = 1883;
    std::string clientId;
    std::string user;
    std::string password;
    std::string caFile;
    std::string certFile;
    std::string keyFile;
    std::string willTopic;      // gets "offline", retained, when the tap dies
    std::string watchedTopic;   // Home Assistant's birth topic, or empty
};

// The broker connection, on a thread of its own: connects and, whatever went
// wrong (nothing listening, a name that does not resolve yet, a refused
// login, a lost connection), tries again after a back-off of 1 s doubling to
// 60 s, from the very first attempt. Each reason is logged once until a
// connection is made. Only that thread calls the library; publish() hands
// messages over and never blocks. Callbacks arrive on that thread and must
// only note and wake.
class MqttLink {
  public:
    using Log = std::function<void(const std::string&)>;

    MqttLink(Log log, std::function<void()> onConnected,
             std::function<void(const std::string& topic, const std::string& payload)> onMessage);
    ~MqttLink();
    MqttLink(const MqttLink&) = delete;
    MqttLink& operator=(const MqttLink&) = delete;

    // Sets up and starts connecting. False with a message for settings the
    // library refuses.
    bool start(const BrokerSettings& settings, std::string& error);
    bool connected() const { return connected_; }
    // Retained; dropped while disconnected (a reconnect republishes all).
    void publish(const std::string& topic, const std::string& payload, int qos);
    // Publishes `lastPayload` on the will topic, disconnects, ends the thread.
    void stop(const std::string& lastPayload);

  private:
    struct Outgoing {
        std::string topic;
        std::string payload;
        int qos;
    };

    void run();
    void serve();
    void sendOutbox();
    void send(const std::string& topic, const std::string& payload, int qos);
    void wake();
    void sleepFor(std::chrono::milliseconds span);
    static void connectCallback(mosquitto*, void* self, int rc);
    static void disconnectCallback(mosquitto*, void* self, int rc);
    static void publishCallback(mosquitto*, void* self, int mid);
    static void messageCallback(mosquitto*, void* self, const mosquitto_message* message);
    static void logCallback(mosquitto*, void* self, int level, const char* text);
    void noteFailure(const std::string& what);

    Log log_;
    std::function<void()> onConnected_;
    std::function<void(const std::string&, const std::string&)> onMessage_;
    BrokerSettings settings_;
    mosquitto* mosq_ = nullptr;
    std::thread thread_;
    int wakeFd_ = -1;
    std::atomic<bool> connected_{false};
    std::atomic<bool> stopping_{false};
    std::mutex mutex_;
    std::deque<Outgoing> outbox_;
    std::string lastPayload_;
    std::set<std::string> failuresLogged_;  // since the last connection
    std::set<int> unacknowledged_;          // the thread's own: sent at QoS 1, no ack yet
};

}  // namespace veltro::tap
