// EdfReader over EDF, EDF+, BDF and BDF+ files. Input: the file. The seeds are cuts of mne-python's
// test recordings test_edf_stim_channel.edf and test_bdf_stim_channel.bdf (BSD-3-Clause): two as they
// were laid out, two written again by writeEdf, and two inputs the fuzzer found.

#include "file_rules.h"
#include "files/edf_file.h"
#include "files/edf_marks.h"
#include "targets.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <string_view>

namespace trazel::fuzz {

namespace {

std::string_view textAt(Input bytes, std::size_t offset, std::size_t length) {
    if (offset + length > bytes.size()) {
        return {};
    }
    const std::string_view text(reinterpret_cast<const char*>(bytes.data()) + offset, length);
    const std::size_t first = text.find_first_not_of(' ');
    return first == std::string_view::npos ? std::string_view()
                                           : text.substr(first, text.find_last_not_of(' ') - first + 1);
}

std::int64_t numberAt(Input bytes, std::size_t offset, std::size_t length) {
    const std::string_view text = textAt(bytes, offset, length);
    std::int64_t value = 0;
    for (const char c : text) {
        value = value * 10 + (c - '0');
    }
    return value;
}

// The samples each signal holds by the header: records x samples per record, annotation signals left out.
std::vector<std::int64_t> headerSamples(Input file) {
    const auto count = static_cast<std::size_t>(numberAt(file, 252, 4));
    const std::int64_t records = numberAt(file, 236, 8);
    // An EDF+ file says "EDF+C" where EDF has reserved bytes, its annotation signals "EDF Annotations"; a
    // BDF+ file "BDF+C" and "BDF Annotations".
    const std::string_view type = file.empty() || file[0] != 0xFF ? "EDF" : "BDF";
    const std::string_view reserved = textAt(file, 192, 5);
    const bool plus = reserved == std::string(type) + "+C" || reserved == std::string(type) + "+D";
    std::vector<std::int64_t> samples;
    for (std::size_t i = 0; i < count; ++i) {
        if (!plus || textAt(file, 256 + 16 * i, 16) != std::string(type) + " Annotations") {
            samples.push_back(records * numberAt(file, 256 + 216 * count + 8 * i, 8));
        }
    }
    return samples;
}

bool holdsText(Input file, std::string_view text) {
    return std::string_view(reinterpret_cast<const char*>(file.data()), file.size()).find(text) !=
           std::string_view::npos;
}

} // namespace

void requireEventsOnPoints(const std::vector<SignalEvent>& events, const std::vector<SignalInfo>& infos) {
    const std::int64_t count = infos.empty() ? 0 : std::min<std::int64_t>(infos[0].samples, 1 << 20);
    std::vector<FileEvent> placed = placeEvents(events, infos.empty() ? 0 : infos[0].rate, count);
    require(placed.size() == events.size(), "no event is lost");
    require(std::ranges::all_of(placed,
                                [&](const FileEvent& e) {
                                    return count == 0 ||
                                           (0 <= e.first && e.first <= e.last && e.last < count);
                                }),
            "each event on points of the data");
    std::vector<Integer> markers(static_cast<std::size_t>(count));
    markEvents(placed, markers);
    takeSweeps(placed, count);
}

void fuzzReadEdf(Input input) {
    std::string error;
    std::optional<EdfReader> reader = EdfReader::open(writeFile("input.edf", input), error);
    if (!reader) {
        require(!error.empty(), "a refused file has its reason");
        return;
    }
    const std::vector<SignalInfo>& infos = reader->signalList();
    const std::vector<std::int64_t> expected = headerSamples(input);
    require(infos.size() == expected.size(), "every signal of the header that is not an annotation signal");
    // Only a file that says where its data end may hold fewer samples than its records.
    const bool dataEnd = holdsText(input, "Trazel data end");
    for (std::size_t i = 0; i < infos.size(); ++i) {
        const SignalInfo& s = infos[i];
        require(s.samples == expected[i] || (dataEnd && s.samples >= 0 && s.samples < expected[i]),
                "the samples the header gives");
        require(std::isfinite(s.rate) && s.rate >= 0, "a finite rate");
        std::vector<float> values(static_cast<std::size_t>(s.samples));
        require(reader->readPhysical(static_cast<int>(i), values, error),
                "every sample of an opened file reads");
        require(std::ranges::all_of(values, [](float v) { return std::isfinite(v); }), "finite values");
    }
    const std::vector<SignalEvent> events = reader->events(error);
    require(std::ranges::all_of(events, [](const SignalEvent& e) { return std::isfinite(e.onset); }),
            "finite onsets");
    require(std::ranges::is_sorted(events, {}, &SignalEvent::onset), "events in onset order");
    requireEventsOnPoints(events, infos);
}

} // namespace trazel::fuzz
