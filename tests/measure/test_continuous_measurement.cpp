#include "support/open_file_fixture.h"

#include <QTest>

namespace trazel::testing {
namespace {

using ContinuousMeasurement = MeasurementTest;

TEST_F(ContinuousMeasurement, EntersTwoPointRowsWithAmplitudeToneAndPeriod) {
    openContinuousFile();
    press(10);
    dialogs.answerInput(QStringLiteral("base"));
    window->measurements().add_Click();
    EXPECT_EQ(dialogs.questions().back().text, "Enter short label for block: ");
    EXPECT_EQ(dialogs.questions().back().title, "block label");
    EXPECT_EQ(row(2), QStringList({"1", "1.00", "10.00", "", "", "", "", ""}));
    EXPECT_EQ(state.EntryColumn(1), 3);
    press(12);
    window->measurements().add_Click();
    press(20);
    window->measurements().add_Click();
    press(24);
    window->measurements().add_Click();
    EXPECT_EQ(row(1)[0], "base");
    EXPECT_EQ(row(2), QStringList({"1", "1.00", "10.00", "1.20", "12.00", "2.00", "11.00", ""}));
    EXPECT_EQ(row(3), QStringList({"2", "2.00", "20.00", "2.40", "24.00", "4.00", "22.00", "1.00"}));
    window->measurements().newblk_Click();
    EXPECT_EQ(row(4), QStringList({"mean", "", "", "", "", "3.00", "16.50", "1.00"}));
    EXPECT_EQ(row(5), QStringList({"SD", "", "", "", "", "1.41", "7.78", "0.00"}));
    EXPECT_EQ(row(6), QStringList({"n", "", "", "", "", "2", "2", "1"}));
    window->measurements().newblk_Click();
    EXPECT_EQ(state.TableRow(1), 8) << "a second newblk does nothing";
}

TEST_F(ContinuousMeasurement, NewblkIgnoresAHalfFilledRowAndSeparatesASingleRow) {
    openContinuousFile();
    press(10);
    dialogs.answerInput(QStringLiteral("a"));
    window->measurements().add_Click();
    window->measurements().newblk_Click();
    EXPECT_EQ(state.BlockStartRow(1), 1) << "half a row: nothing";
    press(12);
    window->measurements().add_Click();
    window->measurements().newblk_Click();
    EXPECT_EQ((std::array{state.TableRow(1), state.BlockStartRow(1)}), (std::array<Integer, 2>{4, 4}));
    EXPECT_NEAR(grid().RowHeight(3), 10, 15);
    EXPECT_EQ(row(3)[0], "");
    press(30);
    dialogs.answerInput(QStringLiteral("next"));
    window->measurements().add_Click();
    EXPECT_EQ(row(4)[0], "next") << "the next add opens a new block";
}

// Enter on the add button, which has the focus after a press, adds the point.
TEST_F(ContinuousMeasurement, EnterAddsAPointUnderAnEmptyLabelAndDeleteTakesTheHalfRowThenTheLabel) {
    openContinuousFile();
    press(10);
    EXPECT_EQ(window->focusWidget(), window->ui.add);
    dialogs.answerInput(QString());
    QTest::keyClick(window->ui.add, Qt::Key_Return);
    EXPECT_EQ(row(2)[1], "1.00");
    EXPECT_EQ((std::array{state.TableRow(1), state.EntryColumn(1)}), (std::array<Integer, 2>{2, 3}));
    dialogs.answerMessage(MsgAnswer::Yes);
    window->measurements().del_Click();
    EXPECT_EQ((std::array{state.TableRow(1), state.EntryColumn(1)}), (std::array<Integer, 2>{2, 1}));
    EXPECT_EQ(row(2)[1], "");
    dialogs.answerMessage(MsgAnswer::Yes);
    window->measurements().del_Click();
    EXPECT_EQ((std::array{state.TableRow(1), state.NextRecord(1)}), (std::array<Integer, 2>{1, 1}));
    EXPECT_EQ(row(1)[0], "");
    window->measurements().del_Click(); // asks nothing: the block is open and empty
}

// The table grows with the rows entered; opening a file resets it to the header and its empty rows.
TEST_F(ContinuousMeasurement, TheGridGrowsAndScrollsWithTheRowsUntilTheNextFile) {
    openContinuousFile();
    dialogs.answerInput(QStringLiteral("a"));
    for (int i = 0; i < 40; ++i) {
        press(i);
        window->measurements().add_Click();
        press(i + 1);
        window->measurements().add_Click();
    }
    EXPECT_EQ(state.TableRow(1), 42);
    EXPECT_GE(grid().Rows(), 42);
    EXPECT_EQ(row(41)[0], "40");
    EXPECT_GT(grid().TopRow(), 20) << "scrolled along with the rows";
    EXPECT_LE(grid().TopRow(), 41 - 3) << "the newest row stays at least three rows below the top";

    for (int again = 0; again < 2; ++again) {
        openContinuousFile();
        ASSERT_EQ(grid().Rows(), 3);
        EXPECT_EQ(row(0)[1], "     x1");
        EXPECT_EQ(row(1) + row(2), QStringList(16, QString()));
        EXPECT_EQ((std::array{state.TableRow(1), state.NextRecord(1)}), (std::array<Integer, 2>{1, 1}));
    }
}

TEST_F(ContinuousMeasurement, PagesByHalfAScreenAndSnapsToTheStart) {
    openContinuousFile(5000);
    window->ui.disp->setScaleWidth(1250); // 1000 points in view
    window->views().PgDn_Click();
    EXPECT_EQ(state.ViewStart, 500.0F);
    state.ViewStart = 600;
    window->views().PgUp_Click();
    EXPECT_EQ(state.ViewStart, 0.0F) << "600 - 625 is not above 0";
    state.ViewStart = 700;
    window->views().PgUp_Click();
    EXPECT_EQ(state.ViewStart, 200.0F);
    state.ViewStart = 4600;
    window->views().PgDn_Click();
    EXPECT_EQ(state.ViewStart, 4600.0F) << "the view stops short of the end";
    EXPECT_FALSE(window->ui.status->text().startsWith("current curve"))
        << "the file's date stays in the status line";
}

// Automatic peaks over the whole file: a wave of 10 points at 10 ms, its peak (+15000) at point 2 and its
// trough (-15000) at point 7 of each, crosses the band at zero 1200 times, more than the table takes.
TEST_F(ContinuousMeasurement, AutoPeaksEnterTroughsAndPeaksAcrossTheBandUntilTheTableIsFull) {
    std::vector<std::int16_t> samples;
    for (int wave = 0; wave < 1200; ++wave) {
        for (const std::int16_t v :
             {10000, 10000, 15000, 10000, 10000, -10000, -10000, -15000, -10000, -10000}) {
            samples.push_back(v);
        }
    }
    open(files.write("waves.bin", versionedFile(recordedHeader(1, {1, 0, 0}, 10000), samples,
                                                std::vector<std::int16_t>(samples.size(), 0))));
    press(0, 2);
    press(static_cast<double>(samples.size()), 2);
    window->measurements().mnuPeaks_Click();
    press(0); // the band's lower line
    dialogs.answerInput(QStringLiteral("peaks"));
    window->measurements().add_Click();

    EXPECT_EQ(state.NextRecord(1), ResultCapacity + 1) << "the label and 999 rows";
    EXPECT_EQ(row(1)[0], "peaks");
    EXPECT_EQ(row(2), QStringList({"1", "0.07", "-15000.00", "0.12", "15000.00", "30000.00", "0.00", ""}));
    EXPECT_EQ(row(1000),
              QStringList({"999", "99.87", "-15000.00", "99.92", "15000.00", "30000.00", "0.00", "0.10"}));
    EXPECT_EQ(row(1001), QStringList(8, QString())) << "nothing past the full table";
    EXPECT_FALSE(state.AutoPeaks) << "the search is over, its band taken away";
    EXPECT_EQ(state.LevelY(1), NoLevel);
}

} // namespace
} // namespace trazel::testing
