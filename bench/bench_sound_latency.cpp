// The way from the sound server to a point: how long after a sample enters the server (written into its
// null sink by a player) the program has it as a point, ready to draw and record. A sound server of the
// benchmark's own (PulseAudio, as the tests start it) carries clicks 250 ms apart; the input runs at the
// device's own rate, so that each point is one sample and the click's point is known to the sample. The
// low-pass of a lower point rate adds its delay to the signal, not to this way (README).

#include "acquisition/sound_input.h"
#include "support/pulse_server.h"
#include "ui/event_loop.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <algorithm>
#include <benchmark/benchmark.h>

namespace {

using namespace trazel;
using trazel::testing::PulseServer;

constexpr int Rate = 48000;
constexpr std::int16_t Click = 20000;

void BM_SoundInputLatency(benchmark::State& state) {
    PulseServer server(Rate, 2);
    if (!server.started()) {
        state.SkipWithError("no sound server: pulseaudio and pulseaudio-utils are needed");
        return;
    }
    const std::optional<InputDevice> device = findSoundInput(QString::fromLatin1(PulseServer::InputId));
    SoundInput input;
    if (!device || !input.start(*device, Rate)) {
        state.SkipWithError("the server's input did not start");
        return;
    }
    QProcess player; // a low-latency player that takes the clicks as they are written
    player.start(QStringLiteral("pacat"),
                 {QStringLiteral("--playback"), QStringLiteral("--raw"), QStringLiteral("--device=probe"),
                  QStringLiteral("--format=s16le"), QStringLiteral("--rate=48000"),
                  QStringLiteral("--channels=2"), QStringLiteral("--latency-msec=1")});
    player.waitForStarted();
    std::vector<double> latencies;
    std::vector<std::int16_t> point;
    QElapsedTimer clock;
    clock.start();
    for (auto _ : state) {
        const std::vector<std::int16_t> click(2 * 48, Click); // 1 ms
        const qint64 written = clock.nsecsElapsed();
        player.write(reinterpret_cast<const char*>(click.data()), static_cast<qint64>(click.size() * 2));
        player.waitForBytesWritten();
        bool heard = false;
        while (!heard && clock.nsecsElapsed() - written < 2'000'000'000) {
            waitForEvents();
            while (!heard && input.pointsWaiting() > 0) {
                input.takePoint(point);
                heard = point[0] > Click / 2;
            }
        }
        latencies.push_back(static_cast<double>(clock.nsecsElapsed() - written) / 1e6);
        const qint64 pause = clock.nsecsElapsed();
        while (clock.nsecsElapsed() - pause < 250'000'000) { // the click and its echo pass
            waitForEvents();
            input.discardWaiting();
        }
    }
    std::ranges::sort(latencies);
    state.counters["median_ms"] = latencies[latencies.size() / 2];
    state.counters["max_ms"] = latencies.back();
}
BENCHMARK(BM_SoundInputLatency)->Iterations(40)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
