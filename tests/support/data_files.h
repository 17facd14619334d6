#pragma once

#include "files/bin_format.h"

#include <QDateTime>
#include <QTemporaryDir>
#include <array>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace trazel::testing {

// A folder of test files that goes away with the test.
class TestFiles {
public:
    std::filesystem::path path(const std::string& name) const {
        return std::filesystem::path(m_dir.path().toStdString()) / name;
    }
    std::filesystem::path write(const std::string& name, const std::vector<std::uint8_t>& bytes) const;

private:
    QTemporaryDir m_dir;
};

// The bytes of a versioned recorded file: the header, then one record per point with the samples of
// every channel of the point (samples[point * channels + c]) and its marker word.
std::vector<std::uint8_t> versionedFile(const binformat::Header& header,
                                        const std::vector<std::int16_t>& samples,
                                        const std::vector<std::int16_t>& markers);

// A continuous header: channel count, the channel words of traces 1..3 and the interval in microseconds.
binformat::Header continuousHeader(std::int16_t channels, std::array<std::int16_t, 3> traceChannels,
                                   std::int32_t intervalUs);

// A block header as the recorder writes it (block flag -1).
binformat::Header blockHeader(std::int16_t channels, std::array<std::int16_t, 3> traceChannels,
                              std::int32_t pointsPerSweep, std::int32_t intervalUs);

// The bytes of a headerless recorded file: the interval in ms, then samples[point * channels + c].
std::vector<std::uint8_t> headerlessFile(std::int16_t intervalMs, int channels,
                                         const std::vector<std::int16_t>& samples);

// The bytes of a Labtech file holding the given file values in order.
std::vector<std::uint8_t> prnFile(const std::vector<float>& values);

// The whole content of a file; empty when it cannot be read.
std::vector<std::uint8_t> readBytes(const std::filesystem::path& file);

// Little-endian words and floats at a byte offset, decoded here independently of the program's readers.
std::int16_t int16At(const std::vector<std::uint8_t>& bytes, std::size_t offset);
std::int32_t int32At(const std::vector<std::uint8_t>& bytes, std::size_t offset);
float floatAt(const std::vector<std::uint8_t>& bytes, std::size_t offset);

// Sets a file's time of last change (local time).
bool setModificationTime(const std::filesystem::path& file, const QDateTime& when);

} // namespace trazel::testing
