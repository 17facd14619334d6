#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
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

namespace pixel_line_detail {

template <PixelOp Op> void put(std::uint32_t& pixel, std::uint32_t colour) {
    if constexpr (Op == PixelOp::Xor) {
        pixel ^= colour;
    } else {
        pixel = colour;
    }
}

enum class FirstPixel { Draw, Drawn };

// Bresenham's line, all octants in one error term e = dx + dy (dy negative): at each pixel x steps when
// 2e >= dy and y steps when 2e <= dx. The longer axis steps at every pixel (e stays within half a step of
// the other axis' bound), so the line has max(dx, -dy) + 1 pixels. The steps are masks, not branches: a
// curve's short lines go every way, which no branch predictor guesses.
template <PixelOp Op, FirstPixel First = FirstPixel::Draw>
void bresenham(const PixelCanvas& canvas, int x0, int y0, int x1, int y1, std::uint32_t colour) {
    const int dx = std::abs(x1 - x0);
    const int dy = -std::abs(y1 - y0);
    const std::ptrdiff_t sx = x0 < x1 ? 1 : -1;
    const std::ptrdiff_t sy = y0 < y1 ? canvas.stride : -canvas.stride;
    std::uint32_t* pixel = canvas.pixels + y0 * canvas.stride + x0;
    if constexpr (First == FirstPixel::Draw) {
        put<Op>(*pixel, colour);
    }
    int error = dx + dy;
    for (int left = std::max(dx, -dy); left > 0; --left) {
        const int twice = 2 * error;
        const int stepX = -static_cast<int>(twice >= dy); // all bits set when x steps
        const int stepY = -static_cast<int>(twice <= dx);
        error += (dy & stepX) + (dx & stepY);
        pixel += (sx & stepX) + (sy & stepY);
        put<Op>(*pixel, colour);
    }
}

// A line of a copied curve after its first pixel, which the line before has set. A dense curve's lines are
// mostly at most one column wide and a few rows high: there pixel k of the n after the first lies k rows
// on, in the far column from past the middle of the rows (where Bresenham's error first asks for the step
// across), and four stores, from the n-th on all at the end, set them with no branch on the length.
inline void copiedLineAfterFirst(const PixelCanvas& canvas, int x0, int y0, int x1, int y1,
                                 std::uint32_t colour) {
    constexpr int Short = 4; // the stores below
    const int run = std::abs(x1 - x0);
    const int rise = std::abs(y1 - y0);
    if (run > 1 || rise > Short) {
        bresenham<PixelOp::Copy, FirstPixel::Drawn>(canvas, x0, y0, x1, y1, colour);
        return;
    }
    const int steps = std::max(run, rise);
    const std::ptrdiff_t down = y0 < y1 ? canvas.stride : -canvas.stride;
    const std::ptrdiff_t start = y0 * canvas.stride + x0;
    const std::ptrdiff_t end = y1 * canvas.stride + x1;
    const int middle = (rise - 1) / 2;
    // Masks, not conditions, which the compiler would turn back into branches.
    const auto set = [&](int k) {
        const std::ptrdiff_t across = (x1 - x0) & -static_cast<std::ptrdiff_t>(k > middle);
        const std::ptrdiff_t past = -static_cast<std::ptrdiff_t>(k >= steps);
        canvas.pixels[((start + k * down + across) & ~past) | (end & past)] = colour;
    };
    set(1);
    set(2);
    set(3);
    set(4);
}

} // namespace pixel_line_detail

// The lines between successive pixels on the canvas, (columns[i - 1], rows[i - 1]) to (columns[i], rows[i])
// for i = from .. to - 1, as drawPixelLine draws lines between points in them: the way for curves known to
// stay on the canvas, without the clipping. Inline, as curves of a million lines call it.
template <PixelOp Op>
void drawPixelLinesWithin(PixelCanvas canvas, const int* columns, const int* rows, std::size_t from,
                          std::size_t to, std::uint32_t colour) {
    for (std::size_t i = from; i < to; ++i) {
        pixel_line_detail::bresenham<Op>(canvas, columns[i - 1], rows[i - 1], columns[i], rows[i], colour);
    }
}

// A curve through pixels on the canvas, copied in one colour: the pixels of the lines between
// (columns[i - 1], rows[i - 1]) and (columns[i], rows[i]) for i = 1 .. count - 1, each shared end set once.
inline void drawPixelCurveWithin(PixelCanvas canvas, const int* columns, const int* rows, std::size_t count,
                                 std::uint32_t colour) {
    if (count > 0) {
        canvas.pixels[rows[0] * canvas.stride + columns[0]] = colour;
    }
    for (std::size_t i = 1; i < count; ++i) {
        const int x0 = columns[i - 1], y0 = rows[i - 1], x1 = columns[i], y1 = rows[i];
        // Most lines of a dense curve step to a neighbouring pixel, which is their end alone.
        if (std::abs(x1 - x0) <= 1 && std::abs(y1 - y0) <= 1) {
            canvas.pixels[y1 * canvas.stride + x1] = colour;
        } else {
            pixel_line_detail::copiedLineAfterFirst(canvas, x0, y0, x1, y1, colour);
        }
    }
}

} // namespace trazel
