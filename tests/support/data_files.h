#pragma once

#include "files/bin_format.h"

#include <QTemporaryDir>
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

} // namespace trazel::testing
