#include "ui/pixel_line.h"

#include <algorithm>
#include <cmath>

namespace trazel {

namespace {

struct Segment {
    double x1, y1, x2, y2;
};

// Liang-Barsky: cuts the segment to [0, width) x [0, height); false when nothing of it is left.
bool clipToCanvas(Segment& s, int width, int height) {
    const auto inside = [&](double x, double y) { return x >= 0 && x < width && y >= 0 && y < height; };
    if (inside(s.x1, s.y1) && inside(s.x2, s.y2)) {
        return true; // the common case, without a division
    }
    constexpr double Inside = 1e-9; // keeps the far edge in the last pixel
    const double dx = s.x2 - s.x1;
    const double dy = s.y2 - s.y1;
    double enter = 0;
    double leave = 1;
    const double p[4] = {-dx, dx, -dy, dy};
    const double q[4] = {s.x1, width - Inside - s.x1, s.y1, height - Inside - s.y1};
    for (int i = 0; i < 4; ++i) {
        if (p[i] == 0) {
            if (q[i] < 0) {
                return false;
            }
            continue;
        }
        const double t = q[i] / p[i];
        if (p[i] < 0) {
            enter = std::max(enter, t);
        } else {
            leave = std::min(leave, t);
        }
    }
    if (enter > leave) {
        return false;
    }
    s = {s.x1 + enter * dx, s.y1 + enter * dy, s.x1 + leave * dx, s.y1 + leave * dy};
    return true;
}

// A clipped coordinate is not negative (but for a rounding error, which the clamp takes back): cutting off
// the fraction is its floor, without the library call.
int pixelIndex(double v, int size) {
    return std::clamp(static_cast<int>(v), 0, size - 1);
}

} // namespace

std::optional<PixelSpan> drawPixelLine(const PixelCanvas& canvas, double x1, double y1, double x2, double y2,
                                       std::uint32_t colour, PixelOp op) {
    Segment s{x1, y1, x2, y2};
    if (canvas.width <= 0 || canvas.height <= 0 || !clipToCanvas(s, canvas.width, canvas.height)) {
        return std::nullopt;
    }
    const int px1 = pixelIndex(s.x1, canvas.width);
    const int py1 = pixelIndex(s.y1, canvas.height);
    const int px2 = pixelIndex(s.x2, canvas.width);
    const int py2 = pixelIndex(s.y2, canvas.height);
    if (op == PixelOp::Xor) {
        pixel_line_detail::bresenham<PixelOp::Xor>(canvas, px1, py1, px2, py2, colour);
    } else {
        pixel_line_detail::bresenham<PixelOp::Copy>(canvas, px1, py1, px2, py2, colour);
    }
    return PixelSpan{std::min(px1, px2), std::min(py1, py2), std::max(px1, px2), std::max(py1, py2)};
}

} // namespace trazel
