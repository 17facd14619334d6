#include "support/scripted_dialogs.h"
#include "ui/controls.h"
#include "ui/dialogs.h"

#include <QSignalSpy>
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

} // namespace
} // namespace trazel
