// Writes the example data files of examples/: a continuous recording, a block recording and a Labtech
// file, with the project's own writers. Usage: trazel_make_examples <folder>

#include "files/bin_writer.h"
#include "files/binary_file.h"
#include "files/prn_format.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <numbers>
#include <random>
#include <vector>

namespace {

using trazel::BinFileWriter;
namespace binformat = trazel::binformat;

constexpr double Pi = std::numbers::pi;

std::int16_t sample(double value) {
    return static_cast<std::int16_t>(std::lround(std::clamp(value, -32768.0, 32767.0)));
}

// Three minutes of two traces at 10 points per second: a slow breathing-like wave and a slower drift under
// the noise, a drug marker from 60 s to 120 s and stimuli at 30, 90 and 150 s.
bool writeContinuous(const std::filesystem::path& path, std::mt19937& random) {
    constexpr int Points = 1800;
    constexpr double Rate = 10;
    binformat::Header header;
    header.channelCount = 2;
    header.traceChannels = {1, 2, 0};
    header.stimCount = 1;
    header.sampleIntervalUs = 100000;
    std::normal_distribution<double> noise(0, 25);
    std::vector<std::int16_t> samples;
    std::vector<std::int16_t> markers;
    for (int i = 0; i < Points; ++i) {
        const double t = i / Rate;
        const bool drug = t >= 60 && t < 120;
        const double amplitude = drug ? 650 : 400;
        samples.push_back(sample(amplitude * std::sin(2 * Pi * 0.2 * t) + noise(random)));
        samples.push_back(sample(300 * std::sin(2 * Pi * t / 45) + 120 + noise(random)));
        const bool stimulus = i == 300 || i == 900 || i == 1500;
        markers.push_back(stimulus ? 200 : (drug ? 100 : 0));
    }
    auto writer = BinFileWriter::create(path, header);
    return writer && writer->append(samples, markers) && writer->close();
}

// 20 sweeps of 500 ms at 1000 points per second: a stimulus at 10 ms and an evoked wave peaking near 25 ms.
bool writeBlock(const std::filesystem::path& path, std::mt19937& random) {
    constexpr int Sweeps = 20;
    constexpr int SweepPoints = 500;
    binformat::Header header;
    header.channelCount = 1;
    header.traceChannels = {1, 0, 0};
    header.blockFlag = -1;
    header.pointsPerSweep = SweepPoints;
    header.stimDelay = 10;
    header.stimCount = 1;
    header.sampleIntervalUs = 1000;
    std::normal_distribution<double> noise(0, 30);
    std::uniform_real_distribution<double> variation(0.85, 1.15);
    auto writer = BinFileWriter::create(path, header);
    if (!writer) {
        return false;
    }
    for (int sweep = 0; sweep < Sweeps; ++sweep) {
        const double size = variation(random);
        std::vector<std::int16_t> samples;
        std::vector<std::int16_t> markers;
        for (int i = 0; i < SweepPoints; ++i) {
            const double ms = i;
            double value = noise(random);
            if (i == 10) {
                value += 1500; // stimulus artefact
            }
            if (ms > 14) {
                const double u = (ms - 14) / 11; // alpha wave, largest at 25 ms
                value += -900 * size * u * std::exp(1 - u);
            }
            samples.push_back(sample(value));
            markers.push_back(i == 10 ? 200 : 0);
        }
        if (!writer->append(samples, markers)) {
            return false;
        }
    }
    return writer->close();
}

// Ten seconds of two channels at 300 Hz, in the units of the acquisition package (the reader shows 100 x).
bool writePrn(const std::filesystem::path& path, std::mt19937& random) {
    constexpr int Points = 3000;
    constexpr double Rate = 300;
    std::normal_distribution<double> noise(0, 0.2);
    std::vector<std::uint8_t> bytes;
    for (int i = 0; i < Points; ++i) {
        const double t = i / Rate;
        const float values[] = {static_cast<float>(4 * std::sin(2 * Pi * 1.2 * t) + noise(random)),
                                static_cast<float>(2 * std::sin(2 * Pi * 0.3 * t) + noise(random))};
        trazel::prnformat::appendPoint(bytes, values);
    }
    auto file = trazel::BinaryFile::createForWriting(path);
    return file && file->write(bytes) && file->close();
}

} // namespace

int main(int argc, char* argv[]) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <folder>\n", argv[0]);
        return 2;
    }
    const std::filesystem::path folder = argv[1];
    std::mt19937 random(20261206);
    const bool written = writeContinuous(folder / "continuous.bin", random) &&
                         writeBlock(folder / "block.bin", random) && writePrn(folder / "labtech.prn", random);
    if (!written) {
        std::fprintf(stderr, "could not write the example files into %s\n", folder.c_str());
        return 1;
    }
    return 0;
}
