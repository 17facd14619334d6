#pragma once

#include "acquisition/simulated_source.h"
#include "acquisition/sound_input.h"
#include "core/app_state.h"
#include "core/doors.h"
#include "files/bin_writer.h"
#include "ui/event_loop.h"

#include <QString>
#include <optional>
#include <span>
#include <vector>

class QAction;
class QLabel;
class QWidget;

namespace trazel {

class ComboBox;
class CommandButton;
class Dialogs;
class PlotSurface;
class Settings;
class View;

// The recording buttons with the count of saved sweeps and the timer that paces the points; what a
// recording locks (the menus that would change the file's layout, the display menu and the view controls
// of a continuous recording); the window, which shows the hourglass and is closed once a loop that a close
// interrupted has ended.
struct RecordingControls {
    CommandButton* monitor = nullptr;
    CommandButton* store = nullptr;
    CommandButton* halt = nullptr;
    CommandButton* save = nullptr;
    CommandButton* stim = nullptr;
    CommandButton* drug_button = nullptr;
    ComboBox* input_list = nullptr; // "Simulated", then the sound server's inputs
    QLabel* ave_count = nullptr;
    QLabel* ave_count_label = nullptr;
    Timer* Timer1 = nullptr;
    CommandButton* accept = nullptr;
    CommandButton* clear_ave = nullptr;
    std::vector<QAction*> layoutMenus; // File, &Trazel, Block mode, Continuous
    QAction* mnuDisplay = nullptr;
    std::vector<QWidget*> viewControls; // the scale buttons and the trace selectors
    QWidget* window = nullptr;
};

// Live input and recording. Monitor runs the acquisition loop without a file; Record opens a file and, in
// continuous mode, runs the loop into it, in block mode waits for the sweeps that Save appends; STOP ends
// the loop (CLOSE closes a block recording); STIM makes a sweep in block mode and marks the next point
// otherwise; MARKER switches the marker word of the points on and off. The recorder owns the source, the
// clock and the open recording file.
class Recorder final : public RecordingSetup {
public:
    Recorder(AppState& state, Dialogs& dialogs, View& view, PlotSurface& disp, Settings& settings,
             Caption& caption, const RecordingControls& controls);
    ~Recorder();

    void monitor_Click();
    void store_Click();
    void halt_Click();
    void save_Click();
    void stim_Click();
    void drug_button_Click();
    void Timer1_Timer();
    // The input chosen: the simulated source, or an input of the sound server, remembered for the next
    // start; the channel lists offer the device's channels only.
    void input_list_Click();
    // Lists the inputs the sound server offers and chooses the one remembered; a remembered input that
    // has gone falls back to the simulated source with a message.
    void showInputs();
    // Takes a point from the source whenever one is due, draws it as a moving pen and records it, until
    // STOP, a full file, a failed write or a loop started inside this one ends it.
    void AcquireLoop();
    // The clock that paces the points; tests hand in one they control.
    void useClock(Clock& clock) { m_clock = &clock; }
    // Where recordings are proposed: nb_data in the home folder, made when missing.
    static QString recordingFolder();
    void resetRecordingSettings() override;
    // Also lists the inputs.
    void prepareRecordingLayout() override;
    void writeModeCaption() override;

    // The window is to close: a running loop ends first and the window closes once it has (false: not
    // yet); otherwise an open recording is completed (true).
    bool windowMayClose();

private:
    struct LoopRun;
    void takePoint(LoopRun& run);
    void waitUntilDue(LoopRun& run);
    void startNewScreen(LoopRun& run);
    void drawPoint(LoopRun& run);
    bool recordPoint(LoopRun& run);
    bool writeRecorded(LoopRun& run);
    void finishLoop(LoopRun& run);
    // The recording file: opened with its header, closed with everything appended; a failure is reported
    // and closes the file.
    bool openRecording();
    bool appendToRecording(std::span<const std::int16_t> samples, std::span<const std::int16_t> markers);
    void closeRecording();
    void reportWriteFailure();
    void enableRecordingControls(bool enabled);
    void restoreAfterBlockRecording();
    // A close asked for while the loop ran, carried out once it has ended.
    void closeIfAsked();
    // Starts the chosen sound input at the point rate (nothing to start for the simulated source); a
    // failure is reported.
    bool startInput();
    void waitForInputPoint(LoopRun& run);
    // The traces' samples of the next point that waits at the sound input.
    void takeInputPoint(std::array<Integer, TraceCount>& sample);
    // A sweep of the sound input's points after a stimulus; false when the input stopped first.
    bool recordInputSweep();
    void reportInputFailure();

    AppState& s;
    Dialogs& m_dialogs;
    View& m_view;
    PlotSurface& m_disp;
    Settings& m_settings;
    Caption& m_caption;
    RecordingControls m_c;
    SimulatedSource m_source;
    std::vector<InputDevice> m_inputs;   // the sound server's inputs, as listed
    std::optional<InputDevice> m_device; // the chosen one; none: the simulated source
    SoundInput m_input;
    std::vector<std::int16_t> m_inputPoint;
    SteadyClock m_steadyClock;
    Clock* m_clock = &m_steadyClock;
    std::optional<BinFileWriter> m_recordFile; // the open recording
    bool m_closeAfterLoop = false;             // the window was closed while the loop ran
};

} // namespace trazel
