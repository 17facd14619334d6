#include "export/recording_export.h"

#include "core/marker_index.h"
#include "export/table_texts.h"
#include "files/edf_marks.h"
#include "files/signal_files.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <memory>

namespace trazel {

namespace {

constexpr int Bdf24Min = -8388608;
constexpr int Bdf24Max = 8388607;
constexpr std::int64_t CsvRowsPerWrite = 65536;

// Points some file event marks: they are written back as that event, not as a mark of their own.
std::vector<bool> pointsOfEvents(std::span<const FileEvent> events, std::int64_t count) {
    std::vector<bool> covered(static_cast<std::size_t>(count), false);
    for (const FileEvent& event : events) {
        for (std::int64_t i = std::max<std::int64_t>(event.first, 0); i <= event.last && i < count; ++i) {
            covered[static_cast<std::size_t>(i)] = true;
        }
    }
    return covered;
}

void addMarkAnnotations(const RecordingView& recording, std::vector<SignalEvent>& out) {
    const auto count = static_cast<std::int64_t>(recording.markers.size());
    const std::vector<bool> covered = pointsOfEvents(recording.events, count);
    const auto markAt = [&](std::int64_t i) {
        return covered[static_cast<std::size_t>(i)] ? Integer{0}
                                                    : recording.markers[static_cast<std::size_t>(i)];
    };
    for (std::int64_t i = 0; i < count; ++i) {
        const Integer code = markAt(i);
        if (code == MarkerStimulus) {
            out.push_back({static_cast<double>(i) / recording.rate, -1, "Stimulus"});
        } else if (code == MarkerOn) {
            std::int64_t end = i + 1;
            while (end < count && markAt(end) == MarkerOn) {
                ++end;
            }
            out.push_back({static_cast<double>(i) / recording.rate,
                           static_cast<double>(end - i) / recording.rate, "Marker"});
            i = end - 1;
        }
    }
}

// Checked in blocks without a branch per value, so that the compiler can check several at a time.
bool holdsWholeSixteenBitNumbers(std::span<const float> values) {
    constexpr std::size_t Block = 4096;
    for (std::size_t first = 0; first < values.size(); first += Block) {
        bool whole = true;
        for (const float v : values.subspan(first, std::min(Block, values.size() - first))) {
            const float within = v >= -32768.0F && v <= 32767.0F ? v : 0.5F; // NaN too
            whole &= static_cast<float>(static_cast<int>(within)) == within;
        }
        if (!whole) {
            return false;
        }
    }
    return true;
}

std::string traceLabel(const RecordingView& recording, std::size_t t) {
    if (t < recording.labels.size() && !recording.labels[t].empty()) {
        return recording.labels[t];
    }
    return "ch" + std::to_string(t + 1);
}

std::string traceUnit(const RecordingView& recording, std::size_t t) {
    return t < recording.units.size() ? recording.units[t] : std::string();
}

void appendNumber(std::string& line, auto value) {
    char digits[32];
    const auto [end, ec] = std::to_chars(std::begin(digits), std::end(digits), value);
    line.append(digits, end);
}

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

// The CSV goes to a sibling first and takes the name only when whole, so a failure leaves no part of it.
bool writeCsv(const std::filesystem::path& path, const RecordingView& recording, std::string& error) {
    std::filesystem::path partial = path;
    partial += ".part";
    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(partial.c_str(), "wb"));
    bool written = file != nullptr;
    std::string text = csvHeader(recording);
    for (std::int64_t first = 0; written && first < recording.pointCount(); first += CsvRowsPerWrite) {
        text += csvRows(recording, first, std::min(first + CsvRowsPerWrite, recording.pointCount()));
        written = std::fwrite(text.data(), 1, text.size(), file.get()) == text.size();
        text.clear();
    }
    written = written && std::fwrite(text.data(), 1, text.size(), file.get()) == text.size();
    written = file != nullptr && std::fclose(file.release()) == 0 && written;
    std::error_code renameError;
    if (written) {
        std::filesystem::rename(partial, path, renameError);
    }
    if (!written || renameError) {
        std::filesystem::remove(partial, renameError);
        error = "the file could not be written";
        return false;
    }
    return true;
}

} // namespace

std::vector<SignalEvent> annotationsOf(const RecordingView& recording) {
    std::vector<SignalEvent> out;
    for (const FileEvent& event : recording.events) {
        out.push_back({event.onset, event.duration, event.text});
    }
    addMarkAnnotations(recording, out);
    if (recording.sweepLength > 0) {
        for (std::int64_t k = 0; k * recording.sweepLength < recording.pointCount(); ++k) {
            out.push_back(
                {static_cast<double>(k * recording.sweepLength) / recording.rate, -1, sweepText(k + 1)});
        }
    }
    std::ranges::stable_sort(out, {}, &SignalEvent::onset);
    return out;
}

double rateOfInterval(float interval) {
    const double rate = 1.0 / static_cast<double>(interval);
    const double whole = std::round(rate);
    // A float interval carries about seven digits: 1 / 0.001f is 999.99997.
    return std::abs(rate - whole) <= 1e-6 * rate ? whole : rate;
}

std::optional<ExportFormat> exportFormatOf(const std::filesystem::path& path) {
    const std::string extension = lowerExtension(path);
    if (extension == ".edf") {
        return ExportFormat::Edf;
    }
    if (extension == ".bdf") {
        return ExportFormat::Bdf;
    }
    if (extension == ".csv") {
        return ExportFormat::Csv;
    }
    return std::nullopt;
}

std::vector<EdfOutSignal> edfSignalsOf(const RecordingView& recording, bool bdf) {
    std::vector<EdfOutSignal> out;
    for (std::size_t t = 0; t < recording.traces.size(); ++t) {
        EdfOutSignal signal{traceLabel(recording, t), traceUnit(recording, t), recording.rate,
                            recording.traces[t]};
        signal.digital = holdsWholeSixteenBitNumbers(signal.values);
        if (signal.digital) {
            signal.physicalMin = signal.digitalMin;
            signal.physicalMax = signal.digitalMax;
        } else if (bdf) {
            signal.digitalMin = Bdf24Min;
            signal.digitalMax = Bdf24Max;
        }
        out.push_back(std::move(signal));
    }
    return out;
}

bool exportRecording(const std::filesystem::path& path, ExportFormat format, const RecordingView& recording,
                     std::string& error) {
    if (format == ExportFormat::Csv) {
        return writeCsv(path, recording, error);
    }
    const bool bdf = format == ExportFormat::Bdf;
    return writeEdf(path, bdf, edfSignalsOf(recording, bdf), annotationsOf(recording), error);
}

std::string csvHeader(const RecordingView& recording) {
    std::string header = recording.sweepLength > 0 ? "sweep,time (s)" : "time (s)";
    for (std::size_t t = 0; t < recording.traces.size(); ++t) {
        const std::string unit = traceUnit(recording, t);
        header += ',' + csvCell(traceLabel(recording, t) + (unit.empty() ? "" : " (" + unit + ")"));
    }
    return header + ",marker\r\n";
}

std::string csvRows(const RecordingView& recording, std::int64_t first, std::int64_t end) {
    std::string rows;
    for (std::int64_t i = first; i < end; ++i) {
        std::int64_t point = i;
        if (recording.sweepLength > 0) {
            appendNumber(rows, i / recording.sweepLength + 1);
            rows += ',';
            point = i % recording.sweepLength;
        }
        appendNumber(rows, static_cast<double>(point) / recording.rate);
        for (std::span<const float> trace : recording.traces) {
            rows += ',';
            appendNumber(rows, trace[static_cast<std::size_t>(i)]);
        }
        rows += ',';
        appendNumber(rows, i < static_cast<std::int64_t>(recording.markers.size())
                               ? recording.markers[static_cast<std::size_t>(i)]
                               : Integer{0});
        rows += "\r\n";
    }
    return rows;
}

} // namespace trazel
