#pragma once

#include "core/app_state.h"
#include "files/edf_file.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <vector>

// Writing a whole recording as EDF+, BDF+ or CSV, for File > Export and the command line's conversion.
namespace trazel {

// What a recording holds, as the exporters see it.
struct RecordingView {
    double rate = 0;
    std::int64_t sweepLength = -1;              // block data: points per sweep; -1 continuous
    std::vector<std::span<const float>> traces; // each with the same number of points
    std::vector<std::string> labels;            // empty: "ch1" …
    std::vector<std::string> units;
    std::span<const Integer> markers; // empty: none
    std::span<const FileEvent> events;

    std::int64_t pointCount() const {
        return traces.empty() ? 0 : static_cast<std::int64_t>(traces[0].size());
    }
};

// Every annotation an export writes: each file event with its own text, onset and duration; each run of
// marker-on points no event covers as "Marker" with its duration, each such stimulus point as "Stimulus";
// in block data "Sweep k" at the start of each sweep. In onset order.
std::vector<SignalEvent> annotationsOf(const RecordingView& recording);

// A point rate from the program's single-precision interval: the whole number of points per second it
// stands for when it is within rounding of one.
double rateOfInterval(float interval);

enum class ExportFormat { Edf, Bdf, Csv };
// By the name's extension (any case); nothing for another.
std::optional<ExportFormat> exportFormatOf(const std::filesystem::path& path);

// The traces as EDF signals: a trace of whole numbers within 16 bits as those digital values, exactly
// (physical = digital); any other scaled from its minimum and maximum to the whole digital range.
std::vector<EdfOutSignal> edfSignalsOf(const RecordingView& recording, bool bdf);

// Writes the recording; false with the reason, and no file.
bool exportRecording(const std::filesystem::path& path, ExportFormat format, const RecordingView& recording,
                     std::string& error);

// The CSV text of points [first, end): a header row, then a row per point with, in block data, the
// sweep number first, the time in seconds (from the sweep's start in block data), each trace's value
// and the marker word.
std::string csvHeader(const RecordingView& recording);
std::string csvRows(const RecordingView& recording, std::int64_t first, std::int64_t end);

} // namespace trazel
