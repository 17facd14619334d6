// Damaged, cut and mixed-up data files fed through File > Open: whatever a file holds, the program either
// shows it with consistent arrays or reports it and keeps nothing of it; it never crashes, reads out of
// bounds or takes memory out of proportion to the file.

#include "window/main_window.h"
#include "files/bin_format.h"
#include "support/data_files.h"
#include "ui/controls.h"
#include "ui/dialogs.h"
#include "ui/plot_surface.h"
#include "ui/progress_window.h"

#include <QAction>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <gtest/gtest.h>
#include <limits>
#include <random>
#include <sstream>

namespace trazel::testing {
namespace {

using Bytes = std::vector<std::uint8_t>;

const QString ChannelPrompt = QStringLiteral("Number of recorded channels:");
const QString FrequencyPrompt = QStringLiteral("Enter sampling frequency (Hz):");

// A user who answers whatever is asked with a random pick and never hesitates.
class AnyAnswerDialogs : public Dialogs {
public:
    explicit AnyAnswerDialogs(std::mt19937& random) : m_random(random) {}

    QString InputBox(const QString& prompt, const QString&, const QString&) override {
        static const QStringList channels = {"1", "2", "3", "0", "-1", "abc", ""};
        // Beyond the usual answers: frequencies whose interval is near the ends of the float range.
        static const QStringList frequencies = {"300", "0",     "-5",   "1e-30", "1e30",
                                                "",    "1e-38", "1e44", "1e-45"};
        static const QStringList anything = {"1", "", "abc"};
        const QStringList& choices =
            prompt == ChannelPrompt ? channels : (prompt == FrequencyPrompt ? frequencies : anything);
        if (prompt != ChannelPrompt && prompt != FrequencyPrompt) {
            ++unexpectedQuestions;
        }
        const QString answer = choices[pick(choices.size())];
        answers << answer;
        return answer;
    }
    MsgAnswer MsgBox(const QString& text, MsgButtons, MsgIcon, const QString&) override {
        ++messages;
        lastMessage = text;
        return MsgAnswer::Ok;
    }
    QString ShowOpen(const FileDialogRequest&) override { return path; }
    QString ShowSave(const FileDialogRequest&) override {
        ++unexpectedQuestions;
        return {};
    }

    QString path; // the file the open dialog gives; empty: cancelled
    int messages = 0;
    int unexpectedQuestions = 0;
    QString lastMessage;
    QStringList answers;

private:
    qsizetype pick(qsizetype n) { return std::uniform_int_distribution<qsizetype>(0, n - 1)(m_random); }
    std::mt19937& m_random;
};

enum class Seed { Continuous, Block, ThreeChannels, Headerless, Labtech };

struct SeedFile {
    Seed kind;
    const char* name;
    Bytes bytes;
    bool versioned;
};

std::vector<SeedFile> seedFiles() {
    std::vector<SeedFile> seeds;
    {
        std::vector<std::int16_t> samples;
        std::vector<std::int16_t> markers;
        for (int i = 0; i < 300; ++i) {
            samples.push_back(static_cast<std::int16_t>((i * 97) % 4001 - 2000));
            samples.push_back(static_cast<std::int16_t>(i % 2 == 0 ? 32767 : -32768));
            markers.push_back(static_cast<std::int16_t>(i % 50 == 0 ? 200 : (i >= 100 && i < 180 ? 100 : 0)));
        }
        seeds.push_back({Seed::Continuous, "continuous",
                         versionedFile(continuousHeader(2, {1, 2, 0}, 1000), samples, markers), true});
    }
    {
        binformat::Header header = blockHeader(1, {1, 0, 0}, 50, 500);
        header.stimDelay = 5;
        header.stimCount = 1;
        std::vector<std::int16_t> samples;
        std::vector<std::int16_t> markers;
        for (int i = 0; i < 200; ++i) {
            samples.push_back(static_cast<std::int16_t>(i % 50 * 20 - 500));
            markers.push_back(static_cast<std::int16_t>(i % 50 == 5 ? 200 : 0));
        }
        seeds.push_back({Seed::Block, "block", versionedFile(header, samples, markers), true});
    }
    {
        std::vector<std::int16_t> samples;
        for (int i = 0; i < 300; ++i) {
            samples.push_back(static_cast<std::int16_t>(i * 11 - 1500));
        }
        seeds.push_back(
            {Seed::ThreeChannels, "three channels",
             versionedFile(continuousHeader(3, {3, 0, 1}, 250), samples, std::vector<std::int16_t>(100, 100)),
             true});
    }
    {
        std::vector<std::int16_t> samples;
        for (int i = 0; i < 400; ++i) {
            samples.push_back(static_cast<std::int16_t>((i * 37) % 1001 - 500));
        }
        seeds.push_back({Seed::Headerless, "headerless", headerlessFile(2, 1, samples), false});
    }
    {
        std::vector<float> values;
        for (int i = 0; i < 300; ++i) {
            values.push_back(static_cast<float>(std::sin(i * 0.1) * (i % 2 == 0 ? 3.0 : 0.5)));
        }
        seeds.push_back({Seed::Labtech, "labtech", prnFile(values), false});
    }
    return seeds;
}

void storeLE(Bytes& bytes, std::size_t at, std::int64_t value, int size) {
    for (int i = 0; i < size; ++i) {
        if (at + static_cast<std::size_t>(i) < bytes.size()) {
            bytes[at + static_cast<std::size_t>(i)] =
                static_cast<std::uint8_t>((static_cast<std::uint64_t>(value) >> (8 * i)) & 0xFF);
        }
    }
}

// Builds one damaged file from a seed and says what was done to it.
class Mutator {
public:
    explicit Mutator(std::mt19937& random) : m_random(random) {}

    Bytes mutate(const SeedFile& seed, std::ostringstream& log) {
        Bytes bytes = seed.bytes;
        const int changes = between(1, 3);
        for (int k = 0; k < changes; ++k) {
            switch (between(0, 4)) {
            case 0:
                flipBytes(bytes, log);
                break;
            case 1:
            case 2:
                seed.versioned ? setHeaderField(bytes, log) : setHeaderlessInterval(bytes, log);
                break;
            case 3:
                truncate(bytes, log);
                break;
            case 4:
                appendGarbage(bytes, log);
                break;
            }
        }
        return bytes;
    }

    int between(int low, int high) { return std::uniform_int_distribution<int>(low, high)(m_random); }
    template <typename T> T pickFrom(std::initializer_list<T> values) {
        return *(values.begin() + between(0, static_cast<int>(values.size()) - 1));
    }

private:
    void flipBytes(Bytes& bytes, std::ostringstream& log) {
        if (bytes.empty()) {
            return;
        }
        const int n = between(1, 8);
        log << " flip";
        for (int i = 0; i < n; ++i) {
            // Half of the flips land in the header, where they matter most.
            const int last = static_cast<int>(bytes.size()) - 1;
            const auto at = static_cast<std::size_t>(between(0, 1) == 0 ? between(0, std::min(last, 39))
                                                                        : between(0, last));
            bytes[at] ^= static_cast<std::uint8_t>(between(1, 255));
            log << " @" << at;
        }
    }

    void setHeaderField(Bytes& bytes, std::ostringstream& log) {
        constexpr std::int64_t Max32 = std::numeric_limits<std::int32_t>::max();
        constexpr std::int64_t Min32 = std::numeric_limits<std::int32_t>::min();
        switch (between(0, 5)) {
        case 0: {
            const std::int64_t channels =
                pickFrom<std::int64_t>({-32768, -1, 0, 1, 2, 3, 4, 5, 32767, between(-9, 9)});
            storeLE(bytes, 12, channels, 2);
            log << " channels=" << channels;
            break;
        }
        case 1: {
            const auto word = static_cast<std::size_t>(between(0, 2));
            const std::int64_t channel = pickFrom<std::int64_t>({-1, 0, 1, 2, 3, 4, 32767, -32768});
            storeLE(bytes, 14 + 2 * word, channel, 2);
            log << " word" << word << "=" << channel;
            break;
        }
        case 2: {
            const std::int64_t flag = pickFrom<std::int64_t>({0, -1, 1, 0x7FFF, between(-3, 3)});
            storeLE(bytes, 20, flag, 2);
            log << " block=" << flag;
            break;
        }
        case 3: {
            const std::int64_t points =
                pickFrom<std::int64_t>({Min32, -1,  0,   1,     2,         49,    50,
                                        51,    99,  100, 101,   199,       200,   201,
                                        299,   300, 301, 65536, Max32 - 1, Max32, between(0, 400)});
            storeLE(bytes, 22, points, 4);
            log << " sweep=" << points;
            if (between(0, 1) == 0) {
                storeLE(bytes, 20, -1, 2);
                log << " block=-1";
            }
            break;
        }
        case 4: {
            const std::int64_t interval =
                pickFrom<std::int64_t>({Min32, -1000, -1, 0, 1, 2, 1000, 1000000, Max32});
            storeLE(bytes, 32, interval, 4);
            log << " interval=" << interval;
            break;
        }
        case 5: {
            const auto at = static_cast<std::size_t>(pickFrom<int>({26, 28, 30}));
            const std::int64_t value = pickFrom<std::int64_t>({-32768, -1, 0, 1, 32767});
            storeLE(bytes, at, value, 2);
            log << " stim@" << at << "=" << value;
            break;
        }
        }
    }

    void setHeaderlessInterval(Bytes& bytes, std::ostringstream& log) {
        const std::int64_t ms = pickFrom<std::int64_t>({-32768, -1, 0, 1, 2, 1000, 32767, between(-5, 5)});
        storeLE(bytes, 0, ms, 2);
        log << " ms=" << ms;
    }

    void truncate(Bytes& bytes, std::ostringstream& log) {
        const std::size_t length = between(0, 1) == 0
                                       ? static_cast<std::size_t>(pickFrom<int>(
                                             {0, 1, 2, 3, 11, 12, 13, 127, 128, 129, 130, 131, 132, 133}))
                                       : static_cast<std::size_t>(between(0, static_cast<int>(bytes.size())));
        if (length < bytes.size()) {
            bytes.resize(length);
        }
        log << " cut=" << length;
    }

    void appendGarbage(Bytes& bytes, std::ostringstream& log) {
        const int n = pickFrom<int>({1, 2, 3, 5, between(1, 600)});
        for (int i = 0; i < n; ++i) {
            bytes.push_back(static_cast<std::uint8_t>(between(0, 255)));
        }
        log << " garbage=" << n;
    }

    std::mt19937& m_random;
};

class ReaderRobustness : public ::testing::Test {
protected:
    ReaderRobustness() : dialogs(random), window(std::make_unique<Trazel>(state, dialogs)) { window->show(); }

    // Arrays and time base as the views need them after an open, or nothing left of a failed one.
    void checkInvariants(bool cancelled, bool loadedBefore, Long countBefore, int messagesBefore) {
        const int messages = dialogs.messages - messagesBefore;
        EXPECT_EQ(dialogs.unexpectedQuestions, 0);
        EXPECT_LE(messages, 1);
        EXPECT_EQ(state.InFile, 0);
        EXPECT_FALSE(window->Scroll->isVisible());
        if (cancelled) {
            EXPECT_EQ(messages, 0);
            EXPECT_EQ(state.DataLoaded, loadedBefore);
            EXPECT_EQ(state.SampleCount, countBefore);
            return;
        }
        if (state.DataLoaded) {
            EXPECT_EQ(messages, 0);
            ASSERT_TRUE(state.TraceData.exists());
            EXPECT_GE(state.SampleCount, 0);
            EXPECT_GE(state.TraceData.upper(), state.SampleCount);
            EXPECT_EQ(state.RawData.upper(), state.TraceData.upper());
            EXPECT_EQ(state.Markers.upper(), state.TraceData.upper());
            for (int t = 1; t <= TraceCount; ++t) {
                // Bit for bit: a damaged Labtech file may hold NaNs.
                const std::span<const float> raw = state.RawData.trace(t);
                const std::span<const float> shown = state.TraceData.trace(t);
                EXPECT_TRUE(raw.size() == shown.size() &&
                            std::memcmp(raw.data(), shown.data(), raw.size_bytes()) == 0);
            }
            EXPECT_GE(state.ChannelCount, 1);
            EXPECT_LE(state.ChannelCount, 3);
            EXPECT_TRUE(state.SampleInterval > 0 && std::isfinite(state.SampleInterval))
                << state.SampleInterval;
            EXPECT_TRUE(state.ScreenLen > 0 && std::isfinite(state.ScreenLen)) << state.ScreenLen;
            if (state.BlockMode) {
                EXPECT_GE(state.SweepLength, 1);
                EXPECT_GE(state.CurveCount, 1);
                EXPECT_LE(state.SweepLength, state.SampleCount);
                EXPECT_GE(state.TraceData.upper(),
                          static_cast<std::int64_t>(state.SweepLength) * state.CurveCount - 1);
                EXPECT_EQ(state.AverageData.upper(), state.SweepLength - 1);
            } else {
                EXPECT_EQ(state.SweepLength, -1);
                EXPECT_EQ(state.CurveCount, -1);
                EXPECT_FALSE(state.AverageData.exists());
            }
            // Memory in proportion to the file: three traces twice over and the markers, plus the average.
            EXPECT_LE(state.TraceData.upper(), 2 * static_cast<std::int64_t>(m_fileLength) + 2);
        } else {
            EXPECT_EQ(messages, 1);
            EXPECT_EQ(dialogs.lastMessage,
                      QStringLiteral("Error encountered while trying to open file, please retry."));
            EXPECT_FALSE(state.TraceData.exists());
            EXPECT_FALSE(state.RawData.exists());
            EXPECT_FALSE(state.Markers.exists());
            EXPECT_FALSE(state.AverageData.exists());
            EXPECT_EQ(state.SampleCount, 0);
        }
    }

    std::mt19937 random{20240611};
    TestFiles files;
    AppState state;
    AnyAnswerDialogs dialogs;
    std::unique_ptr<Trazel> window;
    std::uint64_t m_fileLength = 0;
};

TEST_F(ReaderRobustness, SurvivesThousandsOfDamagedFiles) {
    constexpr int Iterations = 3000;
    const std::vector<SeedFile> seeds = seedFiles();
    Mutator mutator(random);
    int loaded = 0;
    int failed = 0;
    int blocks = 0;
    const auto start = std::chrono::steady_clock::now();
    for (int iteration = 0; iteration < Iterations && !HasFailure(); ++iteration) {
        const SeedFile& seed =
            seeds[static_cast<std::size_t>(mutator.between(0, static_cast<int>(seeds.size()) - 1))];
        std::ostringstream log;
        log << "iteration " << iteration << ", " << seed.name << ":";
        // One file in ten stays as it is, so that good files keep coming between the bad ones.
        const Bytes bytes = mutator.between(0, 9) == 0 ? seed.bytes : mutator.mutate(seed, log);

        std::string extension = seed.kind == Seed::Labtech ? "prn" : "bin";
        switch (mutator.between(0, 19)) {
        case 0:
            extension = extension == "prn" ? "bin" : "prn"; // the other reader
            break;
        case 1:
            extension = extension == "prn" ? "PRN" : "Bin";
            break;
        case 2:
            extension = "txt";
            break;
        default:
            break;
        }
        const std::filesystem::path file =
            files.write("fuzz" + std::to_string(iteration % 2) + "." + extension, bytes);
        m_fileLength = bytes.size();
        log << " ." << extension << " " << bytes.size() << " bytes";

        const int way = mutator.between(0, 49);
        const bool cancelled = way == 0;
        if (cancelled) {
            dialogs.path.clear();
            log << " (cancelled)";
        } else if (way == 1) {
            dialogs.path = QString::fromStdString(files.path("missing.bin").string());
            log << " (missing)";
        } else {
            dialogs.path = QString::fromStdString(file.string());
        }
        if (mutator.between(0, 9) == 0) {
            window->mnuOverplot->setChecked(true);
            log << " overplot";
        }
        SCOPED_TRACE(log.str());

        const bool loadedBefore = state.DataLoaded;
        const Long countBefore = state.SampleCount;
        const int messagesBefore = dialogs.messages;
        dialogs.answers.clear();
        window->mnuOpen_Click();
        SCOPED_TRACE(("answers: " + dialogs.answers.join(" | ")).toStdString());
        checkInvariants(cancelled, loadedBefore, countBefore, messagesBefore);

        // Any trace can be shown afterwards.
        window->ch_select_Click(mutator.between(0, 2));
        EXPECT_FALSE(window->disp->drawingLog().empty());
        if (!cancelled) {
            loaded += state.DataLoaded ? 1 : 0;
            failed += state.DataLoaded ? 0 : 1;
            blocks += state.DataLoaded && state.BlockMode ? 1 : 0;
        }
    }
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("[          ] %d files: %d shown (%d in block mode), %d reported, in %.1f s\n", Iterations,
                loaded, blocks, failed, seconds);
    // Both outcomes must be well represented, or the test exercises too little.
    EXPECT_GT(loaded, Iterations / 5);
    EXPECT_GT(failed, Iterations / 5);
    EXPECT_GT(blocks, Iterations / 50);
}

} // namespace
} // namespace trazel::testing
