#include "support/drawing_log.h"
#include "ui/plot_surface.h"
#include "ui/qt_colour.h"

#include <QSignalSpy>
#include <QTest>
#include <cmath>
#include <gtest/gtest.h>
#include <tuple>

namespace trazel {
namespace {

constexpr Colour Blue = rgb(0, 0, 255);
constexpr Colour White = rgb(255, 255, 255);
constexpr Colour Yellow = rgb(255, 255, 0);

class Surface : public ::testing::Test {
protected:
    Surface() {
        disp.resize(400, 300);
        disp.show();
        disp.Scale(-12.5, 10, 87.5, -10);
        disp.Cls();
    }
    Colour pixel(int x, int y) const { return fromQColor(disp.Image().pixelColor(x, y)); }

    testing::LoggedSurface disp;
};

std::array<double, 4> scaleOf(const PlotSurface& disp) {
    return {disp.ScaleLeft(), disp.ScaleTop(), disp.ScaleWidth(), disp.ScaleHeight()};
}

TEST_F(Surface, StartsBlueWithAWhitePenAndMapsTheUserScaleOntoThePixels) {
    EXPECT_EQ(PlotSurface().BackColor(), Blue);
    EXPECT_EQ(PlotSurface().ForeColor(), White);
    EXPECT_EQ(disp.toPixels(0, 10), QPointF(0.125 * 400, 0))
        << "x = 0 lies 12.5 % from the left, y grows upwards";
    EXPECT_EQ(disp.toPixels(87.5, -10), QPointF(400, 300));
    disp.Line(0, 10, 0, -10, Yellow);
    EXPECT_EQ(pixel(50, 150), Yellow);
    EXPECT_EQ(pixel(40, 150), Blue);

    disp.setScaleMode(ScaleMode::Pixels);
    EXPECT_EQ(scaleOf(disp), (std::array<double, 4>{0, 0, 400, 300}));
    disp.setScaleMode(ScaleMode::User);
    EXPECT_EQ(scaleOf(disp), (std::array<double, 4>{0, 0, 400, 300})) << "user keeps the last scale";
}

TEST_F(Surface, InvertDrawingTwiceRestoresEveryPixel) {
    disp.Line(-10, 5, 80, -5, Yellow);
    disp.Box(5, 5, 30, -5, rgb(200, 30, 60));
    disp.setCurrentX(10);
    disp.setCurrentY(8);
    disp.Print(QStringLiteral("1000"));
    const QImage before = disp.Image();

    disp.setDrawMode(DrawMode::Invert);
    disp.Line(20, 10, 20, -10);
    const QImage once = disp.Image();
    EXPECT_NE(once, before);
    const QPoint onLine = disp.toPixels(20, 0).toPoint();
    EXPECT_EQ(fromQColor(once.pixelColor(onLine)), rgb(255, 255, 0)) << "blue inverts to yellow";
    disp.Line(20, 10, 20, -10);
    EXPECT_EQ(disp.Image(), before);

    disp.Box(0, 6, 60, -6);
    disp.Box(0, 6, 60, -6);
    EXPECT_EQ(disp.Image(), before) << "an inverted box undoes itself, corners included";
}

TEST_F(Surface, LogsWhatIsDrawnInUserCoordinatesUntilCleared) {
    disp.setForeColor(Yellow);
    disp.Line(1, 2, 3, 4);
    disp.Line(5, 6, 7, 8, White);
    disp.setDrawMode(DrawMode::Invert);
    disp.Box(0, 1, 2, 3);
    disp.setDrawMode(DrawMode::CopyPen);
    disp.setCurrentX(10);
    disp.setCurrentY(5);
    disp.Print(QStringLiteral("label"));
    const auto log = disp.drawingLog();
    ASSERT_EQ(log.size(), 4U);
    EXPECT_EQ(std::pair(log[0].kind, testing::corners(log[0])),
              std::pair(DrawnFigure::Kind::Line, std::array<double, 4>{1, 2, 3, 4}));
    EXPECT_EQ((std::array{log[0].colour, log[1].colour, log[3].colour}), (std::array{Yellow, White, Yellow}))
        << "the pen unless a colour is given";
    EXPECT_EQ(std::pair(log[2].kind, log[2].mode), std::pair(DrawnFigure::Kind::Box, DrawMode::Invert));
    EXPECT_EQ(std::tuple(log[3].kind, log[3].text, log[3].x1, log[3].y1),
              std::tuple(DrawnFigure::Kind::Text, QStringLiteral("label"), 10.0, 5.0));

    disp.setBackColor(rgb(10, 20, 30));
    disp.Cls();
    EXPECT_TRUE(disp.drawingLog().empty());
    EXPECT_EQ(pixel(200, 150), rgb(10, 20, 30));
    EXPECT_EQ(std::pair(disp.CurrentX(), disp.CurrentY()), std::pair(-12.5, 10.0)) << "back at the top left";
}

// Curves placed a run at a time draw the picture and log of their lines drawn one by one, across the
// curves point after point: one leaving the canvas on every side and through points that are not numbers,
// one within it; copied, and then inverted (each line's ends inverted once per line).
TEST_F(Surface, PensDrawTheLinesOfTheirPlacedCurvesAsLineDoesOneByOne) {
    const std::vector<double> wild = {-30, 5, NAN, 8, 1e300, -1e300, 9, -9, 30, 2, INFINITY, 3, 0};
    const std::vector<double> calm = {1, -1, 2, -2, 3, -3, 4, -4, 5, -5, 6, -6, 7};
    testing::LoggedSurface ref;
    ref.resize(disp.size());
    ref.show();
    ref.Scale(-12.5, 10, 87.5, -10);
    for (const DrawMode mode : {DrawMode::CopyPen, DrawMode::Invert}) {
        for (PlotSurface* plot : {static_cast<PlotSurface*>(&disp), static_cast<PlotSurface*>(&ref)}) {
            plot->Cls();
            plot->setDrawMode(mode);
        }
        {
            PlotSurface::LinePen yellow = disp.linePen(Yellow);
            PlotSurface::LinePen white = disp.linePen(White);
            yellow.placePoints(-14, wild);
            white.placePoints(30, std::span(calm).first(9));
            const std::array pens{&yellow, &white};
            PlotSurface::LinePen::linesAcross(pens);
        }
        for (std::size_t i = 1; i < wild.size(); ++i) {
            const double x = -14 + static_cast<double>(i);
            ref.Line(x - 1, wild[i - 1], x, wild[i], Yellow);
            if (i < 9) {
                ref.Line(29 + static_cast<double>(i), calm[i - 1], 30 + static_cast<double>(i), calm[i],
                         White);
            }
        }
        EXPECT_EQ(disp.Image(), ref.Image());
        QImage blank = disp.Image();
        blank.fill(toQColor(Blue));
        EXPECT_NE(disp.Image(), blank) << "something is drawn";
        ASSERT_EQ(disp.drawingLog().size(), ref.drawingLog().size());
        for (std::size_t i = 0; i < ref.drawingLog().size(); ++i) {
            EXPECT_EQ(disp.drawingLog()[i].colour, ref.drawingLog()[i].colour) << "line " << i;
        }
    }
}

TEST_F(Surface, ReportsMouseEventsInUserCoordinates) {
    QSignalSpy down(&disp, &PlotSurface::MouseDown);
    QSignalSpy move(&disp, &PlotSurface::MouseMove);
    QTest::mousePress(&disp, Qt::LeftButton, Qt::ShiftModifier, QPoint(50, 150));
    QTest::mousePress(&disp, Qt::RightButton, Qt::NoModifier, QPoint(200, 0));
    QTest::mouseMove(&disp, QPoint(100, 75));
    ASSERT_EQ(down.count(), 2);
    ASSERT_GE(move.count(), 1);
    // Button, shift state (1: shift), x and y.
    EXPECT_EQ(down[0], QVariantList({LeftButton, 1, 0.0, 0.0}));
    EXPECT_EQ(down[1], QVariantList({RightButton, 0, 37.5, 10.0}));
    EXPECT_EQ(move.last().mid(2), QVariantList({12.5, 5.0}));
}

} // namespace
} // namespace trazel
