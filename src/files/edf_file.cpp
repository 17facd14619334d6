#include "files/edf_file.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <edflib.h>
#include <fstream>
#include <functional>
#include <iterator>
#include <limits>
#include <memory>
#include <numeric>
#include <string_view>
#include <utility>

namespace trazel {

namespace {

constexpr double TimeUnits = EDFLIB_TIME_DIMENSION; // EDFlib's times count 100 ns
constexpr std::int64_t RecordUnits = 100000;        // its record duration counts 10 us
constexpr std::int64_t MinRecordUnits = 100;
constexpr std::int64_t MaxRecordUnits = 6000000;
// EDFlib gives each annotation signal 114 bytes in every record, however many texts there are.
constexpr std::size_t SlotBytes = 114;
constexpr int MaxAnnotationSignals = 64;
constexpr int MaxDataSignals = EDFLIB_MAXSIGNALS - MaxAnnotationSignals;
// Onsets and durations take up to 17 characters below this, which leaves EdfMaxTextBytes of an
// annotation signal's bytes for the text.
constexpr double MaxSeconds = 1e8;
constexpr std::string_view DataEnd = "Trazel data end";
constexpr std::string_view BdfVersion = "\377BIOSEMI";
constexpr std::int64_t ReadBlockBytes = 1 << 20; // the data records read at once: about this many bytes

std::string_view trimmed(std::string_view text) {
    const std::size_t first = text.find_first_not_of(' ');
    return first == std::string_view::npos ? std::string_view()
                                           : text.substr(first, text.find_last_not_of(' ') - first + 1);
}

bool endsIn(std::string_view text, std::string_view end) {
    return text.size() >= end.size() &&
           std::ranges::equal(text.substr(text.size() - end.size()), end, [](char a, char b) {
               return std::tolower(static_cast<unsigned char>(a)) ==
                      std::tolower(static_cast<unsigned char>(b));
           });
}

bool isStatusLabel(std::string_view label) {
    return label.size() == 6 && endsIn(label, "status");
}

// "Status" (BDF), "Trigger", or a label whose last word ends so ("DIG DTRIG", "EEG Trigger").
bool isTriggerLabel(std::string_view label) {
    const std::string_view lastWord = label.substr(label.find_last_of(' ') + 1);
    return isStatusLabel(label) || endsIn(lastWord, "trigger") || endsIn(lastWord, "trig");
}

// The code a trigger signal's digital value stands for: a BDF Status signal's lower 16 bits (the upper
// ones tell the amplifier's state), another trigger signal's physical value, rounded.
std::function<std::int64_t(int)> triggerCode(const SignalInfo& info) {
    if (isStatusLabel(info.label)) {
        return [](int digital) { return digital & 0xFFFF; };
    }
    const double scale = (info.physicalMax - info.physicalMin) / (info.digitalMax - info.digitalMin);
    return [=](int digital) {
        const double physical = info.physicalMin + (digital - info.digitalMin) * scale;
        return std::isfinite(physical) && std::abs(physical) < 1e15 ? std::llround(physical) : 0;
    };
}

double rateOf(std::int64_t samplesPerRecord, std::int64_t recordTime) {
    return recordTime > 0
               ? static_cast<double>(samplesPerRecord) * TimeUnits / static_cast<double>(recordTime)
               : 0;
}

// The samples of a signal of that rate before a time in EDFlib's units, within [0, limit].
std::int64_t samplesBefore(std::int64_t time, double rate, std::int64_t limit) {
    const double samples = std::round(static_cast<double>(time) / TimeUnits * rate);
    return samples >= static_cast<double>(limit) ? limit
           : samples > 0                         ? static_cast<std::int64_t>(samples)
                                                 : 0;
}

// The header fields that fix where everything lies in a file. EDFlib reads them itself; they are read
// here again to say why it refused a file, and to finish a file it wrote.
struct Layout {
    bool bdf = false;
    std::int64_t headerBytes = 0;
    std::int64_t records = 0;
    std::vector<std::string> labels; // as the header holds them, spaces and all
    std::vector<std::int64_t> samplesPerRecord;

    std::int64_t bytesPerSample() const { return bdf ? 3 : 2; }
    std::int64_t signalBytes(std::size_t signal) const { return samplesPerRecord[signal] * bytesPerSample(); }
    std::int64_t recordBytes() const { return offsetOf(labels.size()); }
    // Where a signal's samples begin in each data record.
    std::int64_t offsetOf(std::size_t signal) const {
        std::int64_t offset = 0;
        for (std::size_t i = 0; i < signal; ++i) {
            offset += signalBytes(i);
        }
        return offset;
    }
    // Past any real file when the fields are absurd: compared with file sizes only.
    double dataBytes() const {
        double record = 0;
        for (const std::int64_t samples : samplesPerRecord) {
            record += static_cast<double>(samples * bytesPerSample());
        }
        return record * static_cast<double>(records);
    }
};

enum class HeaderState { NotEdf, Damaged, Read };

std::optional<std::int64_t> integerField(std::string_view bytes, std::size_t at, std::size_t length) {
    const std::string_view text = trimmed(bytes.substr(at, length));
    std::int64_t value = 0;
    const auto [end, fault] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || fault != std::errc() || end != text.data() + text.size()) {
        return std::nullopt;
    }
    return value;
}

HeaderState readLayout(std::istream& in, Layout& layout) {
    std::string fixed(256, '\0');
    in.read(fixed.data(), 256);
    const auto got = static_cast<std::size_t>(in.gcount());
    layout.bdf = got >= 8 && fixed.starts_with(BdfVersion);
    if (!layout.bdf && !(got >= 8 && fixed.starts_with("0       "))) {
        return HeaderState::NotEdf;
    }
    const auto signals = integerField(fixed, 252, 4);
    const auto records = integerField(fixed, 236, 8);
    const auto headerBytes = integerField(fixed, 184, 8);
    if (got < 256 || !signals || *signals < 1 || !records || *records < 0 || !headerBytes ||
        *headerBytes != 256 * (*signals + 1)) {
        return HeaderState::Damaged;
    }
    const auto count = static_cast<std::size_t>(*signals);
    std::string fields(count * 256, '\0');
    in.read(fields.data(), static_cast<std::streamsize>(fields.size()));
    if (static_cast<std::size_t>(in.gcount()) != fields.size()) {
        return HeaderState::Damaged;
    }
    layout.headerBytes = *headerBytes;
    layout.records = *records;
    for (std::size_t i = 0; i < count; ++i) {
        const auto samples = integerField(fields, count * 216 + 8 * i, 8);
        if (!samples || *samples < 1) {
            return HeaderState::Damaged;
        }
        layout.labels.emplace_back(std::string_view(fields).substr(16 * i, 16));
        layout.samplesPerRecord.push_back(*samples);
    }
    return HeaderState::Read;
}

// Why EDFlib refused a file, in words. EDFlib says only that the file has "format errors" for anything
// from a wrong first byte to a missing last one, so the header is looked at again here.
std::string refusal(const std::filesystem::path& path, int code) {
    switch (code) {
    case EDFLIB_MALLOC_ERROR:
        return "there is not enough memory to read the file";
    case EDFLIB_NO_SUCH_FILE_OR_DIRECTORY:
        return "the file cannot be opened";
    case EDFLIB_MAXFILES_REACHED:
        return "too many EDF files are open";
    case EDFLIB_FILE_ALREADY_OPENED:
        return "the file is already open";
    case EDFLIB_FILE_IS_DISCONTINUOUS:
        return "the file is discontinuous (EDF+D or BDF+D), which is not supported";
    case EDFLIB_FILE_READ_ERROR:
    case EDFLIB_FILE_CONTAINS_FORMAT_ERRORS:
        break;
    default:
        return "EDFlib refused the file (error " + std::to_string(code) + ")";
    }
    std::ifstream in(path, std::ios::binary);
    Layout layout;
    switch (readLayout(in, layout)) {
    case HeaderState::NotEdf:
        return "the file is not EDF(+) or BDF(+)";
    case HeaderState::Damaged:
        return "the file's header is damaged";
    case HeaderState::Read:
        break;
    }
    std::error_code fault;
    const auto size = static_cast<double>(std::filesystem::file_size(path, fault));
    const double expected = static_cast<double>(layout.headerBytes) + layout.dataBytes();
    if (size < expected) {
        return "the file is shorter than its header says";
    }
    if (size > expected) {
        return "the file is longer than its header says";
    }
    // What fixes the layout is sound: EDFlib objects to another field, or to the annotations.
    auto header = std::make_unique<edf_hdr_struct>();
    if (edfopen_file_readonly(path.c_str(), header.get(), EDFLIB_DO_NOT_READ_ANNOTATIONS) == 0) {
        edfclose_file(header->handle);
        return "the file's annotations are damaged";
    }
    return "the file's header is damaged";
}

// A signal's digital values as physical ones: exactly the physical limits at the digital limits.
struct Scale {
    double physicalMin, physicalMax;
    int digitalMin, digitalMax;

    float operator()(std::int32_t value) const {
        if (value == digitalMax) {
            return static_cast<float>(physicalMax);
        }
        if (value == digitalMin || digitalMax <= digitalMin) {
            return static_cast<float>(physicalMin);
        }
        // A digital value far outside a wide range would pass single precision.
        const double physical = physicalMin + static_cast<double>(value - digitalMin) *
                                                  (physicalMax - physicalMin) / (digitalMax - digitalMin);
        constexpr double Largest = std::numeric_limits<float>::max();
        return static_cast<float>(std::clamp(physical, -Largest, Largest));
    }
};

// The samples of EDF (2 bytes) or BDF (3 bytes): little-endian two's complement.
void decodeSamples(const unsigned char* bytes, std::span<int> out, bool bdf) {
    if (bdf) {
        for (int& value : out) {
            const auto word = static_cast<std::uint32_t>(bytes[0] | bytes[1] << 8 | bytes[2] << 16);
            value = static_cast<std::int32_t>(word << 8) >> 8;
            bytes += 3;
        }
        return;
    }
    for (int& value : out) {
        value = static_cast<std::int16_t>(bytes[0] | bytes[1] << 8);
        bytes += 2;
    }
}

// The signals EDFlib numbers, in its order: all but the annotation signals of an EDF+ or BDF+ file.
std::vector<std::size_t> dataSignals(const Layout& layout, bool plus) {
    const std::string_view annotations = layout.bdf ? "BDF Annotations " : "EDF Annotations ";
    std::vector<std::size_t> data;
    for (std::size_t i = 0; i < layout.labels.size(); ++i) {
        if (!plus || layout.labels[i] != annotations) {
            data.push_back(i);
        }
    }
    return data;
}

// Every 16-bit value's physical one, looked up faster than worked out.
std::vector<float> sixteenBitTable(const Scale& scale) {
    std::vector<float> table(65536);
    for (int value = -32768; value <= 32767; ++value) {
        table[static_cast<std::size_t>(value + 32768)] = scale(value);
    }
    return table;
}

// The sample counts of "Trazel data end: 1000 250", when there is one for each signal.
std::optional<std::vector<std::int64_t>> listedCounts(std::string_view text, std::size_t signals) {
    std::vector<std::int64_t> counts;
    std::size_t at = DataEnd.size() + 1;
    while (at < text.size() && text[at] == ' ') {
        std::int64_t count = 0;
        const auto [end, fault] = std::from_chars(text.data() + at + 1, text.data() + text.size(), count);
        if (fault != std::errc()) {
            return std::nullopt;
        }
        counts.push_back(count);
        at = static_cast<std::size_t>(end - text.data());
    }
    if (at != text.size() || counts.size() != signals) {
        return std::nullopt;
    }
    return counts;
}

} // namespace

std::optional<EdfReader> EdfReader::open(const std::filesystem::path& path, std::string& error) {
    auto header = std::make_unique<edf_hdr_struct>();
    if (edfopen_file_readonly(path.c_str(), header.get(), EDFLIB_READ_ALL_ANNOTATIONS) != 0) {
        error = refusal(path, header->filetype);
        return std::nullopt;
    }
    EdfReader reader(header->handle);
    reader.m_bdf = header->filetype == EDFLIB_FILETYPE_BDF || header->filetype == EDFLIB_FILETYPE_BDFPLUS;
    reader.m_plus =
        header->filetype == EDFLIB_FILETYPE_EDFPLUS || header->filetype == EDFLIB_FILETYPE_BDFPLUS;
    reader.m_recordDuration = static_cast<double>(header->datarecord_duration) / TimeUnits;
    for (int i = 0; i < header->edfsignals; ++i) {
        const edf_param_struct& p = header->signalparam[i];
        if (!std::isfinite(p.phys_max - p.phys_min)) {
            error = "the file's header is damaged";
            return std::nullopt;
        }
        const std::string label(trimmed(p.label));
        reader.m_signals.push_back({label, std::string(trimmed(p.physdimension)),
                                    rateOf(p.smp_in_datarecord, header->datarecord_duration), p.smp_in_file,
                                    p.phys_min, p.phys_max, p.dig_min, p.dig_max, isTriggerLabel(label)});
    }
    if (!reader.placeSamples(path)) {
        error = "the file's header is damaged";
        return std::nullopt;
    }
    for (long long n = 0; n < header->annotations_in_file; ++n) {
        edf_annotation_struct a{};
        if (edf_get_annotation(reader.m_handle, static_cast<int>(n), &a) != 0) {
            continue;
        }
        const std::string_view text = a.annotation;
        const auto counts =
            text.starts_with(DataEnd) && text.size() > DataEnd.size() && text[DataEnd.size()] == ':'
                ? listedCounts(text, reader.m_signals.size())
                : std::nullopt;
        if (text == DataEnd || counts) {
            for (std::size_t i = 0; i < reader.m_signals.size(); ++i) {
                SignalInfo& s = reader.m_signals[i];
                s.samples = counts ? std::clamp<std::int64_t>((*counts)[i], 0, s.samples)
                                   : samplesBefore(a.onset, s.rate, s.samples);
            }
            continue;
        }
        reader.m_annotations.push_back({static_cast<double>(a.onset) / TimeUnits,
                                        a.duration[0] ? static_cast<double>(a.duration_l) / TimeUnits : -1,
                                        std::string(text)});
    }
    return reader;
}

EdfReader::EdfReader(EdfReader&& other) noexcept
    : m_handle(std::exchange(other.m_handle, -1)), m_bdf(other.m_bdf), m_plus(other.m_plus),
      m_recordDuration(other.m_recordDuration), m_signals(std::move(other.m_signals)),
      m_annotations(std::move(other.m_annotations)), m_path(std::move(other.m_path)),
      m_placements(std::move(other.m_placements)) {}

EdfReader& EdfReader::operator=(EdfReader&& other) noexcept {
    if (this != &other) {
        if (m_handle >= 0) {
            edfclose_file(m_handle);
        }
        m_handle = std::exchange(other.m_handle, -1);
        m_bdf = other.m_bdf;
        m_plus = other.m_plus;
        m_recordDuration = other.m_recordDuration;
        m_signals = std::move(other.m_signals);
        m_annotations = std::move(other.m_annotations);
        m_path = std::move(other.m_path);
        m_placements = std::move(other.m_placements);
    }
    return *this;
}

EdfReader::~EdfReader() {
    if (m_handle >= 0) {
        edfclose_file(m_handle);
    }
}

bool EdfReader::placeSamples(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    Layout layout;
    if (readLayout(in, layout) != HeaderState::Read) {
        return false;
    }
    const std::vector<std::size_t> data = dataSignals(layout, m_plus);
    if (data.size() != m_signals.size()) {
        return false;
    }
    for (const std::size_t i : data) {
        m_placements.push_back(
            {layout.headerBytes + layout.offsetOf(i), layout.recordBytes(), layout.samplesPerRecord[i]});
    }
    m_path = path;
    return true;
}

template <typename Sink>
bool EdfReader::readDigital(int signal, std::int64_t count, Sink&& sink, std::string& error) {
    const Placement& place = m_placements[static_cast<std::size_t>(signal)];
    const std::int64_t width = m_bdf ? 3 : 2;
    const std::int64_t blockRecords = std::max<std::int64_t>(1, ReadBlockBytes / place.stride);
    std::ifstream in(m_path, std::ios::binary);
    std::vector<unsigned char> bytes;
    std::vector<int> values;
    for (std::int64_t first = 0; first < count; first += blockRecords * place.perRecord) {
        const std::int64_t wanted = std::min(blockRecords * place.perRecord, count - first);
        const std::int64_t records = (wanted + place.perRecord - 1) / place.perRecord;
        // From the signal's first sample in the first record to its last in the last one.
        bytes.resize(static_cast<std::size_t>((records - 1) * place.stride + place.perRecord * width));
        in.seekg(place.first + first / place.perRecord * place.stride);
        in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        if (!in) {
            error = "the file is shorter than its header says";
            return false;
        }
        values.resize(static_cast<std::size_t>(wanted));
        for (std::int64_t r = 0; r < records; ++r) {
            const std::int64_t done = r * place.perRecord;
            decodeSamples(
                bytes.data() + r * place.stride,
                std::span(values).subspan(static_cast<std::size_t>(done),
                                          static_cast<std::size_t>(std::min(place.perRecord, wanted - done))),
                m_bdf);
        }
        sink(std::span<const int>(values), first);
    }
    return true;
}

bool EdfReader::readPhysical(int signal, std::span<float> out, std::string& error) {
    const SignalInfo* toRead = signalToRead(signal, out, error);
    if (!toRead) {
        return false;
    }
    const SignalInfo& info = *toRead;
    const Scale scale{info.physicalMin, info.physicalMax, info.digitalMin, info.digitalMax};
    const auto convert = [&](const auto& toPhysical) {
        return readDigital(
            signal, info.samples,
            [&](std::span<const int> values, std::int64_t first) {
                std::ranges::transform(values, out.begin() + first, toPhysical);
            },
            error);
    };
    if (m_bdf) {
        return convert(scale);
    }
    const std::vector<float> table = sixteenBitTable(scale);
    return convert([&](int value) { return table[static_cast<std::size_t>(value + 32768)]; });
}

std::vector<SignalEvent> EdfReader::events(std::string& error) {
    std::vector<SignalEvent> events = m_annotations;
    for (std::size_t i = 0; i < m_signals.size(); ++i) {
        const SignalInfo& info = m_signals[i];
        if (!info.trigger) {
            continue;
        }
        const auto codeOf = triggerCode(info);
        std::int64_t previous = 0;
        const bool read = readDigital(
            static_cast<int>(i), info.samples,
            [&](std::span<const int> values, std::int64_t first) {
                for (std::size_t k = 0; k < values.size(); ++k) {
                    const std::int64_t code = codeOf(values[k]);
                    if (code != previous && code != 0) {
                        const auto index = static_cast<double>(first + static_cast<std::int64_t>(k));
                        events.push_back(
                            {info.rate > 0 ? index / info.rate : 0, -1, "Trigger " + std::to_string(code)});
                    }
                    previous = code;
                }
            },
            error);
        if (!read) {
            return {};
        }
    }
    std::ranges::stable_sort(events, {}, &SignalEvent::onset);
    return events;
}

// ---------------------------------------------------------------------------------------------------------
// Writing

namespace {

// A number as the header holds it: at most 8 characters and no exponent, rounded outwards (down for a
// minimum, up for a maximum). EDFlib itself cuts the digits it prints of a double, which moves 28.624 to
// 28.62399: the digital values must be worked out from the very numbers in the header.
std::optional<std::string> headerNumber(double value, bool up) {
    for (int decimals = 7; decimals >= 0; --decimals) {
        const auto print = [&](double v) {
            char text[64];
            std::snprintf(text, sizeof text, "%.*f", decimals, v);
            std::string s = text;
            if (s.find('.') != std::string::npos) {
                s.erase(s.find_last_not_of('0') + 1);
                if (s.back() == '.') {
                    s.pop_back();
                }
            }
            return s == "-0" ? std::string("0") : s;
        };
        std::string text = print(value);
        const double printed = std::strtod(text.c_str(), nullptr);
        if (up ? printed < value : printed > value) {
            text = print(printed + (up ? 1 : -1) * std::pow(10.0, -decimals));
        }
        if (text.size() <= 8) {
            return text;
        }
    }
    return std::nullopt;
}

// std::lround's rounding, half away from zero, without a library call for every sample written. Within
// the digital range the whole part fits an int and the rest is exact.
int nearestWhole(double value) {
    const auto whole = static_cast<int>(value);
    const double rest = value - whole;
    return whole + (rest >= 0.5) - (rest <= -0.5);
}

// The physical values as digital ones, rounded to the nearest and kept within the digital range.
struct Encoder {
    double physicalMin, physicalMax;
    int digitalMin, digitalMax;
    bool digital;

    int operator()(float value) const {
        double d = value;
        if (!digital) {
            d = digitalMin + (std::isnan(value) ? -physicalMin : value - physicalMin) *
                                 (digitalMax - digitalMin) / (physicalMax - physicalMin);
        }
        return nearestWhole(std::clamp(std::isnan(d) ? 0.0 : d, double(digitalMin), double(digitalMax)));
    }
};

struct PreparedSignal {
    Encoder encoder;
    std::string physicalMin, physicalMax; // as the header holds them
    std::int64_t samplesPerRecord = 0;
};

// A rate as a fraction p/q with q up to a million, within a billionth of it.
std::optional<std::pair<std::int64_t, std::int64_t>> fraction(double rate) {
    std::int64_t h0 = 1, h1 = 0, k0 = 0, k1 = 1;
    double x = rate;
    for (int step = 0; step < 40; ++step) {
        const double a = std::floor(x);
        if (a > 1e12) {
            break;
        }
        const auto ai = static_cast<std::int64_t>(a);
        const std::int64_t h = ai * h0 + h1, k = ai * k0 + k1;
        if (k > 1000000) {
            break;
        }
        if (std::abs(static_cast<double>(h) / static_cast<double>(k) - rate) <= 1e-9 * rate) {
            return std::pair{h, k};
        }
        h1 = std::exchange(h0, h);
        k1 = std::exchange(k0, k);
        x = 1 / (x - a);
    }
    return std::nullopt;
}

// The data record's length in 10 us units: the one nearest 1 s that holds a whole number of samples of
// every signal, and no more bytes than EDFlib takes. With rates p/q in lowest terms, a record holds whole
// samples exactly when its length is a multiple of lcm(q) / gcd(p) seconds.
std::optional<std::int64_t> recordUnits(const std::vector<EdfOutSignal>& signals, bool bdf) {
    std::int64_t lcmQ = 1, gcdP = 0;
    for (const EdfOutSignal& s : signals) {
        const auto f = fraction(s.rate);
        if (!f) {
            return std::nullopt;
        }
        lcmQ = std::lcm(lcmQ, f->second);
        gcdP = std::gcd(gcdP, f->first);
        if (lcmQ > MaxRecordUnits) {
            return std::nullopt;
        }
    }
    // The shortest such record that is also a whole number of 10 us.
    const std::int64_t shortest = lcmQ * (RecordUnits / std::gcd(gcdP, RecordUnits));
    if (shortest > MaxRecordUnits) {
        return std::nullopt;
    }
    double bytes = 0;
    for (const EdfOutSignal& s : signals) {
        bytes += s.rate * static_cast<double>(shortest) / RecordUnits * (bdf ? 3 : 2);
    }
    const double room = (bdf ? 15e6 : 10e6) - MaxAnnotationSignals * static_cast<double>(SlotBytes);
    const double times =
        std::min(std::round(double(RecordUnits) / double(shortest)), std::floor(room / bytes));
    const std::int64_t least = (MinRecordUnits + shortest - 1) / shortest;
    return shortest * std::max(least, times >= 1 ? static_cast<std::int64_t>(times) : 1);
}

// A time in units of 10^-decimals seconds, without a sign, its fraction without trailing zeros.
std::string timeText(std::int64_t units, int decimals) {
    const auto scale = static_cast<std::int64_t>(std::llround(std::pow(10.0, decimals)));
    std::string text = std::to_string(units / scale);
    if (units % scale != 0) {
        std::string fraction = std::to_string(units % scale);
        fraction.insert(0, static_cast<std::size_t>(decimals) - fraction.size(), '0');
        text += '.' + fraction.substr(0, fraction.find_last_not_of('0') + 1);
    }
    return text;
}

// A time-stamped annotation list: onset, duration (none when negative), text, in EDFlib's 100 ns units.
std::string annotationList(std::int64_t onset, std::int64_t duration, std::string_view text) {
    std::string tal = (onset < 0 ? "-" : "+") + timeText(std::abs(onset), 7);
    if (duration >= 0) {
        tal += '\x15' + timeText(duration, 7);
    }
    tal += '\x14';
    std::ranges::transform(text, std::back_inserter(tal),
                           [](char c) { return static_cast<unsigned char>(c) < 32 ? ' ' : c; });
    tal += '\x14';
    tal += '\0';
    return tal;
}

// The bytes of each annotation signal in each record from the first, the lists packed in order after the
// time-keeping one that begins every record; nothing when they do not all fit.
std::optional<std::vector<std::vector<std::string>>> packAnnotations(const std::vector<std::string>& lists,
                                                                     int signals, std::int64_t records,
                                                                     std::int64_t units) {
    std::vector<std::vector<std::string>> slots;
    std::size_t next = 0;
    for (std::int64_t r = 0; r < records && next < lists.size(); ++r) {
        std::vector<std::string>& record = slots.emplace_back(static_cast<std::size_t>(signals));
        record[0] = '+' + timeText(r * units, 5) + "\x14\x14";
        record[0] += '\0';
        for (std::string& slot : record) {
            while (next < lists.size() && slot.size() + lists[next].size() <= SlotBytes) {
                slot += lists[next++];
            }
        }
    }
    if (next < lists.size()) {
        return std::nullopt;
    }
    return slots;
}

// Labels and units from UTF-8 to Latin-1, the header's text that EDFlib turns into ASCII.
std::string latin1(std::string_view utf8) {
    std::string text;
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        const auto c = static_cast<unsigned char>(utf8[i]);
        if (c < 0x80) {
            text += static_cast<char>(c);
        } else if ((c == 0xC2 || c == 0xC3) && i + 1 < utf8.size()) {
            text += static_cast<char>(((c & 0x03) << 6) | (static_cast<unsigned char>(utf8[++i]) & 0x3F));
        } else if (c >= 0xC0) {
            text += '?';
        }
    }
    return text;
}

// Puts the physical limits as worked out, and the annotation signals' bytes, into the file EDFlib wrote.
// EDFlib's own annotation writer cuts every text at 40 bytes, puts one per annotation signal and record,
// and drops the rest without a word; so EDFlib only reserves the space here and the texts go in after.
bool finishFile(const std::filesystem::path& path, const std::vector<PreparedSignal>& prepared,
                const std::vector<std::vector<std::string>>& slots, int annotationSignals) {
    std::fstream file(path, std::ios::in | std::ios::out | std::ios::binary);
    Layout layout;
    if (!file || readLayout(file, layout) != HeaderState::Read) {
        return false;
    }
    const std::size_t count = layout.labels.size();
    std::vector<std::int64_t> slotAt;
    std::vector<std::size_t> data;
    std::int64_t offset = 0;
    for (std::size_t i = 0; i < count; ++i) {
        const std::int64_t bytes = layout.signalBytes(i);
        const std::string_view label = trimmed(layout.labels[i]);
        if (label == "EDF Annotations" || label == "BDF Annotations") {
            if (bytes != static_cast<std::int64_t>(SlotBytes)) {
                return false;
            }
            slotAt.push_back(offset);
        } else {
            data.push_back(i);
        }
        offset += bytes;
    }
    if (data.size() != prepared.size() || slotAt.size() != static_cast<std::size_t>(annotationSignals)) {
        return false;
    }
    const auto put = [&](std::int64_t at, std::string text, std::size_t size, char fill) {
        text.resize(size, fill);
        file.seekp(at);
        file.write(text.data(), static_cast<std::streamsize>(size));
    };
    for (std::size_t k = 0; k < data.size(); ++k) {
        put(static_cast<std::int64_t>(256 + 104 * count + 8 * data[k]), prepared[k].physicalMin, 8, ' ');
        put(static_cast<std::int64_t>(256 + 112 * count + 8 * data[k]), prepared[k].physicalMax, 8, ' ');
    }
    for (std::size_t r = 0; r < slots.size(); ++r) {
        for (std::size_t s = 0; s < slots[r].size(); ++s) {
            put(layout.headerBytes + static_cast<std::int64_t>(r) * offset + slotAt[s], slots[r][s],
                SlotBytes, '\0');
        }
    }
    file.flush();
    return static_cast<bool>(file);
}

std::string signalName(std::size_t i, const EdfOutSignal& s) {
    return "signal " + std::to_string(i + 1) + (s.label.empty() ? "" : " (" + s.label + ")");
}

// Checks a signal and works out its header numbers and encoder; the reason when it cannot be written.
std::optional<PreparedSignal> prepare(const EdfOutSignal& s, bool bdf, std::string& error) {
    const int lowest = bdf ? -8388608 : -32768, highest = bdf ? 8388607 : 32767;
    if (!(s.rate > 0) || !std::isfinite(s.rate)) {
        error = "has no sampling rate";
        return std::nullopt;
    }
    if (s.digitalMin < lowest || s.digitalMax > highest || s.digitalMin >= s.digitalMax) {
        error = "has a digital range beyond " + std::to_string(lowest) + " to " + std::to_string(highest);
        return std::nullopt;
    }
    double low = s.physicalMin, high = s.physicalMax;
    if (low > high || !std::isfinite(low) || !std::isfinite(high)) {
        error = "has no physical range";
        return std::nullopt;
    }
    if (low == high && s.digital) {
        low = s.digitalMin;
        high = s.digitalMax;
    } else if (low == high) {
        low = std::numeric_limits<double>::infinity();
        high = -low;
        for (const float v : s.values) {
            if (std::isfinite(v)) {
                low = std::min<double>(low, v);
                high = std::max<double>(high, v);
            }
        }
        if (!(low < high)) {
            const double middle = std::isfinite(low) ? low : 0;
            low = middle - 1;
            high = middle + 1;
        }
    }
    const auto minText = headerNumber(low, false);
    const auto maxText = headerNumber(high, true);
    if (!minText || !maxText) {
        error = "has a physical range beyond what 8 characters hold";
        return std::nullopt;
    }
    return PreparedSignal{{std::strtod(minText->c_str(), nullptr), std::strtod(maxText->c_str(), nullptr),
                           s.digitalMin, s.digitalMax, s.digital},
                          *minText,
                          *maxText};
}

std::string writeFailure(int code) {
    switch (code) {
    case EDFLIB_MALLOC_ERROR:
        return "there is not enough memory to write the file";
    case EDFLIB_NO_SUCH_FILE_OR_DIRECTORY:
        return "the file cannot be created";
    case EDFLIB_MAXFILES_REACHED:
        return "too many EDF files are open";
    case EDFLIB_FILE_ALREADY_OPENED:
        return "the file is open";
    case EDFLIB_DATARECORD_SIZE_TOO_BIG:
        return "a data record would be larger than EDFlib takes";
    default:
        return "the file could not be written (EDFlib error " + std::to_string(code) + ")";
    }
}

// The annotation that says where the data end in a padded last record: the end of the longest signal,
// and each signal's sample count when the time does not give them all.
SignalEvent dataEnd(const std::vector<EdfOutSignal>& signals, const std::vector<PreparedSignal>& prepared,
                    std::int64_t records, std::int64_t units) {
    double end = 0;
    for (const EdfOutSignal& s : signals) {
        end = std::max(end, static_cast<double>(s.values.size()) / s.rate);
    }
    const auto time = std::llround(end * TimeUnits);
    std::string counts = ":";
    bool together = true;
    for (std::size_t i = 0; i < signals.size(); ++i) {
        const auto n = static_cast<std::int64_t>(signals[i].values.size());
        const std::int64_t perRecord = prepared[i].samplesPerRecord;
        together = together && samplesBefore(time, rateOf(perRecord, units * 100), records * perRecord) == n;
        counts += ' ' + std::to_string(n);
    }
    return {static_cast<double>(time) / TimeUnits, -1, std::string(DataEnd) + (together ? "" : counts)};
}

// Hands EDFlib the signals' parameters, then every record; 0, or EDFlib's error.
int writeRecords(int handle, const std::vector<EdfOutSignal>& signals,
                 const std::vector<PreparedSignal>& prepared, std::int64_t records) {
    for (std::size_t i = 0; i < signals.size(); ++i) {
        const auto k = static_cast<int>(i);
        const Encoder& e = prepared[i].encoder;
        if (edf_set_samplefrequency(handle, k, static_cast<int>(prepared[i].samplesPerRecord)) != 0 ||
            edf_set_physical_minimum(handle, k, e.physicalMin) != 0 ||
            edf_set_physical_maximum(handle, k, e.physicalMax) != 0 ||
            edf_set_digital_minimum(handle, k, e.digitalMin) != 0 ||
            edf_set_digital_maximum(handle, k, e.digitalMax) != 0 ||
            edf_set_label(handle, k, latin1(signals[i].label).c_str()) != 0 ||
            edf_set_physical_dimension(handle, k, latin1(signals[i].unit).c_str()) != 0) {
            return -1;
        }
    }
    std::vector<int> buffer;
    for (std::int64_t r = 0; r < records; ++r) {
        for (std::size_t i = 0; i < signals.size(); ++i) {
            const std::span<const float> values = signals[i].values;
            const auto perRecord = static_cast<std::size_t>(prepared[i].samplesPerRecord);
            const int pad = prepared[i].encoder(values.empty() ? 0.0F : values.back());
            const std::size_t first = std::min(values.size(), static_cast<std::size_t>(r) * perRecord);
            buffer.resize(perRecord);
            const auto filled =
                std::ranges::transform(values.subspan(first, std::min(perRecord, values.size() - first)),
                                       buffer.begin(), prepared[i].encoder);
            std::fill(filled.out, buffer.end(), pad);
            if (const int written = edfwrite_digital_samples(handle, buffer.data()); written != 0) {
                return written;
            }
        }
    }
    return 0;
}

} // namespace

bool writeEdf(const std::filesystem::path& path, bool bdf, const std::vector<EdfOutSignal>& outSignals,
              const std::vector<SignalEvent>& events, std::string& error) {
    if (outSignals.empty() || outSignals.size() > static_cast<std::size_t>(MaxDataSignals)) {
        error = "a file holds 1 to " + std::to_string(MaxDataSignals) + " signals";
        return false;
    }
    std::vector<PreparedSignal> prepared;
    for (std::size_t i = 0; i < outSignals.size(); ++i) {
        std::string reason;
        const auto p = prepare(outSignals[i], bdf, reason);
        if (!p) {
            error = signalName(i, outSignals[i]) + " " + reason;
            return false;
        }
        prepared.push_back(*p);
    }
    const auto units = recordUnits(outSignals, bdf);
    if (!units) {
        error = "no data record from 1 ms to 60 s holds a whole number of samples of every signal";
        return false;
    }
    std::int64_t records = 0;
    for (std::size_t i = 0; i < outSignals.size(); ++i) {
        const std::int64_t perRecord =
            std::llround(outSignals[i].rate * static_cast<double>(*units) / RecordUnits);
        prepared[i].samplesPerRecord = perRecord;
        records = std::max(records, (static_cast<std::int64_t>(outSignals[i].values.size()) + perRecord - 1) /
                                        perRecord);
    }
    bool padded = false;
    for (std::size_t i = 0; i < outSignals.size(); ++i) {
        padded = padded || static_cast<std::int64_t>(outSignals[i].values.size()) !=
                               records * prepared[i].samplesPerRecord;
    }
    if (records == 0) {
        error = "there are no samples to write";
        return false;
    }

    std::vector<SignalEvent> sorted = events;
    for (const SignalEvent& e : sorted) {
        if (!(std::abs(e.onset) < MaxSeconds) || !(e.duration < MaxSeconds)) {
            error = "an event lies beyond " + std::to_string(static_cast<long>(MaxSeconds)) + " s";
            return false;
        }
        if (e.text.size() > EdfMaxTextBytes) {
            error =
                "the text \"" + e.text + "\" is longer than " + std::to_string(EdfMaxTextBytes) + " bytes";
            return false;
        }
    }
    if (padded) {
        sorted.push_back(dataEnd(outSignals, prepared, records, *units));
    }
    std::ranges::stable_sort(sorted, {}, &SignalEvent::onset);
    std::vector<std::string> lists;
    for (const SignalEvent& e : sorted) {
        lists.push_back(annotationList(std::llround(e.onset * TimeUnits),
                                       e.duration >= 0 ? std::llround(e.duration * TimeUnits) : -1, e.text));
        if (lists.back().size() > SlotBytes) {
            error = "too many signals of different lengths to mark where each one ends";
            return false;
        }
    }
    std::optional<std::vector<std::vector<std::string>>> slots;
    int annotationSignals = 0;
    while (!slots && annotationSignals < MaxAnnotationSignals) {
        slots = packAnnotations(lists, ++annotationSignals, records, *units);
    }
    if (!slots) {
        error = "the " + std::to_string(lists.size()) + " annotations do not fit into " +
                std::to_string(records) + " data records";
        return false;
    }

    const int handle =
        edfopen_file_writeonly(path.c_str(), bdf ? EDFLIB_FILETYPE_BDFPLUS : EDFLIB_FILETYPE_EDFPLUS,
                               static_cast<int>(outSignals.size()));
    if (handle < 0) {
        error = writeFailure(handle);
        return false;
    }
    const bool set =
        edf_set_number_of_annotation_signals(handle, annotationSignals) == 0 &&
        (*units == RecordUnits || edf_set_datarecord_duration(handle, static_cast<int>(*units)) == 0);
    const int written = set ? writeRecords(handle, outSignals, prepared, records) : -1;
    const bool closed = edfclose_file(handle) == 0;
    if (written != 0 || !closed || !finishFile(path, prepared, *slots, annotationSignals)) {
        error = written < -1 ? writeFailure(written) : "the file could not be written";
        std::error_code ignored;
        std::filesystem::remove(path, ignored);
        return false;
    }
    return true;
}

} // namespace trazel
