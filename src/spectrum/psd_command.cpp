// Display > PSD: the smoothed power spectra of the sweeps of a block file, shown on a frequency axis.

#include "spectrum/power_spectrum.h"
#include "ui/mouse_pointer.h"
#include "ui/plot_surface.h"
#include "ui/progress_window.h"
#include "window/main_window.h"

#include <QAction>

namespace trazel {

void Trazel::mnuPSD_Click() {
    // A sweep of fewer than 2 points has no trend line to take off.
    if (mnuPSD->isChecked() || !s.DataLoaded || s.SweepLength < 2) {
        return;
    }
    mnuRaw->setChecked(false);
    mnuPSD->setChecked(true);
    mnuBlock->setEnabled(false);
    mnuInvert->setEnabled(false);
    s.SpectrumShown = true;
    ComputeSpectrum(s.RawData);
    s.TraceData.copyFrom(s.SpectrumData);
    for (int t = 1; t <= TraceCount; ++t) {
        s.TraceShift(t) = -2; // the amplitude axis then runs from 0 at its bottom
        s.SavedPeak(t) = s.TracePeak(t);
        s.TracePeak(t) = s.SpectrumPeak(t) / 2;
    }
    disp->setScaleWidth(s.SweepLength / 0.8);
    s.ScreenLen = 1 / s.SampleInterval / 2;
    s.TimeFactor = 1;
    s.TimeUnit = "Hz";
    s.ViewStart = static_cast<Single>(static_cast<double>(s.CurrentCurve - 1) * s.SweepLength);
    redrawView();
}

void Trazel::ComputeSpectrum(const TraceBuffer& data) {
    const std::int64_t n = s.SweepLength;
    SweepSpectrum spectrum(n);
    const std::int64_t H = spectrum.bins();
    s.FftSize = static_cast<Long>(spectrum.transformLength());
    s.SweepLength = static_cast<Long>(H);
    s.SpectrumData.create(static_cast<std::int64_t>(s.CurveCount) * H);
    for (int c = 1; c <= TraceCount; ++c) {
        s.SpectrumPeak(c) = 0;
    }
    const auto moveBar = [this](int percent) { Scroll->setValue(percent); };
    // Only complete sweeps the data hold: a short file must not be read past its end.
    const std::int64_t sweeps = std::min<std::int64_t>(s.CurveCount, std::ssize(data.trace(1)) / n);
    for (std::int64_t j = 1; j <= sweeps; ++j) {
        setMousePointer(*this, MousePointer::Hourglass);
        Scroll->setCaption(QStringLiteral("Calculating FFT for curve %1...").arg(j));
        Scroll->setValue(0);
        Scroll->show();
        Scroll->repaint();
        for (int c = 1; c <= TraceCount; ++c) {
            const auto sweep =
                data.trace(c).subspan(static_cast<std::size_t>((j - 1) * n), static_cast<std::size_t>(n));
            const auto bins = s.SpectrumData.trace(c).subspan(static_cast<std::size_t>((j - 1) * H),
                                                              static_cast<std::size_t>(H));
            s.SpectrumPeak(c) = std::max(s.SpectrumPeak(c), spectrum.compute(sweep, bins, moveBar));
        }
    }
    Scroll->hide();
    setMousePointer(*this, MousePointer::Default);
}

} // namespace trazel
