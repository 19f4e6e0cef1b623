#include "mqtt_link.h"

#include <mosquitto.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace veltro::tap {

namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

constexpr int kKeepaliveSeconds = 30;
constexpr milliseconds kFirstRetry{1000};
constexpr milliseconds kLongestRetry{60000};
// The longest sleep while connected: the library's keepalive wants a look
// about this often.
constexpr int kServeWaitMs = 1000;
constexpr auto kStopPatience = std::chrono::seconds(2);
// A few heartbeats' worth; more means the broker takes nothing.
constexpr std::size_t kLongestOutbox = 1024;
// Distinct reasons are few; this only bounds a library that words each
// attempt differently.
constexpr std::size_t kMostReasons = 32;

struct LibraryUser {
    LibraryUser() { mosquitto_lib_init(); }
    ~LibraryUser() { mosquitto_lib_cleanup(); }
};

std::string connectError(int rc) {
    if (rc == MOSQ_ERR_ERRNO) {
        return std::strerror(errno);
    }
    if (rc == MOSQ_ERR_EAI) {
        return "the name does not resolve";
    }
    return mosquitto_strerror(rc);
}

}  // namespace

MqttLink::MqttLink(Log log, std::function<void()> onConnected,
                   std::function<void(const std::string&, const std::string&)> onMessage)
    : log_(std::move(log)), onConnected_(std::move(onConnected)), onMessage_(std::move(onMessage)) {
    static LibraryUser library;
    wakeFd_ = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
}

MqttLink::~MqttLink() {
    if (thread_.joinable()) {
        stopping_ = true;
        wake();
        thread_.join();
    }
    if (mosq_ != nullptr) {
        mosquitto_destroy(mosq_);
    }
    if (wakeFd_ >= 0) {
        ::close(wakeFd_);
    }
}

bool MqttLink::start(const BrokerSettings& settings, std::string& error) {
    settings_ = settings;
    mosq_ = mosquitto_new(settings.clientId.c_str(), true, this);
    if (mosq_ == nullptr || wakeFd_ < 0) {
        error = "cannot set up the MQTT client";
        return false;
    }
    mosquitto_connect_callback_set(mosq_, connectCallback);
    mosquitto_disconnect_callback_set(mosq_, disconnectCallback);
    mosquitto_publish_callback_set(mosq_, publishCallback);
    mosquitto_message_callback_set(mosq_, messageCallback);
    mosquitto_log_callback_set(mosq_, logCallback);
    int rc = mosquitto_will_set(mosq_, settings.willTopic.c_str(), 7, "offline", 1, true);
    if (rc == MOSQ_ERR_SUCCESS && !settings.user.empty()) {
        rc = mosquitto_username_pw_set(mosq_, settings.user.c_str(),
                                       settings.password.empty() ? nullptr : settings.password.c_str());
    }
    if (rc == MOSQ_ERR_SUCCESS && !settings.caFile.empty()) {
        rc = mosquitto_tls_set(mosq_, settings.caFile.c_str(), nullptr,
                               settings.certFile.empty() ? nullptr : settings.certFile.c_str(),
                               settings.keyFile.empty() ? nullptr : settings.keyFile.c_str(), nullptr);
    }
    if (rc != MOSQ_ERR_SUCCESS) {
        error = std::string("MQTT set-up refused: ") + mosquitto_strerror(rc);
        return false;
    }
    thread_ = std::thread([this] { run(); });
    return true;
}

void MqttLink::run() {
    milliseconds delay = kFirstRetry;
    for (bool first = true; !stopping_; first = false) {
        const int rc = first ? mosquitto_connect(mosq_, settings_.host.c_str(), settings_.port, kKeepaliveSeconds)
                             : mosquitto_reconnect(mosq_);
        if (rc == MOSQ_ERR_SUCCESS) {
            serve();
            if (connected_.exchange(false)) {
                delay = kFirstRetry;
                if (!stopping_) {
                    noteFailure("lost the broker connection, retrying");
                }
            }
        } else {
            noteFailure("cannot reach the broker at " + settings_.host + ":" + std::to_string(settings_.port) +
                        " (" + connectError(rc) + "), retrying");
        }
        if (!stopping_) {
            sleepFor(delay);
            delay = std::min(delay * 2, kLongestRetry);
        }
    }
}

// One connection, until it ends or a stop has been sent. A stop waits for
// the broker to acknowledge what was sent: closing on unread acks would
// reset the connection and lose the messages still in the broker's buffer.
void MqttLink::serve() {
    unacknowledged_.clear();
    std::optional<Clock::time_point> stopDeadline;
    bool disconnecting = false;
    for (;;) {
        if (stopping_ && !stopDeadline) {
            stopDeadline = Clock::now() + kStopPatience;
            if (connected_) {
                sendOutbox();
                std::string last;
                {
                    std::lock_guard lock(mutex_);
                    last = lastPayload_;
                }
                send(settings_.willTopic, last, 1);
            }
        } else {
            sendOutbox();
        }
        if (stopDeadline && !disconnecting && (unacknowledged_.empty() || !connected_)) {
            mosquitto_disconnect(mosq_);
            disconnecting = true;
        }
        const int socket = mosquitto_socket(mosq_);
        if (socket < 0 || (stopDeadline && Clock::now() > *stopDeadline)) {
            return;
        }
        pollfd fds[2] = {{socket, static_cast<short>(POLLIN | (mosquitto_want_write(mosq_) ? POLLOUT : 0)), 0},
                         {wakeFd_, POLLIN, 0}};
        if (::poll(fds, 2, kServeWaitMs) < 0 && errno != EINTR) {
            return;
        }
        if (fds[1].revents != 0) {
            eventfd_t count = 0;
            ::eventfd_read(wakeFd_, &count);
        }
        int rc = MOSQ_ERR_SUCCESS;
        if ((fds[0].revents & (POLLIN | POLLERR | POLLHUP)) != 0) {
            rc = mosquitto_loop_read(mosq_, 1);
        }
        if (rc == MOSQ_ERR_SUCCESS && mosquitto_socket(mosq_) >= 0 && mosquitto_want_write(mosq_)) {
            rc = mosquitto_loop_write(mosq_, 1);
        }
        if (rc == MOSQ_ERR_SUCCESS) {
            rc = mosquitto_loop_misc(mosq_);
        }
        if (rc != MOSQ_ERR_SUCCESS) {
            return;
        }
    }
}

void MqttLink::sendOutbox() {
    std::deque<Outgoing> batch;
    {
        std::lock_guard lock(mutex_);
        batch.swap(outbox_);
    }
    for (const auto& m : batch) {
        if (connected_) {
            send(m.topic, m.payload, m.qos);
        }
    }
}

void MqttLink::send(const std::string& topic, const std::string& payload, int qos) {
    int mid = 0;
    if (mosquitto_publish(mosq_, &mid, topic.c_str(), static_cast<int>(payload.size()), payload.data(), qos,
                          true) == MOSQ_ERR_SUCCESS &&
        qos > 0) {
        unacknowledged_.insert(mid);
    }
}

void MqttLink::wake() {
    ::eventfd_write(wakeFd_, 1);
}

void MqttLink::sleepFor(milliseconds span) {
    pollfd fd{wakeFd_, POLLIN, 0};
    const auto until = Clock::now() + span;
    while (!stopping_) {
        const auto left = std::chrono::duration_cast<milliseconds>(until - Clock::now()).count();
        if (left <= 0) {
            return;
        }
        if (::poll(&fd, 1, static_cast<int>(left)) > 0) {
            eventfd_t count = 0;
            ::eventfd_read(wakeFd_, &count);
        }
    }
}

void MqttLink::publish(const std::string& topic, const std::string& payload, int qos) {
    if (!connected_) {
        return;
    }
    {
        std::lock_guard lock(mutex_);
        if (outbox_.size() >= kLongestOutbox) {
            return;
        }
        outbox_.push_back({topic, payload, qos});
    }
    wake();
}

void MqttLink::stop(const std::string& lastPayload) {
    if (!thread_.joinable()) {
        return;
    }
    {
        std::lock_guard lock(mutex_);
        lastPayload_ = lastPayload;
    }
    stopping_ = true;
    wake();
    thread_.join();
}

void MqttLink::connectCallback(mosquitto* mosq, void* context, int rc) {
    auto* self = static_cast<MqttLink*>(context);
    if (rc != 0) {
        self->noteFailure("broker " + self->settings_.host + " refused the connection: " +
                          mosquitto_connack_string(rc) + "; retrying");
        return;
    }
    {
        std::lock_guard lock(self->mutex_);
        self->failuresLogged_.clear();
    }
    self->log_("connected to the broker at " + self->settings_.host + ":" +
               std::to_string(self->settings_.port));
    if (!self->settings_.watchedTopic.empty()) {
        mosquitto_subscribe(mosq, nullptr, self->settings_.watchedTopic.c_str(), 1);
    }
    self->connected_ = true;
    self->onConnected_();
}

void MqttLink::disconnectCallback(mosquitto*, void* context, int) {
    static_cast<MqttLink*>(context)->wake();
}

void MqttLink::publishCallback(mosquitto*, void* context, int mid) {
    static_cast<MqttLink*>(context)->unacknowledged_.erase(mid);
}

void MqttLink::messageCallback(mosquitto*, void* context, const mosquitto_message* message) {
    auto* self = static_cast<MqttLink*>(context);
    const auto* bytes = static_cast<const char*>(message->payload);
    self->onMessage_(message->topic, std::string(bytes, bytes ? static_cast<std::size_t>(message->payloadlen) : 0));
}

// The library's own errors say why (a certificate that does not verify).
void MqttLink::logCallback(mosquitto*, void* context, int level, const char* text) {
    if ((level & MOSQ_LOG_ERR) != 0 && text != nullptr) {
        static_cast<MqttLink*>(context)->noteFailure(std::string("broker connection: ") + text);
    }
}

// Once per reason until connected: a broker away for hours logs once.
void MqttLink::noteFailure(const std::string& what) {
    {
        std::lock_guard lock(mutex_);
        if (failuresLogged_.size() >= kMostReasons || !failuresLogged_.insert(what).second) {
            return;
        }
    }
    log_(what);
}

}  // namespace veltro::tap
