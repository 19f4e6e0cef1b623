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
// What the broker may hand over between two wake-ups; more is dropped.
constexpr std::size_t kMostReceived = 64;
constexpr std::size_t kLongestReceived = 1024;
}  // namespace

Observer::Observer(std::string baseTopic, std::optional<Discovery> discovery, std::vector<std::string> cleared,
                   std::string birthTopic, PolicyTiming timing, WatchSettings watch, ChunkQueue& queue,
                   MqttLink& link, Log log)
    : baseTopic_(std::move(baseTopic)),
      discovery_(std::move(discovery)),
      cleared_(std::move(cleared)),
      birthTopic_(std::move(birthTopic)),
      policy_(timing),
      watch_(watch),
      tripOn_(watch.tripSwr > 0),
      // Unique to this run: sent after subscribing, it comes back after
      // whatever the broker kept of the trip.
      readBackProbe_("read-back " + std::to_string(Clock::now().time_since_epoch().count())),
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

void Observer::setJournal(const std::string& path) {
    journal_.emplace(path, journalHeader(), log_);
    journal_->checkAtStart();
}

std::vector<std::string> Observer::tripTopics() const {
    if (!tripOn_) {
        return {};
    }
    return {baseTopic_ + "/trip", baseTopic_ + "/trip/detail", baseTopic_ + "/trip/set"};
}

void Observer::run() {
    std::vector<Message> out;
    while (!stopping_) {
        const auto deadline = std::min({policy_.nextDue(), watch_.nextDue(), Clock::now() + kLongestSleep});
        const auto chunks = queue_.takeAll(deadline);
        out.clear();
        wallNow_ = WallClock::now();
        steadyNow_ = Clock::now();
        for (const auto& chunk : chunks) {
            record(chunk);
            if (auto reply = splitter_.feed(chunk.direction, chunk.bytes)) {
                onReply(*reply, chunk.at, out);
            }
        }
        takeBrokerMessages();
        const auto now = Clock::now();
        if (republish_.exchange(false)) {
            for (const auto& topic : cleared_) {
                link_.publish(topic, "", 1);
            }
            if (discovery_) {
                link_.publish(discovery_->topic, discovery_->payload, 1);
            }
            policy_.everything(now, out);
            watch_.everything(watchOut_);
            if (tripOn_ && !watch_.tripKnown()) {
                link_.publish(baseTopic_ + "/trip/set", readBackProbe_, 1, false);
            }
        }
        policy_.onTime(now, out);
        watch_.onTime(now, watchOut_);
        takeWatchOutput(out);
        publish(out);
        if (const auto dropped = queue_.takeDropped()) {
            log_(std::to_string(dropped) + " chunks not looked at (recording or decoding fell behind)");
        }
    }
    out.clear();
    watch_.finish(watchOut_);
    takeWatchOutput(out);
    publish(out);
}

void Observer::publish(const std::vector<Message>& out) {
    for (const auto& message : out) {
        link_.publish(baseTopic_ + "/" + message.subtopic, message.payload, message.qos, message.retain);
    }
    // After the broker has its copy: a journal that fails costs it nothing.
    for (auto& line : journalLines_) {
        journal_->append(std::move(line));
    }
    journalLines_.clear();
}

void Observer::takeBrokerMessages() {
    std::vector<Received> taken;
    {
        std::lock_guard lock(receivedMutex_);
        taken.swap(received_);
    }
    for (const Received& r : taken) {
        const std::string subtopic = r.topic.substr(baseTopic_.size() + 1);
        if (subtopic == "trip/set" && !r.retained && r.payload == readBackProbe_) {
            watch_.readBackDone(watchOut_);
        } else if (subtopic == "trip/set") {
            watch_.onTripCommand(r.payload, r.retained, watchOut_);
        } else if (r.retained) {
            watch_.readBack(subtopic, r.payload);
        }
    }
}

void Observer::takeWatchOutput(std::vector<Message>& out) {
    for (auto& message : watchOut_.messages) {
        out.push_back(std::move(message));
    }
    for (const Transmission& t : watchOut_.ended) {
        out.push_back({"transmission", transmissionJson(t), 1, false});
        if (journal_) {
            journalLines_.push_back(journalLine(t));
        }
    }
    for (const auto& note : watchOut_.notes) {
        log_(note);
    }
    watchOut_ = {};
}

void Observer::stop() {
    stopping_ = true;
    queue_.poke();
}

void Observer::brokerConnected() {
    republish_ = true;
    queue_.poke();
}

void Observer::brokerMessage(const std::string& topic, const std::string& payload, bool retained) {
    if (topic == birthTopic_) {
        if (payload == "online") {
            republish_ = true;
            queue_.poke();
        }
        return;
    }
    if (!tripOn_ || !topic.starts_with(baseTopic_ + "/trip")) {
        return;
    }
    {
        std::lock_guard lock(receivedMutex_);
        if (received_.size() < kMostReceived) {
            received_.push_back({topic, payload.substr(0, kLongestReceived), retained});
        }
    }
    queue_.poke();
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
    WatchFrame frame{at, wallNow_ - std::chrono::duration_cast<WallClock::duration>(steadyNow_ - at),
                     stationValues(reading_)};
    StationValues values = frame.values;
    values.peakForwardW = watch_.onFrame(frame, watchOut_);
    policy_.onFrame(at, values, out);
    takeWatchOutput(out);
}

}  // namespace veltro::tap
