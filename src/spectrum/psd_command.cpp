// Display > PSD: the smoothed power spectra of the sweeps of a block file, shown on a frequency axis.

#include "spectrum/psd_command.h"

#include "display/view.h"
#include "spectrum/power_spectrum.h"
#include "ui/mouse_pointer.h"
#include "ui/plot_surface.h"
#include "ui/progress_window.h"

#include <QAction>

namespace trazel {

SpectrumCommand::SpectrumCommand(AppState& state, View& view, PlotSurface& disp, const ModeControls& modes,
                                 ProgressWindow& Scroll, QWidget& window)
    : s(state), m_view(view), m_disp(disp), m_modes(modes), m_scroll(Scroll), m_window(window) {}

void SpectrumCommand::mnuPSD_Click() {
    // A sweep of fewer than 2 points has no trend line to take off.
    if (m_modes.spectrumShown() || !s.DataLoaded || s.SweepLength < 2) {
        return;
    }
    m_modes.mnuRaw->setChecked(false);
    m_modes.mnuPSD->setChecked(true);
    m_modes.mnuBlock->setEnabled(false);
    m_modes.mnuInvert->setEnabled(false);
    s.SpectrumShown = true;
    ComputeSpectrum(s.RawData);
    s.TraceData.copyFrom(s.SpectrumData);
    for (int t = 1; t <= TraceCount; ++t) {
        s.TraceShift(t) = -2; // the amplitude axis then runs from 0 at its bottom
        s.SavedPeak(t) = s.TracePeak(t);
        s.TracePeak(t) = s.SpectrumPeak(t) / 2;
    }
    m_disp.setScaleWidth(s.SweepLength / 0.8);
    s.ScreenLen = 1 / s.SampleInterval / 2;
    s.TimeFactor = 1;
    s.TimeUnit = "Hz";
    s.ViewStart = static_cast<Single>(static_cast<double>(s.CurrentCurve - 1) * s.SweepLength);
    m_view.redraw();
}

void SpectrumCommand::ComputeSpectrum(const TraceBuffer& data) {
    const std::int64_t n = s.SweepLength;
    SweepSpectrum spectrum(n);
    const std::int64_t H = spectrum.bins();
    s.FftSize = static_cast<Long>(spectrum.transformLength());
    s.SweepLength = static_cast<Long>(H);
    s.SpectrumData.create(static_cast<std::int64_t>(s.CurveCount) * H);
    for (int c = 1; c <= TraceCount; ++c) {
        s.SpectrumPeak(c) = 0;
    }
    const auto moveBar = [this](int percent) { m_scroll.setValue(percent); };
    // Only complete sweeps the data hold: a short file must not be read past its end.
    const std::int64_t sweeps = std::min<std::int64_t>(s.CurveCount, std::ssize(data.trace(1)) / n);
    setMousePointer(m_window, MousePointer::Hourglass);
    m_scroll.show();
    for (std::int64_t j = 1; j <= sweeps; ++j) {
        m_scroll.setCaption(QStringLiteral("Calculating FFT for curve %1...").arg(j));
        m_scroll.setValue(0);
        for (int c = 1; c <= TraceCount; ++c) {
            const auto sweep =
                data.trace(c).subspan(static_cast<std::size_t>((j - 1) * n), static_cast<std::size_t>(n));
            const auto bins = s.SpectrumData.trace(c).subspan(static_cast<std::size_t>((j - 1) * H),
                                                              static_cast<std::size_t>(H));
            s.SpectrumPeak(c) = std::max(s.SpectrumPeak(c), spectrum.compute(sweep, bins, moveBar));
        }
    }
    m_scroll.hide();
    setMousePointer(m_window, MousePointer::Default);
}

} // namespace trazel
