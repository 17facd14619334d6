#include "acquisition/recording_rules.h"

#include "core/number_rules.h"

#include <algorithm>

namespace trazel {

std::string proposedRecordingName(const std::vector<std::string>& matchingNames) {
    double largest = 0;
    for (const std::string& name : matchingNames) {
        if (name.size() >= 6) {
            largest = std::max(largest, leadingNumber(std::string_view(name).substr(name.size() - 6, 2)));
        }
    }
    return "data" + formatNumber(largest + 1, "0#") + ".bin";
}

std::vector<std::int64_t> stimulusPoints(int delayMs, int intervalMs, int count, Single sampleInterval,
                                         std::int64_t lastPoint) {
    const double perMs = 1 / (static_cast<double>(sampleInterval) * 1000);
    std::vector<std::int64_t> points;
    for (int k = 0; k < std::max(count, 1); ++k) {
        const double at = (static_cast<double>(intervalMs) * k + delayMs) * perMs;
        if (at >= 0 && at <= static_cast<double>(lastPoint)) {
            points.push_back(toLong(at));
        }
    }
    return points;
}

std::int64_t recordCapacity(int channelCount, Single fileLength, Single sampleInterval) {
    const int recordWords = channelCount + 1;
    return toLong(recordWords * static_cast<double>(fileLength) / sampleInterval) / recordWords;
}

binformat::Header recordingHeader(const TraceArray<Integer>& traceChannels, bool blockMode, Long sweepLength,
                                  const StimulusSettings& stimulus, Single sampleInterval) {
    binformat::Header header;
    header.channelCount = 0;
    for (int t = 1; t <= TraceCount; ++t) {
        header.traceChannels[static_cast<std::size_t>(t - 1)] = traceChannels(t);
        header.channelCount = static_cast<std::int16_t>(header.channelCount + (traceChannels(t) > 0 ? 1 : 0));
    }
    header.blockFlag = blockMode ? -1 : 0;
    header.pointsPerSweep = sweepLength;
    header.stimDelay = stimulus.delay;
    header.stimCount = stimulus.count;
    header.stimInterval = stimulus.interval;
    header.sampleIntervalUs = toLong(static_cast<double>(sampleInterval) * 1000 * 1000);
    return header;
}

bool PendingPoints::add(std::span<const std::int16_t> samples, std::int16_t marker, double now) {
    m_samples.insert(m_samples.end(), samples.begin(), samples.end());
    m_markers.push_back(marker);
    ++m_taken;
    return full() || now - m_lastWrite >= WriteEverySeconds;
}

void PendingPoints::written(double now) {
    m_lastWrite = now;
    m_samples.clear();
    m_markers.clear();
}

void PointPacer::start(double now, double interval) {
    m_base = now;
    m_interval = interval;
    m_taken = 0;
}

void PointPacer::setInterval(double interval) {
    if (interval != m_interval && m_taken > 0) {
        m_base += static_cast<double>(m_taken - 1) * m_interval;
        m_taken = 1;
    }
    m_interval = interval;
}

} // namespace trazel
