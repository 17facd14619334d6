#pragma once

#include <Qt>

namespace trazel {

// Mouse button codes of the mouse events the handlers see: 1 left, 2 right, added when both are held.
constexpr int LeftButton = 1;
constexpr int RightButton = 2;

constexpr int buttonState(Qt::MouseButtons buttons) {
    return (buttons & Qt::LeftButton ? LeftButton : 0) | (buttons & Qt::RightButton ? RightButton : 0);
}

} // namespace trazel
