#pragma once

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <cstdint>
#include <vector>

namespace trazel::testing {

// A sound server of a test's (or a benchmark's) own: a PulseAudio daemon with its own runtime folder and
// socket, a null sink "probe" of the given rate and channels, bit-exact, whose monitor is remapped to the
// input "probe_in" (Qt hides monitor sources). PULSE_SERVER leads this process and the programs it starts to
// it, so nothing reaches the person's own sound server. Stopped by its process id when the test ends. Qt's
// sound backend connects once per process: a test that uses the server starts it before its first window.
class PulseServer {
public:
    static constexpr const char* InputId = "probe_in";
    static constexpr const char* InputName = "Probe input";

    explicit PulseServer(int rate = 48000, int channels = 2) : m_rate(rate), m_channels(channels) {
        const QString script = m_dir.filePath(QStringLiteral("pa.pa"));
        QFile file(script);
        file.open(QIODevice::WriteOnly);
        file.write(QStringLiteral("load-module module-native-protocol-unix auth-anonymous=1 socket=%1\n"
                                  "load-module module-null-sink sink_name=probe rate=%2 channels=%3 "
                                  "format=s16le norewinds=1\n"
                                  "load-module module-remap-source master=probe.monitor source_name=%4 "
                                  "source_properties='device.description=\"%5\"'\n")
                       .arg(socket())
                       .arg(rate)
                       .arg(channels)
                       .arg(QString::fromLatin1(InputId), QString::fromLatin1(InputName))
                       .toUtf8());
        file.close();
        QDir(m_dir.path()).mkpath(QStringLiteral("run"));
        QDir(m_dir.path()).mkpath(QStringLiteral("home"));
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), m_dir.filePath(QStringLiteral("run")));
        environment.insert(QStringLiteral("HOME"), m_dir.filePath(QStringLiteral("home")));
        m_daemon.setProcessEnvironment(environment);
        m_daemon.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_daemon.setStandardOutputFile(QProcess::nullDevice());
        m_daemon.start(QStringLiteral("pulseaudio"),
                       {QStringLiteral("-n"), QStringLiteral("-F"), script, QStringLiteral("--daemonize=no"),
                        QStringLiteral("--exit-idle-time=-1"), QStringLiteral("--use-pid-file=no"),
                        QStringLiteral("--log-level=error")});
        qputenv("PULSE_SERVER", ("unix:" + socket()).toUtf8());
        for (int i = 0; i < 100 && !m_started; ++i) {
            m_started = answers();
            QThread::msleep(m_started ? 0 : 50);
        }
    }
    ~PulseServer() {
        m_player.kill();
        m_player.waitForFinished();
        m_daemon.terminate();
        if (!m_daemon.waitForFinished(3000)) {
            m_daemon.kill();
            m_daemon.waitForFinished();
        }
    }
    PulseServer(const PulseServer&) = delete;
    PulseServer& operator=(const PulseServer&) = delete;

    // The server runs and offers its input.
    bool started() const { return m_started; }
    // Plays interleaved 16-bit frames into the sink; returns at once.
    void play(const std::vector<std::int16_t>& frames) {
        QFile raw(m_dir.filePath(QStringLiteral("played.raw")));
        raw.open(QIODevice::WriteOnly);
        raw.write(reinterpret_cast<const char*>(frames.data()), static_cast<qint64>(frames.size() * 2));
        raw.close();
        m_player.start(QStringLiteral("paplay"),
                       {QStringLiteral("--device=probe"), QStringLiteral("--raw"),
                        QStringLiteral("--format=s16le"), QStringLiteral("--rate=%1").arg(m_rate),
                        QStringLiteral("--channels=%1").arg(m_channels), raw.fileName()});
        m_player.waitForStarted();
    }
    bool playing() { return m_player.state() != QProcess::NotRunning; }
    // Ends the server as a crash would.
    void kill() {
        m_daemon.kill();
        m_daemon.waitForFinished();
    }

private:
    QString socket() const { return m_dir.filePath(QStringLiteral("native")); }
    // The server runs and offers the input.
    bool answers() const {
        QProcess sources;
        sources.start(QStringLiteral("pactl"),
                      {QStringLiteral("list"), QStringLiteral("short"), QStringLiteral("sources")});
        return sources.waitForFinished(2000) && sources.exitCode() == 0 &&
               sources.readAllStandardOutput().contains(InputId);
    }

    int m_rate;
    int m_channels;
    QTemporaryDir m_dir;
    QProcess m_daemon;
    QProcess m_player;
    bool m_started = false;
};

// Where `part` first stands in `whole`, sample for sample; -1 when nowhere. The sink delays what is
// played by a varying time, so recordings are compared from there.
inline std::ptrdiff_t findRun(const std::vector<std::int16_t>& whole, const std::vector<std::int16_t>& part) {
    if (part.empty() || whole.size() < part.size()) {
        return -1;
    }
    for (std::size_t i = 0; i + part.size() <= whole.size(); ++i) {
        if (std::equal(part.begin(), part.end(), whole.begin() + static_cast<std::ptrdiff_t>(i))) {
            return static_cast<std::ptrdiff_t>(i);
        }
    }
    return -1;
}

} // namespace trazel::testing
