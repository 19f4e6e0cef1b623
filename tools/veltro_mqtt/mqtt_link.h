#pragma once

#include <atomic>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

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
    std::vector<std::string> watchedTopics;  // subscribed at each connect
};

// The broker connection, on libmosquitto's own network thread: connects,
// reconnects with back-off (1 s doubling to 60 s), never blocks the caller.
// Callbacks arrive on that thread and must only note and wake.
class MqttLink {
  public:
    using Log = std::function<void(const std::string&)>;

    using OnMessage = std::function<void(const std::string& topic, const std::string& payload, bool retained)>;

    MqttLink(Log log, std::function<void()> onConnected, OnMessage onMessage);
    ~MqttLink();
    MqttLink(const MqttLink&) = delete;
    MqttLink& operator=(const MqttLink&) = delete;

    // Sets up and starts connecting. False with a message for settings the
    // library refuses (unreadable TLS files and the like).
    bool start(const BrokerSettings& settings, std::string& error);
    bool connected() const { return connected_; }
    // Dropped while disconnected (a reconnect republishes all that is retained).
    void publish(const std::string& topic, const std::string& payload, int qos, bool retain = true);
    // Publishes `payload` on the will topic, disconnects, stops the thread.
    void stop(const std::string& lastPayload);

  private:
    static void connectCallback(mosquitto*, void* self, int rc);
    static void disconnectCallback(mosquitto*, void* self, int rc);
    static void messageCallback(mosquitto*, void* self, const mosquitto_message* message);
    static void logCallback(mosquitto*, void* self, int level, const char* text);
    void noteFailure(const std::string& what);

    Log log_;
    std::function<void()> onConnected_;
    OnMessage onMessage_;
    BrokerSettings settings_;
    mosquitto* mosq_ = nullptr;
    bool started_ = false;
    std::atomic<bool> connected_{false};
    std::mutex logMutex_;
    std::string lastFailure_;
};

}  // namespace veltro::tap
