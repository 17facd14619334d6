#pragma once

#include "core/app_state.h"
#include "files/bin_format.h"
#include "files/binary_file.h"

#include <cstdint>
#include <functional>
#include <limits>
#include <optional>

// The rules a recorded file (.bin) must pass before anything of it is taken over, by the window and by
// the command line's conversion alike.
namespace trazel {

// A Long point count with room for the extra last point.
inline constexpr std::int64_t MaxPoints = std::numeric_limits<Long>::max() - 1;

// What a recorded file holds.
struct BinFileLayout {
    binformat::Header header;
    binformat::RecordLayout records;
    Single sampleInterval = 0; // s
    std::int64_t sampleCount = 0;
    std::int64_t curveCount = -1;
};

// Reads and checks the header at the start of `file`. The channel count of a headerless file comes from
// `headerlessChannels`, asked only for such a file; nothing from it refuses the file. Nothing when the
// file cannot be shown.
std::optional<BinFileLayout> inspectBinFile(BinaryFile& file,
                                            const std::function<std::optional<int>()>& headerlessChannels);

} // namespace trazel
