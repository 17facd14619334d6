// The live input: a point from the simulated source whenever one is due on the clock, drawn as a moving
// pen that starts a fresh screen at the right edge, with the marker bar and stimulus ticks under the
// traces, and, while a continuous recording is open, written to the file as it goes.

#include "acquisition/recorder.h"
#include "acquisition/recording_rules.h"
#include "core/number_rules.h"
#include "display/curves.h"
#include "display/view.h"
#include "ui/controls.h"
#include "ui/event_loop.h"
#include "ui/plot_surface.h"

#include <algorithm>

namespace trazel {

namespace {

// A crash of the program loses at most this much of a recording. What is written is with the system,
// which puts it on the disk in its own time: a power cut can lose more.
constexpr double WriteEverySeconds = 1;

} // namespace

struct Recorder::LoopRun {
    Long x = 0;        // pen position: points from the left edge of the screen
    bool penUp = true; // the next point only starts the pen
    bool recording = false;
    std::array<Integer, TraceCount> sample{};
    std::array<Single, TraceCount> prev{}; // the last drawn value of each trace
    PointPacer pacer;
    // Points taken and not yet written, how many the file holds so far, and how many it may hold.
    std::vector<std::int16_t> pendingSamples;
    std::vector<std::int16_t> pendingMarkers;
    std::int64_t recorded = 0;
    std::int64_t capacity = 0;
    double lastWrite = 0;
};

void Recorder::Timer1_Timer() {
    s.TimerTick = true;
}

void Recorder::AcquireLoop() {
    s.Acquiring = false; // a loop still running further out ends when control returns to it
    LoopRun run;
    run.recording = s.Recording;
    s.ViewStart = 0;
    m_view.drawAxes();
    s.ScreenPoints = toLong(m_disp.ScaleWidth() * 0.8);
    s.MarkerCode = 0;
    m_c.drug_button->setText(QStringLiteral("MARKER ON"));
    if (run.recording) {
        run.capacity = recordCapacity(s.ChannelCount, s.FileLength, s.SampleInterval);
    }
    if (s.TraceChannel(1) > 0) {
        m_source.SimulatedSample(true); // trace 1 restarts the phase of the source
    }
    // The focus moves first: a field that loses it asks for a redraw, which this new screen already is.
    m_c.halt->setFocus();
    m_c.stim->setEnabled(true);
    s.StopRequested = false;
    s.RedrawRequested = false;
    s.Acquiring = true;
    run.pacer.start(m_clock->Seconds(), s.SampleInterval);
    run.lastWrite = m_clock->Seconds();
    while (true) {
        takePoint(run);
        waitUntilDue(run);
        if (!s.Acquiring) {
            break; // a loop started meanwhile has taken over, and ended
        }
        if (!run.penUp && (run.x >= s.ScreenPoints || s.RedrawRequested)) {
            startNewScreen(run);
        }
        drawPoint(run);
        const bool room = recordPoint(run);
        if (s.MarkerCode == MarkerStimulus) {
            s.MarkerCode = s.ResumeMarkerCode; // a stimulus marks exactly one point
        }
        ++run.x;
        if (!room) {
            break;
        }
        yieldToEvents();
        if (s.StopRequested || !s.Acquiring) {
            break;
        }
    }
    finishLoop(run);
}

void Recorder::takePoint(LoopRun& run) {
    for (int t = 1; t <= TraceCount; ++t) {
        if (s.TraceChannel(t) > 0) {
            run.sample[static_cast<std::size_t>(t - 1)] = toInteger(m_source.SimulatedSample(false));
        }
    }
}

// Sleeps until the point is due; the timer's ticks wake the loop to look at the clock, and so does any
// other event, so that STOP ends the wait at once.
void Recorder::waitUntilDue(LoopRun& run) {
    run.pacer.setInterval(s.SampleInterval); // a rate changed meanwhile counts from the last point
    m_c.Timer1->setInterval(std::max(1, toLong(1000 / s.SamplingRate)));
    s.TimerTick = false;
    m_c.Timer1->setEnabled(true);
    while (!run.pacer.isDue(m_clock->Seconds()) && !s.StopRequested && s.Acquiring) {
        waitForEvents();
    }
    m_c.Timer1->setEnabled(false);
    run.pacer.take();
}

// A full screen goes on where it ended; a redraw asked for by a settings change starts again at 0.
void Recorder::startNewScreen(LoopRun& run) {
    if (s.RedrawRequested) {
        s.ViewStart = 0;
        s.ScreenPoints = toLong(m_disp.ScaleWidth() * 0.8);
        s.RedrawRequested = false;
    } else {
        s.ViewStart = static_cast<Single>(s.ViewStart + s.TimeFactor * s.ScreenLen / s.SampleInterval);
    }
    m_view.drawAxes();
    run.x = 0;
    run.penUp = true;
    if (run.recording) {
        writeRecorded(run);
    }
}

void Recorder::drawPoint(LoopRun& run) {
    for (int t = 1; t <= TraceCount; ++t) {
        if (s.TraceChannel(t) <= 0) {
            continue;
        }
        const auto i = static_cast<std::size_t>(t - 1);
        setTraceScale(s, m_disp, t);
        const Single half = s.TraceRange(t) / 2;
        const Single y = std::clamp(static_cast<Single>(run.sample[i] + s.TraceOffset(t)), -half, half);
        if (!run.penUp) {
            m_disp.Line(run.x - 1, run.prev[i], run.x, y, s.SingleColour(t));
        }
        run.prev[i] = y;
    }
    run.penUp = false;
    // The marks lie in the scale of the last trace drawn, which puts them at the same height for all.
    if (s.MarkerCode == MarkerOn) {
        drawMarkerBar(m_disp, std::max(run.x - 0.5, 0.0), run.x + 0.5);
    } else if (s.MarkerCode == MarkerStimulus) {
        drawStimulusTick(m_disp, run.x);
    }
}

// False when the file is full or could not be written.
bool Recorder::recordPoint(LoopRun& run) {
    if (!run.recording) {
        return true;
    }
    for (int t = 1; t <= TraceCount; ++t) {
        if (s.TraceChannel(t) > 0) {
            run.pendingSamples.push_back(run.sample[static_cast<std::size_t>(t - 1)]);
        }
    }
    run.pendingMarkers.push_back(s.MarkerCode);
    ++run.recorded;
    const bool full = run.recorded >= run.capacity;
    if (full || m_clock->Seconds() - run.lastWrite >= WriteEverySeconds) {
        return writeRecorded(run) && !full;
    }
    return true;
}

bool Recorder::writeRecorded(LoopRun& run) {
    run.lastWrite = m_clock->Seconds();
    if (!m_recordFile) {
        return false; // closed after a failure
    }
    const bool written = appendToRecording(run.pendingSamples, run.pendingMarkers);
    run.pendingSamples.clear();
    run.pendingMarkers.clear();
    return written;
}

void Recorder::finishLoop(LoopRun& run) {
    m_c.Timer1->setEnabled(false);
    if (!s.BlockMode) {
        m_c.stim->setEnabled(false);
    }
    if (run.recording && m_recordFile) {
        writeRecorded(run);
        closeRecording();
    }
    s.Acquiring = false;
    m_c.halt->setEnabled(false);
}

} // namespace trazel
