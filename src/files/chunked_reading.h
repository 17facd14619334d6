#pragma once

#include "core/number_rules.h"
#include "files/binary_file.h"
#include "ui/progress_window.h"

#include <algorithm>
#include <cstdint>
#include <vector>

namespace trazel {

// Reads `count` records of `recordSize` bytes in `steps` chunks (each of at least one record) and moves
// the progress bar to the share read after each chunk. decode(bytes, first, n) gets the bytes of records
// first .. first + n - 1, short when the file ends early.
template <typename Decode>
void readInSteps(BinaryFile& file, std::int64_t count, std::size_t recordSize, int steps,
                 ProgressWindow& progress, Decode decode) {
    constexpr std::int64_t RecordsPerRead = 1 << 16;
    std::vector<std::uint8_t> buffer;
    std::int64_t done = 0;
    for (int step = 1; step <= steps && done < count; ++step) {
        const std::int64_t chunkEnd = count * step / steps;
        if (chunkEnd <= done) {
            continue;
        }
        while (done < chunkEnd) {
            const std::int64_t n = std::min(chunkEnd - done, RecordsPerRead);
            buffer.resize(static_cast<std::size_t>(n) * recordSize);
            const std::size_t got = file.read(buffer);
            decode(std::span<const std::uint8_t>(buffer.data(), got), done, n);
            done += n;
        }
        progress.setValue(toInteger(100.0 * static_cast<double>(done) / static_cast<double>(count)));
    }
}

} // namespace trazel
