#pragma once

#include <atomic>
#include <cstdio>
#include <functional>
#include <mutex>
#include <string>

#include "chunk_queue.h"
#include "discovery.h"
#include "journal.h"
#include "mqtt_link.h"
#include "publish_policy.h"
#include "reply_splitter.h"
#include "station_watch.h"

namespace veltro::tap {

// The thread beside the relay: records the line, finds and decodes the
// meter's frames, and publishes what the policy says. Nothing here can hold
// up a byte on the line.
class Observer {
  public:
    using Log = std::function<void(const std::string&)>;

    // `cleared`: retained topics emptied at each connection (a discovery
    // that is off, or one where an earlier version put it, a trip that is off).
    Observer(std::string baseTopic, std::optional<Discovery> discovery, std::vector<std::string> cleared,
             std::string birthTopic, PolicyTiming timing, WatchSettings watch, ChunkQueue& queue, MqttLink& link,
             Log log);
    ~Observer();

    // Truncates and starts the file; false with a message.
    bool openRecording(const std::string& path, std::string& error);
    void setJournal(const std::string& path);
    // The topics to subscribe to besides Home Assistant's birth topic.
    std::vector<std::string> tripTopics() const;
    // The thread's body; returns soon after stop().
    void run();
    void stop();

    // From the broker's thread.
    void brokerConnected();
    void brokerMessage(const std::string& topic, const std::string& payload, bool retained);

  private:
    void record(const TimedChunk& chunk);
    void onReply(const std::string& reply, Clock::time_point at, std::vector<Message>& out);
    void takeBrokerMessages();
    void takeWatchOutput(std::vector<Message>& out);
    void publish(const std::vector<Message>& out);

    struct Received {
        std::string topic;
        std::string payload;
        bool retained;
    };

    std::string baseTopic_;
    std::optional<Discovery> discovery_;
    std::vector<std::string> cleared_;
    std::string birthTopic_;
    PublishPolicy policy_;
    StationWatch watch_;
    WatchOutput watchOut_;
    bool tripOn_;
    std::optional<Journal> journal_;
    std::vector<std::string> journalLines_;
    WallClock::time_point wallNow_;
    Clock::time_point steadyNow_;
    std::string readBackProbe_;
    std::mutex receivedMutex_;
    std::vector<Received> received_;
    ChunkQueue& queue_;
    MqttLink& link_;
    Log log_;
    ReplySplitter splitter_;
    ReadingRecord reading_;
    std::FILE* recording_ = nullptr;
    Clock::time_point start_ = Clock::now();
    std::atomic<bool> stopping_{false};
    std::atomic<bool> republish_{false};
};

}  // namespace veltro::tap
