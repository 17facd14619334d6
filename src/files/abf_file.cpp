#include "files/abf_file.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <limits>
#include <string_view>
#include <utility>

namespace trazel {

using abf::Layout;
using abf::Scaling;
using abf::Segment;
using abf::Table;

namespace {

static_assert(std::endian::native == std::endian::little,
              "the file's little-endian numbers are copied as they are");

using Bytes = std::vector<std::uint8_t>;
using ByteView = std::span<const std::uint8_t>;

constexpr std::int64_t BlockBytes = 512; // the unit of the headers' file positions
// ABF 1 headers: 2 kB up to version 1.5; from 1.6 on 6 kB, with the telegraphs and the epoch tables.
constexpr std::int64_t Abf1HeaderBytes = 2048;
constexpr std::int64_t Abf1ExtendedBytes = 6144;
constexpr float Abf1ExtendedVersion = 1.6F;
constexpr int Abf1Outputs = 2;
constexpr int Abf1Epochs = 10;
constexpr std::int64_t Abf2HeaderBytes = 76 + 18 * 16; // the fixed fields and the section map
constexpr int MaxChannels = 16;
// Clampex's most: larger tables are damaged, and would make the search for each sweep's stimulus slow.
constexpr std::int64_t MaxOutputs = 8;
constexpr std::int64_t MaxEpochs = 50;   // of each output
constexpr int EpochsMakeTheWaveform = 1; // an output's waveform source
constexpr std::int64_t TagBytes = 64;
constexpr std::int64_t SweepEntryBytes = 8; // start, length
constexpr std::int64_t ReadBytes = 1 << 20; // the data read at once: about this many bytes

// A number of the file at a byte offset; 0 past the end, so that a damaged header reads nothing outside.
template <typename T> T numberAt(ByteView bytes, std::int64_t at) {
    T value{};
    if (at >= 0 && at <= std::ssize(bytes) - static_cast<std::int64_t>(sizeof(T))) {
        std::memcpy(&value, bytes.data() + at, sizeof(T));
    }
    return value;
}

// Latin-1 text as UTF-8, up to its first NUL, control characters as spaces, without the spaces around it.
std::string textOf(ByteView bytes) {
    std::string text;
    for (const std::uint8_t c : bytes) {
        if (c == 0) {
            break;
        }
        if (c < 0x20 || (c >= 0x7F && c < 0xA0)) {
            text += ' ';
        } else if (c < 0x80) {
            text += static_cast<char>(c);
        } else {
            text += static_cast<char>(0xC0 | c >> 6);
            text += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    const std::size_t first = text.find_first_not_of(' ');
    return first == std::string::npos ? std::string()
                                      : text.substr(first, text.find_last_not_of(' ') - first + 1);
}

std::string textAt(ByteView bytes, std::int64_t at, std::int64_t length) {
    const std::int64_t size = std::ssize(bytes);
    return at < 0 || at >= size ? std::string() : textOf(bytes.subspan(at, std::min(length, size - at)));
}

std::string number(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%g", value);
    return text;
}

struct OpenFile {
    std::ifstream in;
    std::int64_t size = 0;
};

std::optional<OpenFile> openFile(const std::filesystem::path& path, std::string& error) {
    std::error_code fault;
    const auto size = std::filesystem::file_size(path, fault);
    OpenFile file{std::ifstream(path, std::ios::binary), static_cast<std::int64_t>(size)};
    if (fault || !file.in) {
        error = "the file cannot be opened";
        return std::nullopt;
    }
    return file;
}

// `length` bytes of the file from `offset`; nothing when they are not all in it.
std::optional<Bytes> readRange(OpenFile& file, std::int64_t offset, std::int64_t length) {
    if (offset < 0 || length < 0 || offset > file.size || length > file.size - offset) {
        return std::nullopt;
    }
    Bytes bytes(static_cast<std::size_t>(length));
    file.in.clear();
    file.in.seekg(offset);
    file.in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(length));
    return file.in ? std::optional(std::move(bytes)) : std::nullopt;
}

// A table's entries; nothing, with the reason, when they lie outside the file or are shorter than the
// `fieldBytes` read of each.
std::optional<Bytes> readTable(OpenFile& file, const Table& table, std::int64_t fieldBytes,
                               std::string_view name, std::string& error) {
    if (table.count == 0) {
        return Bytes();
    }
    if (table.count < 0 || table.entryBytes < std::max<std::int64_t>(fieldBytes, 1)) {
        error = "the " + std::string(name) + " table is damaged";
        return std::nullopt;
    }
    auto bytes = table.count <= file.size / table.entryBytes
                     ? readRange(file, table.offset, table.count * table.entryBytes)
                     : std::nullopt;
    if (!bytes) {
        error = "the " + std::string(name) + " table lies beyond the end of the file";
    }
    return bytes;
}

ByteView entryOf(const Bytes& bytes, const Table& table, std::int64_t index) {
    return ByteView(bytes).subspan(static_cast<std::size_t>(index * table.entryBytes),
                                   static_cast<std::size_t>(table.entryBytes));
}

struct Epoch {
    int type = 0;                                // 0: off
    double level = 0, levelStep = 0;             // the level in sweep k (from 0): level + k levelStep
    std::int64_t duration = 0, durationStep = 0; // points, likewise
};

// An output's command waveform made of its epochs, after a holding of the sweep's first 1/64.
struct Waveform {
    double holding = 0;
    std::vector<Epoch> epochs;
};

struct Channel {
    std::string name, unit;
    double gains = 1; // the instrument's scale factor (volts per unit) times every gain on the way to the ADC
    double offset = 0;
};

// The fields of either version the reader uses.
struct Header {
    int mode = 0;
    int dataFormat = 0;
    std::vector<Channel> channels; // in the order they are sampled
    double intervalUs = 0;         // between two samples of a channel
    double synchUnitUs = 0;        // the clock of the tags and sweeps; 0: the samples of all channels
    double adcRange = 0;           // volts
    std::int64_t resolution = 0;   // the digital value at adcRange
    std::int64_t dataOffset = 0;
    std::int64_t dataSamples = 0, samplesPerEpisode = 0; // of all channels
    Table tags, sweeps;
    std::vector<Waveform> waveforms;
};

bool channelCountIsValid(std::int64_t count, std::string& error) {
    if (count < 1 || count > MaxChannels) {
        error = "the header gives " + std::to_string(count) + " channels, not 1 to 16";
        return false;
    }
    return true;
}

double telegraphGain(int enabled, float gain) {
    return enabled == 1 ? gain : 1;
}

std::vector<Waveform> abf1Waveforms(ByteView head) {
    std::vector<Waveform> waveforms;
    for (int out = 0; out < Abf1Outputs; ++out) {
        if (numberAt<std::int16_t>(head, 2296 + 2 * out) == 0 ||
            numberAt<std::int16_t>(head, 2300 + 2 * out) != EpochsMakeTheWaveform) {
            continue;
        }
        Waveform waveform{numberAt<float>(head, 1394 + 4 * out), {}};
        for (int i = out * Abf1Epochs; i < (out + 1) * Abf1Epochs; ++i) {
            waveform.epochs.push_back(
                {numberAt<std::int16_t>(head, 2308 + 2 * i), numberAt<float>(head, 2348 + 4 * i),
                 numberAt<float>(head, 2428 + 4 * i), numberAt<std::int32_t>(head, 2508 + 4 * i),
                 numberAt<std::int32_t>(head, 2588 + 4 * i)});
        }
        waveforms.push_back(std::move(waveform));
    }
    return waveforms;
}

std::optional<Header> readAbf1Header(ByteView head, std::string& error) {
    const float version = numberAt<float>(head, 4);
    if (!(version >= 1 && version < 2)) {
        error = "ABF version " + number(version) + " is not supported";
        return std::nullopt;
    }
    const bool extended = version >= Abf1ExtendedVersion;
    if (std::ssize(head) < (extended ? Abf1ExtendedBytes : Abf1HeaderBytes)) {
        error = "the file ends within its header";
        return std::nullopt;
    }
    if (numberAt<std::int16_t>(head, 38) != 0) {
        error = "the header's numbers are in Microsoft Binary Format, which is not supported";
        return std::nullopt;
    }
    const int channels = numberAt<std::int16_t>(head, 120);
    if (!channelCountIsValid(channels, error)) {
        return std::nullopt;
    }
    Header h;
    h.mode = numberAt<std::int16_t>(head, 8);
    h.dataFormat = numberAt<std::int16_t>(head, 100);
    h.intervalUs = static_cast<double>(numberAt<float>(head, 122)) * channels; // fADCSampleInterval: of all
    h.synchUnitUs = numberAt<float>(head, 130);
    h.adcRange = numberAt<float>(head, 244);
    h.resolution = numberAt<std::int32_t>(head, 252);
    const std::int64_t ignoredPoints = numberAt<std::int16_t>(head, 14);
    h.dataOffset =
        numberAt<std::int32_t>(head, 40) * BlockBytes + ignoredPoints * (h.dataFormat == 1 ? 4 : 2);
    h.dataSamples = numberAt<std::int32_t>(head, 10);
    h.samplesPerEpisode = numberAt<std::int32_t>(head, 138);
    h.tags = {numberAt<std::int32_t>(head, 44) * BlockBytes, numberAt<std::int32_t>(head, 48), TagBytes};
    h.sweeps = {numberAt<std::int32_t>(head, 92) * BlockBytes, numberAt<std::int32_t>(head, 96),
                SweepEntryBytes};
    for (int i = 0; i < channels; ++i) {
        // The channels' fields are in the order of the physical channels, the samples in that of sampling.
        const int physical = numberAt<std::int16_t>(head, 410 + 2 * i);
        if (physical < 0 || physical >= MaxChannels) {
            error = "the channel sampling sequence is damaged";
            return std::nullopt;
        }
        const auto field = [&](int at) {
            return static_cast<double>(numberAt<float>(head, at + 4 * physical));
        };
        const int telegraph = extended ? numberAt<std::int16_t>(head, 4512 + 2 * physical) : 0;
        h.channels.push_back({textAt(head, 442 + 10 * physical, 10), textAt(head, 602 + 8 * physical, 8),
                              field(922) * field(1050) * field(730) *
                                  telegraphGain(telegraph, numberAt<float>(head, 4576 + 4 * physical)),
                              field(986) - field(1114)});
    }
    if (extended) {
        h.waveforms = abf1Waveforms(head);
    }
    return h;
}

enum class Section {
    Protocol = 0,
    Adc = 1,
    Dac = 2,
    EpochPerDac = 5,
    Strings = 9,
    Data = 10,
    Tags = 11,
    Sweeps = 15
};

Table sectionOf(ByteView head, Section section) {
    const int at = 76 + 16 * static_cast<int>(section);
    return {numberAt<std::uint32_t>(head, at) * BlockBytes, numberAt<std::int64_t>(head, at + 8),
            numberAt<std::uint32_t>(head, at + 4)};
}

// The texts of the strings section, which the header's names and units are indexes into (from 1): after a
// 44-byte header that begins "SSCH", one after the other, each ended by a NUL.
std::vector<std::string> stringsOf(ByteView section) {
    constexpr std::string_view Signature = "SSCH";
    constexpr std::size_t TextsAt = 44;
    std::vector<std::string> texts;
    if (section.size() < TextsAt || !std::equal(Signature.begin(), Signature.end(), section.begin())) {
        return texts;
    }
    for (auto at = section.begin() + TextsAt; at < section.end();) {
        const auto end = std::find(at, section.end(), 0);
        texts.push_back(textOf(ByteView(at, end)));
        at = end == section.end() ? end : end + 1;
    }
    return texts;
}

std::string stringAt(const std::vector<std::string>& texts, std::int64_t index) {
    return index >= 1 && index <= std::ssize(texts) ? texts[static_cast<std::size_t>(index - 1)]
                                                    : std::string();
}

// The waveforms of the outputs that make theirs of epochs: each epoch entry names its output and its place.
std::optional<std::vector<Waveform>> abf2Waveforms(OpenFile& file, ByteView head, std::string& error) {
    const Table outputs = sectionOf(head, Section::Dac), epochs = sectionOf(head, Section::EpochPerDac);
    if (outputs.count > MaxOutputs || epochs.count > MaxOutputs * MaxEpochs) {
        error = "the header's output tables are damaged";
        return std::nullopt;
    }
    const auto outputBytes = readTable(file, outputs, 46, "output", error);
    const auto epochBytes = outputBytes ? readTable(file, epochs, 22, "epoch", error) : std::nullopt;
    if (!epochBytes) {
        return std::nullopt;
    }
    std::vector<Waveform> waveforms;
    for (std::int64_t d = 0; d < outputs.count; ++d) {
        const ByteView output = entryOf(*outputBytes, outputs, d);
        if (numberAt<std::int16_t>(output, 40) == 0 ||
            numberAt<std::int16_t>(output, 42) != EpochsMakeTheWaveform) {
            continue;
        }
        std::vector<std::pair<int, Epoch>> numbered;
        for (std::int64_t e = 0; e < epochs.count; ++e) {
            const ByteView entry = entryOf(*epochBytes, epochs, e);
            if (numberAt<std::int16_t>(entry, 2) == numberAt<std::int16_t>(output, 0)) {
                numbered.push_back(
                    {numberAt<std::int16_t>(entry, 0),
                     {numberAt<std::int16_t>(entry, 4), numberAt<float>(entry, 6), numberAt<float>(entry, 10),
                      numberAt<std::int32_t>(entry, 14), numberAt<std::int32_t>(entry, 18)}});
            }
        }
        std::ranges::stable_sort(numbered, {}, &std::pair<int, Epoch>::first);
        Waveform waveform{numberAt<float>(output, 12), {}};
        for (const auto& [place, epoch] : numbered) {
            waveform.epochs.push_back(epoch);
        }
        waveforms.push_back(std::move(waveform));
    }
    return waveforms;
}

std::optional<Header> readAbf2Header(OpenFile& file, ByteView head, std::string& error) {
    if (std::ssize(head) < Abf2HeaderBytes) {
        error = "the file ends within its header";
        return std::nullopt;
    }
    if (head[7] != 2) { // the version's bytes: build, bug fix, minor, major
        error =
            "ABF version " + std::to_string(head[7]) + "." + std::to_string(head[6]) + " is not supported";
        return std::nullopt;
    }
    const Table adcs = sectionOf(head, Section::Adc), strings = sectionOf(head, Section::Strings);
    if (!channelCountIsValid(adcs.count, error)) {
        return std::nullopt;
    }
    const auto protocol = readTable(file, sectionOf(head, Section::Protocol), 122, "protocol", error);
    const auto adcBytes = protocol ? readTable(file, adcs, 82, "ADC", error) : std::nullopt;
    // One entry: the whole section.
    const auto stringBytes =
        adcBytes
            ? readTable(file, {strings.offset, strings.count > 0, strings.entryBytes}, 0, "strings", error)
            : std::nullopt;
    auto waveforms = stringBytes ? abf2Waveforms(file, head, error) : std::nullopt;
    if (!waveforms) {
        return std::nullopt;
    }
    if (protocol->empty()) {
        error = "the file has no protocol section";
        return std::nullopt;
    }
    Header h;
    h.dataFormat = numberAt<std::uint16_t>(head, 30);
    h.mode = numberAt<std::int16_t>(*protocol, 0);
    h.intervalUs = numberAt<float>(*protocol, 2); // fADCSequenceInterval: of each channel
    h.synchUnitUs = numberAt<float>(*protocol, 14);
    h.samplesPerEpisode = numberAt<std::int32_t>(*protocol, 22);
    h.adcRange = numberAt<float>(*protocol, 110);
    h.resolution = numberAt<std::int32_t>(*protocol, 118);
    const Table data = sectionOf(head, Section::Data);
    h.dataOffset = data.offset;
    h.dataSamples = data.count;
    h.tags = sectionOf(head, Section::Tags);
    h.sweeps = sectionOf(head, Section::Sweeps);
    h.waveforms = std::move(*waveforms);
    const std::vector<std::string> texts = stringsOf(*stringBytes);
    for (std::int64_t i = 0; i < adcs.count; ++i) {
        const ByteView adc = entryOf(*adcBytes, adcs, i);
        const auto field = [&](int at) { return static_cast<double>(numberAt<float>(adc, at)); };
        h.channels.push_back({stringAt(texts, numberAt<std::int32_t>(adc, 74)),
                              stringAt(texts, numberAt<std::int32_t>(adc, 78)),
                              field(40) * field(48) * field(28) *
                                  telegraphGain(numberAt<std::int16_t>(adc, 2), numberAt<float>(adc, 6)),
                              field(44) - field(52)});
    }
    return h;
}

bool isEpisodic(int mode) {
    return mode == 2 || mode == 4 || mode == 5;
}
constexpr int GapFree = 3;

// The reason a file's data cannot be read as the header places them; empty when they can.
std::string dataRefusal(const Header& h, std::int64_t fileSize) {
    const std::int64_t sampleBytes = h.dataFormat == 1 ? 4 : 2;
    const auto channels = std::ssize(h.channels);
    if (h.dataOffset < 0 || h.dataOffset > fileSize) {
        return "the data start beyond the end of the file";
    }
    if (h.dataSamples < 0 || h.dataSamples > (fileSize - h.dataOffset) / sampleBytes) {
        return "the file holds fewer samples than its header says (" + std::to_string(h.dataSamples) + ")";
    }
    if (h.dataSamples == 0) {
        return "the file holds no samples";
    }
    if (h.dataSamples % channels != 0) {
        return "the data hold " + std::to_string(h.dataSamples) +
               " samples, not the same number for each of the " + std::to_string(channels) + " channels";
    }
    if (isEpisodic(h.mode) && (h.samplesPerEpisode <= 0 || h.samplesPerEpisode % channels != 0 ||
                               h.dataSamples % h.samplesPerEpisode != 0)) {
        return "the data hold " + std::to_string(h.dataSamples) + " samples, not whole sweeps of " +
               std::to_string(h.samplesPerEpisode) + " for " + std::to_string(channels) + " channels";
    }
    return {};
}

// Each channel's scaling; nothing, with the reason, when a channel's gains give no finite values.
std::optional<std::vector<Scaling>> scalingsOf(const Header& h, std::string& error) {
    std::vector<Scaling> scalings;
    for (std::size_t i = 0; i < h.channels.size(); ++i) {
        const Channel& c = h.channels[i];
        const Scaling s{h.adcRange / (static_cast<double>(h.resolution) * c.gains), c.offset};
        // Any 16-bit value, and the digital range, within single precision.
        const double widest = std::abs(s.gain) * std::max<double>(32768, static_cast<double>(h.resolution));
        if (h.resolution <= 0 || !std::isfinite(s.gain) || s.gain == 0 || !std::isfinite(s.offset) ||
            !(widest + std::abs(s.offset) <= std::numeric_limits<float>::max())) {
            error = "the gains of channel " + std::to_string(i + 1) + " give no finite values";
            return std::nullopt;
        }
        scalings.push_back(s);
    }
    return scalings;
}

// The stretches of acquisition of the sweep table, when they hold the data; none when the table is empty or
// its lengths do not add up to the data. Nothing, with the reason, when it cannot be read or gives a sweep
// another length.
std::optional<std::vector<Segment>> segmentsOf(OpenFile& file, const Header& h, double unitUs, double rate,
                                               std::string& error) {
    const auto table = readTable(file, h.sweeps, SweepEntryBytes, "sweep", error);
    if (!table) {
        return std::nullopt;
    }
    const auto channels = std::ssize(h.channels);
    std::vector<Segment> segments;
    std::int64_t samples = 0;
    for (std::int64_t i = 0; i < h.sweeps.count; ++i) {
        const ByteView entry = entryOf(*table, h.sweeps, i);
        const std::int64_t length = numberAt<std::int32_t>(entry, 4); // of all channels
        if (isEpisodic(h.mode) && length != h.samplesPerEpisode) {
            error = "sweep " + std::to_string(i + 1) + " holds " + std::to_string(length) + " samples, not " +
                    std::to_string(h.samplesPerEpisode) + ": sweeps of different lengths are not supported";
            return std::nullopt;
        }
        const double duration = static_cast<double>(length / channels) / rate;
        segments.push_back({numberAt<std::int32_t>(entry, 0) * unitUs,
                            static_cast<double>(samples / channels) / rate, duration});
        samples += std::max<std::int64_t>(length, 0);
    }
    if (samples != h.dataSamples) {
        segments.clear();
    }
    return segments;
}

// The point of sweep k (from 0) where an output first leaves its holding level; nothing when it does not.
std::optional<std::int64_t> stimulusPoint(const Waveform& waveform, std::int64_t k,
                                          std::int64_t sweepLength) {
    // In doubles: a duration's step times the sweep's number may pass 64 bits.
    double point = static_cast<double>(sweepLength / 64);
    const auto sweep = static_cast<double>(k);
    for (const Epoch& epoch : waveform.epochs) {
        const double duration =
            static_cast<double>(epoch.duration) + static_cast<double>(epoch.durationStep) * sweep;
        if (epoch.type == 0 || !(duration > 0)) {
            continue;
        }
        if (point >= static_cast<double>(sweepLength)) {
            break;
        }
        if (epoch.level + epoch.levelStep * sweep != waveform.holding) {
            return static_cast<std::int64_t>(point);
        }
        point += duration;
    }
    return std::nullopt;
}

std::vector<double> stimulusOnsets(const std::vector<Waveform>& waveforms, std::int64_t sweeps,
                                   std::int64_t sweepLength, double rate) {
    std::vector<double> onsets;
    for (std::int64_t k = 0; k < sweeps && !waveforms.empty(); ++k) {
        std::optional<std::int64_t> first;
        for (const Waveform& waveform : waveforms) {
            const auto point = stimulusPoint(waveform, k, sweepLength);
            if (point && (!first || *point < *first)) {
                first = point;
            }
        }
        if (first) {
            onsets.push_back(static_cast<double>(k * sweepLength + *first) / rate);
        }
    }
    return onsets;
}

// Where a time on the file's clock lies on the sweeps laid end to end: within the stretch of acquisition
// it falls in, or at the end of the one before.
double onsetOf(double timeUs, const std::vector<Segment>& segments) {
    const Segment* in = nullptr;
    for (const Segment& segment : segments) {
        if (segment.startUs <= timeUs && (!in || segment.startUs >= in->startUs)) {
            in = &segment;
        }
    }
    if (!in) {
        return segments.empty() ? timeUs * 1e-6 : 0;
    }
    return in->onset + std::min(in->duration, (timeUs - in->startUs) * 1e-6);
}

// The reader's layout and signals of a header read; nothing, with the reason, when its values are not of a
// file this reader can read.
std::optional<Layout> layoutOf(const Header& h, OpenFile& file, std::vector<SignalInfo>& signals,
                               std::string& error) {
    if (!isEpisodic(h.mode) && h.mode != GapFree) {
        error = "ABF operation mode " + std::to_string(h.mode) +
                (h.mode == 1 ? " (variable-length events)" : "") + " is not supported";
        return std::nullopt;
    }
    if (h.dataFormat != 0 && h.dataFormat != 1) {
        error = "ABF data format " + std::to_string(h.dataFormat) + " is not supported";
        return std::nullopt;
    }
    const double rate = 1e6 / h.intervalUs;
    if (!(h.intervalUs > 0) || !std::isfinite(rate)) {
        error = "the sample interval (" + number(h.intervalUs) + " us) is not a positive number";
        return std::nullopt;
    }
    auto scalings = scalingsOf(h, error);
    if (!scalings) {
        return std::nullopt;
    }
    error = dataRefusal(h, file.size);
    if (!error.empty()) {
        return std::nullopt;
    }
    const auto channels = std::ssize(h.channels);
    Layout layout;
    layout.dataOffset = h.dataOffset;
    layout.floats = h.dataFormat == 1;
    layout.tags = h.tags;
    layout.tagUnitUs =
        std::isfinite(h.synchUnitUs) && h.synchUnitUs > 0 ? h.synchUnitUs : h.intervalUs / channels;
    auto segments = segmentsOf(file, h, layout.tagUnitUs, rate, error);
    if (!segments) {
        return std::nullopt;
    }
    layout.segments = std::move(*segments);
    if (isEpisodic(h.mode)) {
        layout.sweepLength = h.samplesPerEpisode / channels;
        layout.stimulusOnsets =
            stimulusOnsets(h.waveforms, h.dataSamples / h.samplesPerEpisode, layout.sweepLength, rate);
    }
    const auto digitalMax = static_cast<int>(h.resolution - 1);
    for (std::size_t i = 0; i < h.channels.size(); ++i) {
        const Scaling& s = (*scalings)[i];
        signals.push_back({h.channels[i].name, h.channels[i].unit, rate, h.dataSamples / channels,
                           (-digitalMax - 1) * s.gain + s.offset, digitalMax * s.gain + s.offset,
                           -digitalMax - 1, digitalMax, false});
    }
    layout.scalings = std::move(*scalings);
    return layout;
}

} // namespace

std::optional<AbfReader> AbfReader::open(const std::filesystem::path& path, std::string& error) {
    auto file = openFile(path, error);
    if (!file) {
        return std::nullopt;
    }
    const auto head = readRange(*file, 0, std::min(file->size, Abf1ExtendedBytes));
    const std::string_view signature =
        head && head->size() >= 4 ? std::string_view(reinterpret_cast<const char*>(head->data()), 4) : "";
    std::optional<Header> header;
    if (signature == "ABF ") {
        header = readAbf1Header(*head, error);
    } else if (signature == "ABF2") {
        header = readAbf2Header(*file, *head, error);
    } else {
        error = "the file is not an Axon ABF file";
    }
    std::vector<SignalInfo> signals;
    auto layout = header ? layoutOf(*header, *file, signals, error) : std::nullopt;
    if (!layout) {
        return std::nullopt;
    }
    return AbfReader(path, std::move(signals), std::move(*layout));
}

bool AbfReader::readPhysical(int signal, std::span<float> out, std::string& error) {
    if (signal < 0 || signal >= std::ssize(m_signals)) {
        error = "the file has no signal " + std::to_string(signal);
        return false;
    }
    const std::int64_t count = m_signals[static_cast<std::size_t>(signal)].samples;
    if (std::ssize(out) < count) {
        error = "room for " + std::to_string(out.size()) + " values, not the " + std::to_string(count) +
                " of the signal";
        return false;
    }
    const std::int64_t sampleBytes = m_layout.floats ? 4 : 2;
    const std::int64_t frameBytes =
        sampleBytes * std::ssize(m_signals); // the samples of all channels at a point
    const std::int64_t framesPerRead = std::max<std::int64_t>(1, ReadBytes / frameBytes);
    const Scaling scaling = m_layout.scalings[static_cast<std::size_t>(signal)];
    std::ifstream in(m_path, std::ios::binary);
    in.seekg(m_layout.dataOffset);
    Bytes bytes;
    for (std::int64_t done = 0; done < count; done += framesPerRead) {
        const std::int64_t frames = std::min(framesPerRead, count - done);
        bytes.resize(static_cast<std::size_t>(frames * frameBytes));
        in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        if (!in) {
            error = "the file ends before its data";
            return false;
        }
        for (std::int64_t i = 0; i < frames; ++i) {
            const std::int64_t at = i * frameBytes + signal * sampleBytes;
            const float value =
                m_layout.floats
                    ? numberAt<float>(bytes, at)
                    : static_cast<float>(numberAt<std::int16_t>(bytes, at) * scaling.gain + scaling.offset);
            if (!std::isfinite(value)) {
                error = "sample " + std::to_string(done + i + 1) + " of signal " +
                        std::to_string(signal + 1) + " is not a finite number";
                return false;
            }
            out[static_cast<std::size_t>(done + i)] = value;
        }
    }
    return true;
}

std::vector<SignalEvent> AbfReader::events(std::string& error) {
    std::vector<SignalEvent> events;
    for (const double onset : m_layout.stimulusOnsets) {
        events.push_back({onset, -1, "Stimulus"});
    }
    if (m_layout.tags.count != 0) {
        auto file = openFile(m_path, error);
        const auto tags = file ? readTable(*file, m_layout.tags, TagBytes, "tag", error) : std::nullopt;
        if (!tags) {
            return {};
        }
        const double end = static_cast<double>(m_signals[0].samples) / m_signals[0].rate;
        for (std::int64_t i = 0; i < m_layout.tags.count; ++i) {
            const ByteView tag = entryOf(*tags, m_layout.tags, i);
            const std::string comment = textAt(tag, 4, 56);
            const double onset =
                onsetOf(numberAt<std::int32_t>(tag, 0) * m_layout.tagUnitUs, m_layout.segments);
            events.push_back({std::clamp(onset, 0.0, end), -1, comment.empty() ? "Tag" : comment});
        }
    }
    std::ranges::stable_sort(events, {}, &SignalEvent::onset);
    return events;
}

} // namespace trazel
