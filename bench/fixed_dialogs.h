#pragma once

#include "ui/dialogs.h"

namespace trazel {

// A user who gives the same answers to every question: a text for input boxes, one button for message
// boxes and a file for the open and the save dialog.
class FixedDialogs : public Dialogs {
public:
    QString InputBox(const QString&, const QString&, const QString&) override { return input; }
    MsgAnswer MsgBox(const QString&, MsgButtons, MsgIcon, const QString&) override { return answer; }
    QString ShowOpen(const FileDialogRequest&) override { return openFile; }
    QString ShowSave(const FileDialogRequest&) override { return saveFile; }

    QString input;
    MsgAnswer answer = MsgAnswer::Ok;
    QString openFile;
    QString saveFile;
};

} // namespace trazel
