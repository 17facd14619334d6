#include "support/data_files.h"

#include <QFile>
#include <bit>
#include <fstream>
#include <iterator>

namespace trazel::testing {

std::filesystem::path TestFiles::write(const std::string& name,
                                       const std::vector<std::uint8_t>& bytes) const {
    const std::filesystem::path file = path(name);
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
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

binformat::Header blockHeader(std::int16_t channels, std::array<std::int16_t, 3> traceChannels,
                              std::int32_t pointsPerSweep, std::int32_t intervalUs) {
    binformat::Header header = continuousHeader(channels, traceChannels, intervalUs);
    header.blockFlag = -1;
    header.pointsPerSweep = pointsPerSweep;
    return header;
}

std::vector<std::uint8_t> headerlessFile(std::int16_t intervalMs, int channels,
                                         const std::vector<std::int16_t>& samples) {
    const auto prefix = binformat::encodeHeaderlessPrefix(intervalMs);
    std::vector<std::uint8_t> bytes(prefix.begin(), prefix.end());
    const binformat::RecordLayout layout = binformat::headerlessLayout(channels);
    const auto width = static_cast<std::size_t>(channels);
    for (std::size_t at = 0; at + width <= samples.size(); at += width) {
        binformat::appendRecord(bytes, layout, std::span(samples).subspan(at, width), 0);
    }
    return bytes;
}

std::vector<std::uint8_t> prnFile(const std::vector<float>& values) {
    std::vector<std::uint8_t> bytes;
    for (float value : values) {
        const auto bits = std::bit_cast<std::uint32_t>(value);
        for (int i = 0; i < 4; ++i) {
            bytes.push_back(static_cast<std::uint8_t>((bits >> (8 * i)) & 0xFF));
        }
    }
    return bytes;
}

std::vector<std::uint8_t> readBytes(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::int16_t int16At(const std::vector<std::uint8_t>& bytes, std::size_t offset) {
    return static_cast<std::int16_t>(bytes.at(offset) | (bytes.at(offset + 1) << 8));
}

std::int32_t int32At(const std::vector<std::uint8_t>& bytes, std::size_t offset) {
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < 4; ++i) {
        value |= static_cast<std::uint32_t>(bytes.at(offset + i)) << (8 * i);
    }
    return static_cast<std::int32_t>(value);
}

float floatAt(const std::vector<std::uint8_t>& bytes, std::size_t offset) {
    return std::bit_cast<float>(static_cast<std::uint32_t>(int32At(bytes, offset)));
}

bool setModificationTime(const std::filesystem::path& file, const QDateTime& when) {
    QFile handle(QString::fromStdString(file.string()));
    return handle.open(QIODevice::ReadWrite) && handle.setFileTime(when, QFileDevice::FileModificationTime);
}

} // namespace trazel::testing
