#pragma once

#include "core/app_state.h"

#include <string>
#include <string_view>

// How a file that has been read is shown: its time span per screen, the window caption, its name parts.
namespace trazel {

struct TimeSpan {
    Single screenLen;  // in the unit
    Single timeFactor; // seconds per unit
    const char* unit;  // "ms" or " s"
};

// A continuous file is shown on the smallest power of two (1, 2, 4, ...) of its unit that holds the whole
// recording; recordings shorter than 2 s (rounded) are counted in ms.
TimeSpan continuousSpan(Single sampleInterval, Long sampleCount);

// One sweep per screen; sweeps shorter than 1 s are counted in ms.
TimeSpan blockSpan(Single sampleInterval, Long sweepLength);

// "BLOCK MODE (100.ms)": the sweep length with at most one decimal and always the point.
std::string blockModeCaption(Single screenLen, std::string_view unit);

// The file name without its folders; folders end at "\" or "/".
std::string bareFileName(std::string_view path);

// The text after the first "." of the bare name ("a.b.bin" gives "b.bin"); the whole bare name when it
// has no ".".
std::string fileExtension(std::string_view path);

} // namespace trazel
