#include "files/bin_inspection.h"

#include "core/number_rules.h"

#include <algorithm>
#include <array>

namespace trazel {

namespace {

bool isShowable(const BinFileLayout& file) {
    const binformat::Header& h = file.header;
    if (h.channelCount < 1 || h.channelCount > binformat::MaxChannels || !(file.sampleInterval > 0)) {
        return false;
    }
    if (file.sampleCount > MaxPoints) {
        return false;
    }
    // A block file must hold at least one whole sweep; the sweep length sizes the average.
    return h.blockFlag == 0 || (h.pointsPerSweep >= 1 && h.pointsPerSweep <= file.sampleCount);
}

} // namespace

std::optional<BinFileLayout> inspectBinFile(BinaryFile& file,
                                            const std::function<std::optional<int>()>& headerlessChannels) {
    std::array<std::uint8_t, binformat::HeaderSize> start{};
    const std::size_t got = file.read(start);
    BinFileLayout layout;
    if (binformat::isVersioned(std::span(start.data(), got))) {
        if (got < binformat::HeaderSize) {
            return std::nullopt;
        }
        layout.header = binformat::decodeHeader(start);
        layout.records = binformat::versionedLayout(layout.header.channelCount);
        layout.sampleInterval = static_cast<Single>(layout.header.sampleIntervalUs / 1000000.0);
    } else {
        if (got < binformat::HeaderlessPrefixSize) {
            return std::nullopt;
        }
        const std::int16_t intervalMs = binformat::decodeHeaderlessInterval(std::span(start).first<2>());
        const std::optional<int> channels = headerlessChannels();
        if (!channels) {
            return std::nullopt;
        }
        layout.header.channelCount = static_cast<std::int16_t>(*channels);
        for (int i = 0; i < std::clamp(*channels, 0, binformat::MaxChannels); ++i) {
            layout.header.traceChannels[static_cast<std::size_t>(i)] = 1;
        }
        layout.records = binformat::headerlessLayout(layout.header.channelCount);
        layout.sampleInterval = static_cast<Single>(intervalMs * 0.001);
    }
    if (layout.header.channelCount < 1 || layout.header.channelCount > binformat::MaxChannels) {
        return std::nullopt;
    }
    const std::optional<std::int64_t> count = binformat::recordCount(file.length(), layout.records);
    if (!count) {
        return std::nullopt;
    }
    layout.sampleCount = *count;
    if (layout.header.blockFlag != 0 && layout.header.pointsPerSweep >= 1) {
        layout.curveCount = static_cast<std::int64_t>(
            roundHalfEven(static_cast<double>(layout.sampleCount) / layout.header.pointsPerSweep));
    }
    if (!isShowable(layout)) {
        return std::nullopt;
    }
    return layout;
}

} // namespace trazel
