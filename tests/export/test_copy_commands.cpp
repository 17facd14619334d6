#include "support/open_file_fixture.h"
#include "ui/clipboard.h"

namespace trazel::testing {
namespace {

class CopyCommands : public MeasurementTest {
protected:
    std::string copied(int index) {
        window->exports().mnuCopyitem_Click(index);
        return clipboard::text().toStdString();
    }

    // Two traces, three sweeps of four points at 1 ms: trace 1 holds 10 k + i at point i of sweep k (from 0),
    // trace 2 the same negated; a stimulus at point 2 of sweep 3.
    void openTwoTraceBlockFile() {
        std::vector<std::int16_t> samples;
        for (int point = 0; point < 12; ++point) {
            const auto value = static_cast<std::int16_t>(10 * (point / 4) + point % 4);
            samples.insert(samples.end(), {value, static_cast<std::int16_t>(-value)});
        }
        std::vector<std::int16_t> markers(12, 0);
        markers[10] = MarkerStimulus;
        open(files.write("two.bin", versionedFile(recordedHeader(2, {1, 2, 0}, 1000, 4), samples, markers)));
        ASSERT_TRUE(state.DataLoaded);
    }
};

TEST_F(CopyCommands, EmptyTablesGiveEmptyTextsAndNothingElseIsCopiedWithoutData) {
    clipboard::setText("before");
    window->exports().CopyCurvePoints();
    window->exports().mnuCopyitem_Click(0);
    window->exports().mnuCopyitem_Click(6);
    EXPECT_EQ(clipboard::text(), "before");
    for (int index : {2, 3, 4}) {
        clipboard::setText("before");
        EXPECT_EQ(copied(index), "") << "entry " << index;
    }
}

TEST_F(CopyCommands, BlockMeansOfTwoContinuousBlocks) {
    openTwoTraceBlockFile();
    EXPECT_FALSE(window->ui.mnuCopyitem(2)->isEnabled()) << "a block table has no block means";
    openContinuousFile(); // the value of a point is its number; 0.1 s a point
    EXPECT_TRUE(window->ui.mnuCopyitem(2)->isEnabled());
    auto measureRow = [this](double x1, double x2) {
        press(x1);
        window->measurements().add_Click();
        press(x2);
        window->measurements().add_Click();
    };
    dialogs.answerInput("B1");
    measureRow(10, 30); // ampl. 20, tone 20
    measureRow(20, 60); // ampl. 40, tone 40, period 1 s
    window->measurements().newblk_Click();
    dialogs.answerInput("B2");
    measureRow(1, 5);   // ampl. 4, tone 3
    measureRow(70, 71); // ampl. 1, tone 70.5, period 6.9 s
    window->measurements().newblk_Click();
    EXPECT_EQ(copied(2), "\r\nB1\r\n\t\tampl.\t\ttone\t\tperiod\r\n"
                         "mean\t\t30.00\t\t30.00\t\t1.00\r\nSD\t\t14.14\t\t14.14\t\t0.00\r\n"
                         "n\t\t2.00\t\t2.00\t\t1.00\r\n"
                         "\r\nB2\r\n\t\tampl.\t\ttone\t\tperiod\r\n"
                         "mean\t\t2.50\t\t36.75\t\t6.90\r\nSD\t\t2.12\t\t47.73\t\t0.00\r\n"
                         "n\t\t2.00\t\t2.00\t\t1.00\r\n");
}

TEST_F(CopyCommands, WholeTableOfABlockModeBlock) {
    openBlockFile();
    measureBlockOfTwoRows();
    // p-to-p and dist. of the statistics rows stand under their columns, as in the table.
    EXPECT_EQ(copied(3), " \r\nA     dly: 10 ms      baseline: -16.5\r\n"
                         "\tt\t\tA\t\tt-dly\t\tp-to-p\t\tdist.\r\n"
                         "1\t20.00\t\t46.50\t\t10.00\t\t0.00\t\t0.00\r\n"
                         "2\t50.00\t\t136.50\t\t40.00\t\t90.00\t\t30.00\r\n"
                         "mean\t\t\t\t\t\t\t90.00\t\t30.00\r\nSD\t\t\t\t\t\t\t0.00\t\t0.00\r\n"
                         "n\t\t\t\t\t\t\t1.00\t\t1.00");
    EXPECT_EQ(copied(4), " \r\nA     dly: 10 ms      baseline: -16.5\r\n\tt\tA\tt-dly\tp-to-p\tdist.\r\n"
                         "1\t20.00\t46.50\t10.00\t0.00\t0.00\r\n2\t50.00\t136.50\t40.00\t90.00\t30.00\r\n"
                         "mean\t\t\t\t90.00\t30.00\r\nSD\t\t\t\t0.00\t0.00\r\nn\t\t\t\t1.00\t1.00");
}

TEST_F(CopyCommands, CurvePointsOfTheSecondSweepInAViewWiderThanASweep) {
    openBlockFile();
    window->views().PgDn_Click();
    window->viewCommands().mnuCompress_Click();
    ASSERT_FLOAT_EQ(state.ScreenLen, 200) << "two sweeps wide";
    std::string expected = "time\tch1\tmarker";
    for (int j = 0; j < 100; ++j) {
        expected += "\r\n" + std::to_string(j) + "\t" + std::to_string(3 * j - 30) + "\t0";
    }
    EXPECT_EQ(copied(5), expected);
}

// Single and average of two traces; then the overplot view of the second trace, a column per sweep.
TEST_F(CopyCommands, CurvePointsOfTwoTracesAndOfTheOverplotView) {
    openTwoTraceBlockFile();
    window->views().PgDn_Click();
    window->views().accept_Click(); // sweep 2 is the average
    window->views().PgDn_Click();
    window->views().mnuS_A_Click();
    EXPECT_EQ(copied(5), "time\tch1\tch1-ave\tch2\tch2-ave\tmarker\r\n"
                         "0\t20\t10\t-20\t-10\t0\r\n1\t21\t11\t-21\t-11\t0\r\n"
                         "2\t22\t12\t-22\t-12\t200\r\n3\t23\t13\t-23\t-13\t0");
    window->ch_select_Click(1);
    dialogs.answerInput("10");
    dialogs.answerInput("10");
    window->viewCommands().mnuOverplot_Click();
    EXPECT_EQ(copied(5), "time\t1\t2\t3\t\r\n0\t0\t-10\t-20\t\r\n1\t-1\t-11\t-21\t\r\n"
                         "2\t-2\t-12\t-22\t\r\n3\t-3\t-13\t-23\t");
}

// The copy is the view with blue turned white and white turned black, the label burnt in; the edges of
// smoothed texts, in between, are left out.
TEST_F(CopyCommands, PictureIsTheViewBlackOnWhiteWithItsLabelsAndTheViewComesBack) {
    openBlockFile();
    window->views().PgDn_Click();
    window->labels().mnuTextInsert_Click();
    TextBox& label = *window->ui.Text1[0];
    label.setText("peak");
    window->labels().Text1_LostFocus(0);
    label.move(400, 20);
    const QImage view = window->ui.disp->Image();
    const QStringList texts = printedTexts(*window->ui.disp, rgb(255, 255, 255));

    window->exports().mnuCopyitem_Click(1);
    const QImage picture = clipboard::picture();
    const QImage shown = window->ui.disp->Image();
    ASSERT_EQ(picture.size(), shown.size());
    constexpr QRgb Blue = 0x0000FF, White = 0xFFFFFF, Black = 0;
    int figurePixels = 0;
    int labelPixels = 0;
    int others = 0;
    for (int y = 0; y < shown.height(); ++y) {
        for (int x = 0; x < shown.width(); ++x) {
            const QRgb before = shown.pixel(x, y) & White;
            const QRgb after = picture.pixel(x, y) & White;
            if (before == Blue && after != White) {
                ++(label.geometry().contains(x, y) ? labelPixels : others);
            } else if (before == White) {
                ++(after == Black ? figurePixels : others);
            }
        }
    }
    EXPECT_EQ(others, 0);
    EXPECT_GT(figurePixels, 1000) << "axes and curve";
    EXPECT_GT(labelPixels, 20) << "the label's text";
    EXPECT_EQ(shown, view) << "the view drawn again in its own colours";
    EXPECT_EQ(printedTexts(*window->ui.disp, rgb(255, 255, 255)), texts) << "no label in the drawing";
}

} // namespace
} // namespace trazel::testing
