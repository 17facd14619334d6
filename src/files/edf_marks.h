#pragma once

#include "core/app_state.h"
#include "files/signal_file.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

// How a file's signals become traces, and its EDF+ annotations and BDF triggers the program's marks and
// sweeps.
namespace trazel {

// A signal a file offers as a trace (annotation and trigger signals are not).
struct OfferedSignal {
    int index = 0; // in the reader's signal list
    std::string label;
    std::string unit;
    double rate = 0;
};

inline constexpr int MaxChosenSignals = 3;

std::vector<OfferedSignal> offeredSignals(const std::vector<SignalInfo>& signalList);
// The first three of the first rate, as positions in `offered`.
std::vector<int> preselectedSignals(const std::vector<OfferedSignal>& offered);
// More than three signals, or signals of different rates: the user picks.
bool needsSignalChoice(const std::vector<OfferedSignal>& offered);
// 1 to 3 distinct positions in `offered`, all of one rate.
bool isValidSignalChoice(const std::vector<OfferedSignal>& offered, const std::vector<int>& chosen);

// The points each event marks in data of `count` points at `rate`: from the point at its onset, for its
// duration (at least that point); an event outside the data marks the nearest point, so none is lost.
std::vector<FileEvent> placeEvents(const std::vector<SignalEvent>& events, double rate, std::int64_t count);
// Stimulus (200) at the point of an event without duration, marker on (100) over the points of one with.
void markEvents(std::span<const FileEvent> events, std::span<Integer> markers);

// The annotation text that starts sweep k (1-based) of exported block data.
std::string sweepText(std::int64_t k);
// The points per sweep of a file whose events are "Sweep 1", "Sweep 2" … at equal spacing from its
// start, ending within the last sweep: such a file is block data. The sweep events are taken out.
std::optional<std::int64_t> takeSweeps(std::vector<FileEvent>& events, std::int64_t count);

// A file's events on its points, and its sweeps: the file's own, or those "Sweep k" events start (taken out).
struct EdfMarks {
    std::vector<FileEvent> events;
    std::int64_t sweepLength = -1; // points per sweep of block data; -1 continuous
};
// The events of the file placed on `count` points at `rate`; nothing, with the reason, when its events
// cannot be read.
std::optional<EdfMarks> marksOf(SignalFile& file, double rate, std::int64_t count, std::string& error);

} // namespace trazel
