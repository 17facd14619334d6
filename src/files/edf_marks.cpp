#include "files/edf_marks.h"

#include <algorithm>
#include <cmath>

namespace trazel {

namespace {

std::int64_t pointAt(double seconds, double rate, std::int64_t count) {
    const double point = std::round(seconds * rate);
    if (!(point >= 0) || count <= 0) {
        return 0; // also NaN
    }
    return point >= static_cast<double>(count - 1) ? count - 1 : static_cast<std::int64_t>(point);
}

} // namespace

std::vector<OfferedSignal> offeredSignals(const std::vector<SignalInfo>& signalList) {
    std::vector<OfferedSignal> offered;
    for (std::size_t i = 0; i < signalList.size(); ++i) {
        const SignalInfo& signal = signalList[i];
        if (!signal.trigger) {
            offered.push_back({static_cast<int>(i), signal.label, signal.unit, signal.rate});
        }
    }
    return offered;
}

std::vector<int> preselectedSignals(const std::vector<OfferedSignal>& offered) {
    std::vector<int> chosen;
    for (std::size_t i = 0; i < offered.size() && chosen.size() < MaxChosenSignals; ++i) {
        if (offered[i].rate == offered[0].rate) {
            chosen.push_back(static_cast<int>(i));
        }
    }
    return chosen;
}

bool needsSignalChoice(const std::vector<OfferedSignal>& offered) {
    return offered.size() > MaxChosenSignals ||
           std::ranges::any_of(offered, [&](const OfferedSignal& s) { return s.rate != offered[0].rate; });
}

bool isValidSignalChoice(const std::vector<OfferedSignal>& offered, const std::vector<int>& chosen) {
    if (chosen.empty() || chosen.size() > MaxChosenSignals) {
        return false;
    }
    for (std::size_t i = 0; i < chosen.size(); ++i) {
        if (chosen[i] < 0 || static_cast<std::size_t>(chosen[i]) >= offered.size() ||
            std::count(chosen.begin(), chosen.end(), chosen[i]) != 1 ||
            offered[static_cast<std::size_t>(chosen[i])].rate !=
                offered[static_cast<std::size_t>(chosen[0])].rate) {
            return false;
        }
    }
    return true;
}

std::vector<FileEvent> placeEvents(const std::vector<SignalEvent>& events, double rate, std::int64_t count) {
    std::vector<FileEvent> placed;
    placed.reserve(events.size());
    for (const SignalEvent& event : events) {
        FileEvent p{0, 0, event.onset, event.duration, event.text};
        p.first = p.last = pointAt(event.onset, rate, count);
        if (event.duration > 0) {
            p.last = std::max(p.first, pointAt(event.onset + event.duration, rate, count + 1) - 1);
        }
        placed.push_back(std::move(p));
    }
    return placed;
}

void markEvents(std::span<const FileEvent> events, std::span<Integer> markers) {
    const auto count = static_cast<std::int64_t>(markers.size());
    for (const FileEvent& event : events) {
        if (event.duration > 0) {
            for (std::int64_t i = event.first; i <= event.last && i < count; ++i) {
                markers[static_cast<std::size_t>(i)] = MarkerOn;
            }
        }
    }
    for (const FileEvent& event : events) {
        if (!(event.duration > 0) && event.first < count) {
            markers[static_cast<std::size_t>(event.first)] = MarkerStimulus;
        }
    }
}

std::string sweepText(std::int64_t k) {
    return "Sweep " + std::to_string(k);
}

std::optional<std::int64_t> takeSweeps(std::vector<FileEvent>& events, std::int64_t count) {
    std::vector<std::int64_t> starts;
    for (const FileEvent& event : events) {
        if (event.text == sweepText(static_cast<std::int64_t>(starts.size()) + 1) && event.duration < 0) {
            starts.push_back(event.first);
        }
    }
    if (starts.empty() || starts[0] != 0) {
        return std::nullopt;
    }
    const auto n = static_cast<std::int64_t>(starts.size());
    const std::int64_t length = n == 1 ? count : starts[1];
    for (std::int64_t k = 0; k < n; ++k) {
        if (length < 1 || starts[static_cast<std::size_t>(k)] != k * length) {
            return std::nullopt;
        }
    }
    if (!((n - 1) * length < count && count <= n * length)) {
        return std::nullopt;
    }
    std::int64_t next = 1;
    std::erase_if(events, [&](const FileEvent& event) {
        if (next <= n && event.text == sweepText(next) && event.duration < 0) {
            ++next;
            return true;
        }
        return false;
    });
    return length;
}

std::optional<EdfMarks> marksOf(SignalFile& file, double rate, std::int64_t count, std::string& error) {
    error.clear();
    std::vector<SignalEvent> events = file.events(error);
    if (!error.empty()) {
        return std::nullopt;
    }
    EdfMarks marks{placeEvents(events, rate, count)};
    marks.sweepLength =
        file.sweepLength() > 0 ? file.sweepLength() : takeSweeps(marks.events, count).value_or(-1);
    return marks;
}

} // namespace trazel
