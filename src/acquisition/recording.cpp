// The recording commands: Monitor, Record, STOP / CLOSE, STIM, Save and MARKER, and the file they write.
// A continuous recording is written by the acquisition loop as it goes; a block recording stays open
// from Record to CLOSE and takes one sweep per Save.

#include "acquisition/recorder.h"
#include "acquisition/recording_rules.h"
#include "acquisition/settings.h"
#include "core/display_text.h"
#include "core/doors.h"
#include "core/number_rules.h"
#include "display/average.h"
#include "display/view.h"
#include "files/bin_format.h"
#include "ui/controls.h"
#include "ui/dialogs.h"
#include "ui/mouse_pointer.h"

#include <QAction>
#include <QDir>
#include <QLabel>
#include <QSettings>
#include <utility>

namespace trazel {

namespace {

const QString InputSetting = QStringLiteral("recording/input"); // the id of the input chosen last
constexpr int SimulatedChannels = 4;

} // namespace

Recorder::Recorder(AppState& state, Dialogs& dialogs, View& view, PlotSurface& disp, Settings& settings,
                   Caption& caption, const RecordingControls& controls)
    : s(state), m_dialogs(dialogs), m_view(view), m_disp(disp), m_settings(settings), m_caption(caption),
      m_c(controls) {}

Recorder::~Recorder() = default;

QString Recorder::recordingFolder() {
    const QString folder = QDir::home().filePath(QStringLiteral("nb_data"));
    QDir().mkpath(folder);
    return folder;
}

void Recorder::drug_button_Click() {
    // A stimulus waiting for its point stays; the marker it resumes to is the one switched. Switching
    // MarkerCode itself would drop the stimulus and read it as a marker that was on.
    Integer& lasting = s.MarkerCode == MarkerStimulus ? s.ResumeMarkerCode : s.MarkerCode;
    const bool on = lasting == 0;
    lasting = on ? MarkerOn : Integer{0};
    m_c.drug_button->setText(on ? QStringLiteral("MARKER OFF") : QStringLiteral("MARKER ON"));
}

void Recorder::monitor_Click() {
    if (s.Acquiring) {
        m_c.halt->setFocus();
        return;
    }
    m_settings.countChannels();
    if (s.ChannelCount == 0) {
        return;
    }
    const QString caption = QStringLiteral("MONITOR MODE");
    m_caption.setCaption(caption);
    m_c.halt->setEnabled(true);
    AcquireLoop();
    m_c.halt->setEnabled(false);
    // A mode or layout command that ended the loop has written the caption of what is now in force.
    if (m_caption.caption() == caption) {
        m_caption.setCaption(QStringLiteral("CONTINUOUS MODE"));
    }
    closeIfAsked();
}

void Recorder::store_Click() {
    m_settings.countChannels();
    if (s.ChannelCount == 0) {
        return;
    }
    const QString folder = recordingFolder();
    std::vector<std::string> names;
    for (const QString& name : QDir(folder).entryList({QStringLiteral("data??.bin")}, QDir::Files)) {
        names.push_back(name.toStdString());
    }
    FileDialogRequest request;
    request.filter = QStringLiteral("Data File (*.bin)|*.bin");
    request.filterIndex = 1;
    request.title = QStringLiteral("Open file to save data");
    request.fileName = qtext(proposedRecordingName(names));
    request.initialFolder = folder;
    request.defaultExtension = QStringLiteral("bin");
    const QString chosen = m_dialogs.ShowSave(request);
    if (chosen.isEmpty()) {
        return; // cancelled: no file, no loop
    }
    s.FileName = chosen.toStdString();
    if (!openRecording()) {
        return;
    }
    s.Recording = true;
    enableRecordingControls(false);
    if (s.BlockMode) {
        m_c.save->setEnabled(true);
        s.SavedSweeps = 0;
        m_c.ave_count->setText(displayText(s.SavedSweeps, " ##0"));
        m_c.ave_count_label->setText(QStringLiteral("saved"));
        m_c.halt->setEnabled(true);
        m_c.halt->setText(QStringLiteral("CLOSE"));
        m_caption.setCaption(QStringLiteral("BLOCK RECORD MODE  file name: ") + chosen);
        moveFocusTo(*m_c.stim);
        return;
    }
    std::vector<QWidget*> locked = m_c.viewControls;
    locked.insert(locked.end(), {m_c.monitor, m_c.accept, m_c.clear_ave});
    enableControls(locked, false);
    m_c.mnuDisplay->setEnabled(false);
    m_caption.setCaption(QStringLiteral("CONTINUOUS RECORD MODE  file name: ") + chosen);
    m_c.halt->setEnabled(true);
    AcquireLoop();
    s.Recording = false;
    m_c.halt->setEnabled(false);
    enableRecordingControls(true);
    enableControls(m_c.viewControls, true);
    m_c.monitor->setEnabled(true);
    m_c.mnuDisplay->setEnabled(true);
    m_caption.setCaption(QStringLiteral("CONTINUOUS MODE   LAST RECORDED FILE: ") + chosen);
    closeIfAsked();
}

void Recorder::halt_Click() {
    s.StopRequested = true; // a running loop ends after its current point
    if (s.BlockMode && s.Recording) {
        closeRecording();
        restoreAfterBlockRecording();
    }
    m_c.halt->setEnabled(false);
    m_c.save->setEnabled(false);
}

void Recorder::stim_Click() {
    if (!s.BlockMode) {
        // A second STIM before the loop took the point must not make the stimulus the lasting marker.
        if (s.MarkerCode != MarkerStimulus) {
            s.ResumeMarkerCode = s.MarkerCode;
        }
        s.MarkerCode = MarkerStimulus;
        return;
    }
    m_settings.countChannels();
    if (s.ChannelCount == 0) {
        return;
    }
    m_c.stim->setEnabled(false);
    setMousePointer(*m_c.window, MousePointer::Hourglass);
    const std::int64_t last = static_cast<std::int64_t>(s.SweepLength) - 1;
    s.RawData.create(last);
    s.Markers.create(last);
    const StimulusSettings stimulus = m_settings.stimulus();
    for (const std::int64_t point :
         stimulusPoints(stimulus.delay, stimulus.interval, stimulus.count, s.SampleInterval, last)) {
        s.Markers(point) = MarkerStimulus;
    }
    if (m_device && !recordInputSweep()) {
        setMousePointer(*m_c.window, MousePointer::Default);
        m_c.stim->setEnabled(true);
        return;
    }
    if (!m_device) {
        m_source.MakeSweep(s.RawData);
    }
    s.CurveCount = 1;
    s.TraceData.copyFrom(s.RawData);
    setMousePointer(*m_c.window, MousePointer::Default);
    m_view.drawAxesAndCurves();
    m_c.stim->setEnabled(true);
    moveFocusTo(s.Recording ? static_cast<QWidget&>(*m_c.save) : *m_c.accept);
}

void Recorder::save_Click() {
    if (!m_recordFile || !s.TraceData.exists()) {
        return; // nothing recorded to save into, or no sweep made yet
    }
    acceptIntoAverage(s);
    s.SavedSweeps += 1;
    m_c.ave_count->setText(displayText(s.SavedSweeps, " ##0"));
    std::vector<std::int16_t> samples;
    std::vector<std::int16_t> markers;
    const TraceBuffer& sweep = s.TraceData;
    for (std::int64_t j = 0; j <= s.RawData.upper(); ++j) {
        for (int t = 1; t <= TraceCount; ++t) {
            if (s.TraceChannel(t) > 0) {
                samples.push_back(toInteger(sweep.contains(j) ? sweep(t, j) : 0.0F));
            }
        }
        markers.push_back(std::as_const(s.Markers)(j));
    }
    if (!appendToRecording(samples, markers)) {
        restoreAfterBlockRecording();
        return;
    }
    m_view.drawAxesAndCurves();
    moveFocusTo(*m_c.stim);
}

bool Recorder::openRecording() {
    const binformat::Header header =
        recordingHeader(s.TraceChannel, s.BlockMode, s.SweepLength, m_settings.stimulus(), s.SampleInterval);
    m_recordFile = BinFileWriter::create(std::filesystem::path(s.FileName), header);
    if (!m_recordFile) {
        reportWriteFailure();
        return false;
    }
    return true;
}

bool Recorder::appendToRecording(std::span<const std::int16_t> samples,
                                 std::span<const std::int16_t> markers) {
    if (m_recordFile && m_recordFile->append(samples, markers)) {
        return true;
    }
    closeRecording();
    reportWriteFailure();
    s.StopRequested = true;
    return false;
}

// What was written before a failure stays in the file.
void Recorder::closeRecording() {
    if (m_recordFile) {
        m_recordFile->close();
        m_recordFile.reset();
    }
}

void Recorder::reportWriteFailure() {
    m_dialogs.MsgBox(QStringLiteral("Error encountered while trying to write file, recording stopped."),
                     MsgButtons::Ok, MsgIcon::Critical, QStringLiteral("File output"));
}

// Recording locks what would change the file's layout; block mode keeps its lengths locked anyway.
void Recorder::enableRecordingControls(bool enabled) {
    for (QAction* menu : m_c.layoutMenus) {
        menu->setEnabled(enabled);
    }
    m_c.store->setEnabled(enabled);
    m_settings.enableForRecording(enabled);
}

void Recorder::restoreAfterBlockRecording() {
    m_c.halt->setText(QStringLiteral("STOP"));
    s.Recording = false;
    enableRecordingControls(true);
    m_c.monitor->setEnabled(true);
    m_c.ave_count_label->setText(QStringLiteral(" ave#"));
    m_c.ave_count->setText(displayText(s.AveragedCount, " ##0"));
    m_caption.setCaption(QStringLiteral("BLOCK MODE    LAST RECORDED FILE: ") + qtext(s.FileName));
    m_c.halt->setEnabled(false);
    m_c.save->setEnabled(false);
}

bool Recorder::windowMayClose() {
    if (s.Acquiring) {
        // The loop runs in a handler further down: it ends first, and that handler closes the window.
        s.StopRequested = true;
        m_closeAfterLoop = true;
        return false;
    }
    closeRecording(); // an open block recording keeps every sweep saved so far
    s.Recording = false;
    return true;
}

void Recorder::resetRecordingSettings() {
    m_settings.resetRecordingSettings();
}

void Recorder::prepareRecordingLayout() {
    m_settings.prepareRecordingLayout();
    showInputs();
}

void Recorder::writeModeCaption() {
    m_settings.writeModeCaption();
}

void Recorder::showInputs() {
    const InputList list = listSoundInputs();
    m_inputs = list.devices;
    QStringList items = {QStringLiteral("Simulated")};
    for (const InputDevice& device : m_inputs) {
        items << device.description;
    }
    m_c.input_list->clear();
    m_c.input_list->addItems(items);
    m_c.input_list->setToolTip(list.why);
    const QString remembered = QSettings().value(InputSetting).toString();
    const auto found = std::ranges::find(m_inputs, remembered, &InputDevice::id);
    if (!remembered.isEmpty() && found == m_inputs.end()) {
        m_dialogs.MsgBox(
            QStringLiteral("The input %1 is not available; the simulated input is used.").arg(remembered),
            MsgButtons::Ok, MsgIcon::Exclamation, QStringLiteral("Input"));
    }
    m_c.input_list->setListIndex(found == m_inputs.end() ? 0
                                                         : static_cast<int>(found - m_inputs.begin()) + 1);
}

void Recorder::input_list_Click() {
    const int index = m_c.input_list->currentIndex();
    m_device.reset();
    if (index >= 1 && index <= static_cast<int>(m_inputs.size())) {
        m_device = m_inputs[static_cast<std::size_t>(index - 1)];
    }
    QSettings().setValue(InputSetting, m_device ? m_device->id : QString());
    m_settings.limitChannels(m_device ? m_device->channels : SimulatedChannels);
}

bool Recorder::startInput() {
    if (!m_device || (m_input.running() && m_input.pointRate() == 1 / s.SampleInterval)) {
        return true;
    }
    if (m_input.start(*m_device, 1 / s.SampleInterval)) {
        return true;
    }
    reportInputFailure();
    return false;
}

void Recorder::takeInputPoint(std::array<Integer, TraceCount>& sample) {
    m_input.takePoint(m_inputPoint);
    for (int t = 1; t <= TraceCount; ++t) {
        const int channel = s.TraceChannel(t);
        const bool offered = channel >= 1 && channel <= static_cast<int>(m_inputPoint.size());
        sample[static_cast<std::size_t>(t - 1)] =
            offered ? m_inputPoint[static_cast<std::size_t>(channel - 1)] : 0;
    }
}

// The points that come after the stimulus, one sweep of them.
bool Recorder::recordInputSweep() {
    if (!startInput()) {
        return false;
    }
    m_input.discardWaiting();
    std::array<Integer, TraceCount> sample{};
    for (std::int64_t j = 0; j < s.SweepLength; ++j) {
        while (m_input.pointsWaiting() == 0 && m_input.failure().isEmpty()) {
            waitForEvents();
        }
        if (m_input.pointsWaiting() == 0) {
            reportInputFailure();
            m_input.stop();
            return false;
        }
        takeInputPoint(sample);
        for (int t = 1; t <= TraceCount; ++t) {
            if (s.TraceChannel(t) > 0) {
                s.RawData(t, j) = sample[static_cast<std::size_t>(t - 1)];
            }
        }
    }
    m_input.stop();
    return true;
}

void Recorder::reportInputFailure() {
    m_dialogs.MsgBox(QStringLiteral("The input %1 stopped: %2. Recording stopped.")
                         .arg(m_input.device().description, m_input.failure()),
                     MsgButtons::Ok, MsgIcon::Critical, QStringLiteral("Input"));
}

void Recorder::closeIfAsked() {
    if (m_closeAfterLoop) {
        m_closeAfterLoop = false;
        m_c.window->close();
    }
}

} // namespace trazel
