#include "observer.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "meter/derived.h"
#include "meter/status_frame.h"

namespace veltro::tap {

namespace {
// Wakes at least this often even when nothing is due.
constexpr auto kLongestSleep = std::chrono::seconds(1);
}  // namespace

Observer::Observer(std::string baseTopic, std::optional<Discovery> discovery, std::vector<std::string> cleared,
                   std::string birthTopic, PolicyTiming timing, ChunkQueue& queue, MqttLink& link, Log log)
    : baseTopic_(std::move(baseTopic)),
      discovery_(std::move(discovery)),
      cleared_(std::move(cleared)),
      birthTopic_(std::move(birthTopic)),
      policy_(timing),
      queue_(queue),
      link_(link),
      log_(std::move(log)) {}

Observer::~Observer() {
    if (recording_ != nullptr) {
        std::fclose(recording_);
    }
}

bool Observer::openRecording(const std::string& path, std::string& error) {
    // Opening never waits: a FIFO with no reader is refused rather than
    // holding up the start; one with a reader gets the live line.
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, 0644);
    if (fd >= 0) {
        ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
        recording_ = ::fdopen(fd, "w");
    }
    if (recording_ == nullptr) {
        error = "cannot write the recording " + path + ": " + std::strerror(errno);
        if (fd >= 0) {
            ::close(fd);
        }
        return false;
    }
    std::fprintf(recording_, "%s\n", std::string(record::kHeader).c_str());
    std::fflush(recording_);
    start_ = Clock::now();
    return true;
}

void Observer::run() {
    std::vector<Message> out;
    while (!stopping_) {
        const auto deadline = std::min(policy_.nextDue(), Clock::now() + kLongestSleep);
        const auto chunks = queue_.takeAll(deadline);
        out.clear();
        for (const auto& chunk : chunks) {
            record(chunk);
            if (auto reply = splitter_.feed(chunk.direction, chunk.bytes)) {
                onReply(*reply, chunk.at, out);
            }
        }
        const auto now = Clock::now();
        if (republish_.exchange(false)) {
            for (const auto& topic : cleared_) {
                link_.publish(topic, "", 1);
            }
            if (discovery_) {
                link_.publish(discovery_->topic, discovery_->payload, 1);
            }
            policy_.everything(now, out);
        }
        policy_.onTime(now, out);
        for (const auto& message : out) {
            link_.publish(baseTopic_ + "/" + message.subtopic, message.payload, message.qos);
        }
        if (const auto dropped = queue_.takeDropped()) {
            log_(std::to_string(dropped) + " chunks not looked at (recording or decoding fell behind)");
        }
    }
}

void Observer::stop() {
    stopping_ = true;
    queue_.poke();
}

void Observer::brokerConnected() {
    republish_ = true;
    queue_.poke();
}

void Observer::brokerMessage(const std::string& topic, const std::string& payload) {
    if (topic == birthTopic_ && payload == "online") {
        republish_ = true;
        queue_.poke();
    }
}

void Observer::record(const TimedChunk& chunk) {
    if (recording_ == nullptr) {
        return;
    }
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(chunk.at - start_).count();
    const std::string line = record::formatChunk({ms, chunk.direction, chunk.bytes}) + "\n";
    if (std::fputs(line.c_str(), recording_) < 0 || std::fflush(recording_) != 0) {
        log_("recording stopped: " + std::string(std::strerror(errno)));
        std::fclose(recording_);
        recording_ = nullptr;
    }
}

void Observer::onReply(const std::string& reply, Clock::time_point at, std::vector<Message>& out) {
    if (!isStatusFrame(reply)) {
        return;
    }
    decodeFrame(reply, reading_, nullptr);
    ComputeDerived(reading_);
    policy_.onFrame(at, stationValues(reading_), out);
}

}  // namespace veltro::tap
