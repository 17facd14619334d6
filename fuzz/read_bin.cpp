// ReadBinFile over recorded files of both layouts. Input: the answer to the channel question of a
// headerless file, a newline, then the file.

#include "core/number_rules.h"
#include "file_rules.h"
#include "files/bin_format.h"
#include "shown_data.h"
#include "targets.h"

#include <algorithm>
#include <cmath>

namespace trazel::fuzz {

namespace {

// A word cut short by the end of the file keeps the byte that is there; bytes past the end read as 0.
std::int16_t wordAt(Input bytes, std::size_t offset) {
    const auto byte = [&](std::size_t at) { return at < bytes.size() ? bytes[at] : 0; };
    return static_cast<std::int16_t>(static_cast<std::uint16_t>(byte(offset) | byte(offset + 1) << 8));
}

std::int32_t longAt(Input bytes, std::size_t offset) {
    return static_cast<std::int32_t>(static_cast<std::uint16_t>(wordAt(bytes, offset)) |
                                     static_cast<std::uint32_t>(wordAt(bytes, offset + 2)) << 16);
}

bool isVersioned(Input file) {
    return std::ranges::equal(file.first(std::min<std::size_t>(file.size(), 12)),
                              std::string_view("Version 1.00"));
}

// The layout of a file: channels per record, whether a marker word follows, where the records begin.
struct Records {
    int channels = 0;
    bool marker = true;
    std::size_t offset = 128;

    std::int64_t size() const { return 2 * (channels + (marker ? 1 : 0)); }
    std::int64_t count(std::size_t fileLength) const {
        return roundedQuotient(static_cast<std::int64_t>(fileLength - offset), size());
    }
};

// The channels of a headerless file: the answer as one whole number, halves to even.
int answeredChannels(const QString& answer) {
    const std::optional<double> value = numericValue(answer.toStdString());
    return value && std::abs(*value) <= 3.5 ? static_cast<int>(std::nearbyint(*value)) : 0;
}

Records recordsOf(Input file, const QString& channelAnswer) {
    if (isVersioned(file)) {
        return {wordAt(file, 12), true, 128};
    }
    return {answeredChannels(channelAnswer), false, 2};
}

} // namespace

bool binFileIsShown(Input file, const QString& channelAnswer) {
    const Records records = recordsOf(file, channelAnswer);
    if (file.size() < records.offset || records.channels < 1 || records.channels > 3) {
        return false;
    }
    if (!records.marker) {
        return wordAt(file, 0) > 0;
    }
    const std::int32_t pointsPerSweep = longAt(file, 22);
    return longAt(file, 32) > 0 &&
           (wordAt(file, 20) == 0 || (pointsPerSweep >= 1 && pointsPerSweep <= records.count(file.size())));
}

void requireBinValues(const AppState& s, Input file) {
    const Records records = recordsOf(file, QString::number(s.ChannelCount));
    require(s.SampleCount == records.count(file.size()), "the record count of the file, rounded");
    for (std::int64_t i = 0; i < s.SampleCount; ++i) {
        const auto at = records.offset + static_cast<std::size_t>(i * records.size());
        for (int c = 0; c < records.channels; ++c) {
            require(s.RawData(c + 1, i) == wordAt(file, at + 2 * static_cast<std::size_t>(c)),
                    "each sample as the file holds it, 0 past its end");
        }
        require(s.Markers(i) ==
                    (records.marker ? wordAt(file, at + 2 * static_cast<std::size_t>(records.channels)) : 0),
                "each marker word as the file holds it");
    }
}

void fuzzReadBin(Input input) {
    const auto [answer, file] = firstLine(input);
    Harness& h = freshWindow();
    const QString channelAnswer = QString::fromStdString(answer);
    h.dialogs.answer({channelAnswer});
    const bool read = h.window.files().ReadBinFile(qs(writeFile("input.bin", file)));

    const bool asks = !isVersioned(file) && file.size() >= 2;
    require(h.dialogs.prompts.size() == (asks ? 1 : 0), "the channel question for a headerless file only");
    require(read == binFileIsShown(file, channelAnswer), "a file is shown exactly when it can be");
    if (!read) {
        requireNothingLoaded(h);
        return;
    }
    requireShownData(h, file.size());
    requireBinValues(h.state, file);
}

} // namespace trazel::fuzz
