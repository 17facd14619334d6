// The recording commands: Monitor, Record, STOP / CLOSE, STIM, Save and MARKER, and the file they write.
// A continuous recording is written by the acquisition loop as it goes; a block recording stays open
// from Record to CLOSE and takes one sweep per Save.

#include "acquisition/recording_rules.h"
#include "core/display_text.h"
#include "core/number_rules.h"
#include "display/average.h"
#include "files/bin_format.h"
#include "ui/controls.h"
#include "ui/dialogs.h"
#include "ui/mouse_pointer.h"
#include "window/main_window.h"

#include <QAction>
#include <QCloseEvent>
#include <QDir>
#include <QLabel>
#include <utility>

namespace trazel {

QString Trazel::recordingFolder() {
    const QString folder = QDir::home().filePath(QStringLiteral("nb_data"));
    QDir().mkpath(folder);
    return folder;
}

void Trazel::drug_button_Click() {
    // A stimulus waiting for its point stays; the marker it resumes to is the one switched. Switching
    // MarkerCode itself would drop the stimulus and read it as a marker that was on.
    Integer& lasting = s.MarkerCode == MarkerStimulus ? s.ResumeMarkerCode : s.MarkerCode;
    const bool on = lasting == 0;
    lasting = on ? MarkerOn : Integer{0};
    drug_button->setText(on ? QStringLiteral("MARKER OFF") : QStringLiteral("MARKER ON"));
}

void Trazel::monitor_Click() {
    if (s.Acquiring) {
        halt->setFocus();
        return;
    }
    countChannels();
    if (s.ChannelCount == 0) {
        return;
    }
    const QString caption = QStringLiteral("MONITOR MODE");
    setWindowTitle(caption);
    halt->setEnabled(true);
    AcquireLoop();
    halt->setEnabled(false);
    // A mode or layout command that ended the loop has written the caption of what is now in force.
    if (windowTitle() == caption) {
        setWindowTitle(QStringLiteral("CONTINUOUS MODE"));
    }
    closeIfAsked();
}

void Trazel::store_Click() {
    countChannels();
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
    const QString chosen = dialogs.ShowSave(request);
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
        save->setEnabled(true);
        s.SavedSweeps = 0;
        ave_count->setText(displayText(s.SavedSweeps, " ##0"));
        ave_count_label->setText(QStringLiteral("saved"));
        halt->setEnabled(true);
        halt->setText(QStringLiteral("CLOSE"));
        setWindowTitle(QStringLiteral("BLOCK RECORD MODE  file name: ") + chosen);
        moveFocusTo(*stim);
        return;
    }
    enableControls(
        {monitor, mul, div, nshift, pshift, accept, clear_ave, ch_select[0], ch_select[1], ch_select[2]},
        false);
    mnuDisplay->setEnabled(false);
    setWindowTitle(QStringLiteral("CONTINUOUS RECORD MODE  file name: ") + chosen);
    halt->setEnabled(true);
    AcquireLoop();
    s.Recording = false;
    halt->setEnabled(false);
    enableRecordingControls(true);
    enableControls({monitor, mul, div, nshift, pshift, ch_select[0], ch_select[1], ch_select[2]}, true);
    mnuDisplay->setEnabled(true);
    setWindowTitle(QStringLiteral("CONTINUOUS MODE   LAST RECORDED FILE: ") + chosen);
    closeIfAsked();
}

void Trazel::halt_Click() {
    s.StopRequested = true; // a running loop ends after its current point
    if (s.BlockMode && s.Recording) {
        closeRecording();
        restoreAfterBlockRecording();
    }
    halt->setEnabled(false);
    save->setEnabled(false);
}

void Trazel::stim_Click() {
    if (!s.BlockMode) {
        // A second STIM before the loop took the point must not make the stimulus the lasting marker.
        if (s.MarkerCode != MarkerStimulus) {
            s.ResumeMarkerCode = s.MarkerCode;
        }
        s.MarkerCode = MarkerStimulus;
        return;
    }
    countChannels();
    if (s.ChannelCount == 0) {
        return;
    }
    stim->setEnabled(false);
    setMousePointer(*this, MousePointer::Hourglass);
    const std::int64_t last = static_cast<std::int64_t>(s.SweepLength) - 1;
    s.RawData.create(last);
    s.Markers.create(last);
    for (const std::int64_t point : stimulusPoints(toInteger(dly1->Number()), toInteger(interval->Number()),
                                                   toInteger(stim_num->Number()), s.SampleInterval, last)) {
        s.Markers(point) = MarkerStimulus;
    }
    m_source.MakeSweep(s.RawData);
    s.CurveCount = 1;
    s.TraceData.copyFrom(s.RawData);
    setMousePointer(*this, MousePointer::Default);
    drawAxesAndCurves();
    stim->setEnabled(true);
    moveFocusTo(s.Recording ? static_cast<QWidget&>(*save) : *accept);
}

void Trazel::save_Click() {
    if (!m_recordFile || !s.TraceData.exists()) {
        return; // nothing recorded to save into, or no sweep made yet
    }
    acceptIntoAverage(s);
    s.SavedSweeps += 1;
    ave_count->setText(displayText(s.SavedSweeps, " ##0"));
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
    drawAxesAndCurves();
    moveFocusTo(*stim);
}

bool Trazel::openRecording() {
    binformat::Header header;
    header.channelCount = s.ChannelCount;
    for (int t = 1; t <= TraceCount; ++t) {
        header.traceChannels[static_cast<std::size_t>(t - 1)] = s.TraceChannel(t);
    }
    header.blockFlag = s.BlockMode ? -1 : 0;
    header.pointsPerSweep = s.SweepLength;
    header.stimDelay = toInteger(dly1->Number());
    header.stimCount = toInteger(stim_num->Number());
    header.stimInterval = toInteger(interval->Number());
    header.sampleIntervalUs = toLong(static_cast<double>(s.SampleInterval) * 1000 * 1000);
    m_recordFile = BinFileWriter::create(std::filesystem::path(s.FileName), header);
    if (!m_recordFile) {
        reportWriteFailure();
        return false;
    }
    return true;
}

bool Trazel::appendToRecording(std::span<const std::int16_t> samples, std::span<const std::int16_t> markers) {
    if (m_recordFile && m_recordFile->append(samples, markers)) {
        return true;
    }
    closeRecording();
    reportWriteFailure();
    s.StopRequested = true;
    return false;
}

// What was written before a failure stays in the file.
void Trazel::closeRecording() {
    if (m_recordFile) {
        m_recordFile->close();
        m_recordFile.reset();
    }
}

void Trazel::reportWriteFailure() {
    dialogs.MsgBox(QStringLiteral("Error encountered while trying to write file, recording stopped."),
                   MsgButtons::Ok, MsgIcon::Critical, QStringLiteral("File output"));
}

// Recording locks what would change the file's layout; block mode keeps its lengths locked anyway.
void Trazel::enableRecordingControls(bool enabled) {
    for (QAction* menu : {mnuFile, mnuTrazel, mnuBlock, mnuContinuous}) {
        menu->setEnabled(enabled);
    }
    enableControls({sampling_hz, store, ch_list[0], ch_list[1], ch_list[2], gain[0], gain[1], gain[2]},
                   enabled);
    enableControls(lengthFields(), enabled && !s.BlockMode);
}

void Trazel::restoreAfterBlockRecording() {
    halt->setText(QStringLiteral("STOP"));
    s.Recording = false;
    enableRecordingControls(true);
    monitor->setEnabled(true);
    ave_count_label->setText(QStringLiteral(" ave#"));
    ave_count->setText(displayText(s.AveragedCount, " ##0"));
    setWindowTitle(QStringLiteral("BLOCK MODE    LAST RECORDED FILE: ") + qtext(s.FileName));
    halt->setEnabled(false);
    save->setEnabled(false);
}

void Trazel::closeEvent(QCloseEvent* event) {
    if (s.Acquiring) {
        // The loop runs in a handler further down: it ends first, and that handler closes the window.
        s.StopRequested = true;
        m_closeAfterLoop = true;
        event->ignore();
        return;
    }
    closeRecording(); // an open block recording keeps every sweep saved so far
    s.Recording = false;
    QMainWindow::closeEvent(event);
}

void Trazel::closeIfAsked() {
    if (m_closeAfterLoop) {
        m_closeAfterLoop = false;
        close();
    }
}

} // namespace trazel
