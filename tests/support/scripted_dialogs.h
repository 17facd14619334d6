#pragma once

#include "ui/dialogs.h"

#include <deque>
#include <functional>
#include <string>
#include <vector>

namespace trazel::testing {

// The dialogs of a scripted user: every question is answered from the queue in order and recorded;
// a question nobody scripted, or of another kind than scripted, fails the test.
class ScriptedDialogs : public Dialogs {
public:
    enum class Kind { InputBox, MsgBox, Open, Save };

    struct Question {
        Kind kind;
        QString text; // prompt, message or dialog title
        QString title;
        QString defaultText;
        MsgButtons buttons = MsgButtons::Ok;
        MsgIcon icon = MsgIcon::None;
        FileDialogRequest request;
    };

    ~ScriptedDialogs() override;

    void answerInput(const QString& answer) { m_answers.push_back({Kind::InputBox, answer, {}}); }
    void answerMessage(MsgAnswer answer) { m_answers.push_back({Kind::MsgBox, {}, answer}); }
    void answerOpen(const QString& path) { m_answers.push_back({Kind::Open, path, {}}); }
    void answerSave(const QString& path) { m_answers.push_back({Kind::Save, path, {}}); }

    const std::vector<Question>& questions() const { return m_questions; }
    // Called with every question as it is asked, to look at the program at that moment.
    std::function<void(const Question&)> onQuestion;
    bool allAnswered() const { return m_answers.empty(); }

    QString InputBox(const QString& prompt, const QString& title, const QString& defaultText) override;
    MsgAnswer MsgBox(const QString& text, MsgButtons buttons, MsgIcon icon, const QString& title) override;
    QString ShowOpen(const FileDialogRequest& request) override;
    QString ShowSave(const FileDialogRequest& request) override;

private:
    struct Answer {
        Kind kind;
        QString text;
        MsgAnswer choice;
    };
    Answer next(const Question& question);

    std::deque<Answer> m_answers;
    std::vector<Question> m_questions;
};

} // namespace trazel::testing
