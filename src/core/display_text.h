#pragma once

#include "core/number_rules.h"

#include <QString>
#include <string>
#include <string_view>

namespace trazel {

inline QString qtext(const std::string& text) {
    return QString::fromStdString(text);
}

// A number as the controls and the plot show it, in one of the display patterns.
inline QString displayText(double value, std::string_view pattern) {
    return qtext(formatNumber(value, pattern));
}

} // namespace trazel
