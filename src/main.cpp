#include "acquisition/unattended_recording.h"
#include "core/app_state.h"
#include "core/number_rules.h"
#include "ui/dialogs.h"
#include "window/main_window.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTextStream>

namespace {

// The options that run without a window, and without a display: no GUI application object is made.
const QStringList WindowlessOptions = {QStringLiteral("--record"),  QStringLiteral("--list-inputs"),
                                       QStringLiteral("--help"),    QStringLiteral("-h"),
                                       QStringLiteral("-?"),        QStringLiteral("--help-all"),
                                       QStringLiteral("--version"), QStringLiteral("-v")};

bool runsWithoutWindow(int argc, char* argv[]) {
    for (int i = 1; i < argc; ++i) {
        const QString argument = QString::fromLocal8Bit(argv[i]).section(QLatin1Char('='), 0, 0);
        if (WindowlessOptions.contains(argument)) {
            return true;
        }
    }
    return false;
}

// The names the settings are kept under, and the version --version prints.
void nameTheProgram() {
    QCoreApplication::setOrganizationName(QStringLiteral("Trazel"));
    QCoreApplication::setApplicationName(QStringLiteral("Trazel"));
    QCoreApplication::setApplicationVersion(QStringLiteral(TRAZEL_VERSION));
}

// Every option of the program, so that --help lists them all whichever way it starts.
void addOptions(QCommandLineParser& parser) {
    parser.setApplicationDescription(QStringLiteral(
        "Records and evaluates sampled physiological signals. Without options it opens its window, with the\n"
        "data file given, if any. --record records a continuous file without a window."));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addOptions({
        {QStringLiteral("record"),
         QStringLiteral("Records a continuous data file to <file> without a window."),
         QStringLiteral("file")},
        {QStringLiteral("input"),
         QStringLiteral("The input to record from: 'simulated' (the default) or an id of --list-inputs."),
         QStringLiteral("id"), QStringLiteral("simulated")},
        {QStringLiteral("rate"), QStringLiteral("Points a second, above 0 and up to 1000."),
         QStringLiteral("hz")},
        {QStringLiteral("seconds"), QStringLiteral("The file length in seconds."), QStringLiteral("s")},
        {QStringLiteral("channels"),
         QStringLiteral("The input channels to record, one per trace, up to three (default 1)."),
         QStringLiteral("list"), QStringLiteral("1")},
        {QStringLiteral("list-inputs"), QStringLiteral("Lists the inputs to record from, by id and name.")},
    });
    parser.addPositionalArgument(QStringLiteral("file"),
                                 QStringLiteral("A data file to open (.bin or .prn)."),
                                 QStringLiteral("[file]"));
}

// A number of the command line: the whole text, or nothing.
std::optional<double> numberOption(const QCommandLineParser& parser, const QString& name) {
    return trazel::numericValue(parser.value(name).toStdString());
}

// The channel list "1,2": whole numbers; empty when any is not.
std::vector<int> channelList(const QString& text) {
    std::vector<int> channels;
    for (const QString& part : text.split(QLatin1Char(','))) {
        const std::optional<double> channel = trazel::numericValue(part.trimmed().toStdString());
        if (!channel || *channel != static_cast<int>(*channel)) {
            return {};
        }
        channels.push_back(static_cast<int>(*channel));
    }
    return channels;
}

int runWithoutWindow(QCoreApplication& app) {
    QCommandLineParser parser;
    addOptions(parser);
    parser.process(app); // --help and --version print their text and end the program here
    QTextStream out(stdout);
    QTextStream messages(stderr);
    if (parser.isSet(QStringLiteral("list-inputs"))) {
        trazel::listInputs(out);
        return 0;
    }
    trazel::UnattendedOptions options;
    options.file = parser.value(QStringLiteral("record"));
    options.input = parser.value(QStringLiteral("input"));
    options.rate = numberOption(parser, QStringLiteral("rate")).value_or(0);
    options.seconds = numberOption(parser, QStringLiteral("seconds")).value_or(0);
    options.channels = channelList(parser.value(QStringLiteral("channels")));
    return trazel::recordUnattended(options, messages);
}

// TRAZEL_GEOMETRY=WxH sizes the window, for screenshots at a chosen size.
void applyGeometryFromEnvironment(QWidget& window) {
    const QString geometry = qEnvironmentVariable("TRAZEL_GEOMETRY");
    const QRegularExpressionMatch match =
        QRegularExpression(QStringLiteral("^(\\d+)x(\\d+)$")).match(geometry);
    if (match.hasMatch()) {
        window.resize(match.captured(1).toInt(), match.captured(2).toInt());
    }
}

// The data file named on the command line, as an absolute path; empty when there is none. An unknown
// option prints its text and ends the program here.
QString fileToOpen(const QApplication& app) {
    QCommandLineParser parser;
    addOptions(parser);
    parser.process(app);
    const QStringList files = parser.positionalArguments();
    return files.isEmpty() ? QString() : QFileInfo(files.constFirst()).absoluteFilePath();
}

} // namespace

int main(int argc, char* argv[]) {
    if (runsWithoutWindow(argc, argv)) {
        QCoreApplication app(argc, argv);
        nameTheProgram();
        return runWithoutWindow(app);
    }
    QApplication app(argc, argv);
    nameTheProgram();
    QApplication::setStyle(QStringLiteral("Fusion"));
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
