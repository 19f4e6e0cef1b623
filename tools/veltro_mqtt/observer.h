#pragma once

#include <atomic>
#include <cstdio>
#include <functional>
#include <string>

#include "chunk_queue.h"
#include "discovery.h"
#include "mqtt_link.h"
#include "publish_policy.h"
#include "reply_splitter.h"

namespace veltro::tap {

// The thread beside the relay: records the line, finds and decodes the
// meter's frames, and publishes what the policy says. Nothing here can hold
// up a byte on the line.
class Observer {
  public:
    using Log = std::function<void(const std::string&)>;

    // `cleared`: retained topics emptied at each connection (a discovery
    // that is off, or one where an earlier version put it).
    Observer(std::string baseTopic, std::optional<Discovery> discovery, std::vector<std::string> cleared,
             std::string birthTopic, PolicyTiming timing, ChunkQueue& queue, MqttLink& link, Log log);
    ~Observer();

    // Truncates and starts the file; false with a message.
    bool openRecording(const std::string& path, std::string& error);
    // The thread's body; returns soon after stop().
    void run();
    void stop();

    // From the broker's thread.
    void brokerConnected();
    void brokerMessage(const std::string& topic, const std::string& payload);

  private:
    void record(const TimedChunk& chunk);
    void onReply(const std::string& reply, Clock::time_point at, std::vector<Message>& out);

    std::string baseTopic_;
    std::optional<Discovery> discovery_;
    std::vector<std::string> cleared_;
    std::string birthTopic_;
    PublishPolicy policy_;
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
