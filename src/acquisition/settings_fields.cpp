// The settings fields of the recording layout: rate (or, in block mode, sample interval), screen and file
// length, and a channel and a gain for each trace. Typed numbers follow the leading-number rule; an entry
// that would leave the settings unusable is put back without a message.

#include "acquisition/settings.h"
#include "acquisition/time_base.h"
#include "core/display_text.h"
#include "core/number_rules.h"
#include "display/axes.h"
#include "display/view.h"
#include "ui/controls.h"
#include "ui/plot_surface.h"

#include <QLabel>

namespace trazel {

namespace {

constexpr int EnterKey = 13;
constexpr Single MinimumIntervalUs = 30;
constexpr Single MaximumRateHz = 1000;

} // namespace

Settings::Settings(AppState& state, Dialogs& dialogs, View& view, PlotSurface& disp,
                   const ModeControls& modes, const SettingsControls& controls,
                   const SettingsNeighbours& neighbours)
    : s(state), m_dialogs(dialogs), m_view(view), m_disp(disp), m_modes(modes), m_c(controls),
      m_n(neighbours) {}

void Settings::sampling_hz_KeyPress(int KeyAscii) {
    if (KeyAscii == EnterKey) {
        moveFocusTo(s.BlockMode ? *m_c.stim : *m_c.monitor);
    }
}

void Settings::sampling_hz_LostFocus() {
    const Single v = static_cast<Single>(m_c.sampling_hz->Number());
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
            m_c.sampling_hz->setText(qtext(plainText(static_cast<Single>(s.SampleInterval * 1000000.0))));
        }
    } else if (v > 0 && v <= MaximumRateHz) {
        s.SamplingRate = v;
        s.SampleInterval = 1 / v;
        s.SampleCount = toLong(static_cast<double>(s.FileLength) * s.SamplingRate);
        m_disp.setScaleWidth(continuousScaleWidth(s));
        s.ViewStart = 0;
        m_view.redrawAxesOrRequest();
    } else {
        m_c.sampling_hz->setText(qtext(plainText(s.SamplingRate)));
    }
    writeScreenLength();
}

// A block-mode interval: the sweep keeps its duration and gets new buffers.
void Settings::applySampleInterval(Single interval, Long sweepLength) {
    s.SampleInterval = interval;
    s.SamplingRate = 1 / interval;
    s.SweepLength = sweepLength;
    s.BlockSweepLength = sweepLength;
    m_disp.setScaleWidth(sweepLength / 0.8);
    createSweepBuffers();
    s.ViewStart = 0;
    writeModeCaption();
    s.CurrentCurve = 1;
    m_view.redrawAxesOrRequest();
    moveFocusTo(*m_c.stim);
}

void Settings::scr_lng_KeyPress(int KeyAscii) {
    if (KeyAscii == EnterKey) {
        moveFocusTo(*m_c.monitor);
    }
}

void Settings::scr_lng_LostFocus() {
    const Single v = static_cast<Single>(m_c.scr_lng->Number());
    // A screen of no time (or of no whole point) would leave the plot without a scale.
    if (!(v > 0) || !screenPointCount(s.TimeFactor, v, s.SampleInterval)) {
        writeScreenLength();
        return;
    }
    if (v == s.ScreenLen) {
        return;
    }
    s.ScreenLen = v;
    m_disp.setScaleWidth(continuousScaleWidth(s));
    s.RedrawRequested = true;
    s.ViewStart = 0;
    measurePlotWidth(s, m_disp);
    if (!s.Acquiring) {
        m_view.drawAxes();
    }
}

void Settings::file_lng_KeyPress(int KeyAscii) {
    if (KeyAscii == EnterKey) {
        moveFocusTo(*m_c.monitor);
    }
}

// A length of no time would size the recording negatively; while the field holds one the length stays,
// so the user can clear the field and type anew.
void Settings::file_lng_Change() {
    const Single v = static_cast<Single>(m_c.file_lng->Number());
    if (v > 0) {
        s.FileLength = v;
        s.SampleCount = toLong(static_cast<double>(s.SamplingRate) * s.FileLength);
    }
}

void Settings::file_lng_LostFocus() {
    if (!(static_cast<Single>(m_c.file_lng->Number()) > 0)) {
        m_c.file_lng->setText(qtext(plainText(s.FileLength)));
    }
}

void Settings::ch_list_Click(int Index) {
    const int t = Index + 1;
    s.ViewStart = 0;
    takeChannel(Index);
    s.TracePeak(t) = 1000;
    s.TraceScaleIndex(t) = 4;
    s.TraceOffset(t) = 0;
    m_n.traces.selectTrace(t);
    if (s.ChannelCount < 1) {
        s.StopRequested = true; // no trace left to acquire
        return;
    }
    s.RedrawRequested = true;
    if (!s.Acquiring) {
        m_view.drawAxes();
    }
}

void Settings::ch_list_KeyPress(int /*Index*/, int KeyAscii) {
    if (KeyAscii == EnterKey) {
        moveFocusTo(*m_c.monitor);
    }
}

void Settings::ch_list_LostFocus(int Index) {
    s.RedrawRequested = true;
    s.ViewStart = 0;
    takeChannel(Index);
    if (s.ChannelCount < 1) {
        s.StopRequested = true;
    }
}

// A typed text that matches no channel counts as none.
void Settings::takeChannel(int Index) {
    const int listIndex = m_c.ch_list[static_cast<std::size_t>(Index)]->ListIndex();
    // A channel typed that the input does not have counts as none, like a text that names no channel.
    s.TraceChannel(Index + 1) =
        static_cast<Integer>(listIndex <= m_channelLimit ? std::max(listIndex, 0) : 0);
    countChannels();
}

void Settings::countChannels() {
    s.ChannelCount = 0;
    for (int t = 1; t <= TraceCount; ++t) {
        s.ChannelCount = static_cast<Integer>(s.ChannelCount + (s.TraceChannel(t) > 0 ? 1 : 0));
    }
}

void Settings::gain_Click(int /*Index*/) {
    s.RedrawRequested = true;
    s.ViewStart = 0;
}

void Settings::gain_Change(int Index) {
    gain_Click(Index);
}

void Settings::limitChannels(int count) {
    m_channelLimit = count;
    for (ComboBox* list : m_c.ch_list) {
        for (int channel = 1; channel < list->count(); ++channel) {
            list->setItemEnabled(channel, channel <= count);
        }
        if (list->ListIndex() > count) {
            list->setListIndex(0);
        }
    }
}

StimulusSettings Settings::stimulus() const {
    return {toInteger(m_c.dly1->Number()), toInteger(m_c.stim_num->Number()),
            toInteger(m_c.interval->Number())};
}

void Settings::enableForRecording(bool enabled) {
    std::vector<QWidget*> fields = {m_c.sampling_hz};
    fields.insert(fields.end(), m_c.ch_list.begin(), m_c.ch_list.end());
    fields.insert(fields.end(), m_c.gain.begin(), m_c.gain.end());
    enableControls(fields, enabled);
    enableControls(m_c.lengthFields, enabled && !s.BlockMode);
}

void Settings::resetRecordingSettings() {
    s.FileLength = 180;
    m_c.file_lng->setText(QStringLiteral("180"));
    s.SampleCount = toLong(s.SamplingRate * 180);
    s.StimDelay = 0;
    s.StimCount = 1;
    s.StimInterval = 0;
    m_c.dly1->setText(QStringLiteral(" 0"));
    m_c.stim_num->setListIndex(1);
    m_c.interval->setText(QStringLiteral(" 0"));
}

void Settings::prepareRecordingLayout() {
    m_c.save->hide();
    enableControls({m_c.halt, m_c.stim}, false); // until monitoring or recording
    enableControls(m_c.stimulusFields, false);
    enableControls(m_c.lengthFields, true);
    m_c.ave_count_label->setText(QStringLiteral(" ave#"));
    m_c.hz->setText(QStringLiteral("Hz"));
    m_c.sampling_hz->setText(qtext(plainText(s.SamplingRate)));
    m_c.scr_lng->setText(qtext(plainText(s.ScreenLen)));
    m_c.scr_unit->setText(qtext(s.TimeUnit.str()));
    for (std::size_t k = 0; k < TraceCount; ++k) {
        m_c.ch_list[k]->setListIndex(0); // "none", through the channel's own handler
        m_c.gain[k]->setListIndex(0);
    }
}

void Settings::writeScreenLength() {
    m_c.scr_lng->setText(qtext(screenLengthText(s.ScreenLen)));
}

} // namespace trazel
