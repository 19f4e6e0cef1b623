// One accepted frame's worth of meter work: frame test, decoding and the
// derived quantities.
#include <benchmark/benchmark.h>

#include <array>
#include <string>

#include "meter/derived.h"
#include "meter/status_frame.h"

namespace {

std::array<std::string, 4> sampleFrames() {
    std::array<std::string, 4> frames;
    for (std::size_t i = 0; i < frames.size(); ++i) {
        veltro::FrameFields fields;
        fields.forwardPower = 12.3 + 1000.0 * static_cast<double>(i);
        fields.impedance = 50 + static_cast<double>(i);
        fields.phase = -45 + 30.0 * static_cast<double>(i);
        fields.callsign = "AB";
        fields.powerDbm = 40.9 + static_cast<double>(i);
        fields.swr = 1.5 + 0.5 * static_cast<double>(i);
        frames[i] = veltro::buildFrame(fields);
    }
    return frames;
}

void BM_DecodeFrame(benchmark::State& state) {
    const auto frames = sampleFrames();
    veltro::ReadingRecord record;
    std::size_t next = 0;
    for (auto _ : state) {
        const std::string& frame = frames[next++ & 3];
        if (veltro::isStatusFrame(frame)) {
            veltro::decodeFrame(frame, record, nullptr);
            veltro::ComputeDerived(record);
        }
        benchmark::DoNotOptimize(record.SwrLevel);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_DecodeFrame);

void BM_DecodeFramePublishing(benchmark::State& state) {
    const auto frames = sampleFrames();
    veltro::ReadingRecord record;
    std::string published;
    const veltro::ReadingPublisher publish = [&published](const std::string& text) {
        published = text;
    };
    std::size_t next = 0;
    for (auto _ : state) {
        const std::string& frame = frames[next++ & 3];
        if (veltro::isStatusFrame(frame)) {
            veltro::decodeFrame(frame, record, publish);
            veltro::ComputeDerived(record);
        }
        benchmark::DoNotOptimize(record.SwrLevel);
        benchmark::DoNotOptimize(published.data());
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_DecodeFramePublishing);

}  // namespace

BENCHMARK_MAIN();
