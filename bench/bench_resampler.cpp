// The resampler's cost per input frame: two channels from 48 kHz, delivered 10 ms at a time as the sound
// server does, to the slowest point rate, a middling one and the fastest block rate.

#include "acquisition/resampler.h"

#include <benchmark/benchmark.h>
#include <random>

namespace {

using namespace trazel;

constexpr double InputRate = 48000;
constexpr std::size_t Channels = 2;
constexpr std::size_t FramesPerDelivery = 480;

void BM_Resample(benchmark::State& state, double outputRate) {
    std::mt19937 random(11);
    std::uniform_int_distribution<int> noise(-20000, 20000);
    std::vector<std::int16_t> delivery(Channels * FramesPerDelivery);
    for (std::int16_t& v : delivery) {
        v = static_cast<std::int16_t>(noise(random));
    }
    Resampler resampler(InputRate, outputRate, static_cast<int>(Channels));
    std::vector<std::int16_t> points;
    for (auto _ : state) {
        points.clear();
        resampler.push(delivery, points);
        benchmark::DoNotOptimize(points.data());
    }
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(FramesPerDelivery));
    // how many times faster than the sound comes in
    state.counters["realtime_x"] = benchmark::Counter(
        static_cast<double>(state.iterations() * FramesPerDelivery) / InputRate, benchmark::Counter::kIsRate);
}
BENCHMARK_CAPTURE(BM_Resample, to10Hz, 10.0)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_Resample, to1000Hz, 1000.0)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_Resample, to33333Hz, 100000.0 / 3)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
