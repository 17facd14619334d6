#include "support/drawing_log.h"
#include "ui/plot_surface.h"
#include "ui/qt_colour.h"

#include <QLabel>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

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

    PlotSurface disp;
};

TEST_F(Surface, StartsBlueWithAWhitePen) {
    PlotSurface fresh;
    EXPECT_EQ(fresh.BackColor(), Blue);
    EXPECT_EQ(fresh.ForeColor(), White);
}

TEST_F(Surface, MapsTheUserScaleOntoThePixels) {
    EXPECT_DOUBLE_EQ(disp.toPixels(0, 0).x(), 0.125 * 400) << "x = 0 lies 12.5 % from the left";
    EXPECT_DOUBLE_EQ(disp.toPixels(87.5, -10).x(), 400);
    EXPECT_DOUBLE_EQ(disp.toPixels(0, 10).y(), 0) << "y grows upwards with a negative height";
    EXPECT_DOUBLE_EQ(disp.toPixels(0, -10).y(), 300);
    disp.Line(0, 10, 0, -10, Yellow);
    EXPECT_EQ(pixel(50, 150), Yellow);
    EXPECT_EQ(pixel(40, 150), Blue);
}

TEST_F(Surface, ScaleModesReplaceTheScaleByTheSurfaceSize) {
    disp.setScaleMode(ScaleMode::Pixels);
    EXPECT_DOUBLE_EQ(disp.ScaleLeft(), 0);
    EXPECT_DOUBLE_EQ(disp.ScaleTop(), 0);
    EXPECT_DOUBLE_EQ(disp.ScaleWidth(), 400);
    EXPECT_DOUBLE_EQ(disp.ScaleHeight(), 300);
    disp.setScaleMode(ScaleMode::Twips);
    EXPECT_DOUBLE_EQ(disp.ScaleWidth(), 400 * 1440.0 / disp.logicalDpiX());
    EXPECT_DOUBLE_EQ(disp.ScaleHeight(), 300 * 1440.0 / disp.logicalDpiY());
    disp.setScaleMode(ScaleMode::User);
    EXPECT_DOUBLE_EQ(disp.ScaleWidth(), 400 * 1440.0 / disp.logicalDpiX()) << "user keeps the last scale";
    disp.setScaleWidth(250);
    EXPECT_DOUBLE_EQ(disp.ScaleWidth(), 250);
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

TEST_F(Surface, ClearingFillsTheBackgroundAndEmptiesTheLog) {
    disp.Line(0, 0, 50, 5);
    disp.setCurrentX(40);
    EXPECT_EQ(disp.drawingLog().size(), 1U);
    disp.setBackColor(rgb(10, 20, 30));
    disp.Cls();
    EXPECT_TRUE(disp.drawingLog().empty());
    EXPECT_EQ(pixel(200, 150), rgb(10, 20, 30));
    EXPECT_DOUBLE_EQ(disp.CurrentX(), -12.5);
    EXPECT_DOUBLE_EQ(disp.CurrentY(), 10);
}

TEST_F(Surface, LogsWhatIsDrawnInUserCoordinates) {
    disp.setForeColor(Yellow);
    disp.Line(1, 2, 3, 4);
    disp.Line(5, 6, 7, 8, White);
    disp.setDrawMode(DrawMode::Invert);
    disp.Box(0, 1, 2, 3);
    disp.setDrawMode(DrawMode::CopyPen);
    disp.setCurrentX(10);
    disp.setCurrentY(5);
    disp.Print(QStringLiteral("label"));
    const auto& log = disp.drawingLog();
    ASSERT_EQ(log.size(), 4U);
    EXPECT_EQ(log[0].kind, DrawnFigure::Kind::Line);
    EXPECT_EQ(log[0].colour, Yellow);
    EXPECT_DOUBLE_EQ(log[0].x2, 3);
    EXPECT_EQ(log[1].colour, White);
    EXPECT_EQ(log[2].kind, DrawnFigure::Kind::Box);
    EXPECT_EQ(log[2].mode, DrawMode::Invert);
    EXPECT_EQ(log[3].kind, DrawnFigure::Kind::Text);
    EXPECT_EQ(log[3].text, "label");
    EXPECT_EQ(log[3].colour, Yellow);
    EXPECT_DOUBLE_EQ(log[3].x1, 10);
    EXPECT_DOUBLE_EQ(log[3].y1, 5);
}

TEST_F(Surface, MeasuresTextInUserUnits) {
    const QString text = QStringLiteral("-1000");
    const QFontMetrics metrics = disp.fontMetrics();
    EXPECT_DOUBLE_EQ(disp.TextWidth(text), metrics.horizontalAdvance(text) * 100.0 / 400);
    EXPECT_DOUBLE_EQ(disp.TextHeight(text), metrics.height() * -20.0 / 300)
        << "negative with an upward scale";
    disp.setCurrentX(0);
    disp.setCurrentY(0);
    disp.Print(text);
    EXPECT_DOUBLE_EQ(disp.CurrentY(), disp.TextHeight(text)) << "print moves to the next line";
    EXPECT_DOUBLE_EQ(disp.CurrentX(), -12.5);
}

TEST_F(Surface, ReportsMouseEventsInUserCoordinates) {
    QSignalSpy down(&disp, &PlotSurface::MouseDown);
    QSignalSpy move(&disp, &PlotSurface::MouseMove);
    QTest::mousePress(&disp, Qt::LeftButton, Qt::ShiftModifier, QPoint(50, 150));
    QTest::mousePress(&disp, Qt::RightButton, Qt::NoModifier, QPoint(200, 0));
    ASSERT_EQ(down.count(), 2);
    EXPECT_EQ(down[0][0].toInt(), LeftButton);
    EXPECT_EQ(down[0][1].toInt(), 1) << "shift";
    EXPECT_DOUBLE_EQ(down[0][2].toDouble(), 0);
    EXPECT_DOUBLE_EQ(down[0][3].toDouble(), 0);
    EXPECT_EQ(down[1][0].toInt(), RightButton);
    EXPECT_DOUBLE_EQ(down[1][2].toDouble(), 37.5);
    EXPECT_DOUBLE_EQ(down[1][3].toDouble(), 10);
    QTest::mouseMove(&disp, QPoint(100, 75));
    ASSERT_GE(move.count(), 1);
    EXPECT_DOUBLE_EQ(move.last()[2].toDouble(), 12.5);
    EXPECT_DOUBLE_EQ(move.last()[3].toDouble(), 5);
}

TEST_F(Surface, ResizingBlanksTheImageAndAsksForARedraw) {
    QSignalSpy resized(&disp, &PlotSurface::Resized);
    disp.Line(0, 0, 10, 10);
    disp.resize(500, 320);
    EXPECT_EQ(resized.count(), 1);
    EXPECT_EQ(disp.Image().size(), QSize(500, 320));
    EXPECT_TRUE(disp.drawingLog().empty());
    EXPECT_DOUBLE_EQ(disp.ScaleWidth(), 100) << "the user scale survives a resize";
}

} // namespace
} // namespace trazel
