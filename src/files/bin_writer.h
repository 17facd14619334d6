#pragma once

#include "files/bin_format.h"
#include "files/binary_file.h"

#include <filesystem>
#include <optional>
#include <span>
#include <vector>

namespace trazel {

// Writes a recorded data file in the versioned layout: the header when it is created, then records,
// which stay readable at every point: each append goes to the system in one write before it returns, so
// the file holds whole appends when the program dies, and a failed append leaves nothing of itself.
class BinFileWriter {
public:
    static std::optional<BinFileWriter> create(const std::filesystem::path& path,
                                               const binformat::Header& header);

    // One record per point: samples[point * channels + c] for each recorded channel c. False when not
    // all of them reached the file, which then ends where it ended before.
    bool append(std::span<const std::int16_t> samples, std::span<const std::int16_t> markers);
    bool close() { return m_file.close(); }

private:
    BinFileWriter(BinaryFile file, binformat::RecordLayout layout)
        : m_file(std::move(file)), m_layout(layout) {}

    BinaryFile m_file;
    binformat::RecordLayout m_layout;
    std::vector<std::uint8_t> m_buffer;
};

} // namespace trazel
