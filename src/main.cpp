#include "core/app_state.h"
#include "window/main_window.h"
#include "ui/dialogs.h"

#include <QApplication>
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

} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setStyle(QStringLiteral("Fusion"));
    QApplication::setApplicationName(QStringLiteral("Trazel"));

    trazel::AppState state;
    trazel::QtDialogs dialogs(nullptr);
    trazel::Trazel window(state, dialogs);
    applyGeometryFromEnvironment(window);
    window.show();
    return QApplication::exec();
}
