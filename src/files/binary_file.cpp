#include "files/binary_file.h"

#include <system_error>
#include <unistd.h>

namespace trazel {

std::optional<BinaryFile> BinaryFile::openForReading(const std::filesystem::path& path) {
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error)) {
        return std::nullopt;
    }
    const std::uint64_t length = std::filesystem::file_size(path, error);
    if (error) {
        return std::nullopt;
    }
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) {
        return std::nullopt;
    }
    return BinaryFile(file, length);
}

std::optional<BinaryFile> BinaryFile::createForWriting(const std::filesystem::path& path) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) {
        return std::nullopt;
    }
    // Unbuffered, each write is one system write: a program that dies between two writes leaves each
    // of them whole in the file, where a buffer would have handed a block over in pieces.
    std::setvbuf(file, nullptr, _IONBF, 0);
    return BinaryFile(file, 0);
}

std::size_t BinaryFile::read(std::span<std::uint8_t> buffer) {
    return m_file ? std::fread(buffer.data(), 1, buffer.size(), m_file.get()) : 0;
}

bool BinaryFile::seek(std::uint64_t offset) {
    return m_file && fseeko(m_file.get(), static_cast<off_t>(offset), SEEK_SET) == 0;
}

bool BinaryFile::write(std::span<const std::uint8_t> bytes) {
    if (!m_file) {
        return false;
    }
    if (std::fwrite(bytes.data(), 1, bytes.size(), m_file.get()) != bytes.size()) {
        return false;
    }
    m_length += bytes.size();
    return true;
}

bool BinaryFile::truncate(std::uint64_t length) {
    if (!m_file || std::fflush(m_file.get()) != 0 ||
        ftruncate(fileno(m_file.get()), static_cast<off_t>(length)) != 0) {
        return false;
    }
    m_length = length;
    return seek(length);
}

bool BinaryFile::flush() {
    return m_file && std::fflush(m_file.get()) == 0;
}

bool BinaryFile::close() {
    if (!m_file) {
        return false;
    }
    return std::fclose(m_file.release()) == 0;
}

} // namespace trazel
