#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

// What the readers of other equipment's recordings (EDF/BDF, ABF, the import process) give the program:
// signals with their physical values, and events.
namespace trazel {

struct SignalInfo {
    std::string label; // spaces trimmed
    std::string unit;
    double rate = 0;          // samples per second
    std::int64_t samples = 0; // real samples: a file of this program's ends its padding (see writeEdf)
    double physicalMin = 0, physicalMax = 0;
    int digitalMin = 0, digitalMax = 0;
    bool trigger = false; // "Status", "Trigger", "DIG DTRIG" …: its codes also come out as events
};

struct SignalEvent {
    double onset = 0;     // seconds from the first sample (in sweeps: of the sweeps laid end to end)
    double duration = -1; // seconds; < 0: none
    std::string text;     // UTF-8

    bool operator==(const SignalEvent&) const = default;
};

// A recording of other equipment, opened and checked.
class SignalFile {
public:
    virtual ~SignalFile() = default;

    // The signals that hold samples.
    virtual const std::vector<SignalInfo>& signalList() const = 0;
    // The physical values of every sample of a signal into the first signalList()[signal].samples places
    // of `out`; false, with the reason, when `out` is too short or the data cannot be read.
    virtual bool readPhysical(int signal, std::span<float> out, std::string& error) = 0;
    // The file's events (annotations, tags, trigger codes), in onset order; with a reason in `error` when
    // they cannot be read.
    virtual std::vector<SignalEvent> events(std::string& error) = 0;
    // Points per sweep of a file of equal sweeps (episodes), each signal's samples one sweep after the
    // other; -1 for continuous data.
    virtual std::int64_t sweepLength() const { return -1; }

protected:
    SignalFile() = default;
    // The signal readPhysical is asked for, when there is one and `out` has room for its samples; nothing,
    // and the reason, otherwise.
    const SignalInfo* signalToRead(int signal, std::span<float> out, std::string& error) const {
        const std::vector<SignalInfo>& all = signalList();
        if (signal < 0 || static_cast<std::size_t>(signal) >= all.size()) {
            error = "there is no signal " + std::to_string(signal);
            return nullptr;
        }
        const SignalInfo& info = all[static_cast<std::size_t>(signal)];
        if (out.size() < static_cast<std::size_t>(info.samples)) {
            error = "there is no room for the " + std::to_string(info.samples) + " samples of " + info.label;
            return nullptr;
        }
        return &info;
    }
    SignalFile(const SignalFile&) = default;
    SignalFile& operator=(const SignalFile&) = default;
};

} // namespace trazel
