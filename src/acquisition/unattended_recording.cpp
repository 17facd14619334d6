// Recording from the command line: the acquisition loop's rules without the window.

#include "acquisition/unattended_recording.h"

#include "acquisition/recording_rules.h"
#include "acquisition/simulated_source.h"
#include "acquisition/sound_input.h"
#include "core/display_text.h"
#include "core/number_rules.h"
#include "files/bin_writer.h"
#include "ui/event_loop.h"

#include <QTextStream>
#include <QTimer>
#include <optional>

namespace trazel {

namespace {

constexpr int Failed = 1;
constexpr int BadRequest = 2;
constexpr Single MaximumRateHz = 1000; // as the sampling-rate field takes it
constexpr int MostChannels = 4;

const QString SimulatedInput = QStringLiteral("simulated");

// The points of one run and the file they go to.
class Run {
public:
    Run(BinFileWriter file, std::int64_t capacity, Single interval, double now)
        : m_file(std::move(file)), m_pending(capacity, now), m_capacity(capacity), m_interval(interval),
          m_lastReport(now) {}

    // False once the file is full or could not be written.
    bool add(std::span<const std::int16_t> samples, double now) {
        if (m_pending.add(samples, 0, now)) {
            return write(now) && !full();
        }
        return true;
    }
    bool full() const { return m_pending.full(); }
    bool failed() const { return m_failed; }
    std::int64_t taken() const { return m_pending.taken(); }
    // What is still pending goes to the file, which is closed.
    void finish(double now) {
        write(now);
        m_failed = !m_file.close() || m_failed;
    }
    // Once a second: how far the recording has come.
    void report(double now, QTextStream& messages) {
        if (now - m_lastReport < 1) {
            return;
        }
        m_lastReport = now;
        messages << qtext(formatNumber(static_cast<double>(taken()) * m_interval, "####0.0")) << " s of "
                 << qtext(formatNumber(static_cast<double>(m_capacity) * m_interval, "####0.0")) << " s, "
                 << taken() << " points" << Qt::endl;
    }

private:
    bool write(double now) {
        const bool written = m_file.append(m_pending.samples(), m_pending.markers());
        m_pending.written(now);
        m_failed = m_failed || !written;
        return written;
    }

    BinFileWriter m_file;
    PendingPoints m_pending;
    std::int64_t m_capacity;
    Single m_interval;
    double m_lastReport;
    bool m_failed = false;
};

QString badRequest(const UnattendedOptions& options) {
    if (!(options.rate > 0 && options.rate <= MaximumRateHz)) {
        return QStringLiteral("--rate takes a number of points a second above 0 and up to 1000.");
    }
    if (!(options.seconds > 0)) {
        return QStringLiteral("--seconds takes a file length in seconds above 0.");
    }
    if (options.channels.empty() || options.channels.size() > TraceCount) {
        return QStringLiteral("--channels takes one to three channels, such as 1,2.");
    }
    for (const int channel : options.channels) {
        if (channel < 1 || channel > MostChannels) {
            return QStringLiteral("--channels takes channels from 1 to 4.");
        }
    }
    return {};
}

// Points of the simulated source on the system's clock, as the recording layout paces them.
void recordSimulated(Run& run, std::size_t traces, Single interval, QTextStream& messages) {
    SimulatedSource source;
    SteadyClock clock;
    PointPacer pacer;
    source.SimulatedSample(true); // trace 1 restarts the phase of the source
    pacer.start(clock.Seconds(), interval);
    QTimer tick; // wakes the wait for the next point
    tick.setTimerType(Qt::PreciseTimer);
    tick.start(std::max(1, toLong(1000 * static_cast<double>(interval))));
    std::vector<std::int16_t> point(traces);
    while (!run.full() && !run.failed()) {
        for (std::int16_t& sample : point) {
            sample = toInteger(source.SimulatedSample(false));
        }
        while (!pacer.isDue(clock.Seconds())) {
            waitForEvents();
        }
        pacer.take();
        run.add(point, clock.Seconds());
        run.report(clock.Seconds(), messages);
    }
}

// Points of a sound input, paced by the device.
QString recordSound(Run& run, const InputDevice& device, const std::vector<int>& channels, double rate,
                    QTextStream& messages) {
    SoundInput input;
    if (!input.start(device, rate)) {
        return input.failure();
    }
    SteadyClock clock;
    std::vector<std::int16_t> frame;
    std::vector<std::int16_t> point(channels.size());
    while (!run.full() && !run.failed()) {
        while (input.pointsWaiting() == 0 && input.failure().isEmpty()) {
            waitForEvents();
        }
        if (input.pointsWaiting() == 0) {
            return input.failure();
        }
        input.takePoint(frame);
        for (std::size_t i = 0; i < channels.size(); ++i) {
            point[i] = frame[static_cast<std::size_t>(channels[i] - 1)];
        }
        run.add(point, clock.Seconds());
        run.report(clock.Seconds(), messages);
    }
    return {};
}

} // namespace

int recordUnattended(const UnattendedOptions& options, QTextStream& messages) {
    if (const QString problem = badRequest(options); !problem.isEmpty()) {
        messages << problem << Qt::endl;
        return BadRequest;
    }
    std::optional<InputDevice> device;
    if (options.input != SimulatedInput) {
        device = findSoundInput(options.input);
        if (!device) {
            messages << "No input " << options.input << ": trazel --list-inputs lists the inputs."
                     << Qt::endl;
            return BadRequest;
        }
        for (const int channel : options.channels) {
            if (channel > device->channels) {
                messages << "The input " << device->description << " has " << device->channels
                         << " channels, not " << channel << "." << Qt::endl;
                return BadRequest;
            }
        }
    }
    const auto interval = static_cast<Single>(1 / options.rate);
    TraceArray<Integer> traceChannels;
    traceChannels.fill(0);
    for (std::size_t i = 0; i < options.channels.size(); ++i) {
        traceChannels(static_cast<int>(i) + 1) = static_cast<Integer>(options.channels[i]);
    }
    std::optional<BinFileWriter> file =
        BinFileWriter::create(std::filesystem::path(options.file.toStdString()),
                              recordingHeader(traceChannels, false, -1, StimulusSettings{}, interval));
    if (!file) {
        messages << "Cannot write " << options.file << "." << Qt::endl;
        return Failed;
    }
    const auto traces = options.channels.size();
    SteadyClock clock;
    Run run(std::move(*file),
            recordCapacity(static_cast<int>(traces), static_cast<Single>(options.seconds), interval),
            interval, clock.Seconds());
    QString failure;
    if (device) {
        failure = recordSound(run, *device, options.channels, options.rate, messages);
    } else {
        recordSimulated(run, traces, interval, messages);
    }
    run.finish(clock.Seconds());
    if (!failure.isEmpty()) {
        messages << "The input " << device->description << " stopped: " << failure << ". Recording stopped."
                 << Qt::endl;
        return Failed;
    }
    if (run.failed()) {
        messages << "Error encountered while trying to write " << options.file << ", recording stopped."
                 << Qt::endl;
        return Failed;
    }
    messages << run.taken() << " points recorded in " << options.file << Qt::endl;
    return 0;
}

void listInputs(QTextStream& out) {
    out << SimulatedInput << "\tSimulated" << Qt::endl;
    const InputList list = listSoundInputs();
    for (const InputDevice& device : list.devices) {
        out << device.id << '\t' << device.description << " (" << device.channels << " channels, "
            << device.rate << " Hz)" << Qt::endl;
    }
    if (!list.why.isEmpty()) {
        out << list.why << Qt::endl;
    }
}

} // namespace trazel
