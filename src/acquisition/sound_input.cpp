// The sound card as an input, through the sound server (PulseAudio, or PipeWire's PulseAudio interface) by
// way of Qt Multimedia.

#include "acquisition/sound_input.h"

#include <QAudioDevice>
#include <QAudioSource>
#include <QMediaDevices>
#include <algorithm>
#include <cmath>
#include <cstring>
#include <span>

namespace trazel {

namespace {

// About 5 ms of the device's samples at a time keep the way from the server to the plot short.
constexpr int BufferMicroseconds = 5000;
constexpr int WatchIntervalMs = 200;
// A device that delivers nothing for this long has stopped.
constexpr qint64 SilentLimitMs = 1000;
// What the device's clock may be behind the system's before samples count as lost: the start of the
// stream, and a clock a little slower than nominal.
constexpr double LateStartSeconds = 0.25;
constexpr double ClockTolerance = 200e-6;

InputDevice describe(const QAudioDevice& device) {
    const QAudioFormat format = device.preferredFormat();
    return {QString::fromUtf8(device.id()), device.description(), format.channelCount(), format.sampleRate()};
}

QString reasonOf(QAudio::Error error) {
    switch (error) {
    case QAudio::OpenError:
        return QStringLiteral("the device could not be opened");
    case QAudio::IOError:
        return QStringLiteral("the device stopped delivering samples");
    case QAudio::FatalError:
        return QStringLiteral("the sound server failed");
    default:
        return QStringLiteral("the sound server ended the stream");
    }
}

} // namespace

InputList listSoundInputs() {
    InputList list;
    for (const QAudioDevice& device : QMediaDevices::audioInputs()) {
        const InputDevice input = describe(device);
        if (input.channels > 0 && input.rate > 0) {
            list.devices.push_back(input);
        }
    }
    if (list.devices.empty()) {
        list.why = QStringLiteral("No sound input found: no sound server runs, or it offers no input.");
    }
    return list;
}

std::optional<InputDevice> findSoundInput(const QString& id) {
    const InputList list = listSoundInputs();
    const auto found = std::ranges::find(list.devices, id, &InputDevice::id);
    return found == list.devices.end() ? std::nullopt : std::optional(*found);
}

SoundInput::SoundInput(QObject* parent) : QObject(parent) {
    m_watch.setInterval(WatchIntervalMs);
    connect(&m_watch, &QTimer::timeout, this, &SoundInput::checkDelivery);
}

SoundInput::~SoundInput() = default;

bool SoundInput::start(const InputDevice& device, double pointRate) {
    stop();
    m_device = device;
    m_pointRate = pointRate;
    m_failure.clear();
    const QList<QAudioDevice> inputs = QMediaDevices::audioInputs();
    const auto found = std::ranges::find_if(
        inputs, [&](const QAudioDevice& input) { return QString::fromUtf8(input.id()) == device.id; });
    if (found == inputs.end()) {
        m_failure = QStringLiteral("the sound server no longer offers it");
        return false;
    }
    QAudioFormat format;
    format.setSampleRate(device.rate);
    format.setChannelCount(device.channels);
    format.setSampleFormat(QAudioFormat::Int16);
    m_source = std::make_unique<QAudioSource>(*found, format);
    m_source->setBufferSize(format.bytesForDuration(BufferMicroseconds));
    // A point rate given as the reciprocal of its interval may miss the device's rate in the last digits;
    // at the device's own rate the samples must come through unchanged.
    const bool ownRate = std::abs(pointRate - device.rate) <= 1e-6 * device.rate;
    m_resampler =
        std::make_unique<Resampler>(device.rate, ownRate ? device.rate : pointRate, device.channels);
    m_stream = m_source->start();
    if (m_stream == nullptr || m_source->error() != QAudio::NoError) {
        const QString reason = reasonOf(m_source->error());
        stop();
        m_failure = reason;
        return false;
    }
    connect(m_stream, &QIODevice::readyRead, this, &SoundInput::readAvailable);
    m_sinceStart.start();
    m_sinceData.start();
    m_sinceCheck.start();
    m_watch.start();
    return true;
}

void SoundInput::stop() {
    m_watch.stop();
    if (m_source) {
        m_source->stop();
    }
    m_stream = nullptr;
    m_source.reset();
    m_resampler.reset();
    m_points.clear();
    m_partial.clear();
    m_framesReceived = 0;
}

void SoundInput::takePoint(std::vector<std::int16_t>& point) {
    point.assign(m_points.begin(), m_points.begin() + static_cast<std::ptrdiff_t>(channelCount()));
    m_points.erase(m_points.begin(), m_points.begin() + static_cast<std::ptrdiff_t>(channelCount()));
}

void SoundInput::readAvailable() {
    if (m_stream == nullptr) {
        return;
    }
    m_partial += m_stream->readAll();
    const std::size_t frameBytes = 2 * channelCount();
    const std::size_t frames = static_cast<std::size_t>(m_partial.size()) / frameBytes;
    if (frames == 0) {
        return;
    }
    std::vector<std::int16_t> samples(frames * channelCount());
    std::memcpy(samples.data(), m_partial.constData(), frames * frameBytes);
    m_partial.remove(0, static_cast<qsizetype>(frames * frameBytes));
    m_framesReceived += static_cast<std::int64_t>(frames);
    m_sinceData.start();
    m_converted.clear();
    m_resampler->push(samples, m_converted);
    m_points.insert(m_points.end(), m_converted.begin(), m_converted.end());
    emit pointsArrived();
}

void SoundInput::checkDelivery() {
    if (!m_source || !m_failure.isEmpty()) {
        return;
    }
    readAvailable();
    if (m_source->state() == QAudio::StoppedState && m_source->error() != QAudio::NoError) {
        fail(reasonOf(m_source->error()));
        return;
    }
    // After a stall of the program itself the samples are still on their way: what the server could not
    // keep shows below as samples lost, not as a silent device.
    if (m_sinceCheck.restart() > SilentLimitMs) {
        m_sinceData.start();
    }
    if (m_sinceData.elapsed() > SilentLimitMs) {
        fail(QStringLiteral("no samples for %1 s").arg(SilentLimitMs / 1000));
        return;
    }
    const double seconds = static_cast<double>(m_sinceStart.nsecsElapsed()) / 1e9;
    const auto expected = static_cast<std::int64_t>(seconds * m_device.rate);
    const auto allowed =
        static_cast<std::int64_t>((LateStartSeconds + ClockTolerance * seconds) * m_device.rate);
    if (expected - m_framesReceived > allowed) {
        fail(QStringLiteral("%1 samples were lost").arg(expected - m_framesReceived));
    }
}

void SoundInput::fail(const QString& reason) {
    m_failure = reason;
    if (m_source) {
        m_source->stop();
    }
    emit pointsArrived();
}

} // namespace trazel
