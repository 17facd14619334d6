#pragma once

#include "acquisition/recording_rules.h"
#include "core/app_state.h"
#include "core/doors.h"
#include "display/mode_controls.h"

#include <array>
#include <vector>

class QLabel;
class QWidget;

namespace trazel {

class CommandButton;
class ComboBox;
class Dialogs;
class PlotSurface;
class TextBox;
class View;
class Views;
struct SweepSpan;

// The settings fields of the recording layout with the labels that change with the mode, the groups of
// fields that a mode or a recording locks, and the recording buttons the fields hand the focus to and the
// mode shows.
struct SettingsControls {
    ComboBox* sampling_hz = nullptr;
    ComboBox* scr_lng = nullptr;
    ComboBox* file_lng = nullptr;
    ComboBox* dly1 = nullptr;
    ComboBox* stim_num = nullptr;
    ComboBox* interval = nullptr;
    std::array<ComboBox*, TraceCount> ch_list{};
    std::array<ComboBox*, TraceCount> gain{};
    QLabel* hz = nullptr; // the unit of sampling_hz: "Hz", or "us" for the block interval
    QLabel* scr_unit = nullptr;
    QLabel* ave_count_label = nullptr;
    std::vector<QWidget*> stimulusFields; // stimulus and averaging fields, which block mode uses
    std::vector<QWidget*> lengthFields;   // screen and file length, which block recording leaves alone
    CommandButton* monitor = nullptr;
    CommandButton* halt = nullptr;
    CommandButton* save = nullptr;
    CommandButton* stim = nullptr;
    TextBox* status = nullptr;
};

// What settings beyond the fields reach: the curve views, the results tables, the caption and the traces.
struct SettingsNeighbours {
    Views& views;
    ResultsTables& tables;
    Caption& caption;
    TraceSelection& traces;
};

// The settings fields and the two modes. Each field checks what was typed and keeps the values derived
// from it in step; while the acquisition loop runs none of them draws, they ask the loop to redraw. Enter
// (KeyAscii 13) moves on to the next control where that control can take the focus. "Block mode" asks
// for the sweep length (and, once in block mode, changes it); "Continuous" returns to one uninterrupted
// run. Both work in either layout.
class Settings {
public:
    Settings(AppState& state, Dialogs& dialogs, View& view, PlotSurface& disp, const ModeControls& modes,
             const SettingsControls& controls, const SettingsNeighbours& neighbours);

    void sampling_hz_KeyPress(int KeyAscii);
    void sampling_hz_LostFocus();
    void scr_lng_KeyPress(int KeyAscii);
    void scr_lng_LostFocus();
    void file_lng_KeyPress(int KeyAscii);
    void file_lng_Change();
    void file_lng_LostFocus();
    void ch_list_Click(int Index);
    void ch_list_KeyPress(int Index, int KeyAscii);
    void ch_list_LostFocus(int Index);
    void gain_Click(int Index);
    void gain_Change(int Index);
    void mnuBlock_Click();
    void mnuContinuous_Click();

    // File length 180 s and one stimulus without delay.
    void resetRecordingSettings();
    // The fields as the recording layout starts: continuous mode at the current rate, no channels.
    void prepareRecordingLayout();
    // The window's caption for the mode in force, with the file name once data are loaded.
    void writeModeCaption();
    // The channel lists offer channels 1..count; a trace on a channel beyond them has none.
    void limitChannels(int count);

    // ChannelCount: the traces with an input channel.
    void countChannels();
    StimulusSettings stimulus() const;
    // A recording locks what would change the file's layout; block mode keeps its lengths locked anyway.
    void enableForRecording(bool enabled);

private:
    void enterBlockMode();
    void applySampleInterval(Single interval, Long sweepLength);
    // TraceChannel of trace Index + 1 from its selector, and ChannelCount.
    void takeChannel(int Index);
    void applySweepSpan(const SweepSpan& span);
    // Fresh sweep buffers of SweepLength points and an empty average.
    void createSweepBuffers();
    void writeScreenLength();

    AppState& s;
    Dialogs& m_dialogs;
    View& m_view;
    PlotSurface& m_disp;
    ModeControls m_modes;
    SettingsControls m_c;
    SettingsNeighbours m_n;
    int m_channelLimit = 4;
};

} // namespace trazel
