#pragma once

#include "ui/dialogs.h"

namespace trazel {

// A user who gives the same answers to every question: a text for input boxes, one button for message
// boxes and a file for the open and the save dialog, the
// preselected signals of a file.
class FixedDialogs : public Dialogs {
public:
    QString InputBox(const QString&, const QString&, const QString&) override { return input; }
    MsgAnswer MsgBox(const QString&, MsgButtons, MsgIcon, const QString&) override { return answer; }
    QString ShowOpen(const FileDialogRequest&) override { return openFile; }
    QString ShowSave(const FileDialogRequest&) override { return saveFile; }
    std::vector<int> ChooseSignals(const std::vector<SignalOffer>&,
                                   const std::vector<int>& preselected) override {
        return preselected;
    }

    QString input;
    MsgAnswer answer = MsgAnswer::Ok;
    QString openFile;
    QString saveFile;
};

} // namespace trazel
