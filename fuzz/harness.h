#pragma once

#include "core/app_state.h"
#include "ui/dialogs.h"
#include "window/main_window.h"

#include <QStringList>
#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <string_view>

// What every fuzz target shares: the checks that stop the process, the cutting of an input into answers
// and a file, and the one main window of the process with dialogs answered from the input.
namespace trazel::fuzz {

using Input = std::span<const std::uint8_t>;

// Stops the process with the broken rule when the condition does not hold, so that the fuzzer keeps the
// input (and the corpus replay fails); the input's bytes are not enough, what went wrong is printed too.
void require(bool condition, std::string_view rule);

// An input cut at its first newline: the text before it (all of the input when there is none) and the
// bytes after it.
struct FirstLine {
    std::string text;
    Input rest;
};
FirstLine firstLine(Input input);

// A user who answers the input boxes from a list, in order, and cancels once it runs out; presses OK in
// every message box, chooses one file in the open dialog and the
// preselected signals of a file. Every question is kept.
class AnsweringDialogs : public Dialogs {
public:
    QString InputBox(const QString& prompt, const QString& title, const QString& defaultText) override;
    MsgAnswer MsgBox(const QString& text, MsgButtons buttons, MsgIcon icon, const QString& title) override;
    QString ShowOpen(const FileDialogRequest& request) override;
    QString ShowSave(const FileDialogRequest& request) override;
    std::vector<int> ChooseSignals(const std::vector<SignalOffer>&,
                                   const std::vector<int>& preselected) override {
        return preselected;
    }

    // Forgets the questions of the last input and takes the answers for the next one.
    void answer(const QStringList& inputs, const QString& file = {});

    QStringList prompts;  // of the input boxes asked
    QStringList messages; // of the message boxes shown
    int openDialogs = 0;

private:
    QStringList m_inputs;
    QString m_file;
};

struct Harness {
    AppState state;
    AnsweringDialogs dialogs;
    Trazel window{state, dialogs};
};

// The window of the process, made and shown on first use together with its offscreen application, after
// the application's settings have been sent to a folder of this process. Each call first lets the window
// handle the events the last input left, as the event loop does between two commands (left queued, the
// progress window's shows and hides alone grew the process by kilobytes an input), then gives the state
// back the values it had right after start-up, so that every input starts from the same data, time base
// and flags, and an input the fuzzer keeps does the same when it is run alone. The controls keep what the
// last input left; the readers and the open command only write them.
Harness& freshWindow();

// Writes the bytes to `name` in a folder of the process and returns its path.
std::filesystem::path writeFile(std::string_view name, Input bytes);

QString qs(const std::filesystem::path& path);

} // namespace trazel::fuzz
