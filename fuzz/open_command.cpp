// File > Open as a whole: the open dialog's answer, the dispatch by extension, the reader with its
// questions, the table and annotations cleared, the status line and the plot drawn. Input: the file's
// name after "f" (a leading "!" leaves the file unwritten, a leading "+" opens it twice; no name cancels
// the dialog), a newline, the answers to the channel and the frequency question each ending in a newline,
// then the file.

#include "file_rules.h"
#include "files/file_view.h"
#include "measure/table_layout.h"
#include "shown_data.h"
#include "targets.h"
#include "ui/controls.h"
#include "ui/flex_grid.h"
#include "ui/plot_surface.h"

#include <QAction>
#include <QLabel>
#include <algorithm>

namespace trazel::fuzz {

namespace {

struct OpenRequest {
    std::string name; // letters, digits, '.' and '_' of the name line; empty: the dialog is cancelled
    bool written = true;
    bool twice = false;
    QStringList answers;
    Input file;
};

OpenRequest requestOf(Input input) {
    OpenRequest request;
    const auto [nameLine, afterName] = firstLine(input);
    const auto [channels, afterChannels] = firstLine(afterName);
    const auto [frequency, file] = firstLine(afterChannels);
    request.written = !nameLine.starts_with('!');
    request.twice = nameLine.starts_with('+');
    std::ranges::copy_if(nameLine, std::back_inserter(request.name), [](char c) {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '.' ||
               c == '_';
    });
    request.name.resize(std::min<std::size_t>(request.name.size(), 16));
    request.answers = {QString::fromStdString(channels), QString::fromStdString(frequency)};
    request.file = file;
    return request;
}

bool isShown(const OpenRequest& request) {
    const QString extension = QString::fromStdString(fileExtension("f" + request.name)).toUpper();
    if (!request.written) {
        return false;
    }
    if (extension == QStringLiteral("BIN")) {
        return binFileIsShown(request.file, request.answers[0]);
    }
    return extension == QStringLiteral("PRN") &&
           prnFileIsShown(request.file.size(), request.answers[0], request.answers[1]);
}

// What every open leaves, shown or not: no file being read, the selection and shifts gone, trace 1
// selected, the tables reset, the annotations and the overplot view off, and the axes drawn.
void requireOpened(const Harness& h) {
    const AppState& s = h.state;
    const Trazel& w = h.window;
    require(s.InFile == 0 && s.SelStart == -1 && s.SelEnd == -1 && s.CurrentTrace == 1,
            "no file open, no selection, trace 1");
    require(w.ui.ch_select[0]->isChecked() && !w.ui.Label1->isVisible() && !w.ui.mnuOverplot->isChecked(),
            "trace 1 selected, the label hidden, no overplot");
    for (int t = 1; t <= TraceCount; ++t) {
        require(s.TraceOffset(t) == 0 && s.TraceShift(t) == 0, "no trace shifted");
    }
    require(std::ranges::all_of(w.ui.Grid1,
                                [](const FlexGrid* grid) { return grid->Rows() == 1 + EmptyTableRows; }),
            "the results tables reset");
    require(
        std::ranges::all_of(
            w.ui.Text1, [](const TextBox* label) { return label->text().isEmpty() && !label->isVisible(); }),
        "the text labels cleared");
    require(!w.ui.disp->drawingLog().empty(), "the plot drawn");
}

void requireStatus(const Harness& h, bool shown) {
    const QString status = h.window.ui.status->text();
    if (!shown) {
        require(status.isEmpty(), "no status line without data");
    } else if (h.state.BlockMode) {
        require(status == QStringLiteral("current curve: 1/%1     averaged: 0").arg(h.state.CurveCount),
                "the sweep count in the status line");
    } else {
        require(!status.isEmpty(), "the file's date in the status line");
    }
}

void openOnce(Harness& h, const OpenRequest& request, const std::filesystem::path& path) {
    h.dialogs.answer(request.answers, request.name.empty() ? QString() : qs(path));
    h.window.files().mnuOpen_Click();
    require(h.dialogs.openDialogs == 1, "one open dialog");
    if (request.name.empty()) {
        require(h.dialogs.prompts.isEmpty() && h.dialogs.messages.isEmpty() && !h.state.DataLoaded,
                "a cancelled open asks and changes nothing");
        return;
    }
    const bool shown = isShown(request);
    require(h.state.DataLoaded == shown, "a file is shown exactly when it can be");
    requireOpened(h);
    requireStatus(h, shown);
    if (!shown) {
        requireNothingLoaded(h);
        return;
    }
    requireShownData(h, request.file.size());
    if (h.state.FileExt == "PRN") {
        requirePrnValues(h.state, request.file);
    } else {
        requireBinValues(h.state, request.file);
    }
}

} // namespace

void fuzzOpenCommand(Input input) {
    const OpenRequest request = requestOf(input);
    Harness& h = freshWindow();
    const std::filesystem::path path = writeFile("f" + request.name, request.file);
    if (!request.written) {
        std::filesystem::remove(path);
    }
    openOnce(h, request, path);
    if (request.twice) {
        const bool shownBefore = h.state.DataLoaded;
        openOnce(h, request, path);
        require(!h.state.DataLoaded || h.state.FileExt != "BIN" ||
                    h.window.windowTitle().endsWith(QStringLiteral("       ") + qs(path)) == shownBefore,
                "a recorded file opened over shown data is named in the caption");
    }
    std::filesystem::remove(path);
}

} // namespace trazel::fuzz
