#pragma once

#include "core/app_state.h"
#include "files/bin_format.h"

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// The rules of recording that need no window: the proposed file name, where block-mode stimuli fall in a
// sweep, how many points a continuous file holds, and which points are due at a given time.
namespace trazel {

// The name proposed for a new recording among the names in the folder that match "data??.bin": "data" and
// one more than the largest two-character number before ".bin" (text without a number counts 0), "0#".
std::string proposedRecordingName(const std::vector<std::string>& matchingNames);

// The points of a sweep with `lastPoint` + 1 points that carry a stimulus: the first after `delayMs`, then
// `count` - 1 more every `intervalMs` (so counts 0 and 1 both give one); none beyond the sweep.
std::vector<std::int64_t> stimulusPoints(int delayMs, int intervalMs, int count, Single sampleInterval,
                                         std::int64_t lastPoint);

// Points of `fileLength` seconds: the Integers of that many seconds of records (channels and a marker
// word each), in whole records.
std::int64_t recordCapacity(int channelCount, Single fileLength, Single sampleInterval);

// A crash of the program loses at most this much of a recording. What is written is with the system,
// which puts it on the disk in its own time: a power cut can lose more.
constexpr double WriteEverySeconds = 1;

// The stimulus fields as typed: delay and interval in ms, and the number of stimuli of a sweep.
struct StimulusSettings {
    Integer delay = 0;
    Integer count = 1;
    Integer interval = 0;
};

// The header of a new recording: the traces' input channels (0: none), block or continuous with the sweep
// length, the stimuli and the interval between points in seconds.
binformat::Header recordingHeader(const TraceArray<Integer>& traceChannels, bool blockMode, Long sweepLength,
                                  const StimulusSettings& stimulus, Single sampleInterval);

// The points a continuous recording has taken and not yet written. They go to the file at least once a
// second and when the file is full, which it is at its capacity.
class PendingPoints {
public:
    // A run that starts at `now` (seconds on the clock that `add` and `written` are given).
    PendingPoints(std::int64_t capacity, double now) : m_capacity(capacity), m_lastWrite(now) {}
    // Adds a point: the samples of the recorded traces in order, and its marker word. True when the points
    // are due to be written: the file is full, or a second has passed since they were written last.
    bool add(std::span<const std::int16_t> samples, std::int16_t marker, double now);
    bool full() const { return m_taken >= m_capacity; }
    std::int64_t taken() const { return m_taken; }
    const std::vector<std::int16_t>& samples() const { return m_samples; }
    const std::vector<std::int16_t>& markers() const { return m_markers; }
    // They are in the file (or could not be written): the next second starts now.
    void written(double now);

private:
    std::int64_t m_capacity;
    double m_lastWrite;
    std::int64_t m_taken = 0;
    std::vector<std::int16_t> m_samples;
    std::vector<std::int16_t> m_markers;
};

// Paces points on a monotonic clock: point n of a run is due `n` intervals after the run started, so the
// points taken follow the rate whatever the resolution of the timer that wakes the loop.
class PointPacer {
public:
    void start(double now, double interval);
    // A new interval counts from the last point taken.
    void setInterval(double interval);
    bool isDue(double now) const { return now >= m_base + static_cast<double>(m_taken) * m_interval; }
    void take() { ++m_taken; }
    double interval() const { return m_interval; }

private:
    double m_base = 0;
    double m_interval = 1;
    std::int64_t m_taken = 0; // points taken since m_base
};

} // namespace trazel
