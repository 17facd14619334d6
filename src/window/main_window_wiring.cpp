// The window's wiring: each control's event reaches the handler named after it, in the room that owns the
// control; tests call the same handlers without a mouse.

#include "ui/controls.h"
#include "ui/menus.h"
#include "ui/plot_surface.h"
#include "window/main_window.h"

#include <initializer_list>
#include <utility>

namespace trazel {

namespace {

template <typename Room> using ButtonHandler = std::pair<CommandButton*, void (Room::*)()>;

// A click on each button runs its handler in `room`, while `context` lives.
template <typename Room>
void connectButtons(QObject& context, Room& room, std::initializer_list<ButtonHandler<Room>> buttons) {
    for (const ButtonHandler<Room>& entry : buttons) {
        // A copy, not the structured binding: clang before 16 cannot capture a binding.
        const auto handler = entry.second;
        QObject::connect(entry.first, &QPushButton::clicked, &context,
                         [&room, handler] { (room.*handler)(); });
    }
}

} // namespace

void Trazel::connectHandlers() {
    for (std::size_t i = 0; i < ui.ch_select.size(); ++i) {
        connect(ui.ch_select[i], &OptionButton::Click, this,
                [this, i] { ch_select_Click(static_cast<int>(i)); });
    }
    FileCommands& files = *m_files;
    onClick(ui.mnuOpen, [&files] { files.mnuOpen_Click(); });
    for (int i = 1; i <= RecentFileCount; ++i) {
        onClick(ui.mnuRecent(i), [&files, i] { files.mnuRecent_Click(i); });
    }
    onClick(ui.mnuExit, [this] { mnuExit_Click(); });
    Exports& exports = *m_exports;
    onClick(ui.mnuSaveTable, [&exports] { exports.mnuSaveTable_Click(); });
    onClick(ui.mnuSaveCurvePoints, [&exports] { exports.mnuSaveCurvePoints_Click(); });
    onClick(ui.mnuExportEdf, [&exports] { exports.mnuExportEdf_Click(); });
    for (int i = 1; i <= 5; ++i) {
        onClick(ui.mnuCopyitem(i), [&exports, i] { exports.mnuCopyitem_Click(i); });
    }
    Views& views = *m_views;
    onClick(ui.mnuS_A, [&views] { views.mnuS_A_Click(); });
    onClick(ui.mnuA_S, [&views] { views.mnuA_S_Click(); });
    onClick(ui.mnuS, [&views] { views.mnuS_Click(); });
    onClick(ui.mnuA, [&views] { views.mnuA_Click(); });
    connectButtons(*this, views,
                   {{ui.PgDn, &Views::PgDn_Click},
                    {ui.PgUp, &Views::PgUp_Click},
                    {ui.accept, &Views::accept_Click},
                    {ui.clear_ave, &Views::clear_ave_Click}});
    SpectrumCommand& spectrum = *m_spectrum;
    onClick(ui.mnuPSD, [&spectrum] { spectrum.mnuPSD_Click(); });
    Measurements& measurements = *m_measurements;
    onClick(ui.mnuPeaks, [&measurements] { measurements.mnuPeaks_Click(); });
    onClick(ui.mnuMarksoff, [&measurements] { measurements.mnuMarksoff_Click(); });
    connectButtons(*this, measurements,
                   {{ui.add, &Measurements::add_Click},
                    {ui.del, &Measurements::del_Click},
                    {ui.newblk, &Measurements::newblk_Click},
                    {ui.Clear, &Measurements::Clear_Click}});
    connect(ui.disp, &PlotSurface::MouseDown, this,
            [&measurements](int button, int shift, double x, double y) {
                measurements.disp_MouseDown(button, shift, x, y);
            });
    connect(ui.disp, &PlotSurface::MouseMove, this,
            [&measurements](int button, int shift, double x, double y) {
                measurements.disp_MouseMove(button, shift, x, y);
            });
    Layouts& layouts = *m_layouts;
    onClick(ui.mnuMeasure, [&layouts] { layouts.mnuMeasure_Click(); });
    onClick(ui.mnuTrazel, [&layouts] { layouts.mnuTrazel_Click(); });
    connect(ui.disp, &PlotSurface::Resized, this, [this] { m_plot->redraw(); });
    connectViewCommands();
    connectLabels();
    connectSettingsFields();
    connectRecording();
}

void Trazel::connectViewCommands() {
    ViewCommands& commands = *m_viewCommands;
    onClick(ui.mnuExpand, [&commands] { commands.mnuExpand_Click(); });
    onClick(ui.mnuCompress, [&commands] { commands.mnuCompress_Click(); });
    onClick(ui.mnuZoom_sel, [&commands] { commands.mnuZoom_sel_Click(); });
    onClick(ui.mnuInvert, [&commands] { commands.mnuInvert_Click(); });
    onClick(ui.mnuRaw, [&commands] { commands.mnuRaw_Click(); });
    onClick(ui.mnuOverplot, [&commands] { commands.mnuOverplot_Click(); });
    connectButtons(*this, commands,
                   {{ui.mul, &ViewCommands::mul_Click},
                    {ui.div, &ViewCommands::div_Click},
                    {ui.pshift, &ViewCommands::pshift_Click},
                    {ui.nshift, &ViewCommands::nshift_Click}});
}

void Trazel::connectLabels() {
    Labels& labels = *m_labels;
    onClick(ui.mnuTextInsert, [&labels] { labels.mnuTextInsert_Click(); });
    onClick(ui.mnuTextDelete, [&labels] { labels.mnuTextDelete_Click(); });
    for (std::size_t i = 0; i < ui.Text1.size(); ++i) {
        const int index = static_cast<int>(i);
        TextBox* label = ui.Text1[i];
        connect(label, &TextBox::GotFocus, this, [&labels, index] { labels.Text1_GotFocus(index); });
        connect(label, &TextBox::KeyPress, this,
                [&labels, index](int key) { labels.Text1_KeyPress(index, key); });
        connect(label, &TextBox::LostFocus, this, [&labels, index] { labels.Text1_LostFocus(index); });
        connect(label, &TextBox::MouseMove, this,
                [&labels, index](int button, int shift, double x, double y) {
                    labels.Text1_MouseMove(index, button, shift, x, y);
                });
        // A drag ends where the pointer is let go, taken into the plot's pixels.
        connect(label, &TextBox::MouseUp, this, [&labels, index, label](int, int, double x, double y) {
            const QPointF at = label->mapToParent(QPointF(x, y));
            labels.disp_DragDrop(index, at.x(), at.y());
        });
    }
}

void Trazel::connectSettingsFields() {
    Settings& settings = *m_settings;
    onClick(ui.mnuBlock, [&settings] { settings.mnuBlock_Click(); });
    onClick(ui.mnuContinuous, [&settings] { settings.mnuContinuous_Click(); });
    connect(ui.sampling_hz, &ComboBox::KeyPress, this,
            [&settings](int key) { settings.sampling_hz_KeyPress(key); });
    connect(ui.sampling_hz, &ComboBox::LostFocus, this, [&settings] { settings.sampling_hz_LostFocus(); });
    connect(ui.scr_lng, &ComboBox::KeyPress, this, [&settings](int key) { settings.scr_lng_KeyPress(key); });
    connect(ui.scr_lng, &ComboBox::LostFocus, this, [&settings] { settings.scr_lng_LostFocus(); });
    connect(ui.file_lng, &ComboBox::KeyPress, this,
            [&settings](int key) { settings.file_lng_KeyPress(key); });
    connect(ui.file_lng, &ComboBox::Change, this, [&settings] { settings.file_lng_Change(); });
    connect(ui.file_lng, &ComboBox::LostFocus, this, [&settings] { settings.file_lng_LostFocus(); });
    for (std::size_t i = 0; i < TraceCount; ++i) {
        const int index = static_cast<int>(i);
        connect(ui.ch_list[i], &ComboBox::Click, this, [&settings, index] { settings.ch_list_Click(index); });
        connect(ui.ch_list[i], &ComboBox::KeyPress, this,
                [&settings, index](int key) { settings.ch_list_KeyPress(index, key); });
        connect(ui.ch_list[i], &ComboBox::LostFocus, this,
                [&settings, index] { settings.ch_list_LostFocus(index); });
        connect(ui.gain[i], &ComboBox::Click, this, [&settings, index] { settings.gain_Click(index); });
        connect(ui.gain[i], &ComboBox::Change, this, [&settings, index] { settings.gain_Change(index); });
    }
}

void Trazel::connectRecording() {
    Recorder& recorder = *m_recorder;
    connectButtons(*this, recorder,
                   {{ui.monitor, &Recorder::monitor_Click},
                    {ui.store, &Recorder::store_Click},
                    {ui.halt, &Recorder::halt_Click},
                    {ui.save, &Recorder::save_Click},
                    {ui.stim, &Recorder::stim_Click},
                    {ui.drug_button, &Recorder::drug_button_Click}});
    connect(ui.Timer1, &Timer::Tick, this, [&recorder] { recorder.Timer1_Timer(); });
    connect(ui.input_list, &ComboBox::Click, this, [&recorder] { recorder.input_list_Click(); });
}

} // namespace trazel
