#include "acquisition/recording_rules.h"
#include "acquisition/simulated_source.h"
#include "core/number_rules.h"

#include <cmath>
#include <gtest/gtest.h>
#include <random>

namespace trazel {
namespace {

// The value the source must give at a phase, worked out from the same generator's next two numbers.
Single expectedSample(std::mt19937& random, double phase) {
    const double r1 = random() / 4294967296.0;
    const double r2 = random() / 4294967296.0;
    const long k = std::lround(phase * 6.28318530717958 / 100) % 100; // no halves occur at these phases
    return static_cast<Single>((r2 - 0.5) * 50 + std::sin(r1 * 10 + k) * 50);
}

TEST(SimulatedSource, FollowsItsPhaseAndRestartsItWithoutDrawing) {
    SimulatedSource source;
    std::mt19937 random;
    EXPECT_EQ(source.SimulatedSample(true), 0.0F);
    for (int phase = 0; phase < 1600; ++phase) {
        const Single value = source.SimulatedSample(false);
        ASSERT_EQ(value, expectedSample(random, phase)) << "phase " << phase; // k 0..7: 0, 8: 1, 1584: 0
        ASSERT_LE(std::abs(value), 75.0F);
    }
    EXPECT_EQ(source.SimulatedSample(true), 0.0F);
    EXPECT_EQ(source.phase(), 0.0F);
    EXPECT_EQ(source.SimulatedSample(false), expectedSample(random, 0)); // the sequence went on
}

TEST(SimulatedSource, MakesSweepsOfNoiseTraceByTraceWithinAPoint) {
    SimulatedSource source;
    TraceBuffer raw;
    raw.create(99);
    source.MakeSweep(raw);
    std::mt19937 random;
    for (std::int64_t j = 0; j <= 99; ++j) {
        for (int t = 1; t <= 3; ++t) {
            ASSERT_EQ(raw(t, j), static_cast<Single>((random() / 4294967296.0 - 0.5) * 50));
            ASSERT_LE(std::abs(raw(t, j)), 25.0F);
        }
    }
}

TEST(RecordingRules, ProposeTheNextFreeName) {
    using Names = std::vector<std::string>;
    EXPECT_EQ(proposedRecordingName({}), "data01.bin");
    EXPECT_EQ(proposedRecordingName(Names{"data07.bin", "data12.bin"}), "data13.bin");
    EXPECT_EQ(proposedRecordingName(Names{"dataXY.bin"}), "data01.bin");
    EXPECT_EQ(proposedRecordingName(Names{"data7x.bin", "data99.bin"}), "data100.bin");
}

TEST(RecordingRules, PlaceStimuliWithinTheSweep) {
    using Points = std::vector<std::int64_t>;
    EXPECT_EQ(stimulusPoints(0, 2, 3, 0.001F, 499), (Points{0, 2, 4}));
    EXPECT_EQ(stimulusPoints(10, 0, 0, 0.001F, 499), (Points{10}));
    EXPECT_EQ(stimulusPoints(10, 5, 1, 0.0005F, 499), (Points{20}));
    EXPECT_EQ(stimulusPoints(400, 60, 3, 0.001F, 499), (Points{400, 460}));
    EXPECT_EQ(stimulusPoints(600, 0, 1, 0.001F, 499), Points{});
    EXPECT_EQ(stimulusPoints(-5, 0, 1, 0.001F, 499), Points{});
}

TEST(RecordingRules, AFileHoldsWholeRecordsOfItsLength) {
    EXPECT_EQ(recordCapacity(2, 180, 0.1F), 1800); // 5,400 Integers
    EXPECT_EQ(recordCapacity(3, 10, 1 / 1000.0F), 10000);
    EXPECT_EQ(recordCapacity(1, 0.15F, 0.1F), 1); // 3 Integers hold one whole record
}

TEST(PointPacer, TakesEveryDuePointWhateverTheTimerGives) {
    PointPacer pacer;
    pacer.start(100, 0.001);
    std::int64_t taken = 0;
    for (double now = 100; now < 110; now += 0.0156) { // a coarse 15.6 ms timer over 10 s
        while (pacer.isDue(now)) {
            pacer.take();
            ++taken;
        }
    }
    EXPECT_NEAR(static_cast<double>(taken), 10000, 16);
    pacer.setInterval(0.5); // counts from the last point taken
    EXPECT_FALSE(pacer.isDue(110.0));
    EXPECT_TRUE(pacer.isDue(100 + (taken - 1) * 0.001 + 0.5));
}

} // namespace
} // namespace trazel
