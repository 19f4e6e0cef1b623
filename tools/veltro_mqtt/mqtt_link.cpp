#include "mqtt_link.h"

#include <mosquitto.h>

#include <mutex>

namespace veltro::tap {

namespace {

constexpr int kKeepaliveSeconds = 30;
constexpr unsigned kFirstRetrySeconds = 1;
constexpr unsigned kLongestRetrySeconds = 60;

struct LibraryUser {
    LibraryUser() { mosquitto_lib_init(); }
    ~LibraryUser() { mosquitto_lib_cleanup(); }
};

}  // namespace

MqttLink::MqttLink(Log log, std::function<void()> onConnected, OnMessage onMessage)
    : log_(std::move(log)), onConnected_(std::move(onConnected)), onMessage_(std::move(onMessage)) {
    static LibraryUser library;
}

MqttLink::~MqttLink() {
    if (mosq_ != nullptr) {
        if (started_) {
            mosquitto_loop_stop(mosq_, true);
        }
        mosquitto_destroy(mosq_);
    }
}

bool MqttLink::start(const BrokerSettings& settings, std::string& error) {
    settings_ = settings;
    mosq_ = mosquitto_new(settings.clientId.c_str(), true, this);
    if (mosq_ == nullptr) {
        error = "cannot set up the MQTT client";
        return false;
    }
    mosquitto_connect_callback_set(mosq_, connectCallback);
    mosquitto_disconnect_callback_set(mosq_, disconnectCallback);
    mosquitto_message_callback_set(mosq_, messageCallback);
    mosquitto_log_callback_set(mosq_, logCallback);
    mosquitto_reconnect_delay_set(mosq_, kFirstRetrySeconds, kLongestRetrySeconds, true);
    int rc = mosquitto_will_set(mosq_, settings.willTopic.c_str(), 7, "offline", 1, true);
    if (rc == MOSQ_ERR_SUCCESS && !settings.user.empty()) {
        rc = mosquitto_username_pw_set(mosq_, settings.user.c_str(),
                                       settings.password.empty() ? nullptr : settings.password.c_str());
    }
    if (rc == MOSQ_ERR_SUCCESS && !settings.caFile.empty()) {
        rc = mosquitto_tls_set(mosq_, settings.caFile.c_str(), nullptr,
                               settings.certFile.empty() ? nullptr : settings.certFile.c_str(),
                               settings.keyFile.empty() ? nullptr : settings.keyFile.c_str(), nullptr);
        if (rc != MOSQ_ERR_SUCCESS) {
            error = "TLS set-up refused (CA " + settings.caFile +
                    (settings.certFile.empty() ? "" : ", certificate " + settings.certFile) +
                    "): " + mosquitto_strerror(rc);
            return false;
        }
    }
    if (rc != MOSQ_ERR_SUCCESS) {
        error = std::string("MQTT set-up refused: ") + mosquitto_strerror(rc);
        return false;
    }
    rc = mosquitto_connect_async(mosq_, settings.host.c_str(), settings.port, kKeepaliveSeconds);
    if (rc == MOSQ_ERR_INVAL) {
        error = "broker address " + settings.host + " is not valid";
        return false;
    }
    if (rc != MOSQ_ERR_SUCCESS) {
        // The network thread keeps trying with back-off.
        noteFailure("cannot reach the broker at " + settings.host + ":" +
                    std::to_string(settings.port) + " (" + mosquitto_strerror(rc) + "), retrying");
    }
    rc = mosquitto_loop_start(mosq_);
    if (rc != MOSQ_ERR_SUCCESS) {
        error = std::string("cannot start the MQTT thread: ") + mosquitto_strerror(rc);
        return false;
    }
    started_ = true;
    return true;
}

void MqttLink::publish(const std::string& topic, const std::string& payload, int qos, bool retain) {
    if (!connected_) {
        return;
    }
    mosquitto_publish(mosq_, nullptr, topic.c_str(), static_cast<int>(payload.size()), payload.data(),
                      qos, retain);
}

void MqttLink::stop(const std::string& lastPayload) {
    if (!started_) {
        return;
    }
    if (connected_) {
        int mid = 0;
        mosquitto_publish(mosq_, &mid, settings_.willTopic.c_str(),
                          static_cast<int>(lastPayload.size()), lastPayload.data(), 1, true);
    }
    mosquitto_disconnect(mosq_);
    mosquitto_loop_stop(mosq_, false);
    started_ = false;
}

void MqttLink::connectCallback(mosquitto* mosq, void* context, int rc) {
    auto* self = static_cast<MqttLink*>(context);
    if (rc != 0) {
        self->noteFailure("broker " + self->settings_.host + " refused the connection: " +
                          mosquitto_connack_string(rc) + "; retrying");
        return;
    }
    {
        std::lock_guard lock(self->logMutex_);
        self->lastFailure_.clear();
    }
    self->log_("connected to the broker at " + self->settings_.host + ":" +
               std::to_string(self->settings_.port));
    for (const auto& topic : self->settings_.watchedTopics) {
        mosquitto_subscribe(mosq, nullptr, topic.c_str(), 1);
    }
    self->connected_ = true;
    self->onConnected_();
}

void MqttLink::disconnectCallback(mosquitto*, void* context, int rc) {
    auto* self = static_cast<MqttLink*>(context);
    const bool was = self->connected_.exchange(false);
    if (rc != 0) {
        self->noteFailure(was ? "lost the broker connection, retrying"
                              : "the broker connection failed, retrying");
    }
}

void MqttLink::messageCallback(mosquitto*, void* context, const mosquitto_message* message) {
    auto* self = static_cast<MqttLink*>(context);
    const auto* bytes = static_cast<const char*>(message->payload);
    self->onMessage_(message->topic, std::string(bytes, bytes ? static_cast<std::size_t>(message->payloadlen) : 0),
                     message->retain);
}

// The library's own errors say why (a certificate that does not verify).
void MqttLink::logCallback(mosquitto*, void* context, int level, const char* text) {
    if ((level & MOSQ_LOG_ERR) != 0 && text != nullptr) {
        static_cast<MqttLink*>(context)->noteFailure(std::string("broker connection: ") + text);
    }
}

// One line per distinct failure: a broker away for hours logs once.
void MqttLink::noteFailure(const std::string& what) {
    std::lock_guard lock(logMutex_);
    if (what != lastFailure_) {
        lastFailure_ = what;
        log_(what);
    }
}

}  // namespace veltro::tap
