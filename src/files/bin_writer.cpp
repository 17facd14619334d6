#include "files/bin_writer.h"

namespace trazel {

std::optional<BinFileWriter> BinFileWriter::create(const std::filesystem::path& path,
                                                   const binformat::Header& header) {
    std::optional<BinaryFile> file = BinaryFile::createForWriting(path);
    if (!file || !file->write(binformat::encodeHeader(header)) || !file->flush()) {
        return std::nullopt;
    }
    return BinFileWriter(std::move(*file), binformat::versionedLayout(header.channelCount));
}

bool BinFileWriter::append(std::span<const std::int16_t> samples, std::span<const std::int16_t> markers) {
    const auto channels = static_cast<std::size_t>(m_layout.channels);
    if (samples.size() != markers.size() * channels) {
        return false;
    }
    const std::uint64_t before = m_file.length();
    m_buffer.clear();
    for (std::size_t point = 0; point < markers.size(); ++point) {
        binformat::appendRecord(m_buffer, m_layout, samples.subspan(point * channels, channels),
                                markers[point]);
    }
    if (m_file.write(m_buffer) && m_file.flush()) {
        return true;
    }
    // A full disk may take part of the block, which the reader would count as points of zeros (or, in a
    // block recording, as a sweep), so the file goes back to where it was.
    m_file.truncate(before);
    return false;
}

} // namespace trazel
