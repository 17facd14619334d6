#pragma once

#include <filesystem>
#include <string>

// Converting a data file to EDF+, BDF+ or CSV without a window: `trazel --convert IN OUT`.
namespace trazel {

// The exit statuses of a conversion.
inline constexpr int Converted = 0;
inline constexpr int ConversionFailed = 1;  // IN could not be read or OUT written
inline constexpr int ConversionRefused = 2; // the request itself is wrong

// A conversion as the command line asks for it; the options as typed.
struct ConversionRequest {
    std::filesystem::path in;  // .bin, .prn, .edf or .bdf
    std::filesystem::path out; // .edf, .bdf or .csv
    // 1-based signal numbers or labels, comma-separated; empty: the first three of the first rate.
    std::string channels = {};
    // The channels of a Labtech file (1 or 2), or of a recorded file without a header (1 to 3).
    std::string prnChannels = {};
    std::string prnRate = {}; // the points a second of a Labtech file
};

// Reads IN whole and writes the chosen traces with their marks and events to OUT. Converted, with
// `message` saying how many points were written; otherwise ConversionFailed or ConversionRefused with the
// reason in `message`, naming the file. OUT is written whole or not at all.
int convertFile(const ConversionRequest& request, std::string& message);

} // namespace trazel
