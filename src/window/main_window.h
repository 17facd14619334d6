#pragma once

#include "acquisition/recorder.h"
#include "acquisition/settings.h"
#include "core/app_state.h"
#include "core/doors.h"
#include "display/layouts.h"
#include "display/text_labels.h"
#include "display/view.h"
#include "display/view_commands.h"
#include "display/views.h"
#include "export/exports.h"
#include "files/file_commands.h"
#include "measure/measurements.h"
#include "spectrum/psd_command.h"
#include "window/window_controls.h"

#include <QMainWindow>
#include <memory>
#include <vector>

namespace trazel {

class Dialogs;

// The main window on the top floor: it builds the controls and menus, creates each room's commands and
// connects every control to its handler there. Itself it runs the start-up, the trace selection, exit,
// close and drop, and it is the caption and the trace selection the rooms ask for.
class Trazel : public QMainWindow, public Caption, public TraceSelection {
    Q_OBJECT

public:
    // Creates the controls and runs the start-up; the window is shown by the caller.
    Trazel(AppState& state, Dialogs& dialogs, QWidget* parent = nullptr);
    ~Trazel() override;

    // Start-up values of the state and the controls, the trace 1 selection and the empty axes.
    void Form_Initialize();
    // Trace Index + 1 has been selected (Index 0..2).
    void ch_select_Click(int Index);
    void mnuExit_Click();

    QString caption() const override { return windowTitle(); }
    void setCaption(const QString& caption) override { setWindowTitle(caption); }
    void selectTrace(int t) override;

    WindowControls ui;

    // The rooms, each with the commands of its menus and buttons.
    Plot& plot() { return *m_plot; }
    Views& views() { return *m_views; }
    ViewCommands& viewCommands() { return *m_viewCommands; }
    Labels& labels() { return *m_labels; }
    Layouts& layouts() { return *m_layouts; }
    Measurements& measurements() { return *m_measurements; }
    SpectrumCommand& spectrum() { return *m_spectrum; }
    Exports& exports() { return *m_exports; }
    FileCommands& files() { return *m_files; }
    Settings& settings() { return *m_settings; }
    Recorder& recorder() { return *m_recorder; }

protected:
    // Closing the window ends a running loop first and completes an open recording.
    void closeEvent(QCloseEvent* event) override;
    // A data file dropped onto the window opens as with File > Open.
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void nameTraces();
    void createPlot();
    void createTraceSelectors();
    void createEvaluationControls();
    void createRecordingControls();
    void createResultGrids();
    void createMenus();
    // The keys of a desktop program, shown next to their menu items.
    void assignKeys();
    void arrangeControls();
    void createRooms();
    void createRecordingRooms(const ModeControls& modes);
    void createLayouts(const ModeControls& modes);
    void connectHandlers();
    void connectViewCommands();
    void connectLabels();
    void connectSettingsFields();
    void connectRecording();
    // The controls of the recording layout, which the evaluation layout hides.
    std::vector<QWidget*> recordingControls() const;
    // The scale buttons and the trace selectors, which a continuous recording locks.
    std::vector<QWidget*> viewControls() const;

    AppState& s;
    Dialogs& m_dialogs;
    std::vector<QWidget*> m_panels; // frames that show only while a control in them is shown
    std::unique_ptr<Plot> m_plot;
    std::unique_ptr<Views> m_views;
    std::unique_ptr<ViewCommands> m_viewCommands;
    std::unique_ptr<Labels> m_labels;
    std::unique_ptr<Measurements> m_measurements;
    std::unique_ptr<SpectrumCommand> m_spectrum;
    std::unique_ptr<Exports> m_exports;
    std::unique_ptr<FileCommands> m_files;
    std::unique_ptr<Settings> m_settings;
    std::unique_ptr<Recorder> m_recorder;
    std::unique_ptr<Layouts> m_layouts;
};

} // namespace trazel
