#pragma once

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <optional>
#include <span>

namespace trazel {

// A file opened for byte-exact reading or writing; closed when the object goes.
class BinaryFile {
public:
    static std::optional<BinaryFile> openForReading(const std::filesystem::path& path);
    static std::optional<BinaryFile> createForWriting(const std::filesystem::path& path);

    // Bytes in the file: its length when opened for reading, the bytes written so far when created.
    std::uint64_t length() const { return m_length; }
    // Reads up to buffer.size() bytes at the current position; the count read (short at the end of the file).
    std::size_t read(std::span<std::uint8_t> buffer);
    bool seek(std::uint64_t offset);
    bool write(std::span<const std::uint8_t> bytes);
    // Cuts a file being written to `length` bytes and goes on writing there.
    bool truncate(std::uint64_t length);
    // Hands what was written to the system, so that it survives the program.
    bool flush();
    // Flushes and closes; false when the data did not all reach the file.
    bool close();

private:
    struct Closer {
        void operator()(std::FILE* file) const { std::fclose(file); }
    };
    BinaryFile(std::FILE* file, std::uint64_t length) : m_file(file), m_length(length) {}

    std::unique_ptr<std::FILE, Closer> m_file;
    std::uint64_t m_length = 0;
};

} // namespace trazel
