#include "harness.h"

#include "ui/plot_surface.h"

#include <QApplication>
#include <QSettings>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>

namespace trazel::fuzz {

namespace {

// The folder of the process: the settings (the recent files of every open) and the input files; never
// the user's.
const QTemporaryDir& processFolder() {
    static const QTemporaryDir folder;
    return folder;
}

QtMessageHandler qtMessages = nullptr;

// The offscreen platform says for every window shown that it cannot raise it: said for each of a million
// inputs, it would bury what matters.
void dropPlatformNotes(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (!message.startsWith(QLatin1String("This plugin does not support"))) {
        qtMessages(type, context, message);
    }
}

// The application, once per process, offscreen and with its settings in the process's folder. It and the
// window are never destroyed: the fuzzer ends the process with exit(), whose handlers free the globals Qt
// makes while handling events before the statics made earlier, so an application destroyed after them
// reads freed memory.
void startApplication() {
    static int argc = 1;
    static char name[] = "trazel_fuzz";
    static char* argv[] = {name, nullptr};
    static const bool offscreen = qputenv("QT_QPA_PLATFORM", "offscreen");
    static const QApplication* const app = new QApplication(argc, argv);
    static const bool settingsHere = [] {
        qtMessages = qInstallMessageHandler(dropPlatformNotes);
        QApplication::setOrganizationName(QStringLiteral("TrazelFuzz"));
        for (const QSettings::Scope scope : {QSettings::UserScope, QSettings::SystemScope}) {
            QSettings::setPath(QSettings::NativeFormat, scope, processFolder().path());
        }
        return true;
    }();
    (void)offscreen;
    (void)app;
    (void)settingsHere;
}

} // namespace

void require(bool condition, std::string_view rule) {
    if (!condition) {
        std::fprintf(stderr, "trazel fuzz check failed: %.*s\n", static_cast<int>(rule.size()), rule.data());
        std::abort();
    }
}

FirstLine firstLine(Input input) {
    const auto end = std::ranges::find(input, std::uint8_t{'\n'});
    const auto taken = static_cast<std::size_t>(end - input.begin());
    return {std::string(input.begin(), end), input.subspan(std::min(taken + 1, input.size()))};
}

QString AnsweringDialogs::InputBox(const QString& prompt, const QString&, const QString&) {
    prompts << prompt;
    return m_inputs.isEmpty() ? QString() : m_inputs.takeFirst();
}

MsgAnswer AnsweringDialogs::MsgBox(const QString& text, MsgButtons, MsgIcon, const QString&) {
    messages << text;
    return MsgAnswer::Ok;
}

QString AnsweringDialogs::ShowOpen(const FileDialogRequest&) {
    ++openDialogs;
    return m_file;
}

QString AnsweringDialogs::ShowSave(const FileDialogRequest&) {
    return {};
}

void AnsweringDialogs::answer(const QStringList& inputs, const QString& file) {
    prompts.clear();
    messages.clear();
    openDialogs = 0;
    m_inputs = inputs;
    m_file = file;
}

Harness& freshWindow() {
    startApplication();
    static Harness& harness = *new Harness;
    static const AppState start = [] {
        harness.window.ui.disp->setDrawingLogged(true); // the targets check what was drawn
        harness.window.show();
        return harness.state;
    }();
    QApplication::processEvents();
    harness.state = start;
    return harness;
}

std::filesystem::path writeFile(std::string_view name, Input bytes) {
    const std::filesystem::path path = std::filesystem::path(processFolder().path().toStdString()) / name;
    std::ofstream(path, std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return path;
}

QString qs(const std::filesystem::path& path) {
    return QString::fromStdString(path.string());
}

} // namespace trazel::fuzz
