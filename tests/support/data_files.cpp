#include "support/data_files.h"

#include <fstream>

namespace trazel::testing {

std::filesystem::path TestFiles::write(const std::string& name,
                                       const std::vector<std::uint8_t>& bytes) const {
    const std::filesystem::path file = path(name);
    std::ofstream out(file, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return file;
}

std::vector<std::uint8_t> versionedFile(const binformat::Header& header,
                                        const std::vector<std::int16_t>& samples,
                                        const std::vector<std::int16_t>& markers) {
    const auto headerBytes = binformat::encodeHeader(header);
    std::vector<std::uint8_t> bytes(headerBytes.begin(), headerBytes.end());
    const binformat::RecordLayout layout = binformat::versionedLayout(header.channelCount);
    const auto channels = static_cast<std::size_t>(header.channelCount);
    for (std::size_t point = 0; point < markers.size(); ++point) {
        binformat::appendRecord(bytes, layout, std::span(samples).subspan(point * channels, channels),
                                markers[point]);
    }
    return bytes;
}

binformat::Header continuousHeader(std::int16_t channels, std::array<std::int16_t, 3> traceChannels,
                                   std::int32_t intervalUs) {
    binformat::Header header;
    header.channelCount = channels;
    header.traceChannels = traceChannels;
    header.sampleIntervalUs = intervalUs;
    return header;
}

} // namespace trazel::testing
