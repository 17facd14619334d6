#include "core/app_state.h"
#include "ui/dialogs.h"
#include "window/main_window.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QFileInfo>
#include <QRegularExpression>

namespace {

// TRAZEL_GEOMETRY=WxH sizes the window, for screenshots at a chosen size.
void applyGeometryFromEnvironment(QWidget& window) {
    const QString geometry = qEnvironmentVariable("TRAZEL_GEOMETRY");
    const QRegularExpressionMatch match =
        QRegularExpression(QStringLiteral("^(\\d+)x(\\d+)$")).match(geometry);
    if (match.hasMatch()) {
        window.resize(match.captured(1).toInt(), match.captured(2).toInt());
    }
}

// The data file named on the command line, as an absolute path; empty when there is none. --help,
// --version and an unknown option print their text and end the program here.
QString fileToOpen(const QApplication& app) {
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Records and evaluates sampled physiological signals."));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addPositionalArgument(QStringLiteral("file"),
                                 QStringLiteral("A data file to open (.bin or .prn)."),
                                 QStringLiteral("[file]"));
    parser.process(app);
    const QStringList files = parser.positionalArguments();
    return files.isEmpty() ? QString() : QFileInfo(files.constFirst()).absoluteFilePath();
}

} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setStyle(QStringLiteral("Fusion"));
    QApplication::setOrganizationName(QStringLiteral("Trazel"));
    QApplication::setApplicationName(QStringLiteral("Trazel"));
    QApplication::setApplicationVersion(QStringLiteral(TRAZEL_VERSION));
    // Lets the desktop match the window to trazel.desktop and its icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("trazel"));
    const QString file = fileToOpen(app);

    trazel::AppState state;
    trazel::QtDialogs dialogs(nullptr);
    trazel::Trazel window(state, dialogs);
    applyGeometryFromEnvironment(window);
    window.show();
    if (!file.isEmpty()) {
        // Once the window is up, so that the file's questions and messages appear over it.
        QMetaObject::invokeMethod(
            &window, [&window, file] { window.files().OpenFile(file); }, Qt::QueuedConnection);
    }
    return QApplication::exec();
}
