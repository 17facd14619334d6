// Damaged, cut and mixed-up data files fed through File > Open: whatever a file holds, the program either
// shows it with consistent arrays or reports it and keeps nothing of it; it never crashes, reads out of
// bounds or takes memory out of proportion to the file.

#include "files/bin_format.h"
#include "measure/table_layout.h"
#include "support/open_file_fixture.h"
#include "ui/flex_grid.h"

#include <cmath>
#include <cstring>
#include <limits>
#include <random>

namespace trazel::testing {
namespace {

// Good files of every kind the readers know, by name.
std::vector<std::pair<std::string, Bytes>> seedFiles() {
    std::vector<std::int16_t> samples;
    std::vector<std::int16_t> markers;
    std::vector<float> values;
    for (int i = 0; i < 600; ++i) {
        samples.push_back(
            static_cast<std::int16_t>(i % 7 == 0 ? (i % 2 == 0 ? 32767 : -32768) : i * 97 % 4001 - 2000));
        markers.push_back(static_cast<std::int16_t>(i % 50 == 5 ? 200 : (i >= 100 && i < 180 ? 100 : 0)));
        values.push_back(static_cast<float>(std::sin(i * 0.1) * (i % 2 == 0 ? 3.0 : 0.5)));
    }
    const auto first = [](const auto& items, std::size_t n) {
        return std::vector(items.begin(), items.begin() + n);
    };
    binformat::Header block = recordedHeader(1, {1, 0, 0}, 500, 50);
    block.stimDelay = 5;
    block.stimCount = 1;
    return {
        {"continuous.bin", versionedFile(recordedHeader(2, {1, 2, 0}, 1000), samples, first(markers, 300))},
        {"block.bin", versionedFile(block, samples, first(markers, 200))},
        {"three.bin", versionedFile(recordedHeader(3, {3, 0, 1}, 250), samples, first(markers, 100))},
        {"headerless.bin", headerlessFile(2, 1, first(samples, 400))},
        {"labtech.prn", prnFile(first(values, 300))}};
}

// The fields of a versioned header as offset and size.
constexpr std::pair<std::size_t, int> HeaderFields[] = {{12, 2}, {14, 2}, {16, 2}, {18, 2}, {20, 2},
                                                        {22, 4}, {26, 2}, {28, 2}, {30, 2}, {32, 4}};
constexpr std::int64_t Min32 = std::numeric_limits<std::int32_t>::min();
constexpr std::int64_t Max32 = std::numeric_limits<std::int32_t>::max();
// Values at the limits of what a field holds or a reader takes: channel counts, sweep lengths about the
// record counts of the seeds, intervals.
constexpr std::int64_t Limits[] = {Min32, -32768, -1000, -1,    0,     1,       2,         3,    4,   5,
                                   49,    50,     51,    99,    100,   101,     199,       200,  201, 299,
                                   300,   301,    1000,  32767, 65536, 1000000, Max32 - 1, Max32};

// One to three damages to a seed: flipped bits (half of them in the header, where they matter most), a header
// field (the interval word of a headerless file) at a limit or near zero, a cut, or garbage at the end.
Bytes damaged(Bytes bytes, std::mt19937& random) {
    const auto between = [&](int low, int high) {
        return std::uniform_int_distribution<int>(low, high)(random);
    };
    const auto store = [&](std::size_t at, int size, std::int64_t value) {
        for (std::size_t i = 0; i < static_cast<std::size_t>(size) && at + i < bytes.size(); ++i) {
            bytes[at + i] = static_cast<std::uint8_t>((static_cast<std::uint64_t>(value) >> (8 * i)) & 0xFF);
        }
    };
    const bool versioned = binformat::isVersioned(bytes);
    for (int changes = between(1, 3); changes > 0; --changes) {
        const int kind = between(0, 4);
        if (kind == 0) {
            for (int n = between(1, 8); n > 0 && !bytes.empty(); --n) {
                const int last = static_cast<int>(bytes.size()) - 1;
                bytes[static_cast<std::size_t>(between(0, between(0, 1) == 0 ? std::min(last, 39) : last))] ^=
                    static_cast<std::uint8_t>(between(1, 255));
            }
        } else if (kind <= 2) {
            const auto [at, size] =
                versioned ? HeaderFields[between(0, 9)] : std::pair<std::size_t, int>(0, 2);
            store(at, size,
                  between(0, 3) == 0 ? between(-9, 400) : Limits[between(0, std::size(Limits) - 1)]);
            if (at == 22 && between(0, 1) == 0) {
                store(20, 2, -1); // half the sweep lengths go into a block file
            }
        } else if (kind == 3) {
            const int length =
                between(0, 1) == 0
                    ? std::array{0, 1, 2, 3, 11, 12, 13, 127, 128, 129, 130, 131, 132, 133}[between(0, 13)]
                    : between(0, static_cast<int>(bytes.size()));
            bytes.resize(std::min(static_cast<std::size_t>(length), bytes.size()));
        } else {
            for (int n = std::array{1, 2, 3, 5, between(1, 600)}[between(0, 4)]; n > 0; --n) {
                bytes.push_back(static_cast<std::uint8_t>(between(0, 255)));
            }
        }
    }
    return bytes;
}

// A user who answers whatever is asked with a random pick and never hesitates; beyond the usual answers,
// frequencies whose interval is near the ends of the float range.
class ReaderRobustness : public OpenFileTest {
protected:
    ReaderRobustness() {
        dialogs.onQuestion = [this](const Question& question) {
            static const QStringList channels = {"1", "2", "3", "0", "-1", "abc", ""};
            static const QStringList frequencies = {"300", "0",     "-5",   "1e-30", "1e30",
                                                    "",    "1e-38", "1e44", "1e-45"};
            if (question.kind == ScriptedDialogs::Kind::MsgBox) {
                dialogs.answerMessage(MsgAnswer::Ok);
            } else if (question.kind == ScriptedDialogs::Kind::InputBox) {
                const QStringList& choices =
                    question.text.startsWith("Enter sampling") ? frequencies : channels;
                dialogs.answerInput(
                    choices[std::uniform_int_distribution<qsizetype>(0, choices.size() - 1)(random)]);
            } // anything else is unscripted and fails the test
        };
    }

    // Arrays and time base as the views need them after an open, or nothing left of a failed one.
    void checkInvariants(bool cancelled, bool loadedBefore, Long countBefore, std::size_t fileLength) {
        for (const FlexGrid* grid : window->ui.Grid1) {
            EXPECT_EQ(grid->Rows(), 1 + EmptyTableRows) << "a reset table has its header and its empty rows";
        }
        if (cancelled) {
            EXPECT_EQ(lastQuestions().size(), 1U);
            EXPECT_EQ(state.DataLoaded, loadedBefore);
            EXPECT_EQ(state.SampleCount, countBefore);
            return;
        }
        if (!state.DataLoaded) {
            expectErrorReported();
            expectNothingLoaded();
            return;
        }
        EXPECT_EQ(std::ranges::count(lastQuestions(), ScriptedDialogs::Kind::MsgBox, &Question::kind), 0);
        EXPECT_EQ(state.InFile, 0);
        EXPECT_FALSE(window->ui.Scroll->isVisible());
        ASSERT_TRUE(state.TraceData.exists() && state.RawData.exists() && state.Markers.exists());
        EXPECT_TRUE(state.SampleCount >= 0 && state.TraceData.upper() >= state.SampleCount)
            << state.SampleCount;
        EXPECT_EQ(std::pair(state.RawData.upper(), state.Markers.upper()),
                  std::pair(state.TraceData.upper(), state.TraceData.upper()));
        for (int t = 1; t <= TraceCount; ++t) {
            // Bit for bit: a damaged Labtech file may hold NaNs.
            const std::span<const float> raw = state.RawData.trace(t);
            const std::span<const float> shown = state.TraceData.trace(t);
            EXPECT_TRUE(raw.size() == shown.size() &&
                        std::memcmp(raw.data(), shown.data(), raw.size_bytes()) == 0);
        }
        EXPECT_TRUE(state.ChannelCount >= 1 && state.ChannelCount <= 3) << state.ChannelCount;
        EXPECT_TRUE(state.SampleInterval > 0 && std::isfinite(state.SampleInterval)) << state.SampleInterval;
        EXPECT_TRUE(state.ScreenLen > 0 && std::isfinite(state.ScreenLen)) << state.ScreenLen;
        if (state.BlockMode) {
            EXPECT_TRUE(state.SweepLength >= 1 && state.CurveCount >= 1 &&
                        state.SweepLength <= state.SampleCount)
                << state.SweepLength << " points per sweep, " << state.CurveCount << " sweeps";
            EXPECT_GE(state.TraceData.upper(),
                      static_cast<std::int64_t>(state.SweepLength) * state.CurveCount - 1);
            EXPECT_EQ(state.AverageData.upper(), state.SweepLength - 1);
        } else {
            EXPECT_EQ((std::array{state.SweepLength, state.CurveCount}), (std::array<Long, 2>{-1, -1}));
            EXPECT_FALSE(state.AverageData.exists());
        }
        // Memory in proportion to the file: three traces twice over and the markers, plus the average.
        EXPECT_LE(state.TraceData.upper(), 2 * static_cast<std::int64_t>(fileLength) + 2);
    }

    std::mt19937 random{20240611};
};

TEST_F(ReaderRobustness, SurvivesThousandsOfDamagedFiles) {
    constexpr int Iterations = 3000;
    const auto seeds = seedFiles();
    const auto between = [&](int low, int high) {
        return std::uniform_int_distribution<int>(low, high)(random);
    };
    int loaded = 0;
    int failed = 0;
    int blocks = 0;
    for (int iteration = 0; iteration < Iterations && !HasFailure(); ++iteration) {
        const auto& [name, seed] = seeds[static_cast<std::size_t>(between(0, 4))];
        // One file in ten stays as it is, so that good files keep coming between the bad ones.
        const Bytes bytes = between(0, 9) == 0 ? seed : damaged(seed, random);
        // Now and then the other reader, the extension in another case, or one that no reader knows.
        const bool prn = name.ends_with("prn");
        const std::string extension = std::array{prn ? "bin" : "prn", prn ? "PRN" : "Bin", "txt",
                                                 prn ? "prn" : "bin"}[std::min(between(0, 19), 3)];
        const std::filesystem::path file =
            files.write("fuzz" + std::to_string(iteration % 2) + "." + extension, bytes);
        const int way = between(0, 49); // 0: the open is cancelled, 1: the file is missing
        const bool cancelled = way == 0;
        const bool overplot = between(0, 9) == 0;
        window->ui.mnuOverplot->setChecked(overplot || window->ui.mnuOverplot->isChecked());
        SCOPED_TRACE(::testing::Message()
                     << "iteration " << iteration << ": " << name << " as ." << extension << ", "
                     << bytes.size() << " bytes, way " << way << (overplot ? ", overplot" : ""));

        const bool loadedBefore = state.DataLoaded;
        const Long countBefore = state.SampleCount;
        open(cancelled ? std::filesystem::path() : (way == 1 ? files.path("missing.bin") : file));
        checkInvariants(cancelled, loadedBefore, countBefore, bytes.size());

        // Any trace can be shown afterwards.
        window->ch_select_Click(between(0, 2));
        EXPECT_FALSE(window->ui.disp->drawingLog().empty());
        if (!cancelled) {
            loaded += state.DataLoaded ? 1 : 0;
            failed += state.DataLoaded ? 0 : 1;
            blocks += state.DataLoaded && state.BlockMode ? 1 : 0;
        }
    }
    // Both outcomes must be well represented, or the test exercises too little.
    EXPECT_GT(loaded, Iterations / 5) << failed << " reported";
    EXPECT_GT(failed, Iterations / 5) << loaded << " shown";
    EXPECT_GT(blocks, Iterations / 50) << "of " << loaded << " shown";
}

} // namespace
} // namespace trazel::testing
