#include "export/conversion.h"

#include "core/number_rules.h"
#include "export/recording_export.h"
#include "files/bin_inspection.h"
#include "files/edf_marks.h"
#include "files/prn_format.h"
#include "files/signal_files.h"

#include <algorithm>
#include <cmath>
#include <new>

namespace trazel {

namespace {

constexpr int MaxPrnChannels = 2;

// Why a conversion stops.
struct Stop {
    int status = ConversionFailed;
    std::string message;
};

// The chosen traces of a file, read whole, with what marks their points.
struct Recording {
    double rate = 0;
    std::int64_t sweepLength = -1;
    std::vector<std::vector<float>> traces;
    std::vector<std::string> labels;
    std::vector<std::string> units;
    std::vector<Integer> markers; // empty: the file has none
    std::vector<FileEvent> events;
};

RecordingView viewOf(const Recording& recording) {
    RecordingView view{recording.rate,    recording.sweepLength, {}, recording.labels, recording.units,
                       recording.markers, recording.events};
    for (const std::vector<float>& trace : recording.traces) {
        view.traces.emplace_back(trace);
    }
    return view;
}

Stop unreadable(const ConversionRequest& request, const std::string& reason) {
    return {ConversionFailed, "cannot convert " + request.in.string() + ": " + reason};
}

// A whole number from 1 to `most`, as typed.
std::optional<int> wholeNumberUpTo(const std::string& text, int most) {
    const std::optional<double> count = numericValue(text);
    if (!count || *count < 1 || *count > most || *count != std::trunc(*count)) {
        return std::nullopt;
    }
    return static_cast<int>(*count);
}

// The traces of a recorded or Labtech file as signals the channel list names: "ch1", "ch2" ...
std::vector<OfferedSignal> numberedTraces(int count, double rate) {
    std::vector<OfferedSignal> traces;
    for (int i = 0; i < count; ++i) {
        traces.push_back({i, "ch" + std::to_string(i + 1), "", rate});
    }
    return traces;
}

// The entries of a comma-separated list, each without the blanks around it.
std::vector<std::string> listEntries(const std::string& list) {
    std::vector<std::string> entries;
    for (std::size_t from = 0; from <= list.size();) {
        const std::size_t comma = std::min(list.find(',', from), list.size());
        std::string entry = list.substr(from, comma - from);
        entry.erase(0, entry.find_first_not_of(" \t"));
        entry.erase(entry.find_last_not_of(" \t") + 1);
        entries.push_back(std::move(entry));
        from = comma + 1;
    }
    return entries;
}

// The position in `offered` of the signal an entry names: by its 1-based number, else by its label.
std::optional<int> signalNamed(const std::vector<OfferedSignal>& offered, const std::string& entry) {
    if (const std::optional<int> number = wholeNumberUpTo(entry, static_cast<int>(offered.size()))) {
        return *number - 1;
    }
    const auto named = std::ranges::find(offered, entry, &OfferedSignal::label);
    if (numericValue(entry) || named == offered.end()) {
        return std::nullopt;
    }
    return static_cast<int>(named - offered.begin());
}

// The signals the request's channel list chooses, as positions in `offered`.
std::optional<std::vector<int>> chosenSignals(const std::vector<OfferedSignal>& offered,
                                              const ConversionRequest& request, Stop& stop) {
    if (offered.empty()) {
        stop = unreadable(request, "the file holds no signal to convert");
        return std::nullopt;
    }
    if (request.channels.empty()) {
        return preselectedSignals(offered);
    }
    std::vector<int> chosen;
    for (const std::string& entry : listEntries(request.channels)) {
        const std::optional<int> position = signalNamed(offered, entry);
        if (!position) {
            stop = {ConversionRefused, "--channels: " + request.in.string() + " has no signal \"" + entry +
                                           "\"; it has 1 to " + std::to_string(offered.size()) +
                                           ", by number or label"};
            return std::nullopt;
        }
        chosen.push_back(*position);
    }
    if (!isValidSignalChoice(offered, chosen)) {
        stop = {ConversionRefused, "--channels takes one to three different signals of one rate"};
        return std::nullopt;
    }
    return chosen;
}

// The decoded traces the choice names, in its order, with their names.
void takeChosen(std::vector<std::vector<float>>& decoded, const std::vector<OfferedSignal>& offered,
                const std::vector<int>& chosen, Recording& recording) {
    for (const int position : chosen) {
        const OfferedSignal& signal = offered[static_cast<std::size_t>(position)];
        recording.traces.push_back(std::move(decoded[static_cast<std::size_t>(signal.index)]));
        recording.labels.push_back(signal.label);
        recording.units.push_back(signal.unit);
    }
}

std::optional<BinaryFile> openIn(const ConversionRequest& request, Stop& stop) {
    std::optional<BinaryFile> file = BinaryFile::openForReading(request.in);
    if (!file) {
        stop = unreadable(request, "the file cannot be opened");
    }
    return file;
}

// The bytes from `offset` to the end of the file.
std::optional<std::vector<std::uint8_t>> bytesFrom(BinaryFile& file, std::uint64_t offset,
                                                   const ConversionRequest& request, Stop& stop) {
    std::vector<std::uint8_t> bytes(file.length() - std::min(offset, file.length()));
    if (offset > file.length() || !file.seek(offset) || file.read(bytes) != bytes.size()) {
        stop = unreadable(request, "the file cannot be read");
        return std::nullopt;
    }
    return bytes;
}

// A recorded file: its samples as the whole numbers they are, and its marker words.
std::optional<Recording> readBin(const ConversionRequest& request, Stop& stop) {
    std::optional<BinaryFile> file = openIn(request, stop);
    if (!file) {
        return std::nullopt;
    }
    bool noChannelCount = false;
    const std::optional<BinFileLayout> layout = inspectBinFile(*file, [&] {
        const std::optional<int> channels = wholeNumberUpTo(request.prnChannels, binformat::MaxChannels);
        noChannelCount = !channels;
        return channels;
    });
    if (!layout) {
        stop = noChannelCount ? Stop{ConversionRefused,
                                     request.in.string() +
                                         " has no header: --prn-channels must give its number of channels, "
                                         "1 to 3"}
                              : unreadable(request, "the file is damaged or no recording of this program");
        return std::nullopt;
    }
    Recording recording;
    recording.rate = rateOfInterval(layout->sampleInterval);
    const std::vector<OfferedSignal> offered = numberedTraces(layout->header.channelCount, recording.rate);
    const std::optional<std::vector<int>> chosen = chosenSignals(offered, request, stop);
    if (!chosen) {
        return std::nullopt;
    }
    const std::optional<std::vector<std::uint8_t>> bytes =
        bytesFrom(*file, layout->records.dataOffset, request, stop);
    if (!bytes) {
        return std::nullopt;
    }
    const auto count = static_cast<std::size_t>(layout->sampleCount);
    std::vector<std::vector<float>> decoded(offered.size(), std::vector<float>(count));
    binformat::RecordTarget target;
    for (std::size_t c = 0; c < decoded.size(); ++c) {
        target.samples[c] = decoded[c].data();
    }
    if (layout->records.hasMarker) {
        recording.markers.resize(count);
        target.markers = recording.markers.data();
    }
    binformat::decodeRecords(*bytes, layout->records, layout->sampleCount, target);
    if (layout->header.blockFlag != 0) {
        recording.sweepLength = layout->header.pointsPerSweep;
    }
    takeChosen(decoded, offered, *chosen, recording);
    return recording;
}

// A Labtech file: its values as the window shows them.
std::optional<Recording> readPrn(const ConversionRequest& request, Stop& stop) {
    const std::optional<int> channels = wholeNumberUpTo(request.prnChannels, MaxPrnChannels);
    if (!channels) {
        stop = {ConversionRefused, "--prn-channels must give the number of channels of the Labtech file " +
                                       request.in.string() + ", 1 or 2"};
        return std::nullopt;
    }
    const std::optional<double> rate = numericValue(request.prnRate);
    const auto interval = static_cast<Single>(rate ? 1 / *rate : 0);
    if (!(interval > 0) || std::isinf(interval)) {
        stop = {ConversionRefused, "--prn-rate must give the sampling rate of the Labtech file " +
                                       request.in.string() + " in Hz, above 0"};
        return std::nullopt;
    }
    Recording recording;
    recording.rate = rateOfInterval(interval);
    const std::vector<OfferedSignal> offered = numberedTraces(*channels, recording.rate);
    const std::optional<std::vector<int>> chosen = chosenSignals(offered, request, stop);
    if (!chosen) {
        return std::nullopt;
    }
    std::optional<BinaryFile> file = openIn(request, stop);
    const std::optional<std::vector<std::uint8_t>> bytes =
        file ? bytesFrom(*file, 0, request, stop) : std::nullopt;
    if (!bytes) {
        return std::nullopt;
    }
    const std::int64_t count = prnformat::pointCount(file->length(), *channels);
    std::vector<std::vector<float>> decoded(offered.size(),
                                            std::vector<float>(static_cast<std::size_t>(count)));
    prnformat::PointTarget target;
    for (std::size_t c = 0; c < decoded.size(); ++c) {
        target.samples[c] = decoded[c].data();
    }
    prnformat::decodePoints(*bytes, *channels, count, target);
    takeChosen(decoded, offered, *chosen, recording);
    return recording;
}

// A recording of other equipment (EDF, BDF …): the physical values of the chosen signals, its events and
// the marks they make.
std::optional<Recording> readSignalFile(const ConversionRequest& request, Stop& stop) {
    std::string reason;
    const std::unique_ptr<SignalFile> reader = openSignalFile(request.in, ImportControl{}, reason);
    if (!reader) {
        stop = unreadable(request, reason);
        return std::nullopt;
    }
    const std::vector<OfferedSignal> offered = offeredSignals(reader->signalList());
    const std::optional<std::vector<int>> chosen = chosenSignals(offered, request, stop);
    if (!chosen) {
        return std::nullopt;
    }
    Recording recording;
    recording.rate = offered[static_cast<std::size_t>(chosen->front())].rate;
    // The longest signal sets the length, as the window shows it; a shorter one ends in zeros.
    std::int64_t count = 0;
    for (const int position : *chosen) {
        const auto signal = static_cast<std::size_t>(offered[static_cast<std::size_t>(position)].index);
        count = std::max(count, reader->signalList()[signal].samples);
    }
    std::vector<std::vector<float>> decoded(reader->signalList().size());
    for (const int position : *chosen) {
        const int signal = offered[static_cast<std::size_t>(position)].index;
        std::vector<float>& values = decoded[static_cast<std::size_t>(signal)];
        values.resize(static_cast<std::size_t>(count));
        if (!reader->readPhysical(signal, values, reason)) {
            stop = unreadable(request, reason);
            return std::nullopt;
        }
    }
    std::optional<EdfMarks> marks = marksOf(*reader, recording.rate, count, reason);
    if (!marks) {
        stop = unreadable(request, reason);
        return std::nullopt;
    }
    recording.markers.resize(static_cast<std::size_t>(count));
    markEvents(marks->events, recording.markers);
    recording.events = std::move(marks->events);
    recording.sweepLength = marks->sweepLength;
    takeChosen(decoded, offered, *chosen, recording);
    return recording;
}

std::optional<Recording> readRecording(const ConversionRequest& request, Stop& stop) {
    const std::string extension = lowerExtension(request.in);
    if (extension == ".bin") {
        return readBin(request, stop);
    }
    if (extension == ".prn") {
        return readPrn(request, stop);
    }
    if (isSignalFileName(request.in)) {
        return readSignalFile(request, stop);
    }
    stop = {ConversionRefused, request.in.string() +
                                   ": the file to convert must be a recording the program reads (.bin, .prn, "
                                   ".edf, .bdf, .abf, .hea, .gdf, .vhdr, .scp, .cfs, .cnt)"};
    return std::nullopt;
}

} // namespace

int convertFile(const ConversionRequest& request, std::string& message) {
    const std::optional<ExportFormat> format = exportFormatOf(request.out);
    if (!format) {
        message = request.out.string() + ": the file to write must end in .edf, .bdf or .csv";
        return ConversionRefused;
    }
    Stop stop;
    std::optional<Recording> recording;
    try {
        recording = readRecording(request, stop);
    } catch (const std::bad_alloc&) {
        stop = unreadable(request, "there is not enough memory to read the file");
    }
    if (!recording) {
        message = stop.message;
        return stop.status;
    }
    const RecordingView view = viewOf(*recording);
    std::string reason;
    if (!exportRecording(request.out, *format, view, reason)) {
        message = "cannot write " + request.out.string() + ": " + reason;
        return ConversionFailed;
    }
    message = std::to_string(view.pointCount()) + " points written to " + request.out.string();
    return Converted;
}

} // namespace trazel
