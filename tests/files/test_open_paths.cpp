#include "support/open_file_fixture.h"

#include <QSettings>

namespace trazel::testing {
namespace {

// Recent files start empty: earlier tests of this run have opened files too.
struct NoRecentFiles {
    NoRecentFiles() { QSettings().clear(); }
};

class OpenPaths : NoRecentFiles, public OpenFileTest {
protected:
    QStringList recentMenu() const {
        QStringList captions;
        for (int i = 1; i <= RecentFileCount && window->mnuRecent(i)->isVisible(); ++i) {
            captions << window->mnuRecent(i)->text();
        }
        return captions;
    }
};

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

TEST_F(OpenPaths, RecentFilesAreTheLastFiveOpenedNewestFirstOnceEachKeptFromRunToRun) {
    for (const char* name : {"a.bin", "b.bin", "c.bin", "d.bin", "R&D.bin", "f.bin"}) {
        window->OpenFile(qs(files.write(name, smallContinuousFile())));
    }
    ASSERT_TRUE(std::filesystem::create_directory(files.path("folder")));
    window->OpenFile(qs(files.path("folder") / ".." / "c.bin"));
    dialogs.answerMessage(MsgAnswer::Ok);
    window->OpenFile(qs(files.path("missing.bin"))); // not listed: it did not open
    window = std::make_unique<Trazel>(state, dialogs);
    EXPECT_EQ(recentMenu(), QStringList({"&1 c.bin", "&2 f.bin", "&3 R&&D.bin", "&4 d.bin", "&5 b.bin"}));
    window->mnuMeasure_Click();
    EXPECT_EQ(recentMenu(), QStringList());

    window->mnuTrazel_Click();
    std::filesystem::remove(files.path("f.bin"));
    dialogs.answerMessage(MsgAnswer::Ok);
    window->mnuRecent_Click(2);
    EXPECT_EQ(dialogs.questions().back().text, "File not found: " + qs(files.path("f.bin")) +
                                                   ". It has been removed from the list of recent files.");
    window->mnuRecent_Click(3);
    EXPECT_EQ(recentMenu(), QStringList({"&1 d.bin", "&2 c.bin", "&3 R&&D.bin", "&4 b.bin"}));
}

} // namespace
} // namespace trazel::testing
