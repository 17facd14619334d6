#include "support/open_file_fixture.h"

#include <QCoreApplication>
#include <QDropEvent>
#include <QMimeData>
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
        for (int i = 1; i <= RecentFileCount && window->ui.mnuRecent(i)->isVisible(); ++i) {
            captions << window->ui.mnuRecent(i)->text();
        }
        return captions;
    }

    // Drops the files onto the window; true when it took them.
    bool drop(const std::vector<std::filesystem::path>& paths) {
        QMimeData data;
        for (const auto& path : paths) {
            data.setUrls(data.urls() << QUrl::fromLocalFile(qs(path)));
        }
        QDragEnterEvent enter(QPoint(20, 20), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QDropEvent dropped(QPointF(20, 20), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(window.get(), &enter);
        QCoreApplication::sendEvent(window.get(), &dropped);
        QCoreApplication::processEvents();
        return enter.isAccepted() && dropped.isAccepted();
    }
};

TEST_F(OpenPaths, AFileNamedAtStartUpMeetsTheQuestionsAndMessagesOfFileOpen) {
    dialogs.answerMessage(MsgAnswer::Ok);
    window->files().OpenFile(qs(files.path("missing.bin")));
    expectErrorReported();
    expectNothingLoaded();
    dialogs.answerInput("2");
    dialogs.answerInput("300");
    window->files().OpenFile(qs(Examples / "labtech.prn"));
    EXPECT_EQ(dialogs.questions().back().text, "Enter sampling frequency (Hz):");
    expectLoaded(3000);
}

TEST_F(OpenPaths, ADropOpensTheFirstDataFileInTheEvaluationLayoutWhileNothingIsRecorded) {
    const auto first = files.write("first.bin", smallContinuousFile());
    const auto notes = files.write("notes.txt", {});
    EXPECT_TRUE(window->acceptDrops());
    EXPECT_FALSE(drop({notes, files.write("a.b.bin", smallContinuousFile())})) << "no reader for b.bin";
    state.Acquiring = true;
    EXPECT_FALSE(drop({first}));
    state.Acquiring = false;
    window->layouts().mnuMeasure_Click();
    EXPECT_FALSE(drop({first}));
    EXPECT_FALSE(state.DataLoaded);
    window->layouts().mnuTrazel_Click();
    EXPECT_TRUE(drop({notes, first, files.write("second.bin", smallContinuousFile())}));
    expectLoaded(4);
    EXPECT_EQ(state.FileName, first.string());
    if (std::filesystem::exists(Recordings)) {
        const auto bdf = files.path("night.2.bdf");
        std::filesystem::copy_file(Recordings / "bdf/test_bdf_stim_channel.bdf", bdf);
        EXPECT_TRUE(drop({notes, bdf})) << "an EDF or BDF file by its last extension";
        expectLoaded(5000);
    }
}

TEST_F(OpenPaths, RecentFilesAreTheLastFiveOpenedNewestFirstOnceEachKeptFromRunToRun) {
    for (const char* name : {"a.bin", "b.bin", "c.bin", "d.bin", "R&D.bin", "f.bin"}) {
        window->files().OpenFile(qs(files.write(name, smallContinuousFile())));
    }
    ASSERT_TRUE(std::filesystem::create_directory(files.path("folder")));
    window->files().OpenFile(qs(files.path("folder") / ".." / "c.bin"));
    dialogs.answerMessage(MsgAnswer::Ok);
    window->files().OpenFile(qs(files.path("missing.bin"))); // not listed: it did not open
    window = std::make_unique<Trazel>(state, dialogs);
    EXPECT_EQ(recentMenu(), QStringList({"&1 c.bin", "&2 f.bin", "&3 R&&D.bin", "&4 d.bin", "&5 b.bin"}));
    window->layouts().mnuMeasure_Click();
    EXPECT_EQ(recentMenu(), QStringList());

    window->layouts().mnuTrazel_Click();
    std::filesystem::remove(files.path("f.bin"));
    dialogs.answerMessage(MsgAnswer::Ok);
    window->files().mnuRecent_Click(2);
    EXPECT_EQ(dialogs.questions().back().text, "File not found: " + qs(files.path("f.bin")) +
                                                   ". It has been removed from the list of recent files.");
    window->files().mnuRecent_Click(3);
    EXPECT_EQ(recentMenu(), QStringList({"&1 d.bin", "&2 c.bin", "&3 R&&D.bin", "&4 b.bin"}));
}

} // namespace
} // namespace trazel::testing
