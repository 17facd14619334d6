// trazel-import FILE: reads a recording with BioSig and writes every signal and event to standard output in
// the reply ImportedFile reads (src/files/import_file.h describes it). BioSig crashes or hangs on some
// files, so it runs in a process of its own: the program survives whatever happens here. A file BioSig
// refuses gives exit code 1 and a one-line reason as the last line on standard error.
//
// Built with TRAZEL_IMPORT_TEST_HOOKS (the test-only program trazel-import-test), the environment variable
// TRAZEL_IMPORT_TEST set to "crash" aborts the process and "hang" makes it sleep forever, before reading.

// BioSig's header must come before the standard headers: it defines isfinite as a macro.
#include <biosig.h>
#undef isfinite

#include <array>
#include <bit>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <string_view>
#include <unistd.h>
#include <vector>

namespace {

static_assert(std::endian::native == std::endian::little, "the reply is written in the machine's byte order");

// Why the file cannot be imported, in words.
struct Refusal {
    std::string reason;
};

// Gathers the reply and writes it to a file descriptor a megabyte at a time.
class ReplyWriter {
public:
    explicit ReplyWriter(int fd) : m_fd(fd) {}

    template <typename Number> void number(Number value) {
        const auto bytes = std::bit_cast<std::array<char, sizeof(Number)>>(value);
        m_buffer.insert(m_buffer.end(), bytes.begin(), bytes.end());
        if (m_buffer.size() >= (1 << 20)) {
            flush();
        }
    }
    void text(std::string_view text) {
        number(static_cast<std::uint32_t>(text.size()));
        m_buffer.insert(m_buffer.end(), text.begin(), text.end());
    }
    void flush() {
        for (std::size_t done = 0; done < m_buffer.size();) {
            const ssize_t written = ::write(m_fd, m_buffer.data() + done, m_buffer.size() - done);
            if (written < 0 && errno != EINTR) {
                throw Refusal{std::string("cannot write the reply: ") + std::strerror(errno)};
            }
            done += written > 0 ? static_cast<std::size_t>(written) : 0;
        }
        m_buffer.clear();
    }

private:
    int m_fd;
    std::vector<char> m_buffer;
};

std::string trimmed(std::string_view text) {
    const auto first = text.find_first_not_of(' ');
    return first == std::string_view::npos
               ? ""
               : std::string(text.substr(first, text.find_last_not_of(' ') - first + 1));
}

// BioSig hangs on a WFDB header whose first line is a comment and crashes or hangs when a data file it
// names is missing: both are refused before BioSig sees the header.
void checkWfdbHeader(const std::filesystem::path& header) {
    std::ifstream in(header);
    std::string line;
    if (!std::getline(in, line) || line.starts_with('#')) {
        throw Refusal{"BioSig cannot read a WFDB header that starts with a comment"};
    }
    std::istringstream recordLine(line);
    std::string record;
    int signals = 0;
    recordLine >> record >> signals;
    if (record.find('/') != std::string::npos) {
        return; // a multi-segment record names the headers of its segments, not data files
    }
    while (signals > 0 && std::getline(in, line)) {
        std::string dataFile;
        std::istringstream(line) >> dataFile;
        if (dataFile.empty() || dataFile.starts_with('#')) {
            continue;
        }
        --signals;
        if (!std::filesystem::exists(header.parent_path() / dataFile)) {
            throw Refusal{"the WFDB data file " + dataFile + " is missing"};
        }
    }
}

// BioSig crashes on BrainVision 2.0 headers.
void checkBrainVisionHeader(const std::filesystem::path& header) {
    std::ifstream in(header);
    std::string line;
    std::getline(in, line);
    if (line.find("Version 2.0") != std::string::npos) {
        throw Refusal{"BioSig cannot read BrainVision 2.0 files"};
    }
}

std::string lowerExtension(const std::filesystem::path& file) {
    std::string extension = file.extension().string();
    for (char& c : extension) {
        c = c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
    }
    return extension;
}

// Refuses the files BioSig is known to crash or hang on.
void checkKnownFailures(const std::filesystem::path& file) {
    const std::string extension = lowerExtension(file);
    if (extension == ".hea") {
        checkWfdbHeader(file);
    } else if (extension == ".vhdr") {
        checkBrainVisionHeader(file);
    }
}

// Each line without its carriage return.
bool getTextLine(std::istream& in, std::string& line) {
    if (!std::getline(in, line)) {
        return false;
    }
    if (line.ends_with('\r')) {
        line.pop_back();
    }
    return true;
}

// The units of a WFDB header's signal lines ("v102s.dat 212 1250/NU 0 …": NU), millivolts where a line
// gives none; nothing for a multi-segment record.
std::vector<std::string> wfdbUnits(const std::filesystem::path& header) {
    std::ifstream in(header);
    std::string line, record;
    int signals = 0;
    while (getTextLine(in, line) && (line.empty() || line.starts_with('#'))) {
    }
    std::istringstream(line) >> record >> signals;
    std::vector<std::string> units;
    while (record.find('/') == std::string::npos && std::ssize(units) < signals && getTextLine(in, line)) {
        std::string dataFile, format, gain;
        std::istringstream(line) >> dataFile >> format >> gain;
        if (!dataFile.empty() && !dataFile.starts_with('#')) {
            const std::size_t slash = gain.find('/');
            units.push_back(slash == std::string::npos ? "mV" : gain.substr(slash + 1));
        }
    }
    return units;
}

// The units of a BrainVision header's channel lines ("Ch27=CP5,,0.5,µS"), microvolts where a line gives
// none, in the header's own encoding.
std::vector<std::string> brainVisionUnits(const std::filesystem::path& header) {
    std::ifstream in(header);
    std::string line;
    while (getTextLine(in, line) && line != "[Channel Infos]") {
    }
    std::vector<std::string> units;
    while (getTextLine(in, line) && !line.starts_with('[')) {
        if (!line.starts_with("Ch")) {
            continue; // comments
        }
        std::vector<std::string> fields;
        std::istringstream entry(line);
        for (std::string field; std::getline(entry, field, ',');) {
            fields.push_back(field);
        }
        units.push_back(fields.size() > 3 && !trimmed(fields[3]).empty() ? trimmed(fields[3]) : "µV");
    }
    return units;
}

// BioSig knows volts only: it names a BrainVision channel in µS "uV" and gives no unit for WFDB's NU. For
// these formats the header's own units are taken, one for each of BioSig's channels, or none at all.
std::vector<std::string> headerUnits(const std::filesystem::path& file, std::size_t channels) {
    const std::string extension = lowerExtension(file);
    std::vector<std::string> units = extension == ".hea"    ? wfdbUnits(file)
                                     : extension == ".vhdr" ? brainVisionUnits(file)
                                                            : std::vector<std::string>{};
    return units.size() == channels ? units : std::vector<std::string>{};
}

struct CloseRecording {
    void operator()(HDRTYPE* hdr) const {
        sclose(hdr);
        destructHDR(hdr);
    }
};
using Recording = std::unique_ptr<HDRTYPE, CloseRecording>;

Recording openRecording(const std::filesystem::path& file) {
    Recording hdr(constructHDR(0, 0));
    // Without this, samples at the digital minimum or maximum come out as NaN.
    biosig_reset_flag(hdr.get(), BIOSIG_FLAG_OVERFLOWDETECTION);
    biosig_reset_flag(hdr.get(), BIOSIG_FLAG_UCAL);
    hdr.reset(sopen(file.c_str(), "r", hdr.release()));
    if (!hdr || hdr->AS.B4C_ERRNUM != B4C_NO_ERROR) {
        const char* message = hdr && hdr->AS.B4C_ERRMSG ? hdr->AS.B4C_ERRMSG : "unknown error";
        throw Refusal{std::string("BioSig cannot read the file: ") + message};
    }
    if (hdr->TYPE == ABF2) {
        throw Refusal{"BioSig misreads ABF2 files"}; // its samples come out as garbage
    }
    if (hdr->NRec < 0 || !(hdr->SampleRate > 0)) {
        throw Refusal{"BioSig finds no length or no sampling rate in the file"};
    }
    return hdr;
}

// A signal as BioSig hands it over: a column of the data block, its samples repeated `step` times when the
// recording holds signals of several rates.
struct Column {
    CHANNEL_TYPE* channel;
    std::size_t index;
    std::size_t step;
};

// The columns of the data block: one for each channel that is on, in channel order.
std::vector<Column> dataColumns(HDRTYPE* hdr) {
    std::vector<Column> columns;
    for (std::size_t k = 0; k < hdr->NS; ++k) {
        CHANNEL_TYPE* channel = hdr->CHANNEL + k;
        if (channel->OnOff != 0) {
            // A sparse channel (no samples per record) or one of an odd rate keeps the common rate.
            const bool ownRate = channel->SPR > 0 && hdr->SPR >= channel->SPR && hdr->SPR % channel->SPR == 0;
            columns.push_back({channel, columns.size(), ownRate ? hdr->SPR / channel->SPR : 1});
        }
    }
    return columns;
}

std::string unitOf(const CHANNEL_TYPE& channel) {
    const char* unit = PhysDim3(channel.PhysDimCode);
    return unit && std::string_view(unit) != "?" ? unit : "";
}

void writeSignals(HDRTYPE* hdr, const std::vector<std::string>& units, ReplyWriter& reply) {
    sread(nullptr, 0, static_cast<std::size_t>(hdr->NRec), hdr); // whole-file reads only are right
    if (hdr->AS.B4C_ERRNUM != B4C_NO_ERROR) {
        throw Refusal{std::string("BioSig cannot read the samples: ") +
                      (hdr->AS.B4C_ERRMSG ? hdr->AS.B4C_ERRMSG : "unknown error")};
    }
    const std::vector<Column> columns = dataColumns(hdr);
    const std::size_t rows = hdr->data.block ? hdr->data.size[0] : 0;
    if (rows > 0 && hdr->data.size[1] != columns.size()) {
        throw Refusal{"BioSig's data block does not hold one column per signal"};
    }
    reply.number(static_cast<std::uint32_t>(columns.size()));
    for (const Column& column : columns) {
        const CHANNEL_TYPE& channel = *column.channel;
        reply.text(trimmed(channel.Label));
        const auto k = static_cast<std::size_t>(column.channel - hdr->CHANNEL);
        reply.text(k < units.size() ? units[k] : unitOf(channel));
        reply.number(hdr->SampleRate / static_cast<double>(column.step));
        reply.number(static_cast<std::uint64_t>((rows + column.step - 1) / column.step));
        // The fields themselves: biosig_channel_get_scaling() swaps the physical minimum and maximum.
        for (const double limit : {channel.PhysMin, channel.PhysMax, channel.DigMin, channel.DigMax}) {
            reply.number(limit);
        }
    }
    for (const Column& column : columns) {
        const biosig_data_type* values = hdr->data.block + column.index * rows;
        for (std::size_t row = 0; row < rows; row += column.step) {
            reply.number(static_cast<float>(values[row]));
        }
    }
}

// The WFDB annotation mnemonics by annotation code.
constexpr std::array<std::string_view, 42> WfdbSymbols = {
    "",  "N",  "L", "R", "a", "V", "F", "J", "A", "S", "E", "j", "/", "Q", "~", "",  "|", "",  "s", "T", "*",
    "D", "\"", "=", "p", "B", "^", "t", "+", "u", "?", "!", "[", "]", "e", "n", "@", "x", "f", "(", ")", "r"};

std::string eventText(HDRTYPE* hdr, std::size_t n) {
    const std::uint16_t code = hdr->EVENT.TYP[n];
    if (hdr->TYPE == MIT && code < WfdbSymbols.size() && !WfdbSymbols[code].empty()) {
        return std::string(WfdbSymbols[code]);
    }
    const char* description = GetEventDescription(hdr, n);
    return description && *description ? description : "Event " + std::to_string(code);
}

// BioSig places WFDB annotations one sample early (an annotation at sample 0 at 2^32 - 1).
std::uint32_t eventPosition(HDRTYPE* hdr, std::size_t n) {
    return hdr->TYPE == MIT ? hdr->EVENT.POS[n] + 1U : hdr->EVENT.POS[n];
}

void writeEvents(HDRTYPE* hdr, ReplyWriter& reply) {
    const double rate = hdr->EVENT.SampleRate > 0 ? hdr->EVENT.SampleRate : hdr->SampleRate;
    reply.number(static_cast<std::uint32_t>(hdr->EVENT.N));
    for (std::size_t n = 0; n < hdr->EVENT.N; ++n) {
        const std::uint32_t duration = hdr->EVENT.DUR ? hdr->EVENT.DUR[n] : 0;
        reply.number(eventPosition(hdr, n) / rate);
        reply.number(duration > 0 ? duration / rate : -1.0);
        reply.text(eventText(hdr, n));
    }
}

#ifdef TRAZEL_IMPORT_TEST_HOOKS
void runTestHook() {
    const char* hook = std::getenv("TRAZEL_IMPORT_TEST");
    if (hook && std::string_view(hook) == "crash") {
        std::abort();
    }
    while (hook && std::string_view(hook) == "hang") {
        ::pause();
    }
}
#endif

} // namespace

int main(int argc, char** argv) {
#ifdef TRAZEL_IMPORT_TEST_HOOKS
    runTestHook();
#endif
    if (argc != 2) {
        std::fprintf(stderr, "usage: trazel-import FILE\n");
        return 2;
    }
    // BioSig prints to standard output: that goes to standard error, the reply to the original descriptor.
    const int replyFd = ::dup(STDOUT_FILENO);
    if (replyFd < 0 || ::dup2(STDERR_FILENO, STDOUT_FILENO) < 0) {
        std::fprintf(stderr, "cannot set up the reply: %s\n", std::strerror(errno));
        return 1;
    }
    try {
        const std::filesystem::path file = argv[1];
        checkKnownFailures(file);
        const Recording hdr = openRecording(file);
        ReplyWriter reply(replyFd);
        reply.text("TRAZEL-IMPORT 1");
        writeSignals(hdr.get(), headerUnits(file, hdr->NS), reply);
        writeEvents(hdr.get(), reply);
        reply.flush();
    } catch (const Refusal& refusal) {
        std::fflush(stdout);
        std::fprintf(stderr, "\n%s\n", refusal.reason.c_str());
        return 1;
    }
    return 0;
}
