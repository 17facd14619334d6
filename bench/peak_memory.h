#pragma once

#include <sys/resource.h>

namespace trazel {

// The most memory the process has held so far, in KiB.
inline long peakResidentKiB() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

} // namespace trazel
