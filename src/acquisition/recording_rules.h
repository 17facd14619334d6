#pragma once

#include "core/app_state.h"

#include <cstdint>
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
