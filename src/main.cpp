#include "acquisition/unattended_recording.h"
#include "core/app_state.h"
#include "core/number_rules.h"
#include "export/conversion.h"
#include "ui/dialogs.h"
#include "window/main_window.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTextStream>

namespace {

// The options that run without a window, and without a display: no GUI application object is made.
const QStringList WindowlessOptions = {
    QStringLiteral("--record"),   QStringLiteral("--convert"), QStringLiteral("--list-inputs"),
    QStringLiteral("--help"),     QStringLiteral("-h"),        QStringLiteral("-?"),
    QStringLiteral("--help-all"), QStringLiteral("--version"), QStringLiteral("-v")};

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
        "data file given, if any. --record records a continuous file and --convert converts a data file,\n"
        "both without a window."));
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
         QStringLiteral(
             "With --record: the input channels to record, one per trace, up to three (default 1).\n"
             "With --convert: the signals to convert, by number (from 1) or label, up to three of "
             "one rate (default the first three)."),
         QStringLiteral("list")},
        {QStringLiteral("list-inputs"), QStringLiteral("Lists the inputs to record from, by id and name.")},
        {QStringLiteral("convert"),
         QStringLiteral(
             "Converts the data file <in> (any recording File > Open reads) to the file named after it "
             "(.edf, .bdf or .csv) without a window: trazel --convert IN OUT."),
         QStringLiteral("in")},
        {QStringLiteral("prn-channels"),
         QStringLiteral("With --convert: the channels of a Labtech file (1 or 2), or of a recorded file "
                        "without a header (1 to 3)."),
         QStringLiteral("n")},
        {QStringLiteral("prn-rate"), QStringLiteral("With --convert: the points a second of a Labtech file."),
         QStringLiteral("hz")},
    });
    parser.addPositionalArgument(
        QStringLiteral("file"),
        QStringLiteral(
            "A data file to open (.bin, .prn, .edf, .bdf, .abf, .hea, .gdf, .vhdr, .scp, .cfs, .cnt); "
            "with --convert, the file to write."),
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

std::filesystem::path pathOf(const QString& file) {
    return std::filesystem::path(file.toStdString());
}

int convert(const QCommandLineParser& parser, QTextStream& messages) {
    const QStringList files = parser.positionalArguments();
    if (files.size() != 1) {
        messages
            << "trazel: --convert takes the file to convert and the file to write: trazel --convert IN OUT"
            << Qt::endl;
        return trazel::ConversionRefused;
    }
    const trazel::ConversionRequest request{pathOf(parser.value(QStringLiteral("convert"))),
                                            pathOf(files.constFirst()),
                                            parser.value(QStringLiteral("channels")).toStdString(),
                                            parser.value(QStringLiteral("prn-channels")).toStdString(),
                                            parser.value(QStringLiteral("prn-rate")).toStdString()};
    std::string message;
    const int status = trazel::convertFile(request, message);
    messages << (status == trazel::Converted ? "" : "trazel: ") << QString::fromStdString(message)
             << Qt::endl;
    return status;
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
    if (parser.isSet(QStringLiteral("convert"))) {
        return convert(parser, messages);
    }
    trazel::UnattendedOptions options;
    options.file = parser.value(QStringLiteral("record"));
    options.input = parser.value(QStringLiteral("input"));
    options.rate = numberOption(parser, QStringLiteral("rate")).value_or(0);
    options.seconds = numberOption(parser, QStringLiteral("seconds")).value_or(0);
    if (parser.isSet(QStringLiteral("channels"))) {
        options.channels = channelList(parser.value(QStringLiteral("channels")));
    }
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
