#include "support/scripted_dialogs.h"
#include "ui/controls.h"
#include "ui/dialogs.h"
#include "ui/progress_window.h"

#include <QScrollBar>
#include <QSignalSpy>
#include <QThread>
#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

namespace trazel {
namespace {

TEST(NameFilters, TurnsDescriptionAndPatternPairsIntoQtFilters) {
    EXPECT_EQ(toNameFilters(QStringLiteral("Trazel files (*.bin)|*.bin|Labtech files (*.prn)|*.prn")),
              QStringList({"Trazel files (*.bin)", "Labtech files (*.prn)"}));
    EXPECT_EQ(toNameFilters(QStringLiteral("Data File|*.bin;*.dat")),
              QStringList({"Data File (*.bin *.dat)"}));
    EXPECT_EQ(toNameFilters(QStringLiteral("Dangling")), QStringList());
}

// The scripted user of the window tests fails a test on a question nobody scripted and on an answer nobody
// asked for.
TEST(ScriptedDialogs, FailsTheTestOnAQuestionNobodyScripted) {
    EXPECT_NONFATAL_FAILURE(
        testing::ScriptedDialogs().MsgBox("Unexpected", MsgButtons::Ok, MsgIcon::None, {}),
        "Unscripted message box");
    EXPECT_NONFATAL_FAILURE(testing::ScriptedDialogs().answerInput(QStringLiteral("x")), "never asked for");
}

// Ten thousand sweeps would repaint it ten thousand times: it paints on showing and then every 50 ms, with
// the caption and the bar as they are at that moment.
TEST(ProgressWindow, PaintsAtMostEvery50MsWhatItShowsThen) {
    ProgressWindow progress;
    progress.setCaption("Calculating FFT for curve 1...");
    progress.show();
    progress.setValue(10);
    EXPECT_EQ(std::pair(progress.HScroll1->value(), progress.windowTitle()),
              std::pair(10, QString("Calculating FFT for curve 1...")));
    progress.setCaption("Calculating FFT for curve 2...");
    progress.setValue(20);
    EXPECT_EQ(
        std::tuple(progress.value(), progress.caption(), progress.HScroll1->value(), progress.windowTitle()),
        std::tuple(20, QString("Calculating FFT for curve 2..."), 10,
                   QString("Calculating FFT for curve 1...")));
    QThread::msleep(60);
    progress.setCaption("Calculating FFT for curve 3...");
    progress.setValue(30);
    EXPECT_EQ(std::pair(progress.HScroll1->value(), progress.windowTitle()),
              std::pair(30, QString("Calculating FFT for curve 3...")));
}

} // namespace
} // namespace trazel
