#include "chunk_queue.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <cstdint>

namespace veltro::tap {

ChunkQueue::ChunkQueue(std::size_t capacity)
    : slots_(capacity), wake_(eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC)) {}

ChunkQueue::~ChunkQueue() {
    if (wake_ >= 0) {
        ::close(wake_);
    }
}

void ChunkQueue::push(TimedChunk&& chunk) {
    const std::size_t written = written_.load(std::memory_order_relaxed);
    if (written - taken_.load(std::memory_order_acquire) >= slots_.size()) {
        dropped_.fetch_add(1, std::memory_order_relaxed);
        return;
    }
    slots_[written % slots_.size()] = std::move(chunk);
    written_.store(written + 1, std::memory_order_release);
}

void ChunkQueue::poke() {
    const std::uint64_t one = 1;
    (void)!::write(wake_, &one, sizeof one);
}

std::vector<TimedChunk> ChunkQueue::takeAll(Clock::time_point deadline) {
    std::size_t taken = taken_.load(std::memory_order_relaxed);
    if (written_.load(std::memory_order_acquire) == taken) {
        const auto wait = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now()).count();
        pollfd fd{wake_, POLLIN, 0};
        ::poll(&fd, 1, static_cast<int>(std::max<long long>(0, wait)));
    }
    std::uint64_t signals = 0;
    (void)!::read(wake_, &signals, sizeof signals);
    const std::size_t written = written_.load(std::memory_order_acquire);
    std::vector<TimedChunk> out;
    out.reserve(written - taken);
    for (; taken != written; ++taken) {
        out.push_back(std::move(slots_[taken % slots_.size()]));
    }
    taken_.store(taken, std::memory_order_release);
    return out;
}

}  // namespace veltro::tap
