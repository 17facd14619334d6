#pragma once

#include "files/signal_file.h"

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <vector>

// EDF, EDF+, BDF and BDF+ files, read and written through EDFlib, though the samples are read here.
// EDFlib keeps its open files in process-wide tables without a lock: use these from one thread at a time.
namespace trazel {

class EdfReader final : public SignalFile {
public:
    // Opens and checks the file; nothing, and the reason in words in `error`, when EDFlib refuses it.
    static std::optional<EdfReader> open(const std::filesystem::path& path, std::string& error);

    EdfReader(EdfReader&& other) noexcept;
    EdfReader& operator=(EdfReader&& other) noexcept;
    EdfReader(const EdfReader&) = delete;
    EdfReader& operator=(const EdfReader&) = delete;
    ~EdfReader();

    bool isBdf() const { return m_bdf; }
    bool isPlus() const { return m_plus; }
    double recordDuration() const { return m_recordDuration; } // seconds
    // The signals that hold samples; EDFlib hides the annotation signals, whose texts come out of events().
    const std::vector<SignalInfo>& signalList() const override { return m_signals; }

    // The physical values of every real sample of a signal into the first signalList()[signal].samples
    // places of `out`; a digital value at the digital minimum or maximum gives exactly the physical one.
    // False, with the reason, when `out` is too short or the data cannot be read.
    bool readPhysical(int signal, std::span<float> out, std::string& error) override;

    // The EDF+ annotations, and for each trigger signal every change of its code to one other than 0, as
    // "Trigger <code>" without duration; in onset order. A Status signal's code is the lower 16 bits of
    // its digital value, another trigger signal's its physical value, rounded.
    std::vector<SignalEvent> events(std::string& error) override;

private:
    // Where a signal's samples lie in the file: they are read here, as EDFlib reads them a byte at a time.
    struct Placement {
        std::int64_t first = 0;     // the byte of the first sample
        std::int64_t stride = 0;    // bytes from a data record to the next
        std::int64_t perRecord = 0; // samples in each record
    };

    explicit EdfReader(int handle) : m_handle(handle) {}
    // Finds each signal's samples in the file EDFlib has taken; false when they are not where it says.
    bool placeSamples(const std::filesystem::path& path);
    // Hands the first `count` digital values of a signal to sink(values, index of the first) a few data
    // records at a time.
    template <typename Sink>
    bool readDigital(int signal, std::int64_t count, Sink&& sink, std::string& error);

    int m_handle = -1;
    bool m_bdf = false;
    bool m_plus = false;
    double m_recordDuration = 0;
    std::vector<SignalInfo> m_signals;
    std::vector<SignalEvent> m_annotations;
    std::filesystem::path m_path;
    std::vector<Placement> m_placements; // each signal's
};

// The longest annotation text writeEdf takes, in UTF-8 bytes.
inline constexpr std::size_t EdfMaxTextBytes = 77;

struct EdfOutSignal {
    std::string label; // up to 16 characters, up to 8 for the unit; the header holds ASCII only
    std::string unit;
    double rate = 0;               // samples per second
    std::span<const float> values; // physical values, or the digital codes themselves when `digital`
    bool digital = false;
    // The physical values the digital minimum and maximum stand for, widened outwards to numbers of at
    // most 8 characters as the header holds them; when the two are equal, the values' own minimum and
    // maximum (for digital values, the digital range). Physical values convert to the nearest digital
    // value within the range, NaN to that of 0.
    double physicalMin = 0, physicalMax = 0;
    int digitalMin = -32768, digitalMax = 32767; // BDF: down to -8388608, up to 8388607
};

// Writes a continuous EDF+ (16-bit) or BDF+ (24-bit) file with every sample and every event; false with
// the reason, and no file. The data records last 1 s when every rate gives a whole number of samples in
// a second, otherwise the length nearest 1 s (from 1 ms to 60 s) that does; there must be one. The last
// record is filled up with each signal's last value (0 when it has none), and then the annotation
// "Trazel data end" marks the end of the longest signal, followed by ": " and each signal's sample count
// when the signals end at different times: EdfReader reports the real counts. A text longer than
// EdfMaxTextBytes is an error; control characters in it become spaces.
bool writeEdf(const std::filesystem::path& path, bool bdf, const std::vector<EdfOutSignal>& outSignals,
              const std::vector<SignalEvent>& events, std::string& error);

} // namespace trazel
