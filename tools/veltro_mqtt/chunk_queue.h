#pragma once

#include <atomic>
#include <chrono>
#include <cstddef>
#include <string>
#include <vector>

#include "line_record.h"

namespace veltro::tap {

using Clock = std::chrono::steady_clock;

struct TimedChunk {
    Clock::time_point at;
    record::Direction direction;
    std::string bytes;
};

// The relay's hand-off to the thread that records, decodes and publishes: a
// ring with one writer (the relay) and one reader, and no lock, so a reader
// that is preempted on a busy machine can never hold the relay up. A full
// ring drops the chunk (counted) rather than grow. The reader sleeps on an
// eventfd that only poke() signals: the writer chooses the moment, so the
// reader's work need not compete for a core with bytes still on their way.
class ChunkQueue {
  public:
    explicit ChunkQueue(std::size_t capacity);
    ~ChunkQueue();
    ChunkQueue(const ChunkQueue&) = delete;
    ChunkQueue& operator=(const ChunkQueue&) = delete;

    // The relay's thread only.
    void push(TimedChunk&& chunk);
    // Any thread: wakes the reader without a chunk (a broker event, a stop).
    void poke();
    // The reader's thread only: everything queued, waiting until `deadline`
    // for something to arrive.
    std::vector<TimedChunk> takeAll(Clock::time_point deadline);
    std::size_t takeDropped() { return dropped_.exchange(0); }

  private:
    std::vector<TimedChunk> slots_;
    std::atomic<std::size_t> written_{0};
    std::atomic<std::size_t> taken_{0};
    std::atomic<std::size_t> dropped_{0};
    int wake_ = -1;
};

}  // namespace veltro::tap
