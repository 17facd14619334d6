#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

namespace trazel {

// A 32-bit pixel buffer: row y starts at pixels + y * stride.
struct PixelCanvas {
    std::uint32_t* pixels;
    int width;
    int height;
    std::ptrdiff_t stride; // in pixels
};

enum class PixelOp { Copy, Xor };

// Pixels x0..x1, y0..y1, both ends included.
struct PixelSpan {
    int x0, y0, x1, y1;
};

// A one-pixel line between two points in pixel coordinates, where pixel (i, j) covers [i, i + 1) x [j, j +
// 1). Both end pixels are set and every pixel once, so a line xor-ed twice leaves the canvas as it was. The
// part outside the canvas is cut off; the pixels touched come back, nothing when the line misses the canvas.
// Short segments by the million make the overplot view: this costs a few nanoseconds each, the general
// painter a few hundred.
std::optional<PixelSpan> drawPixelLine(const PixelCanvas& canvas, double x1, double y1, double x2, double y2,
                                       std::uint32_t colour, PixelOp op);

} // namespace trazel
