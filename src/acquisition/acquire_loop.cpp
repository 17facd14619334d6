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

struct Recorder::LoopRun {
    Long x = 0;        // pen position: points from the left edge of the screen
    bool penUp = true; // the next point only starts the pen
    bool recording = false;
    std::array<Integer, TraceCount> sample{};
    std::array<Single, TraceCount> prev{}; // the last drawn value of each trace
    PointPacer pacer;
    // Points taken and not yet written, how many the file holds so far, and how many it may hold.
    PendingPoints pending{0, 0};
    std::vector<std::int16_t> point; // the recorded traces' samples of the point
    bool pointTaken = true;          // false: the wait ended without a point from the sound input
    bool inputFailed = false;        // the sound input stopped, and every point it delivered has been taken
};

void Recorder::Timer1_Timer() {
    s.TimerTick = true;
}

void Recorder::AcquireLoop() {
    s.Acquiring = false; // a loop still running further out ends when control returns to it
    if (!startInput()) {
        return;
    }
    LoopRun run;
    run.recording = s.Recording;
    s.ViewStart = 0;
    m_view.drawAxes();
    s.ScreenPoints = toLong(m_disp.ScaleWidth() * 0.8);
    s.MarkerCode = 0;
    m_c.drug_button->setText(QStringLiteral("MARKER ON"));
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
    const std::int64_t capacity =
        run.recording ? recordCapacity(s.ChannelCount, s.FileLength, s.SampleInterval) : 0;
    run.pending = PendingPoints(capacity, m_clock->Seconds());
    while (true) {
        takePoint(run);
        waitUntilDue(run);
        if (!s.Acquiring || !run.pointTaken) {
            break; // a loop started meanwhile has taken over, and ended; or no point came before the end
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
    if (m_input.running()) {
        return; // the device's points are taken as they come
    }
    for (int t = 1; t <= TraceCount; ++t) {
        if (s.TraceChannel(t) > 0) {
            run.sample[static_cast<std::size_t>(t - 1)] = toInteger(m_source.SimulatedSample(false));
        }
    }
}

// Sleeps until the point is due; the timer's ticks wake the loop to look at the clock, and so does any
// other event, so that STOP ends the wait at once.
void Recorder::waitUntilDue(LoopRun& run) {
    if (m_input.running()) {
        waitForInputPoint(run);
        return;
    }
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
    run.point.clear();
    for (int t = 1; t <= TraceCount; ++t) {
        if (s.TraceChannel(t) > 0) {
            run.point.push_back(run.sample[static_cast<std::size_t>(t - 1)]);
        }
    }
    if (run.pending.add(run.point, s.MarkerCode, m_clock->Seconds())) {
        return writeRecorded(run) && !run.pending.full();
    }
    return true;
}

bool Recorder::writeRecorded(LoopRun& run) {
    const double now = m_clock->Seconds();
    if (!m_recordFile) {
        return false; // closed after a failure
    }
    const bool written = appendToRecording(run.pending.samples(), run.pending.markers());
    run.pending.written(now);
    return written;
}

// The device paces the points: the loop sleeps until the next one has come, and takes the points that
// wait one after the other. A point rate changed meanwhile starts the capture anew at that rate.
void Recorder::waitForInputPoint(LoopRun& run) {
    if (m_input.pointRate() != 1 / s.SampleInterval &&
        !m_input.start(m_input.device(), 1 / s.SampleInterval)) {
        run.pointTaken = false;
        run.inputFailed = true;
        return;
    }
    while (m_input.pointsWaiting() == 0 && m_input.failure().isEmpty() && !s.StopRequested && s.Acquiring) {
        waitForEvents();
    }
    run.pointTaken = m_input.pointsWaiting() > 0;
    run.inputFailed = !run.pointTaken && !m_input.failure().isEmpty();
    if (run.pointTaken) {
        takeInputPoint(run.sample);
    }
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
    if (run.inputFailed) {
        reportInputFailure();
    }
    m_input.stop();
}

} // namespace trazel
