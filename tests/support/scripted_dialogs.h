#pragma once

#include "ui/dialogs.h"

#include <array>
#include <deque>
#include <functional>
#include <gtest/gtest.h>
#include <vector>

namespace trazel::testing {

// The dialogs of a scripted user: every question is answered from the queue in order and recorded;
// a question nobody scripted, or of another kind than scripted, fails the test.
class ScriptedDialogs : public Dialogs {
public:
    enum class Kind { InputBox, MsgBox, Open, Save, Signals };

    struct Question {
        Kind kind{};
        QString text{}; // prompt, message or dialog title
        QString title{};
        QString defaultText{};
        MsgButtons buttons = MsgButtons::Ok;
        MsgIcon icon = MsgIcon::None;
        FileDialogRequest request{};
        std::vector<SignalOffer> offered{}; // the signal choice: what it lists and preselects
        std::vector<int> preselected{};
    };

    ~ScriptedDialogs() override {
        EXPECT_TRUE(m_answers.empty()) << m_answers.size() << " scripted answer(s) were never asked for";
    }

    void answerInput(const QString& answer) { m_answers.push_back({.kind = Kind::InputBox, .text = answer}); }
    void answerMessage(MsgAnswer answer) { m_answers.push_back({.kind = Kind::MsgBox, .choice = answer}); }
    void answerOpen(const QString& path) { m_answers.push_back({.kind = Kind::Open, .text = path}); }
    void answerSave(const QString& path) { m_answers.push_back({.kind = Kind::Save, .text = path}); }
    // The positions picked in the signal choice; none: cancelled.
    void answerSignals(std::vector<int> picked) {
        m_answers.push_back({.kind = Kind::Signals, .picked = std::move(picked)});
    }

    const std::vector<Question>& questions() const { return m_questions; }
    bool allAnswered() const { return m_answers.empty(); }
    // Called with every question as it is asked, to look at the program at that moment.
    std::function<void(const Question&)> onQuestion;

    QString InputBox(const QString& prompt, const QString& title, const QString& defaultText) override {
        return next({.kind = Kind::InputBox, .text = prompt, .title = title, .defaultText = defaultText})
            .text;
    }
    MsgAnswer MsgBox(const QString& text, MsgButtons buttons, MsgIcon icon, const QString& title) override {
        return next({.kind = Kind::MsgBox, .text = text, .title = title, .buttons = buttons, .icon = icon})
            .choice;
    }
    QString ShowOpen(const FileDialogRequest& request) override {
        return next({.kind = Kind::Open,
                     .text = request.title,
                     .title = request.title,
                     .defaultText = request.fileName,
                     .request = request})
            .text;
    }
    QString ShowSave(const FileDialogRequest& request) override {
        return next({.kind = Kind::Save,
                     .text = request.title,
                     .title = request.title,
                     .defaultText = request.fileName,
                     .request = request})
            .text;
    }
    std::vector<int> ChooseSignals(const std::vector<SignalOffer>& offered,
                                   const std::vector<int>& preselected) override {
        return next({.kind = Kind::Signals,
                     .text = QStringLiteral("Signals"),
                     .offered = offered,
                     .preselected = preselected})
            .picked;
    }

private:
    struct Answer {
        Kind kind{};
        QString text{};
        MsgAnswer choice = MsgAnswer::Ok;
        std::vector<int> picked{};
    };

    static const char* nameOf(Kind kind) {
        return std::array{"input box", "message box", "open dialog", "save dialog",
                          "signal choice"}[static_cast<int>(kind)];
    }

    Answer next(const Question& question) {
        m_questions.push_back(question);
        if (onQuestion) {
            onQuestion(question);
        }
        if (m_answers.empty()) {
            ADD_FAILURE() << "Unscripted " << nameOf(question.kind) << ": \"" << question.text.toStdString()
                          << "\" (title \"" << question.title.toStdString() << "\")";
            return {.kind = question.kind, .choice = MsgAnswer::Cancel};
        }
        const Answer answer = m_answers.front();
        m_answers.pop_front();
        EXPECT_EQ(answer.kind, question.kind)
            << "expected a " << nameOf(answer.kind) << ", the program showed a " << nameOf(question.kind)
            << ": \"" << question.text.toStdString() << "\"";
        return answer;
    }

    std::deque<Answer> m_answers;
    std::vector<Question> m_questions;
};

} // namespace trazel::testing
