// Reading the recorded (.bin) and Labtech (.prn) data files and the recordings of other equipment into the
// shared state. A file is checked
// before anything of it is taken over, so a file that cannot be shown leaves no half-read state behind.

#include "display/axes.h"
#include "files/bin_format.h"
#include "files/bin_inspection.h"
#include "files/binary_file.h"
#include "files/chunked_reading.h"
#include "files/edf_marks.h"
#include "files/file_commands.h"
#include "files/file_view.h"
#include "files/prn_format.h"
#include "files/signal_files.h"
#include "ui/controls.h"
#include "ui/dialogs.h"
#include "ui/event_loop.h"
#include "ui/mouse_pointer.h"
#include "ui/plot_surface.h"
#include "ui/progress_window.h"

#include <QLabel>
#include <cmath>
#include <limits>
#include <new>

namespace trazel {

namespace {

constexpr int BinProgressSteps = 36;
constexpr int PrnProgressSteps = 40;

std::filesystem::path toPath(const QString& fileName) {
    return std::filesystem::path(fileName.toStdString());
}

// The answer to "Number of recorded channels:" as a whole number (halves to even); nothing for an empty or
// non-numeric answer.
std::optional<int> askChannelCount(Dialogs& dialogs) {
    const QString answer = dialogs.InputBox(QStringLiteral("Number of recorded channels:"),
                                            QStringLiteral("Channel number"), QStringLiteral("1"));
    const std::optional<double> value = numericValue(answer.toStdString());
    if (!value || std::abs(*value) > 32767) {
        return std::nullopt;
    }
    return toInteger(*value);
}

// The interval, and the recording's span on the power of two that holds it, must be normal Singles.
bool isShowableInterval(double seconds, std::int64_t count) {
    return seconds >= std::numeric_limits<Single>::min() &&
           2 * seconds * static_cast<double>(std::max<std::int64_t>(count, 1)) <=
               std::numeric_limits<Single>::max();
}

void takeOverBinHeader(AppState& s, const BinFileLayout& file) {
    const binformat::Header& h = file.header;
    s.ChannelCount = h.channelCount;
    for (int t = 1; t <= TraceCount; ++t) {
        s.TraceChannel(t) = 0;
    }
    int next = 1;
    for (std::int16_t channel : h.traceChannels) {
        if (channel > 0) {
            s.TraceChannel(next) = channel;
            s.TracePeak(next) = 0;
            ++next;
        }
    }
    s.BlockMode = h.blockFlag != 0;
    s.SampleInterval = file.sampleInterval;
    s.SampleCount = static_cast<Long>(file.sampleCount);
    if (file.records.hasMarker) {
        s.SweepLength = h.pointsPerSweep;
        s.StimDelay = h.stimDelay;
        s.StimCount = h.stimCount;
        s.StimInterval = h.stimInterval;
    }
    if (s.BlockMode) {
        s.CurveCount = static_cast<Long>(file.curveCount);
    }
}

// The data arrays, created afresh, cover every point a view can address: the records and, in block
// data, every sweep the sweep count names (points beyond the file read as 0).
void createDataArrays(AppState& s) {
    std::int64_t upper = s.SampleCount;
    if (s.BlockMode) {
        upper = std::max<std::int64_t>(upper, static_cast<std::int64_t>(s.SweepLength) * s.CurveCount);
    }
    s.RawData.create(upper);
    s.Markers.create(upper);
}

// The summaries of the traces read and the marker index follow the reading chunk by chunk, while the
// chunk's values are still in the cache; copies of the raw data take them over.
void summarizeRead(AppState& s, int traces, std::int64_t end) {
    for (int t = 1; t <= traces; ++t) {
        s.RawData.summarizeUpTo(t, end);
    }
    s.Markers.summarizeUpTo(end);
}

std::vector<SignalOffer> signalOffers(const std::vector<OfferedSignal>& offered) {
    std::vector<SignalOffer> offers;
    for (const OfferedSignal& signal : offered) {
        offers.push_back(
            {QString::fromStdString(signal.label), QString::fromStdString(signal.unit), signal.rate});
    }
    return offers;
}

// The largest magnitude of a trace's first `count` values.
Single peakOf(const AppState& s, int t, std::int64_t count) {
    const Extremes extremes = s.RawData.extremesBetween(t, 0, count - 1);
    return extremes.empty() ? 0 : std::max(std::abs(extremes.smallest), std::abs(extremes.largest));
}

// The views draw and transform a copy of the data read; block data have room for their average.
void copyForTheViews(AppState& s) {
    s.TraceData.copyFrom(s.RawData);
    if (s.BlockMode) {
        s.AverageData.create(s.SweepLength - 1);
    }
}

} // namespace

bool FileCommands::ReadBinFile(const QString& fileName) {
    std::optional<BinaryFile> file = BinaryFile::openForReading(toPath(fileName));
    if (!file) {
        return readerFailed();
    }
    s.InFile = 1;
    setMousePointer(*m_c.window, MousePointer::Hourglass);
    s.CurrentTrace = 1;
    if (!s.BlockMode) {
        s.ContScreenLen = s.ScreenLen;
        s.ContTimeFactor = s.TimeFactor;
        s.ContTimeUnit = s.TimeUnit;
    }
    const std::optional<BinFileLayout> layout =
        inspectBinFile(*file, [this] { return askChannelCount(m_dialogs); });
    if (!layout || !file->seek(layout->records.dataOffset)) {
        return readerFailed();
    }
    discardData();
    takeOverBinHeader(s, *layout);
    try {
        createDataArrays(s);
        showProgress();
        std::array<float, binformat::MaxChannels> peaks{};
        for (int c = 1; c <= s.ChannelCount; ++c) {
            peaks[static_cast<std::size_t>(c - 1)] = s.TracePeak(c);
        }
        readInSteps(*file, s.SampleCount, layout->records.recordSize(), BinProgressSteps, *m_c.Scroll,
                    [&](std::span<const std::uint8_t> bytes, std::int64_t first, std::int64_t n) {
                        binformat::RecordTarget target;
                        for (int c = 1; c <= binformat::MaxChannels; ++c) {
                            target.samples[static_cast<std::size_t>(c - 1)] =
                                s.RawData.pointsFrom(c, first).data();
                        }
                        target.markers = s.Markers.pointsFrom(first).data();
                        target.peaks = &peaks;
                        binformat::decodeRecords(bytes, layout->records, n, target);
                        summarizeRead(s, s.ChannelCount, first + n);
                    });
        for (int c = 1; c <= s.ChannelCount; ++c) {
            s.TracePeak(c) = peaks[static_cast<std::size_t>(c - 1)];
        }
        copyForTheViews(s);
    } catch (const std::bad_alloc&) {
        return readerFailed();
    }
    finishProgress();
    showReadData();
    if (s.DataLoaded) {
        m_n.caption.setCaption(m_n.caption.caption() + QStringLiteral("       ") + fileName);
    }
    m_n.traces.selectTrace(1);
    return true;
}

bool FileCommands::ReadPrnFile(const QString& fileName) {
    std::optional<BinaryFile> file = BinaryFile::openForReading(toPath(fileName));
    if (!file) {
        return readerFailed();
    }
    s.InFile = 1;
    const std::optional<int> channels = askChannelCount(m_dialogs);
    if (!channels || *channels < 1 || *channels > 2) {
        return readerFailed();
    }
    const std::int64_t count = prnformat::pointCount(file->length(), *channels);
    if (count > MaxPoints) {
        return readerFailed();
    }
    discardData();
    std::array<float, 2> peaks{};
    try {
        showProgress();
        s.RawData.create(count);
        s.Markers.create(count);
        readInSteps(*file, count, 4 * static_cast<std::size_t>(*channels), PrnProgressSteps, *m_c.Scroll,
                    [&](std::span<const std::uint8_t> bytes, std::int64_t first, std::int64_t n) {
                        prnformat::PointTarget target{
                            {s.RawData.pointsFrom(1, first).data(), s.RawData.pointsFrom(2, first).data()},
                            &peaks};
                        prnformat::decodePoints(bytes, *channels, n, target);
                        summarizeRead(s, *channels, first + n);
                    });
        s.TraceData.copyFrom(s.RawData);
    } catch (const std::bad_alloc&) {
        return readerFailed();
    }
    finishProgress();
    const std::optional<double> frequency =
        numericValue(m_dialogs
                         .InputBox(QStringLiteral("Enter sampling frequency (Hz):"),
                                   QStringLiteral("Sample rate"), QStringLiteral("300"))
                         .toStdString());
    const double seconds = frequency ? 1 / *frequency : 0;
    if (!isShowableInterval(seconds, count)) {
        return readerFailed();
    }
    const auto interval = static_cast<Single>(seconds);
    s.BlockMode = false;
    s.FileBlockMode = false;
    s.ChannelCount = static_cast<Integer>(*channels);
    for (int t = 1; t <= TraceCount; ++t) {
        s.TraceChannel(t) = t <= *channels ? 1 : 0;
    }
    for (int c = 1; c <= *channels; ++c) {
        s.TracePeak(c) = prnformat::ValueScale * peaks[static_cast<std::size_t>(c - 1)];
    }
    s.CurrentTrace = 1;
    s.SampleCount = static_cast<Long>(count);
    s.SampleInterval = interval;
    s.SweepLength = -1;
    s.CurveCount = -1;
    setMousePointer(*m_c.window, MousePointer::Hourglass);
    showContinuousFile();
    m_n.caption.setCaption(QStringLiteral("CONTINUOUS MODE    ") + fileName);
    return true;
}

bool FileCommands::ReadSignalFile(const QString& fileName) {
    std::string reason;
    showProgress();
    // A file of the import process can take a while: Cancel stops it. The program's own readers cannot
    // be stopped half-way, so they offer no Cancel.
    const bool cancellable = isImportedFileName(toPath(fileName));
    m_c.Scroll->offerCancel(cancellable);
    ImportControl control = m_import;
    control.cancelled = [this] {
        yieldToEvents();
        return m_c.Scroll->cancelPressed();
    };
    const std::unique_ptr<SignalFile> reader = openSignalFile(toPath(fileName), control, reason);
    const bool cancelled = m_c.Scroll->cancelPressed();
    m_c.Scroll->offerCancel(false);
    m_c.Scroll->hide();
    if (cancelled) {
        forgetData(); // the user's own choice needs no message
        return false;
    }
    if (!reader) {
        return readerFailed(reason);
    }
    s.InFile = 1;
    const std::vector<OfferedSignal> offered = offeredSignals(reader->signalList());
    if (offered.empty()) {
        return readerFailed("the file holds no signal to show as a trace");
    }
    std::vector<int> chosen = preselectedSignals(offered);
    if (needsSignalChoice(offered)) {
        chosen = m_dialogs.ChooseSignals(signalOffers(offered), chosen);
        if (chosen.empty()) {
            forgetData(); // cancelled: nothing is shown
            return false;
        }
    }
    if (!isValidSignalChoice(offered, chosen)) {
        return readerFailed("up to three signals of one rate can be shown");
    }
    const double rate = offered[static_cast<std::size_t>(chosen[0])].rate;
    std::int64_t count = 0;
    for (int i : chosen) {
        count = std::max(
            count, reader->signalList()[static_cast<std::size_t>(offered[static_cast<std::size_t>(i)].index)]
                       .samples);
    }
    if (count < 1 || count > MaxPoints || !isShowableInterval(1 / rate, count)) {
        return readerFailed("the signals' length or rate is beyond what can be shown");
    }
    std::optional<EdfMarks> marks = marksOf(*reader, rate, count, reason);
    if (!marks) {
        return readerFailed(reason);
    }
    discardData();
    s.BlockMode = marks->sweepLength > 0;
    s.SweepLength = static_cast<Long>(marks->sweepLength);
    s.CurveCount =
        s.BlockMode ? static_cast<Long>((count + marks->sweepLength - 1) / marks->sweepLength) : -1;
    s.SampleCount = static_cast<Long>(count);
    try {
        createDataArrays(s);
        showProgress();
        for (std::size_t k = 0; k < chosen.size(); ++k) {
            const int t = static_cast<int>(k) + 1;
            const OfferedSignal& signal = offered[static_cast<std::size_t>(chosen[k])];
            if (!reader->readPhysical(signal.index, s.RawData.trace(t), reason)) {
                return readerFailed(reason);
            }
            s.RawData.summarizeUpTo(t, count);
            s.TracePeak(t) = peakOf(s, t, count);
            s.TraceLabel(t) = signal.label;
            s.TraceUnit(t) = signal.unit;
            m_c.Scroll->setValue(static_cast<int>(100 * t / chosen.size()));
        }
        markEvents(marks->events, s.Markers.span().first(static_cast<std::size_t>(count)));
        s.Markers.summarizeUpTo(count);
        copyForTheViews(s);
    } catch (const std::bad_alloc&) {
        return readerFailed();
    }
    finishProgress();
    s.Events = std::move(marks->events);
    s.ChannelCount = static_cast<Integer>(chosen.size());
    for (int t = 1; t <= TraceCount; ++t) {
        s.TraceChannel(t) = t <= s.ChannelCount ? 1 : 0;
    }
    s.SampleInterval = static_cast<Single>(1 / rate);
    s.CurrentTrace = 1;
    showReadData();
    m_n.caption.setCaption(m_n.caption.caption() + QStringLiteral("       ") + fileName);
    m_n.traces.selectTrace(1);
    return true;
}

// The views, menus and caption of the data just read.
void FileCommands::showReadData() {
    s.FileBlockMode = s.BlockMode;
    if (s.BlockMode) {
        showBlockFile();
        return;
    }
    s.SweepLength = -1;
    s.CurveCount = -1;
    showContinuousFile();
    m_n.caption.setCaption(QStringLiteral("CONTINUOUS MODE"));
}

void FileCommands::showProgress() {
    m_c.Scroll->setCaption(QStringLiteral("Reading data..."));
    m_c.Scroll->show();
    m_c.Scroll->setValue(0);
}

void FileCommands::finishProgress() {
    m_c.Scroll->setValue(100);
    m_c.Scroll->hide();
}

void FileCommands::showBlockFile() {
    const TimeSpan span = blockSpan(s.SampleInterval, s.SweepLength);
    s.ScreenLen = s.BlockScreenLen = s.FileScreenLen = span.screenLen;
    s.TimeFactor = s.BlockTimeFactor = s.FileTimeFactor = span.timeFactor;
    s.TimeUnit = s.BlockTimeUnit = s.FileTimeUnit = span.unit;
    s.BlockSweepLength = s.FileSweepLength = s.SweepLength;
    m_disp.setScaleWidth(static_cast<Single>(s.SweepLength / 0.8));
    s.AveragedCount = 0;
    s.ViewStart = 0;

    m_modes.mnuContinuous->setVisible(true);
    m_modes.mnuContinuous->setEnabled(true);
    m_modes.mnuBlock->setVisible(true);
    m_modes.mnuBlock->setText(QStringLiteral("Block length"));
    m_modes.mnuBlock->setEnabled(true);
    m_modes.mnuS->setEnabled(true);
    m_modes.mnuS->setChecked(true);
    for (QAction* item : {m_modes.mnuA_S, m_modes.mnuA, m_modes.mnuS_A, m_modes.mnuOverplot, m_modes.mnuPSD,
                          m_modes.mnuRaw}) {
        item->setEnabled(true);
        item->setChecked(false);
    }
    m_modes.clear_ave->setEnabled(true);
    m_modes.accept->setEnabled(true);
    // Block means lays out the statistics of continuous tables; a block table's would come out headless
    // with its columns mixed up.
    m_modes.mnuBlockMeans->setEnabled(false);
    m_modes.SA_label->setText(QStringLiteral("single"));

    s.ShowSingle = true;
    s.ShowAverage = false;
    s.Overplot = false;
    m_n.caption.setCaption(QString::fromStdString(blockModeCaption(s.ScreenLen, s.TimeUnit)));
    s.CurrentCurve = 1;
}

// Menus, span and scale of continuous data, for recorded and imported files alike.
void FileCommands::showContinuousFile() {
    m_modes.mnuContinuous->setVisible(false);
    m_modes.mnuBlock->setVisible(true);
    m_modes.mnuBlock->setText(QStringLiteral("Block mode"));
    m_modes.mnuBlock->setEnabled(true);
    m_modes.mnuS->setEnabled(true);
    m_modes.mnuS->setChecked(true);
    for (QAction* item :
         {m_modes.mnuA_S, m_modes.mnuS_A, m_modes.mnuA, m_modes.mnuPSD, m_modes.mnuOverplot}) {
        item->setChecked(false);
        item->setEnabled(false);
    }
    m_modes.SA_label->setText(QStringLiteral("single"));
    m_modes.mnuBlockMeans->setEnabled(true);
    s.ShowSingle = true;
    s.ShowAverage = false;
    s.ViewStart = 0;

    const TimeSpan span = continuousSpan(s.SampleInterval, s.SampleCount);
    s.ScreenLen = s.FileScreenLen = s.ContScreenLen = span.screenLen;
    s.TimeFactor = s.FileTimeFactor = s.ContTimeFactor = span.timeFactor;
    s.TimeUnit = s.FileTimeUnit = s.ContTimeUnit = span.unit;
    m_disp.setScaleWidth(continuousScaleWidth(s));
}

// A reader that cannot go on tells the user, with the reason when it knows one, and leaves no data behind:
// nothing is shown or measured from a file that was not read whole.
bool FileCommands::readerFailed(const std::string& reason) {
    QString message = QStringLiteral("Error encountered while trying to open file, please retry.");
    if (!reason.empty()) {
        QString why = QString::fromStdString(reason);
        why[0] = why[0].toUpper();
        message +=
            QStringLiteral("\n\n") + why + (why.endsWith(QLatin1Char('.')) ? QString() : QStringLiteral("."));
    }
    m_c.Scroll->hide();
    m_dialogs.MsgBox(message, MsgButtons::Ok, MsgIcon::Exclamation, QStringLiteral("File input"));
    forgetData();
    return false;
}

void FileCommands::forgetData() {
    m_c.Scroll->hide();
    s.InFile = 0;
    s.DataLoaded = false;
    discardData();
    for (TraceBuffer* curves : {&s.RawData, &s.TraceData, &s.AverageData}) {
        curves->release();
    }
    s.Markers.release();
}

// The data arrays become absent; their memory stays for the next file, which is read into it. The views'
// copy goes first: while it shares the data read, the memory stays with the data.
void FileCommands::discardData() {
    s.TraceData.erase();
    s.RawData.erase();
    s.Markers.erase();
    s.AverageData.erase();
    s.SampleCount = 0;
    s.Events.clear();
    for (int t = 1; t <= TraceCount; ++t) {
        s.TraceLabel(t).clear();
        s.TraceUnit(t).clear();
    }
}

} // namespace trazel
