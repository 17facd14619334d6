#include "ui/pixel_line.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <gtest/gtest.h>
#include <vector>

namespace trazel {
namespace {

constexpr std::uint32_t Background = 0xFF0000FF;
constexpr std::uint32_t Ink = 0xFFFFFF00;

// A 20 x 10 canvas inside a buffer with a guard column on the right, which no line may touch.
struct Canvas {
    static constexpr int Width = 20;
    static constexpr int Height = 10;
    static constexpr int Stride = Width + 1;
    std::vector<std::uint32_t> pixels = std::vector<std::uint32_t>(Stride * Height, Background);
    PixelCanvas view() { return {pixels.data(), Width, Height, Stride}; }
    std::uint32_t at(int x, int y) const { return pixels[static_cast<std::size_t>(y * Stride + x)]; }
    long inked() const { return std::count(pixels.begin(), pixels.end(), Ink); }
};

struct LineCase {
    const char* name;
    double x1, y1, x2, y2;
    long pixels; // how many are set
    std::optional<PixelSpan> span;
};

class PixelLine : public ::testing::TestWithParam<LineCase> {};

TEST_P(PixelLine, SetsEachPixelOfTheLineOnceAndStaysOnTheCanvas) {
    const LineCase& c = GetParam();
    Canvas canvas;
    const auto span = drawPixelLine(canvas.view(), c.x1, c.y1, c.x2, c.y2, Ink, PixelOp::Copy);
    EXPECT_EQ(canvas.inked(), c.pixels);
    ASSERT_EQ(span.has_value(), c.span.has_value());
    if (span) {
        EXPECT_EQ((std::array{span->x0, span->y0, span->x1, span->y1}),
                  (std::array{c.span->x0, c.span->y0, c.span->x1, c.span->y1}));
    }
    EXPECT_EQ(std::ranges::count(canvas.pixels, Background), Canvas::Stride * Canvas::Height - c.pixels)
        << "no pixel beside the line, none in the guard column";
}

INSTANTIATE_TEST_SUITE_P(
    Lines, PixelLine,
    ::testing::Values(LineCase{"Point", 3.5, 4.2, 3.9, 4.8, 1, PixelSpan{3, 4, 3, 4}},
                      LineCase{"Horizontal", 2, 5, 12.7, 5.3, 11, PixelSpan{2, 5, 12, 5}},
                      LineCase{"VerticalUpwards", 7, 9, 7, 0, 10, PixelSpan{7, 0, 7, 9}},
                      LineCase{"Diagonal", 0, 0, 9, 9, 10, PixelSpan{0, 0, 9, 9}},
                      LineCase{"SteepLeftwards", 10, 1, 6, 9, 9, PixelSpan{6, 1, 10, 9}},
                      LineCase{"CutAtTheRightEdge", 15, 2, 40, 2, 5, PixelSpan{15, 2, 19, 2}},
                      LineCase{"CutAtBothEnds", -1e6, 3, 1e6, 3, 20, PixelSpan{0, 3, 19, 3}},
                      LineCase{"FarEdgeIsOutside", 0, 10, 19, 10, 0, std::nullopt},
                      LineCase{"WhollyAbove", -5, -1, 30, -0.5, 0, std::nullopt},
                      LineCase{"PastTheCorner", 15, -10, 30, 5, 0, std::nullopt}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(PixelLineOps, XorTwiceLeavesTheCanvasAsItWasAndAnEmptyCanvasTakesNothing) {
    Canvas canvas;
    canvas.pixels[5 * Canvas::Stride + 5] = 0xFF123456;
    const auto before = canvas.pixels;
    drawPixelLine(canvas.view(), -3, 8.5, 25, 1.5, 0x00FFFFFF, PixelOp::Xor);
    EXPECT_EQ(canvas.at(0, 7), 0xFFFFFF00) << "blue xor white is yellow, the alpha byte kept";
    drawPixelLine(canvas.view(), -3, 8.5, 25, 1.5, 0x00FFFFFF, PixelOp::Xor);
    EXPECT_EQ(canvas.pixels, before);

    EXPECT_FALSE(drawPixelLine(PixelCanvas{nullptr, 0, 0, 0}, 0, 0, 1, 1, Ink, PixelOp::Copy));
}

// The textbook Bresenham with both of its tests at every pixel, which the rasteriser's masked steps and
// the curve's shared ends must match pixel for pixel.
std::vector<std::uint32_t> textbookLines(const std::vector<std::array<int, 2>>& points) {
    Canvas canvas;
    for (std::size_t i = 1; i < points.size(); ++i) {
        auto [x0, y0] = points[i - 1];
        const auto [x1, y1] = points[i];
        const int dx = std::abs(x1 - x0), sx = x0 < x1 ? 1 : -1;
        const int dy = -std::abs(y1 - y0), sy = y0 < y1 ? 1 : -1;
        for (int error = dx + dy;;) {
            canvas.pixels[static_cast<std::size_t>(y0 * Canvas::Stride + x0)] = Ink;
            if (x0 == x1 && y0 == y1) {
                break;
            }
            const int twice = 2 * error;
            if (twice >= dy) {
                error += dy;
                x0 += sx;
            }
            if (twice <= dx) {
                error += dx;
                y0 += sy;
            }
        }
    }
    return canvas.pixels;
}

TEST(PixelLineOps, EveryLineWithinTheCanvasIsTheTextbookLineAndACurveTheUnionOfItsLines) {
    for (int x0 = 0; x0 < Canvas::Width; x0 += 3) {
        for (int y0 = 0; y0 < Canvas::Height; ++y0) {
            for (int x1 = 0; x1 < Canvas::Width; ++x1) {
                for (int y1 = 0; y1 < Canvas::Height; ++y1) {
                    Canvas canvas;
                    drawPixelLine(canvas.view(), x0 + 0.5, y0 + 0.5, x1 + 0.5, y1 + 0.5, Ink, PixelOp::Copy);
                    ASSERT_EQ(canvas.pixels, textbookLines({{x0, y0}, {x1, y1}}))
                        << x0 << "," << y0 << " to " << x1 << "," << y1;
                }
            }
        }
    }
    // A curve of random points, and one of a dense curve's narrow steps: at most a column across and up
    // to six rows, past the edges' clamp.
    for (const int across : {Canvas::Width, 3}) {
        std::vector<std::array<int, 2>> points;
        std::vector<int> columns, rows;
        unsigned walk = 7;
        for (int i = 0; i < 30; ++i) {
            walk = walk * 1103515245U + 12345U;
            const int dx = static_cast<int>(walk >> 8) % across - (across == 3 ? 1 : 0);
            const int dy = static_cast<int>(walk >> 20) % 13 - 6;
            const auto [x, y] = points.empty() ? std::array{0, 0} : points.back();
            points.push_back({across == 3 ? std::clamp(x + dx, 0, Canvas::Width - 1) : dx,
                              std::clamp(y + dy, 0, Canvas::Height - 1)});
            columns.push_back(points.back()[0]);
            rows.push_back(points.back()[1]);
        }
        Canvas canvas;
        drawPixelCurveWithin(canvas.view(), columns.data(), rows.data(), points.size(), Ink);
        EXPECT_EQ(canvas.pixels, textbookLines(points)) << across;
    }
}

} // namespace
} // namespace trazel
