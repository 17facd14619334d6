#include <QApplication>
#include <QSettings>
#include <QTemporaryDir>
#include <gtest/gtest.h>

int main(int argc, char** argv) {
    // Test discovery runs this binary at build time, outside the test environment: never reach for a
    // display.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // Never the person's own sound server: a test that records starts a server of its own.
    if (!qEnvironmentVariableIsSet("PULSE_SERVER")) {
        qputenv("PULSE_SERVER", "unix:/nonexistent/trazel-tests");
    }
    QApplication app(argc, argv);
    // Every window a test opens a file in writes the recent files: into settings of this run only, never
    // the user's.
    const QTemporaryDir settings;
    QApplication::setOrganizationName(QStringLiteral("TrazelTests"));
    for (const QSettings::Scope scope : {QSettings::UserScope, QSettings::SystemScope}) {
        QSettings::setPath(QSettings::NativeFormat, scope, settings.path());
    }
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
