// AbfReader over ABF 1 and ABF 2 files. Input: the file. The seeds are cuts of the recordings in
// shared/data/recordings/abf: headers with the start of their data, sections moved up behind them.

#include "files/abf_file.h"
#include "targets.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <optional>
#include <string_view>

namespace trazel::fuzz {

namespace {

template <typename T> T numberAt(Input bytes, std::size_t offset) {
    T value{};
    if (offset + sizeof(T) <= bytes.size()) {
        std::memcpy(&value, bytes.data() + offset, sizeof(T));
    }
    return value;
}

bool isAbf2(Input file) {
    return file.size() >= 4 && std::memcmp(file.data(), "ABF2", 4) == 0;
}

// The channel count and sample format the header gives, read here on their own.
std::int64_t headerChannels(Input file) {
    return isAbf2(file) ? numberAt<std::int64_t>(file, 100) : numberAt<std::int16_t>(file, 120);
}
bool headerFloats(Input file) {
    return (isAbf2(file) ? numberAt<std::uint16_t>(file, 30) : numberAt<std::int16_t>(file, 100)) == 1;
}

} // namespace

void fuzzReadAbf(Input input) {
    std::string error;
    std::optional<AbfReader> reader = AbfReader::open(writeFile("input.abf", input), error);
    if (!reader) {
        require(!error.empty(), "a refused file has its reason");
        return;
    }
    const std::vector<SignalInfo>& infos = reader->signalList();
    require(std::ssize(infos) == headerChannels(input), "every channel of the header");
    const std::int64_t samples = infos[0].samples;
    const double rate = infos[0].rate;
    require(samples > 0 && std::isfinite(rate) && rate > 0, "samples at a finite rate");
    require(samples * std::ssize(infos) * (headerFloats(input) ? 4 : 2) <= std::ssize(input),
            "the samples within the file");
    const std::int64_t sweep = reader->sweepLength();
    require(sweep == -1 || (sweep > 0 && samples % sweep == 0), "whole sweeps of equal length");
    for (std::size_t i = 0; i < infos.size(); ++i) {
        const SignalInfo& s = infos[i];
        require(s.samples == samples && s.rate == rate, "the same samples and rate in every channel");
        require(std::isfinite(s.physicalMin) && std::isfinite(s.physicalMax) && s.digitalMin < s.digitalMax,
                "finite limits");
        std::vector<float> values(static_cast<std::size_t>(samples));
        if (reader->readPhysical(static_cast<int>(i), values, error)) {
            require(std::ranges::all_of(values, [](float v) { return std::isfinite(v); }), "finite values");
        } else {
            require(headerFloats(input) && !error.empty(), "only a float sample that is no number fails");
        }
    }
    error.clear();
    const std::vector<SignalEvent> events = reader->events(error);
    require(error.empty() || events.empty(), "events or a reason");
    const double duration = static_cast<double>(samples) / rate;
    require(std::ranges::all_of(events,
                                [&](const SignalEvent& e) {
                                    return e.onset >= 0 && e.onset <= duration && e.duration == -1 &&
                                           !e.text.empty();
                                }),
            "each event within the data");
    require(std::ranges::is_sorted(events, {}, &SignalEvent::onset), "events in onset order");
}

} // namespace trazel::fuzz
