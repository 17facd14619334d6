#pragma once

#include "files/signal_file.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <vector>

// Axon Binary Format files, ABF 1 (version 1.x, "ABF ") and ABF 2 ("ABF2"), of 16-bit integer or float
// samples: gap-free recordings (operation mode 3), and those of equal sweeps (modes 2, 4 and 5: fixed-length
// events, high-speed oscilloscope, episodic stimulation) as block data. Event-driven variable-length files
// (mode 1) are refused.
namespace trazel {

namespace abf {

// Entries of a header table, each of `entryBytes` from byte `offset` of the file.
struct Table {
    std::int64_t offset = 0;
    std::int64_t count = 0;
    std::int64_t entryBytes = 0;
};

// A stretch of acquisition: where it starts on the file's clock and where it lies on the sweeps laid end
// to end.
struct Segment {
    double startUs = 0;
    double onset = 0;    // seconds
    double duration = 0; // seconds
};

// How a channel's digital values become physical ones.
struct Scaling {
    double gain = 1;
    double offset = 0;
};

// What the reader keeps of the header after it has checked it.
struct Layout {
    std::int64_t dataOffset = 0; // bytes
    bool floats = false;         // 4-byte floats, otherwise 16-bit integers
    std::vector<Scaling> scalings;
    std::int64_t sweepLength = -1;
    double tagUnitUs = 0;
    Table tags;
    std::vector<Segment> segments; // none: the file's clock runs on with the data
    std::vector<double> stimulusOnsets;
};

} // namespace abf

class AbfReader final : public SignalFile {
public:
    // Opens and checks the file; nothing, and the reason in words in `error`, when it cannot be read.
    static std::optional<AbfReader> open(const std::filesystem::path& path, std::string& error);

    // One signal per recorded ADC channel in the order they are sampled: its name and unit trimmed (Latin-1
    // made UTF-8), the rate of each channel, every sweep's samples, and the physical values the ADC's
    // digital range stands for.
    const std::vector<SignalInfo>& signalList() const override { return m_signals; }

    // The physical values of a signal's samples, the sweeps one after the other: an integer sample scaled
    // by the channel's gains and offsets, a float sample as it is. False, with the reason, when `out` is too
    // short, the data cannot be read or a float sample is not a finite number.
    bool readPhysical(int signal, std::span<float> out, std::string& error) override;

    // The tags, each as its comment ("Tag" when it has none), and in an episodic file "Stimulus" in every
    // sweep where its command waveform first leaves the holding level: at the first enabled epoch, of any
    // output generated from the epoch table, whose level differs from that output's holding level (the
    // epochs follow a holding of the sweep's first 1/64). Onsets on the sweeps laid end to end, a tag
    // between two sweeps at the end of the earlier one, one outside the data at its nearer end; in onset
    // order.
    std::vector<SignalEvent> events(std::string& error) override;

    // Points per sweep of a file of sweeps; -1 for a gap-free one.
    std::int64_t sweepLength() const override { return m_layout.sweepLength; }

private:
    AbfReader(std::filesystem::path path, std::vector<SignalInfo> signalInfos, abf::Layout layout)
        : m_path(std::move(path)), m_signals(std::move(signalInfos)), m_layout(std::move(layout)) {}

    std::filesystem::path m_path;
    std::vector<SignalInfo> m_signals;
    abf::Layout m_layout;
};

} // namespace trazel
