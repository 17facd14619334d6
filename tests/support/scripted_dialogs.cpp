#include "support/scripted_dialogs.h"

#include <gtest/gtest.h>

namespace trazel::testing {

namespace {

const char* kindName(ScriptedDialogs::Kind kind) {
    switch (kind) {
    case ScriptedDialogs::Kind::InputBox:
        return "input box";
    case ScriptedDialogs::Kind::MsgBox:
        return "message box";
    case ScriptedDialogs::Kind::Open:
        return "open dialog";
    case ScriptedDialogs::Kind::Save:
        return "save dialog";
    }
    return "?";
}

} // namespace

ScriptedDialogs::~ScriptedDialogs() {
    EXPECT_TRUE(m_answers.empty()) << m_answers.size() << " scripted answer(s) were never asked for";
}

ScriptedDialogs::Answer ScriptedDialogs::next(const Question& question) {
    m_questions.push_back(question);
    if (onQuestion) {
        onQuestion(question);
    }
    if (m_answers.empty()) {
        ADD_FAILURE() << "Unscripted " << kindName(question.kind) << ": \"" << question.text.toStdString()
                      << "\" (title \"" << question.title.toStdString() << "\")";
        return {question.kind, {}, MsgAnswer::Cancel};
    }
    Answer answer = m_answers.front();
    m_answers.pop_front();
    EXPECT_EQ(answer.kind, question.kind)
        << "expected a " << kindName(answer.kind) << ", the program showed a " << kindName(question.kind)
        << ": \"" << question.text.toStdString() << "\"";
    return answer;
}

QString ScriptedDialogs::InputBox(const QString& prompt, const QString& title, const QString& defaultText) {
    return next({Kind::InputBox, prompt, title, defaultText, {}, {}, {}}).text;
}

MsgAnswer ScriptedDialogs::MsgBox(const QString& text, MsgButtons buttons, MsgIcon icon,
                                  const QString& title) {
    return next({Kind::MsgBox, text, title, {}, buttons, icon, {}}).choice;
}

QString ScriptedDialogs::ShowOpen(const FileDialogRequest& request) {
    return next({Kind::Open, request.title, request.title, request.fileName, {}, {}, request}).text;
}

QString ScriptedDialogs::ShowSave(const FileDialogRequest& request) {
    return next({Kind::Save, request.title, request.title, request.fileName, {}, {}, request}).text;
}

} // namespace trazel::testing
