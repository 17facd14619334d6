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
    m_buffer.clear();
    for (std::size_t point = 0; point < markers.size(); ++point) {
        binformat::appendRecord(m_buffer, m_layout, samples.subspan(point * channels, channels),
                                markers[point]);
    }
    if (m_file.write(m_buffer) && m_file.flush()) {
        return true;
    }
    // A full disk may take part of the block; the reader would count a part of a record at the end as a
    // point of zeros, so the file goes back to its last whole record.
    const std::uint64_t data = m_file.length() - m_layout.dataOffset;
    m_file.truncate(m_layout.dataOffset + data - data % m_layout.recordSize());
    return false;
}

} // namespace trazel
