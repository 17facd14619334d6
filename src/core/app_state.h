#pragma once

#include "core/arrays.h"
#include "core/colour.h"
#include "core/marker_index.h"

#include <cstdint>
#include <string>
#include <vector>

namespace trazel {

// Widths as the recorded file and the number rules know them.
using Integer = std::int16_t;
using Long = std::int32_t;
using Single = float;

constexpr Single NoLevel = -1E7F; // LevelY of a trace without a level line
constexpr int ResultCapacity = 1000;

// One results-table row of a trace.
struct ResultRecord {
    // 1 block label (continuous), 2 data row (continuous), 3 mean, 4 SD, 5 n,
    // 6 block label (block mode), 7 data row (block mode); 0 unused
    Integer Kind = 0;
    std::string Text;
    BoundedArray<Single, 1, 7> V; // the row's values by column
};

// The records behind the results tables: record k = 1..1000 of trace t = 1..3.
class ResultTable {
public:
    ResultRecord& operator()(int t, int k) {
        assert(t >= 1 && t <= TraceCount && k >= 1 && k <= ResultCapacity);
        return m_records[static_cast<std::size_t>((t - 1) * ResultCapacity + (k - 1))];
    }
    // Records 1..count of trace t, in table order.
    std::span<const ResultRecord> records(int t, int count) const {
        assert(t >= 1 && t <= TraceCount && count >= 0 && count <= ResultCapacity);
        return std::span(m_records).subspan(static_cast<std::size_t>((t - 1) * ResultCapacity),
                                            static_cast<std::size_t>(count));
    }
    void clear() { m_records.assign(m_records.size(), ResultRecord{}); }

private:
    std::vector<ResultRecord> m_records = std::vector<ResultRecord>(TraceCount * ResultCapacity);
};

// An event of a data file (an EDF+ annotation, a BDF trigger) as it marks the loaded points.
struct FileEvent {
    std::int64_t first = 0; // the points it marks, first..last
    std::int64_t last = 0;
    double onset = 0;     // as the file gives it: seconds from the file's start
    double duration = -1; // seconds; < 0: none
    std::string text;

    bool operator==(const FileEvent&) const = default;
};

// The state the whole program shares: settings, mode and layout flags, curve buffers, the time base
// of the plot, per-trace display settings, cursor and table bookkeeping. One instance lives as long
// as the main window; handlers and shared routines read and write its fields by name. Every field
// starts as zero, empty or absent; the main window's start-up gives the start-up values.
struct AppState {
    // Mode and layout
    bool BlockMode = false;     // data and recording cut into sweeps of SweepLength points
    bool FileBlockMode = false; // BlockMode of the data file last read
    bool MeasureLayout = false; // the recording layout is shown
    bool DataLoaded = false;    // data are present for display
    bool ShowSingle = false;    // single curves are drawn
    bool ShowAverage = false;   // averaged curves are drawn
    bool SpectrumShown = false; // TraceData holds a power spectrum
    bool Overplot = false;      // the overplot view is active
    bool LabelDragging = false; // a text label is being dragged over the plot
    Integer FocusedLabel = 0;   // the text label that last had the focus
    Integer DraggedLabel = 0;
    Single LabelGrabX = 0; // where within the dragged label the pointer holds it, in pixels
    Single LabelGrabY = 0;
    TraceArray<Single> FirstDisplacement;   // overplot: offset of the first curve, % of plot height
    TraceArray<Single> FurtherDisplacement; // overplot: spacing of later curves, % of plot height

    // Acquisition settings
    Single SamplingRate = 0;          // points per second
    Single SampleInterval = 0;        // seconds between points, 1 / SamplingRate
    Single FileLength = 0;            // seconds of a continuous recording file
    TraceArray<Integer> TraceChannel; // input channel of each trace: 0 none, 1..4
    Integer ChannelCount = 0;         // traces with a channel
    Integer StimDelay = 0;            // ms
    Integer StimCount = 0;
    Integer StimInterval = 0; // ms

    // Acquisition run
    bool Acquiring = false;
    bool Recording = false;
    bool RedrawRequested = false;
    bool StopRequested = false;
    bool TimerTick = false;
    Integer MarkerCode = 0; // 0 none, 100 marker on, 200 stimulus
    Integer ResumeMarkerCode = 0;
    Integer RecordFileNum = 0;
    Single SavedSweeps = 0; // sweeps written to the open block recording
    std::string FileName;
    std::string FileExt; // the text after the first "." of the bare file name
    Integer InFile = 0;

    // Data buffers and sweeps
    TraceBuffer RawData;                        // as acquired or read; the views never change it
    TraceBuffer TraceData;                      // as the views draw, measure and transform it
    DynamicArray<Integer, MarkerIndex> Markers; // per point: 0, 100 marker on, 200 stimulus
    std::vector<FileEvent> Events;              // the data file's events, in onset order
    TraceArray<std::string> TraceLabel;         // the data file's name of each trace's signal; empty: none
    TraceArray<std::string> TraceUnit;          // its physical unit; empty: the recorder's units
    Long SampleCount = 0;
    Long SweepLength = 0; // points per sweep; -1 = no block length set
    Long BlockSweepLength = 0;
    Long FileSweepLength = 0;
    Long CurveCount = 0;   // sweeps in the data; -1 in continuous mode
    Long CurrentCurve = 0; // 1-based
    TraceBuffer AverageData;
    // The smoothed power spectra of the sweeps, H = FftSize / 2 bins per sweep, one sweep after the other.
    TraceBuffer SpectrumData;
    TraceArray<Single> SpectrumPeak; // largest bin of each trace's spectra, end bins left out
    Long FftSize = 0;                // transform length: the smallest power of two >= the sweep length
    Single AveragedCount = 0;

    // Time base of the plot
    Single ScreenLen = 0;     // time span of one screen, in TimeUnit
    Single TimeFactor = 0;    // seconds per TimeUnit: 1 for " s", 0.001 for "ms"
    FixedText<2> TimeUnit;    // " s" or "ms"
    Single ContScreenLen = 0; // the continuous-mode time base, kept while block mode is on
    Single ContTimeFactor = 0;
    FixedText<2> ContTimeUnit;
    Single BlockScreenLen = 0;
    Single BlockTimeFactor = 0;
    FixedText<2> BlockTimeUnit;
    Single FileScreenLen = 0;
    Single FileTimeFactor = 0;
    FixedText<2> FileTimeUnit;
    Single ViewStart = 0;  // point at the left edge of the plot
    Long ScreenPoints = 0; // points of one screen while acquiring; last point of the view after drawing
    Integer PlotWidthPx = 0;

    // Per-trace display settings
    Integer CurrentTrace = 0; // 1..3
    TraceArray<Single> TracePeak;
    TraceArray<Single> SavedPeak;
    TraceArray<Integer> TraceScaleIndex; // into ScaleSteps
    TraceArray<Single> TraceRange;       // vertical full scale
    TraceArray<Single> TraceOffset;      // added to every value when drawn
    TraceArray<Integer> TraceShift;      // shift steps
    BoundedArray<Single, 1, 20> ScaleSteps;
    Integer ScaleStepCount = 0;
    Integer TimeDivisions = 0;
    Integer AmpDivisions = 0;
    Integer MaxPointsPerPixel = 0; // above this many points per pixel column curves are drawn condensed

    // Colours
    TraceArray<Colour> SingleColour;
    TraceArray<Colour> AverageColour;
    TraceArray<Colour> TraceColour;
    Colour PlotBackColour = 0;

    // Axis geometry in plot coordinates, set by the axes drawing
    Single TimeAxisX1 = 0;
    Single TimeAxisX2 = 0;
    Single TimeAxisY2 = 0;
    Single AmpAxisX1 = 0;
    Single AmpAxisX2 = 0;
    Single AmpAxisY2 = 0;
    Single CursorTop = 0;
    Single CursorBottom = 0;

    // Cursor, selection and results bookkeeping
    Single CursorX = 0;        // plot x relative to ViewStart; -1 = no cursor
    TraceArray<Single> LevelY; // NoLevel = no level line
    Single SelStart = 0;       // absolute point numbers; -1 = none
    Single SelEnd = 0;
    bool AutoPeaks = false;
    Single Baseline = 0; // mean of the pre-stimulus samples of the block being measured
    Integer LevelBandDivisor = 0;
    ResultTable Results; // Results(t, k): record k = 1..1000 of trace t
    TraceArray<Integer> TableRow;
    TraceArray<Integer> BlockStartRow;
    TraceArray<Integer> NextRecord;
    TraceArray<Integer> EntryColumn;
};

} // namespace trazel
