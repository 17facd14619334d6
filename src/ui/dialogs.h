#pragma once

#include <QString>
#include <vector>

class QWidget;

namespace trazel {

enum class MsgButtons { Ok = 0, OkCancel = 1, YesNoCancel = 3, YesNo = 4 };
enum class MsgIcon { None = 0, Critical = 16, Question = 32, Exclamation = 48, Information = 64 };
enum class MsgAnswer { Ok = 1, Cancel = 2, Yes = 6, No = 7 };

// What a file dialog is asked to show.
struct FileDialogRequest {
    QString filter;      // description and pattern pairs separated by '|': "Data (*.bin)|*.bin"
    int filterIndex = 1; // 1-based
    QString title;
    QString fileName; // proposed name
    QString initialFolder;
    QString defaultExtension; // without the dot
};

// A signal of a data file that can be shown as a trace.
struct SignalOffer {
    QString label;
    QString unit;
    double rate = 0; // samples per second
};

// Every question the program asks the user goes through here, so that tests can script the answers.
class Dialogs {
public:
    virtual ~Dialogs() = default;
    // The typed text; empty when cancelled.
    virtual QString InputBox(const QString& prompt, const QString& title, const QString& defaultText) = 0;
    virtual MsgAnswer MsgBox(const QString& text, MsgButtons buttons, MsgIcon icon, const QString& title) = 0;
    // The chosen path; empty when cancelled.
    virtual QString ShowOpen(const FileDialogRequest& request) = 0;
    virtual QString ShowSave(const FileDialogRequest& request) = 0;
    // The signals to show as traces: up to three of one rate, as positions in `offered` in the order
    // picked, starting from `preselected`; empty when cancelled.
    virtual std::vector<int> ChooseSignals(const std::vector<SignalOffer>& offered,
                                           const std::vector<int>& preselected) = 0;
};

// The dialogs the user sees, modal over the main window.
class QtDialogs : public Dialogs {
public:
    explicit QtDialogs(QWidget* parent) : m_parent(parent) {}
    QString InputBox(const QString& prompt, const QString& title, const QString& defaultText) override;
    MsgAnswer MsgBox(const QString& text, MsgButtons buttons, MsgIcon icon, const QString& title) override;
    QString ShowOpen(const FileDialogRequest& request) override;
    QString ShowSave(const FileDialogRequest& request) override;
    std::vector<int> ChooseSignals(const std::vector<SignalOffer>& offered,
                                   const std::vector<int>& preselected) override;

private:
    QString showFileDialog(const FileDialogRequest& request, bool save);

    QWidget* m_parent;
};

// "Data (*.bin)|*.bin|All (*.*)|*.*" as Qt's name filters; a description without its pattern gets it.
QStringList toNameFilters(const QString& filter);

} // namespace trazel
