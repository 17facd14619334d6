// ReadPrnFile with its two questions. Input: the answer to the channel question, a newline, the answer to
// the frequency question, a newline, then the file.

#include "core/number_rules.h"
#include "file_rules.h"
#include "shown_data.h"
#include "targets.h"

#include <bit>
#include <cmath>
#include <limits>

namespace trazel::fuzz {

namespace {

const QString ChannelPrompt = QStringLiteral("Number of recorded channels:");
const QString FrequencyPrompt = QStringLiteral("Enter sampling frequency (Hz):");

int answeredChannels(const QString& answer) {
    const std::optional<double> value = numericValue(answer.toStdString());
    return value && std::abs(*value) <= 2.5 ? static_cast<int>(std::nearbyint(*value)) : 0;
}

float valueAt(Input bytes, std::size_t offset) {
    if (offset + 4 > bytes.size()) {
        return 0;
    }
    std::uint32_t bits = 0;
    for (std::size_t i = 0; i < 4; ++i) {
        bits |= static_cast<std::uint32_t>(bytes[offset + i]) << (8 * i);
    }
    return std::bit_cast<float>(bits);
}

bool sameValue(float a, float b) {
    return a == b || (std::isnan(a) && std::isnan(b));
}

} // namespace

bool prnFileIsShown(std::size_t fileLength, const QString& channelAnswer, const QString& frequencyAnswer) {
    const int channels = answeredChannels(channelAnswer);
    const std::optional<double> frequency = numericValue(frequencyAnswer.toStdString());
    if (channels < 1 || channels > 2 || !frequency || !(*frequency > 0)) {
        return false;
    }
    const double interval = 1 / *frequency;
    const std::int64_t points = roundedQuotient(static_cast<std::int64_t>(fileLength), 4 * channels);
    return interval >= std::numeric_limits<float>::min() &&
           2 * interval * static_cast<double>(std::max<std::int64_t>(points, 1)) <=
               std::numeric_limits<float>::max();
}

void requirePrnValues(const AppState& s, Input file) {
    const auto channels = static_cast<std::size_t>(s.ChannelCount);
    require(s.SampleCount == roundedQuotient(static_cast<std::int64_t>(file.size()), 4 * s.ChannelCount),
            "the point count of the file, rounded");
    for (int t = 1; t <= TraceCount; ++t) {
        require(s.TraceChannel(t) == (t <= s.ChannelCount ? 1 : 0), "channel 1 on each trace read");
    }
    for (std::int64_t i = 0; i < s.SampleCount; ++i) {
        for (std::size_t c = 0; c < channels; ++c) {
            const float value = valueAt(file, 4 * (static_cast<std::size_t>(i) * channels + c));
            require(sameValue(s.RawData(static_cast<int>(c) + 1, i), 100 * value),
                    "each sample 100 times the file's value, 0 past its end");
        }
    }
    require(std::ranges::all_of(s.Markers.span(), [](Integer w) { return w == 0; }), "no markers");
}

void fuzzReadPrn(Input input) {
    const auto [channelAnswer, afterChannels] = firstLine(input);
    const auto [frequencyAnswer, file] = firstLine(afterChannels);
    Harness& h = freshWindow();
    const QStringList answers{QString::fromStdString(channelAnswer), QString::fromStdString(frequencyAnswer)};
    h.dialogs.answer(answers);
    const bool read = h.window.files().ReadPrnFile(qs(writeFile("input.prn", file)));

    const int channels = answeredChannels(answers[0]);
    const QStringList asked = channels == 1 || channels == 2 ? QStringList{ChannelPrompt, FrequencyPrompt}
                                                             : QStringList{ChannelPrompt};
    require(h.dialogs.prompts == asked, "the frequency question only after a channel count it can read");
    require(read == prnFileIsShown(file.size(), answers[0], answers[1]),
            "a file is shown exactly when it can be");
    if (!read) {
        requireNothingLoaded(h);
        return;
    }
    requireShownData(h, file.size());
    requirePrnValues(h.state, file);
    require(h.state.SampleInterval == static_cast<Single>(1 / *numericValue(answers[1].toStdString())),
            "the interval of the frequency answered");
}

} // namespace trazel::fuzz
