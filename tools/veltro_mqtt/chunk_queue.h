#pragma once

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <mutex>
#include <vector>

#include "line_record.h"

namespace veltro::tap {

using Clock = std::chrono::steady_clock;

struct TimedChunk {
    Clock::time_point at;
    record::Direction direction;
    std::string bytes;
};

// The relay's hand-off to the thread that records, decodes and publishes.
// push() never waits for that thread: the lock is held only to move a
// vector, and a full queue drops the chunk (counted) rather than grow.
class ChunkQueue {
  public:
    explicit ChunkQueue(std::size_t capacity) : capacity_(capacity) {}

    void push(TimedChunk&& chunk) {
        {
            std::lock_guard lock(mutex_);
            if (chunks_.size() >= capacity_) {
                ++dropped_;
                return;
            }
            chunks_.push_back(std::move(chunk));
        }
        wake_.notify_one();
    }

    // Wakes the consumer without a chunk (a broker event, a stop).
    void poke() {
        {
            std::lock_guard lock(mutex_);
            poked_ = true;
        }
        wake_.notify_one();
    }

    // Everything queued, waiting until `deadline` for something to arrive.
    std::vector<TimedChunk> takeAll(Clock::time_point deadline) {
        std::unique_lock lock(mutex_);
        wake_.wait_until(lock, deadline, [this] { return !chunks_.empty() || poked_; });
        poked_ = false;
        std::vector<TimedChunk> out;
        out.swap(chunks_);
        return out;
    }

    std::size_t takeDropped() {
        std::lock_guard lock(mutex_);
        const std::size_t n = dropped_;
        dropped_ = 0;
        return n;
    }

  private:
    const std::size_t capacity_;
    std::mutex mutex_;
    std::condition_variable wake_;
    std::vector<TimedChunk> chunks_;
    std::size_t dropped_ = 0;
    bool poked_ = false;
};

}  // namespace veltro::tap
