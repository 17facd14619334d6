#pragma once

#include "files/bin_format.h"

#include <QDateTime>
#include <QFile>
#include <QTemporaryDir>
#include <bit>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

// Data files built byte by byte for the tests; the record encoding is the one the format tests pin down.
namespace trazel::testing {

using Bytes = std::vector<std::uint8_t>;

// Recordings of other equipment, beside the project.
inline const std::filesystem::path Recordings =
    std::filesystem::path(TRAZEL_EXAMPLES).parent_path() / "../shared/data/recordings";

// A folder of test files that goes away with the test.
class TestFiles {
public:
    std::filesystem::path path(const std::string& name) const {
        return std::filesystem::path(m_dir.path().toStdString()) / name;
    }
    std::filesystem::path write(const std::string& name, const Bytes& bytes) const {
        std::ofstream(path(name), std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        return path(name);
    }

private:
    QTemporaryDir m_dir;
};

// The bytes of a versioned recorded file: the header, then one record per marker with the samples of every
// channel of the point (samples[point * channels + c]) and the marker word.
inline Bytes versionedFile(const binformat::Header& header, const std::vector<std::int16_t>& samples,
                           const std::vector<std::int16_t>& markers) {
    const auto headerBytes = binformat::encodeHeader(header);
    Bytes bytes(headerBytes.begin(), headerBytes.end());
    const auto channels = static_cast<std::size_t>(header.channelCount);
    for (std::size_t point = 0; point < markers.size(); ++point) {
        binformat::appendRecord(bytes, binformat::versionedLayout(header.channelCount),
                                std::span(samples).subspan(point * channels, channels), markers[point]);
    }
    return bytes;
}

// A recorded file's header: channel count, the channel words of traces 1..3, the interval in microseconds
// and, for a block file as the recorder writes it (block flag -1), the points per sweep.
inline binformat::Header recordedHeader(std::int16_t channels, std::array<std::int16_t, 3> traceChannels,
                                        std::int32_t intervalUs, std::int32_t pointsPerSweep = 0) {
    binformat::Header header;
    header.channelCount = channels;
    header.traceChannels = traceChannels;
    header.sampleIntervalUs = intervalUs;
    header.blockFlag = pointsPerSweep > 0 ? -1 : 0;
    header.pointsPerSweep = pointsPerSweep;
    return header;
}

// The bytes of a headerless recorded file: the interval in ms, then samples[point * channels + c].
inline Bytes headerlessFile(std::int16_t intervalMs, int channels, const std::vector<std::int16_t>& samples) {
    const auto prefix = binformat::encodeHeaderlessPrefix(intervalMs);
    Bytes bytes(prefix.begin(), prefix.end());
    for (std::size_t at = 0; at + static_cast<std::size_t>(channels) <= samples.size(); at += channels) {
        binformat::appendRecord(bytes, binformat::headerlessLayout(channels),
                                std::span(samples).subspan(at, static_cast<std::size_t>(channels)), 0);
    }
    return bytes;
}

// Little-endian words and floats at a byte offset, decoded here independently of the program's readers.
inline std::int16_t int16At(const Bytes& bytes, std::size_t offset) {
    return static_cast<std::int16_t>(bytes.at(offset) | (bytes.at(offset + 1) << 8));
}
inline float floatAt(const Bytes& bytes, std::size_t offset) {
    return std::bit_cast<float>(static_cast<std::uint32_t>(bytes.at(offset) | bytes.at(offset + 1) << 8 |
                                                           bytes.at(offset + 2) << 16) |
                                static_cast<std::uint32_t>(bytes.at(offset + 3)) << 24);
}

// The bytes of a Labtech file holding the given file values in order.
inline Bytes prnFile(const std::vector<float>& values) {
    Bytes bytes;
    for (float value : values) {
        for (int i = 0; i < 4; ++i) {
            bytes.push_back(static_cast<std::uint8_t>(std::bit_cast<std::uint32_t>(value) >> (8 * i)));
        }
    }
    return bytes;
}

// The whole content of a file; empty when it cannot be read.
inline Bytes readBytes(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Sets a file's time of last change (local time).
inline bool setModificationTime(const std::filesystem::path& file, const QDateTime& when) {
    QFile handle(QString::fromStdString(file.string()));
    return handle.open(QIODevice::ReadWrite) && handle.setFileTime(when, QFileDevice::FileModificationTime);
}

} // namespace trazel::testing
