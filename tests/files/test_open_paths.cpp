#include "support/open_file_fixture.h"

namespace trazel::testing {
namespace {

using OpenPaths = OpenFileTest;

TEST_F(OpenPaths, AFileNamedAtStartUpMeetsTheQuestionsAndMessagesOfFileOpen) {
    dialogs.answerMessage(MsgAnswer::Ok);
    window->OpenFile(qs(files.path("missing.bin")));
    expectErrorReported();
    expectNothingLoaded();
    dialogs.answerInput("2");
    dialogs.answerInput("300");
    window->OpenFile(qs(Examples / "labtech.prn"));
    EXPECT_EQ(dialogs.questions().back().text, "Enter sampling frequency (Hz):");
    expectLoaded(3000);
}

} // namespace
} // namespace trazel::testing
