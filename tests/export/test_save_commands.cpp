#include "support/open_file_fixture.h"
#include "ui/clipboard.h"

namespace trazel::testing {
namespace {

using Rows = std::vector<std::vector<std::string>>;

// A CSV text read the way spreadsheets read it, independently of the program's writer: cells split at
// `separator` outside quotes, "" inside quotes is one quote, records end with CR LF.
Rows parseCsv(const std::string& text, char separator = ',') {
    Rows rows(1, std::vector<std::string>(1));
    bool quoted = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        const bool pair = i + 1 < text.size() && text[i + 1] == (c == '\r' ? '\n' : '"');
        const bool escapedQuote = quoted && c == '"' && pair;
        const bool lineEnd = !quoted && c == '\r' && pair;
        if (c == '"' && !escapedQuote) {
            quoted = !quoted;
        } else if (!quoted && c == separator) {
            rows.back().emplace_back();
        } else if (lineEnd) {
            rows.emplace_back(1);
        } else {
            rows.back().back() += c;
        }
        i += escapedQuote || lineEnd ? 1 : 0;
    }
    EXPECT_EQ(rows.back(), std::vector<std::string>(1)) << "the last record ends with CR LF";
    rows.pop_back();
    return rows;
}

class SaveCommands : public MeasurementTest {
protected:
    Rows saved(void (Exports::*command)(), const std::string& name) {
        const auto path = files.path(name);
        dialogs.answerSave(qs(path));
        (window->exports().*command)();
        const Bytes bytes = readBytes(path);
        return parseCsv(std::string(bytes.begin(), bytes.end()));
    }
};

TEST_F(SaveCommands, TableKeepsEveryCellWithLabelsQuotedWhereTheyNeedIt) {
    openContinuousFile(); // the value of a point is its number; 0.1 s a point
    dialogs.answerInput("\"rest\", then drug µM");
    for (double x : {10, 30, 20, 60}) {
        press(x);
        window->measurements().add_Click();
    }
    window->measurements().newblk_Click();
    EXPECT_EQ(
        saved(&Exports::mnuSaveTable_Click, "table.csv"),
        (Rows{{"block", "row", "X1", "Y1", "X2", "Y2", "ampl.", "tone", "period"},
              {"\"rest\", then drug µM", "1", "1.00", "10.00", "3.00", "30.00", "20.00", "20.00", "0.00"},
              {"\"rest\", then drug µM", "2", "2.00", "20.00", "6.00", "60.00", "40.00", "40.00", "1.00"},
              {"\"rest\", then drug µM", "mean", "", "", "", "", "30.00", "30.00", "1.00"},
              {"\"rest\", then drug µM", "SD", "", "", "", "", "14.14", "14.14", "0.00"},
              {"\"rest\", then drug µM", "n", "", "", "", "", "2.00", "2.00", "1.00"}}));
}

TEST_F(SaveCommands, BlockTableHasItsOwnColumnsAndAnEmptyTableItsHeaderOnly) {
    openBlockFile();
    EXPECT_EQ(saved(&Exports::mnuSaveTable_Click, "empty.csv"),
              (Rows{{"block", "row", "t", "A", "t-dly", "p-to-p", "dist."}}));
    measureBlockOfTwoRows();
    const std::string block = "A     dly: 10 ms      baseline: -16.5";
    EXPECT_EQ(saved(&Exports::mnuSaveTable_Click, "block.csv"),
              (Rows{{"block", "row", "t", "A", "t-dly", "p-to-p", "dist."},
                    {block, "1", "20.00", "46.50", "10.00", "0.00", "0.00"},
                    {block, "2", "50.00", "136.50", "40.00", "90.00", "30.00"},
                    {block, "mean", "", "", "", "90.00", "30.00"},
                    {block, "SD", "", "", "", "0.00", "0.00"},
                    {block, "n", "", "", "", "1.00", "1.00"}}));
}

TEST_F(SaveCommands, CurvePointsHaveTheColumnsOfTheCopyAndTheOverplotNoEmptyLastOne) {
    openBlockFile();
    window->views().PgDn_Click();
    window->exports().mnuCopyitem_Click(5);
    EXPECT_EQ(saved(&Exports::mnuSaveCurvePoints_Click, "points.csv"),
              parseCsv(clipboard::text().toStdString() + "\r\n", '\t'));

    dialogs.answerInput("10");
    dialogs.answerInput("10");
    window->viewCommands().mnuOverplot_Click();
    const Rows overplot = saved(&Exports::mnuSaveCurvePoints_Click, "overplot.csv");
    ASSERT_EQ(overplot.size(), 101U);
    EXPECT_EQ(overplot[0], (std::vector<std::string>{"time", "1", "2", "3", "4"}));
    EXPECT_EQ(overplot[100], (std::vector<std::string>{"99", "0", "267", "267", "267"}));
}

TEST_F(SaveCommands, CancelWritesNothingAndAFailedWriteIsReported) {
    openBlockFile();
    dialogs.answerSave("");
    window->exports().mnuSaveTable_Click();
    EXPECT_FALSE(std::filesystem::exists(files.path("block_trace1.csv")));
    const FileDialogRequest& request = dialogs.questions().back().request;
    EXPECT_EQ(QStringList({request.title, request.fileName, request.initialFolder}),
              QStringList({"Save table as", "block_trace1.csv", qs(files.path("")).chopped(1)}))
        << "proposed beside the data file";

    const auto unwritable = files.path("no such folder") / "table.csv";
    dialogs.answerSave(qs(unwritable));
    dialogs.answerMessage(MsgAnswer::Ok);
    window->exports().mnuSaveTable_Click();
    EXPECT_EQ(dialogs.questions().back().text, QStringLiteral("Could not write %1.").arg(qs(unwritable)));
}

} // namespace
} // namespace trazel::testing
