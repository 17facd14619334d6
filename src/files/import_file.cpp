#include "files/import_file.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QStringDecoder>
#include <algorithm>
#include <bit>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstring>

namespace trazel {
namespace {

static_assert(std::endian::native == std::endian::little, "the reply comes in the machine's byte order");

constexpr auto PollInterval = std::chrono::milliseconds(50);
// Far beyond any recording a lab machine holds in memory, yet a stop for a process that writes without end.
constexpr qsizetype MaxReplyBytes = qsizetype(8) << 30;
// Of the error output only the end is kept: the reason is its last line.
constexpr qsizetype KeptErrorBytes = 64 << 10;
// The fewest bytes a signal's description and an event take in the reply.
constexpr std::size_t MinSignalBytes = 2 * sizeof(std::uint32_t) + 6 * sizeof(double);
constexpr std::size_t MinEventBytes = 2 * sizeof(double) + sizeof(std::uint32_t);

// Takes the parts of a reply in order, never past its end.
class ReplyReader {
public:
    explicit ReplyReader(const QByteArray& bytes) : m_bytes(bytes) {}

    qsizetype position() const { return m_at; }
    std::size_t remaining() const { return static_cast<std::size_t>(m_bytes.size() - m_at); }

    template <typename Number> bool number(Number& value) {
        if (remaining() < sizeof(Number)) {
            return false;
        }
        std::memcpy(&value, m_bytes.constData() + m_at, sizeof(Number));
        m_at += sizeof(Number);
        return true;
    }
    // A finite number.
    bool finite(double& value) { return number(value) && std::isfinite(value); }
    // UTF-8 text; other bytes are taken as Latin-1, as older equipment writes.
    bool text(std::string& value) {
        std::uint32_t size = 0;
        if (!number(size) || size > remaining()) {
            return false;
        }
        const QByteArray bytes = m_bytes.sliced(m_at, size);
        QStringDecoder fromUtf8(QStringDecoder::Utf8);
        const QString decoded = fromUtf8(bytes);
        value = (fromUtf8.hasError() ? QString::fromLatin1(bytes) : decoded).toStdString();
        m_at += size;
        return true;
    }
    bool skip(std::uint64_t bytes) {
        if (bytes > remaining()) {
            return false;
        }
        m_at += static_cast<qsizetype>(bytes);
        return true;
    }

private:
    const QByteArray& m_bytes;
    qsizetype m_at = 0;
};

int digitalLimit(double value) {
    return static_cast<int>(std::clamp(std::round(value), double(INT_MIN), double(INT_MAX)));
}

bool readSignalInfo(ReplyReader& reply, SignalInfo& info) {
    std::uint64_t samples = 0;
    double digitalMin = 0, digitalMax = 0;
    if (!reply.text(info.label) || !reply.text(info.unit) || !reply.finite(info.rate) || !(info.rate > 0) ||
        !reply.number(samples) || samples > std::uint64_t(INT64_MAX) || !reply.finite(info.physicalMin) ||
        !reply.finite(info.physicalMax) || !reply.finite(digitalMin) || !reply.finite(digitalMax)) {
        return false;
    }
    info.samples = static_cast<std::int64_t>(samples);
    info.digitalMin = digitalLimit(digitalMin);
    info.digitalMax = digitalLimit(digitalMax);
    return true;
}

bool readEvent(ReplyReader& reply, SignalEvent& event) {
    return reply.finite(event.onset) && reply.finite(event.duration) && reply.text(event.text);
}

std::filesystem::path importProgram(const ImportControl& control) {
    if (!control.program.empty()) {
        return control.program;
    }
    return std::filesystem::path(QCoreApplication::applicationDirPath().toStdString()) / "trazel-import";
}

// The last non-empty line of the process's error output.
std::string lastLine(const QByteArray& errors) {
    const QStringList lines = QString::fromLocal8Bit(errors).split(u'\n', Qt::SkipEmptyParts);
    for (auto line = lines.rbegin(); line != lines.rend(); ++line) {
        if (!line->trimmed().isEmpty()) {
            return line->trimmed().toStdString();
        }
    }
    return {};
}

void keepEnd(QByteArray& kept, const QByteArray& more) {
    kept += more;
    if (kept.size() > KeptErrorBytes) {
        kept = kept.last(KeptErrorBytes);
    }
}

std::string seconds(std::chrono::milliseconds duration) {
    return QString::number(std::chrono::duration<double>(duration).count(), 'g', 6).toStdString() + " s";
}

// Why a finished process gave no reply to read; empty when it succeeded.
std::string failure(const QProcess& process, const QByteArray& errors) {
    if (process.exitStatus() == QProcess::CrashExit) {
        return "the import process crashed (signal " + std::to_string(process.exitCode()) + ")";
    }
    if (process.exitCode() != 0) {
        const std::string reason = lastLine(errors);
        return reason.empty()
                   ? "the import process failed (exit code " + std::to_string(process.exitCode()) + ")"
                   : reason;
    }
    return {};
}

// Waits for the process to finish, gathering its reply and the end of its error output; the reason when
// it had to be stopped.
std::string awaitReply(QProcess& process, const ImportControl& control, QByteArray& reply,
                       QByteArray& errors) {
    QElapsedTimer clock;
    clock.start();
    std::string stopped;
    while (process.state() != QProcess::NotRunning && stopped.empty()) {
        process.waitForFinished(static_cast<int>(PollInterval.count()));
        reply += process.readAllStandardOutput();
        keepEnd(errors, process.readAllStandardError());
        if (control.cancelled && control.cancelled()) {
            stopped = "cancelled";
        } else if (std::chrono::milliseconds(clock.elapsed()) >= control.limit) {
            stopped = "the import process did not finish within " + seconds(control.limit);
        } else if (reply.size() > MaxReplyBytes) {
            stopped =
                "the import process's reply is larger than " + std::to_string(MaxReplyBytes >> 30) + " GiB";
        }
    }
    if (!stopped.empty() && process.state() != QProcess::NotRunning) {
        process.kill();
        process.waitForFinished();
    }
    return stopped;
}

} // namespace

std::optional<ImportedFile> ImportedFile::open(const std::filesystem::path& path,
                                               const ImportControl& control, std::string& error) {
    const std::filesystem::path program = importProgram(control);
    QProcess process;
    process.setStandardInputFile(QProcess::nullDevice());
    process.start(QString::fromStdString(program.string()), {QString::fromStdString(path.string())});
    if (!process.waitForStarted()) {
        error = "the import process " + program.string() +
                " does not start: " + process.errorString().toStdString();
        return std::nullopt;
    }
    QByteArray reply, errors;
    error = awaitReply(process, control, reply, errors);
    if (error.empty()) {
        error = failure(process, errors);
    }
    if (!error.empty()) {
        return std::nullopt;
    }
    return fromReply(std::move(reply), error);
}

std::optional<ImportedFile> ImportedFile::fromReply(QByteArray reply, std::string& error) {
    ImportedFile file;
    file.m_reply = std::move(reply);
    std::string malformed;
    if (!file.decode(malformed)) {
        error = "the import process's reply is malformed (" + malformed + ")";
        return std::nullopt;
    }
    return file;
}

bool ImportedFile::decode(std::string& malformed) {
    ReplyReader reply(m_reply);
    std::string magic;
    std::uint32_t signalCount = 0, eventCount = 0;
    if (!reply.text(magic) || magic != "TRAZEL-IMPORT 1") {
        malformed = "its beginning";
        return false;
    }
    // Every count is checked against the bytes that are left before anything is made that large.
    if (!reply.number(signalCount) || signalCount > reply.remaining() / MinSignalBytes) {
        malformed = "the signal count";
        return false;
    }
    m_signals.resize(signalCount);
    for (std::size_t i = 0; i < m_signals.size(); ++i) {
        if (!readSignalInfo(reply, m_signals[i])) {
            malformed = "signal " + std::to_string(i + 1);
            return false;
        }
    }
    for (const SignalInfo& info : m_signals) {
        m_sampleOffsets.push_back(reply.position());
        if (static_cast<std::uint64_t>(info.samples) > reply.remaining() / sizeof(float)) {
            malformed = "the samples of " + info.label;
            return false;
        }
        reply.skip(static_cast<std::uint64_t>(info.samples) * sizeof(float));
    }
    if (!reply.number(eventCount) || eventCount > reply.remaining() / MinEventBytes) {
        malformed = "the event count";
        return false;
    }
    m_events.resize(eventCount);
    if (!std::ranges::all_of(m_events, [&](SignalEvent& event) { return readEvent(reply, event); })) {
        malformed = "an event";
        return false;
    }
    if (reply.remaining() != 0) {
        malformed = "bytes after the events";
        return false;
    }
    std::ranges::stable_sort(m_events, {}, &SignalEvent::onset);
    return true;
}

bool ImportedFile::readPhysical(int signal, std::span<float> out, std::string& error) {
    const SignalInfo* info = signalToRead(signal, out, error);
    if (!info) {
        return false;
    }
    const auto count = static_cast<std::size_t>(info->samples);
    if (count > 0) { // an empty span may have no memory at all
        std::memcpy(out.data(), m_reply.constData() + m_sampleOffsets[static_cast<std::size_t>(signal)],
                    count * sizeof(float));
    }
    return true;
}

std::vector<SignalEvent> ImportedFile::events(std::string& /*error*/) {
    return m_events;
}

} // namespace trazel
