#pragma once

#include "files/signal_file.h"
#include "harness.h"

#include <vector>

// What the readers must make of a file, worked out from its bytes apart from the readers' own code.
namespace trazel::fuzz {

// Whether a recorded file can be shown, given the answer to the channel question of a headerless file:
// a versioned file with 1 to 3 channels, a positive interval and, in block data, 1 to SampleCount points
// per sweep; a headerless one with an answer of 1 to 3 channels and a positive interval.
bool binFileIsShown(Input file, const QString& channelAnswer);
// The records of the file in the data arrays, word for word.
void requireBinValues(const AppState& s, Input file);

// Whether a Labtech file can be shown with these answers: 1 or 2 channels, and a frequency whose interval
// keeps the time base within single precision.
bool prnFileIsShown(std::size_t fileLength, const QString& channelAnswer, const QString& frequencyAnswer);
// 100 times the file's values in the data arrays, no markers.
void requirePrnValues(const AppState& s, Input file);

// The events placed on the points of the first signal and marked as the window does: every event on
// points within the data.
void requireEventsOnPoints(const std::vector<SignalEvent>& events, const std::vector<SignalInfo>& infos);

} // namespace trazel::fuzz
