#pragma once

#include "acquisition/resampler.h"

#include <QElapsedTimer>
#include <QIODevice>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>
#include <cstdint>
#include <deque>
#include <memory>
#include <optional>
#include <vector>

class QAudioSource;

namespace trazel {

// An audio input of the sound server: its id (kept in the settings), what the server calls it, and the
// channels and rate it delivers on its own.
struct InputDevice {
    QString id;
    QString description;
    int channels = 0;
    int rate = 0;
};

// The inputs the sound server offers; none, and why, when there is no server or it has no input.
struct InputList {
    std::vector<InputDevice> devices;
    QString why;
};
InputList listSoundInputs();
std::optional<InputDevice> findSoundInput(const QString& id);

// Captures one input as the device's 16-bit samples at its own rate, paced by the device's clock, and
// brings them to the point rate. Nothing is dropped on the way: the points wait here until they are taken.
// A device that stops delivering, or delivers less than its clock says it should have (an overrun in the
// server), fails the capture with the reason.
class SoundInput : public QObject {
    Q_OBJECT

public:
    explicit SoundInput(QObject* parent = nullptr);
    ~SoundInput() override;

    // Starts capturing at `pointRate` points a second; false with failure() when it cannot.
    bool start(const InputDevice& device, double pointRate);
    void stop();
    bool running() const { return m_source != nullptr; }
    const InputDevice& device() const { return m_device; }
    double pointRate() const { return m_pointRate; }

    // Points at the point rate waiting to be taken, each with a value per device channel.
    std::size_t pointsWaiting() const { return m_points.size() / channelCount(); }
    // The next point's value of device channel `channel` (1..channels) is in point[channel - 1].
    void takePoint(std::vector<std::int16_t>& point);
    // Forgets the points waiting: a sweep starts with the points that come after its stimulus.
    void discardWaiting() { m_points.clear(); }

    // Set once the capture has failed; empty while it runs.
    const QString& failure() const { return m_failure; }

signals:
    // New points are waiting, or the capture has failed.
    void pointsArrived();

private:
    std::size_t channelCount() const { return static_cast<std::size_t>(std::max(1, m_device.channels)); }
    void readAvailable();
    void checkDelivery();
    void fail(const QString& reason);

    InputDevice m_device;
    double m_pointRate = 0;
    std::unique_ptr<QAudioSource> m_source;
    QPointer<QIODevice> m_stream; // the backend deletes it when the stream fails
    std::unique_ptr<Resampler> m_resampler;
    std::vector<std::int16_t> m_converted;
    std::deque<std::int16_t> m_points;
    QByteArray m_partial; // the bytes of a frame not yet complete
    QTimer m_watch;       // looks at the delivery while the capture runs
    QElapsedTimer m_sinceStart;
    QElapsedTimer m_sinceData;
    QElapsedTimer m_sinceCheck;
    std::int64_t m_framesReceived = 0;
    QString m_failure;
};

} // namespace trazel
