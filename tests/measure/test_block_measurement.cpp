#include "support/open_file_fixture.h"

namespace trazel::testing {
namespace {

using BlockMeasurement = MeasurementTest;

TEST_F(BlockMeasurement, AveragesMeasuresAndClosesABlockOfRows) {
    openBlockFile();
    for (int curve = 2; curve <= 4; ++curve) {
        window->views().PgDn_Click();
        EXPECT_EQ(state.CurrentCurve, curve);
        window->views().accept_Click();
    }
    EXPECT_EQ(window->ui.ave_count->text(), " 3");
    EXPECT_EQ(window->ui.status->text(), "current curve: 4/4     averaged: 3");
    for (int j = 0; j < 100; ++j) {
        ASSERT_FLOAT_EQ(state.AverageData(1, j), 3.0F * j - 30) << "point " << j;
    }

    press(20);
    EXPECT_EQ(window->ui.Label1->text(), "20.00ms, 30.0");
    dialogs.answerInput(QStringLiteral("10"));
    dialogs.answerInput(QStringLiteral("A"));
    window->measurements().add_Click();
    ASSERT_EQ(dialogs.questions().size(), 3U);
    EXPECT_EQ(QStringList({dialogs.questions()[1].text, dialogs.questions()[1].title}),
              QStringList({"Enter stimulus delay (ms):", "Stimulus delay"}));
    EXPECT_EQ(QStringList({dialogs.questions()[2].text, dialogs.questions()[2].title}),
              QStringList({"Enter short label for block: ", "Block label"}));
    EXPECT_EQ(state.StimDelay, 10);
    EXPECT_FLOAT_EQ(state.Baseline, -16.5F) << "mean of the ten samples before the stimulus";

    press(50);
    window->measurements().add_Click();
    EXPECT_EQ(row(1), QStringList({"A", "dly: 10 ms", "zero: -16.5", "", "", "", "", ""}));
    EXPECT_EQ(row(2), QStringList({"1", "20.0", "46.5", "10.0", "", "", "", ""}));
    EXPECT_EQ(row(3), QStringList({"2", "50.0", "136.5", "40.0", "90.0", "30.0", "", ""}));

    window->measurements().newblk_Click();
    // Under p-to-p and dist.; the first row of a block has neither, so one value each.
    EXPECT_EQ(row(4), QStringList({"mean", "", "", "", "90.00", "30.00", "", ""}));
    EXPECT_EQ(row(5), QStringList({"SD", "", "", "", "0.00", "0.00", "", ""}));
    EXPECT_EQ(row(6), QStringList({"n", "", "", "", "1", "1", "", ""}));
    EXPECT_NEAR(grid().RowHeight(7), 10, 15) << "a thin separator";
    EXPECT_EQ((std::array{state.TableRow(1), state.BlockStartRow(1), state.NextRecord(1)}),
              (std::array<Integer, 3>{8, 8, 7}));

    EXPECT_FLOAT_EQ(state.Results(1, 6).V(6), 2)
        << "the count of the sixth value, which block data do not show";
}

TEST_F(BlockMeasurement, WithoutAStimulusDelayTakesTheWholeSweepAsBaseline) {
    openBlockFile();
    window->views().PgDn_Click();
    press(20);
    dialogs.answerInput(QStringLiteral("0.4"));
    dialogs.answerInput(QStringLiteral("B"));
    window->measurements().add_Click();
    EXPECT_EQ(state.StimDelay, 0) << "0.4 ms rounds to 0";
    EXPECT_FLOAT_EQ(state.Baseline, (3.0F * 0 - 30 + 3.0F * 99 - 30) / 2) << "the whole sweep";
}

TEST_F(BlockMeasurement, CancelledQuestionsWriteNothingAndDeleteTakesTheDataRowThenTheLabelRow) {
    openBlockFile();
    press(20);
    dialogs.answerInput(QString());
    window->measurements().add_Click();
    EXPECT_EQ(state.StimDelay, 0);
    dialogs.answerInput(QStringLiteral("abc"));
    dialogs.answerInput(QString());
    window->measurements().add_Click();
    EXPECT_EQ(state.StimDelay, 0) << "text that is not a number gives 0, asked again next time";
    EXPECT_EQ((std::array{state.TableRow(1), state.NextRecord(1)}), (std::array<Integer, 2>{1, 1}));
    EXPECT_EQ(row(1)[0], "");
    dialogs.answerInput(QStringLiteral("10"));
    dialogs.answerInput(QStringLiteral("A"));
    window->measurements().add_Click();
    dialogs.answerMessage(MsgAnswer::No);
    window->measurements().del_Click();
    EXPECT_EQ(state.TableRow(1), 3) << "No keeps the line";
    dialogs.answerMessage(MsgAnswer::Yes);
    window->measurements().del_Click();
    EXPECT_EQ(QStringList({dialogs.questions().back().text, dialogs.questions().back().title}),
              QStringList({"Do you want to clear last line?", "Confirm delete"}));
    EXPECT_EQ(dialogs.questions().back().buttons, MsgButtons::YesNo);
    EXPECT_EQ(state.TableRow(1), 2);
    EXPECT_EQ(row(2)[1], "");
    dialogs.answerMessage(MsgAnswer::Yes);
    window->measurements().del_Click();
    EXPECT_EQ(state.TableRow(1), 1);
    EXPECT_EQ(state.NextRecord(1), 1);
    for (int r = 1; r < grid().Rows(); ++r) {
        EXPECT_EQ(row(r)[0], "") << "no stray text left behind in row " << r;
    }
    window->measurements().del_Click(); // asks nothing: the block is open and empty
    dialogs.answerInput(QStringLiteral("C"));
    window->measurements().add_Click();
    EXPECT_EQ(row(1)[0], "C") << "the block is opened again with its label question";
}

TEST_F(BlockMeasurement, PagesWithinTheSweepsUnlessOverplotted) {
    openBlockFile();
    window->views().PgUp_Click();
    EXPECT_EQ(state.CurrentCurve, 1);
    for (int i = 0; i < 3; ++i) {
        window->views().PgDn_Click();
    }
    EXPECT_EQ(state.CurrentCurve, 4);
    EXPECT_EQ(state.ViewStart, 300.0F);
    EXPECT_EQ(window->ui.status->text(), "current curve: 4/4     averaged: 0");
    EXPECT_EQ(window->focusWidget(), window->ui.accept);
    const auto drawn = window->ui.disp->drawingLog().size();
    window->ui.disp->Line(0, 0, 1, 1); // a redraw would take it away
    window->views().PgDn_Click();
    EXPECT_EQ(window->ui.disp->drawingLog().size(), drawn + 1) << "no redraw at the last curve";
    window->views().PgUp_Click();
    EXPECT_EQ(state.CurrentCurve, 3);
    EXPECT_EQ(state.ViewStart, 200.0F);

    window->ui.mnuOverplot->setChecked(true);
    window->views().PgDn_Click();
    EXPECT_EQ(state.CurrentCurve, 3);
    window->views().PgUp_Click();
    EXPECT_EQ(state.CurrentCurve, 3);
}

TEST_F(BlockMeasurement, AcceptsOnlyThePointsThatExistAndClearEmptiesTheAverage) {
    openBlockFile();
    state.ViewStart = 300 + 99 - 100 + 1; // the sweep starts 100 points before the last point
    state.AverageData(1, 99) = 7;
    window->views().accept_Click();
    EXPECT_FLOAT_EQ(state.AverageData(1, 0), state.TraceData(1, 300));
    EXPECT_FLOAT_EQ(state.AverageData(1, 99), state.TraceData(1, 399));
    state.ViewStart = 350;
    state.AverageData(1, 99) = 7;
    state.AverageData(1, 50) = 7;
    window->views().accept_Click();
    EXPECT_FLOAT_EQ(state.AverageData(1, 99), 7) << "beyond the data the average keeps its value";
    EXPECT_NE(state.AverageData(1, 50), 7.0F);
    EXPECT_EQ(window->focusWidget(), window->ui.PgDn);

    window->views().PgDn_Click();
    window->views().accept_Click();
    window->views().clear_ave_Click();
    EXPECT_EQ(state.AveragedCount, 0.0F);
    EXPECT_EQ(window->ui.ave_count->text(), " 0");
    EXPECT_EQ(window->ui.status->text(), "current curve: 2/4     averaged: 0");
    EXPECT_EQ(state.AverageData.upper(), 99);
    EXPECT_FLOAT_EQ(state.AverageData(1, 50), 0);
}

TEST_F(BlockMeasurement, RefusesEntriesAndStatisticsBeyondTheRecordLimit) {
    openBlockFile();
    press(20);
    state.NextRecord(1) = 1000; // opening a block needs two records
    window->measurements().add_Click();
    EXPECT_EQ(state.NextRecord(1), 1000);
    EXPECT_EQ(state.TableRow(1), 1);
    state.NextRecord(1) = 1001;
    window->measurements().add_Click();
    EXPECT_EQ(state.NextRecord(1), 1001);
    EXPECT_EQ(dialogs.questions().size(), 1U) << "only the open dialog was shown";

    state.NextRecord(1) = 1;
    state.StimDelay = 10;
    dialogs.answerInput(QStringLiteral("A"));
    window->measurements().add_Click();
    press(50);
    window->measurements().add_Click();
    state.NextRecord(1) = 999;
    window->measurements().newblk_Click();
    EXPECT_EQ(state.TableRow(1), 4) << "statistics refused: records 999 .. 1001 are not all there";
    EXPECT_EQ(row(4)[0], "");
}

} // namespace
} // namespace trazel::testing
