// One poll cycle through the real window (offscreen): frame test, decoding,
// derived values, readout and bargraph updates on the controls; and the
// per-frame write of "Reading" to the per-user settings file.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QTemporaryDir>
#include <QTimer>
#include <array>
#include <string>

#include "meter/status_frame.h"
#include "platform/app_settings_store.h"
#include "readout/publication.h"
#include "window/fakes.h"
#include "window/form1.h"

namespace {

std::array<std::string, 4> sampleFrames() {
    std::array<std::string, 4> frames;
    for (std::size_t i = 0; i < frames.size(); ++i) {
        veltro::FrameFields fields;
        fields.forwardPower = 5.0 + 700.0 * static_cast<double>(i);
        fields.phase = -30.0 + 20.0 * static_cast<double>(i);
        fields.alarmSetting = static_cast<int>(i);
        fields.callsign = "AB1CD";
        fields.meterRange = static_cast<int>(i % 3);
        fields.powerDbm = 37.0 + 8.0 * static_cast<double>(i);
        fields.swr = 1.0 + 0.4 * static_cast<double>(i);
        frames[i] = veltro::buildFrame(fields);
    }
    return frames;
}

void BM_WindowPollCycle(benchmark::State& state) {
    veltro::testing::FakePort port;
    veltro::Form1 form{veltro::Form1Services{{}, &port, nullptr, nullptr}};
    form.Timer1->stop();
    const auto frames = sampleFrames();
    std::size_t next = 0;
    for (auto _ : state) {
        port.incoming = frames[next++ & 3];
        form.Timer1_Timer();
        port.written.clear();
    }
}
BENCHMARK(BM_WindowPollCycle);

// Argument 0: a moving reading (each write a new file); 1: a steady one.
void BM_PublishReading(benchmark::State& state) {
    QTemporaryDir config;
    qputenv("XDG_RUNTIME_DIR", config.path().toLocal8Bit());
    veltro::AppSettingsStore store;
    veltro::ReadingPublication publication(store);
    const std::array<std::string, 2> readings = {"43.9", state.range(0) ? "43.9" : "44.0"};
    std::size_t next = 0;
    for (auto _ : state) {
        publication.publishReading(readings[next++ & 1]);
    }
}
BENCHMARK(BM_PublishReading)->Arg(0)->Arg(1);

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
