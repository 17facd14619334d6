// The settings fields of the recording layout: rate (or, in block mode, sample interval), screen and file
// length, and a channel and a gain for each trace. Typed numbers follow the leading-number rule; an entry
// that would leave the settings unusable is put back without a message.

#include "acquisition/time_base.h"
#include "core/display_text.h"
#include "core/number_rules.h"
#include "display/axes.h"
#include "ui/controls.h"
#include "ui/plot_surface.h"
#include "window/main_window.h"

namespace trazel {

namespace {

constexpr int EnterKey = 13;
constexpr Single MinimumIntervalUs = 30;
constexpr Single MaximumRateHz = 1000;

} // namespace

void Trazel::sampling_hz_KeyPress(int KeyAscii) {
    if (KeyAscii == EnterKey) {
        moveFocusTo(s.BlockMode ? *stim : *monitor);
    }
}

void Trazel::sampling_hz_LostFocus() {
    const Single v = static_cast<Single>(sampling_hz->Number());
    // An untouched field changes nothing, above all not the block-mode average. Intervals are compared as
    // stored: 1000 us and 1 / 1000 s are the same Single, their product with 1E6 is not quite 1000.
    const Single interval = static_cast<Single>(v / 1000000.0);
    if (s.BlockMode ? interval == s.SampleInterval : v == s.SamplingRate) {
        return;
    }
    if (s.BlockMode) {
        const std::optional<Long> sweep = screenPointCount(s.TimeFactor, s.ScreenLen, interval);
        if (v >= MinimumIntervalUs && sweep) {
            applySampleInterval(interval, *sweep);
        } else {
            sampling_hz->setText(qtext(plainText(static_cast<Single>(s.SampleInterval * 1000000.0))));
        }
    } else if (v > 0 && v <= MaximumRateHz) {
        s.SamplingRate = v;
        s.SampleInterval = 1 / v;
        s.SampleCount = toLong(static_cast<double>(s.FileLength) * s.SamplingRate);
        disp->setScaleWidth(continuousScaleWidth(s));
        s.ViewStart = 0;
        redrawAxesOrRequest();
    } else {
        sampling_hz->setText(qtext(plainText(s.SamplingRate)));
    }
    writeScreenLength();
}

// A block-mode interval: the sweep keeps its duration and gets new buffers.
void Trazel::applySampleInterval(Single interval, Long sweepLength) {
    s.SampleInterval = interval;
    s.SamplingRate = 1 / interval;
    s.SweepLength = sweepLength;
    s.BlockSweepLength = sweepLength;
    disp->setScaleWidth(sweepLength / 0.8);
    createSweepBuffers();
    s.ViewStart = 0;
    writeModeCaption();
    s.CurrentCurve = 1;
    redrawAxesOrRequest();
    moveFocusTo(*stim);
}

void Trazel::scr_lng_KeyPress(int KeyAscii) {
    if (KeyAscii == EnterKey) {
        moveFocusTo(*monitor);
    }
}

void Trazel::scr_lng_LostFocus() {
    const Single v = static_cast<Single>(scr_lng->Number());
    // A screen of no time (or of no whole point) would leave the plot without a scale.
    if (!(v > 0) || !screenPointCount(s.TimeFactor, v, s.SampleInterval)) {
        writeScreenLength();
        return;
    }
    if (v == s.ScreenLen) {
        return;
    }
    s.ScreenLen = v;
    disp->setScaleWidth(continuousScaleWidth(s));
    s.RedrawRequested = true;
    s.ViewStart = 0;
    measurePlotWidth();
    if (!s.Acquiring) {
        drawAxes();
    }
}

void Trazel::file_lng_KeyPress(int KeyAscii) {
    if (KeyAscii == EnterKey) {
        moveFocusTo(*monitor);
    }
}

// A length of no time would size the recording negatively; while the field holds one the length stays,
// so the user can clear the field and type anew.
void Trazel::file_lng_Change() {
    const Single v = static_cast<Single>(file_lng->Number());
    if (v > 0) {
        s.FileLength = v;
        s.SampleCount = toLong(static_cast<double>(s.SamplingRate) * s.FileLength);
    }
}

void Trazel::file_lng_LostFocus() {
    if (!(static_cast<Single>(file_lng->Number()) > 0)) {
        file_lng->setText(qtext(plainText(s.FileLength)));
    }
}

void Trazel::ch_list_Click(int Index) {
    const int t = Index + 1;
    s.ViewStart = 0;
    takeChannel(Index);
    s.TracePeak(t) = 1000;
    s.TraceScaleIndex(t) = 4;
    s.TraceOffset(t) = 0;
    for (OptionButton* button : ch_select) {
        button->setChecked(false);
    }
    ch_select[static_cast<std::size_t>(Index)]->setValue(true);
    if (s.ChannelCount < 1) {
        s.StopRequested = true; // no trace left to acquire
        return;
    }
    s.RedrawRequested = true;
    if (!s.Acquiring) {
        drawAxes();
    }
}

void Trazel::ch_list_KeyPress(int /*Index*/, int KeyAscii) {
    if (KeyAscii == EnterKey) {
        moveFocusTo(*monitor);
    }
}

void Trazel::ch_list_LostFocus(int Index) {
    s.RedrawRequested = true;
    s.ViewStart = 0;
    takeChannel(Index);
    if (s.ChannelCount < 1) {
        s.StopRequested = true;
    }
}

// A typed text that matches no channel counts as none.
void Trazel::takeChannel(int Index) {
    const int listIndex = ch_list[static_cast<std::size_t>(Index)]->ListIndex();
    s.TraceChannel(Index + 1) = static_cast<Integer>(std::max(listIndex, 0));
    countChannels();
}

void Trazel::countChannels() {
    s.ChannelCount = 0;
    for (int t = 1; t <= TraceCount; ++t) {
        s.ChannelCount = static_cast<Integer>(s.ChannelCount + (s.TraceChannel(t) > 0 ? 1 : 0));
    }
}

void Trazel::gain_Click(int /*Index*/) {
    s.RedrawRequested = true;
    s.ViewStart = 0;
}

void Trazel::gain_Change(int Index) {
    gain_Click(Index);
}

void Trazel::writeScreenLength() {
    scr_lng->setText(qtext(screenLengthText(s.ScreenLen)));
}

} // namespace trazel
