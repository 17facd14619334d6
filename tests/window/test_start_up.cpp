#include "measure/table_layout.h"
#include "support/drawing_log.h"
#include "support/main_window_fixture.h"
#include "ui/controls.h"
#include "ui/flex_grid.h"
#include "ui/plot_surface.h"

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>

namespace trazel::testing {
namespace {

using StartUp = MainWindowTest;

TEST_F(StartUp, GivesTheStateItsStartValues) {
    EXPECT_FALSE(state.BlockMode);
    EXPECT_FALSE(state.MeasureLayout);
    EXPECT_FALSE(state.DataLoaded);
    EXPECT_TRUE(state.ShowSingle);
    EXPECT_FALSE(state.ShowAverage);
    EXPECT_FALSE(state.SpectrumShown);
    EXPECT_FALSE(state.Overplot);
    EXPECT_EQ(state.SweepLength, -1);
    EXPECT_EQ(state.CurveCount, -1);
    EXPECT_EQ(state.ChannelCount, 1);
    EXPECT_EQ(state.CurrentTrace, 1);
    EXPECT_EQ(state.SamplingRate, 10.0F);
    EXPECT_EQ(state.SampleInterval, 0.1F);
    EXPECT_EQ(state.FileLength, 180.0F);
    EXPECT_EQ(state.SampleCount, 1800);
    EXPECT_EQ(state.ScreenLen, 8.0F);
    EXPECT_EQ(state.ContScreenLen, 8.0F);
    EXPECT_EQ(state.TimeFactor, 1.0F);
    EXPECT_EQ(state.TimeUnit.str(), " s");
    EXPECT_EQ(state.ContTimeUnit.str(), " s");
    EXPECT_EQ(state.AveragedCount, 0.0F);
    EXPECT_EQ(state.StimDelay, 0);
    EXPECT_EQ(state.StimCount, 1);
    EXPECT_EQ(state.StimInterval, 0);
    EXPECT_EQ(state.LevelBandDivisor, 8);
    EXPECT_EQ(state.TimeDivisions, 4);
    EXPECT_EQ(state.AmpDivisions, 4);
    EXPECT_EQ(state.MaxPointsPerPixel, 6);
    EXPECT_EQ(state.CursorX, -1.0F);
    EXPECT_EQ(state.SelStart, -1.0F);
    EXPECT_EQ(state.SelEnd, -1.0F);
    EXPECT_EQ(state.ViewStart, 0.0F);
    EXPECT_FALSE(state.AutoPeaks);
    EXPECT_EQ(state.PlotBackColour, rgb(0, 0, 255));
    EXPECT_FALSE(state.RawData.exists());
    EXPECT_FALSE(state.TraceData.exists());
    EXPECT_FALSE(state.Markers.exists());
}

TEST_F(StartUp, GivesEveryTraceItsStartValues) {
    const Colour colours[] = {rgb(255, 255, 255), rgb(255, 255, 0), rgb(0, 255, 255)};
    for (int t = 1; t <= 3; ++t) {
        SCOPED_TRACE(t);
        EXPECT_EQ(state.TraceChannel(t), 0);
        EXPECT_EQ(state.TracePeak(t), 1000.0F);
        EXPECT_EQ(state.TraceScaleIndex(t), 5); // the axes have scaled the peak of 1000 to step 500
        EXPECT_EQ(state.TraceRange(t), 2000.0F);
        EXPECT_EQ(state.TraceOffset(t), 0.0F);
        EXPECT_EQ(state.TraceShift(t), 0);
        EXPECT_EQ(state.LevelY(t), -1E7F);
        EXPECT_EQ(state.TraceColour(t), colours[t - 1]);
        EXPECT_EQ(state.SingleColour(t), colours[t - 1]);
        EXPECT_EQ(state.AverageColour(t), rgb(150, 150, 150));
        EXPECT_EQ(state.TableRow(t), 1);
        EXPECT_EQ(state.BlockStartRow(t), 1);
        EXPECT_EQ(state.NextRecord(t), 1);
        EXPECT_EQ(state.EntryColumn(t), 1);
    }
    const float steps[] = {5000, 4000, 2000, 1000, 500, 250, 125, 100, 50,  25,
                           20,   10,   5,    4,    2,   1,   0.5, 0.3, 0.2, 0.1};
    for (int i = 1; i <= 20; ++i) {
        EXPECT_EQ(state.ScaleSteps(i), steps[i - 1]) << "step " << i;
    }
    EXPECT_EQ(state.ScaleStepCount, 20);
}

TEST_F(StartUp, SetsTheControlsTexts) {
    EXPECT_EQ(window->SA_label->text(), " sngl");
    EXPECT_EQ(window->ave_count->text(), " 0");
    EXPECT_EQ(window->ave_count_label->text(), "saved");
    EXPECT_EQ(window->dly1->Text(), " 0");
    EXPECT_EQ(window->stim_num->ListIndex(), 1);
    EXPECT_EQ(window->stim_num->Text(), "1");
    EXPECT_EQ(window->interval->Text(), " 0");
    EXPECT_EQ(window->file_lng->Text(), "180");
    EXPECT_EQ(window->status->text(), "");
    EXPECT_EQ(window->Label1->text(), "Label1");
    EXPECT_FALSE(window->Label1->isVisible());
    EXPECT_TRUE(window->ch_select[0]->Value());
    EXPECT_FALSE(window->ch_select[1]->Value());
    EXPECT_FALSE(window->ch_select[2]->Value());
    EXPECT_EQ(window->disp->ScaleWidth(), 100.0);
}

TEST_F(StartUp, NamesEveryControlWithItsCaption) {
    const std::pair<const char*, const char*> buttons[] = {
        {"monitor", "Monitor"}, {"store", "Record"},  {"halt", "STOP"},
        {"save", "Save"},       {"stim", "STIM"},     {"drug_button", "MARKER ON"},
        {"accept", "+"},        {"clear_ave", "clr"}, {"PgUp", "<"},
        {"PgDn", ">"},          {"mul", "*2"},        {"div", "/2"},
        {"add", "Add"},         {"del", "Delete"},    {"newblk", "Newblk"},
        {"Clear", "CLR"}};
    for (const auto& [name, caption] : buttons) {
        const auto* button = window->findChild<QPushButton*>(name);
        ASSERT_NE(button, nullptr) << name;
        EXPECT_EQ(button->text(), caption) << name;
    }
    const std::pair<const char*, const char*> labels[] = {{"sampling_label", "sampling rate"},
                                                          {"hz", "Hz"},
                                                          {"scr_lng_label", "screen length"},
                                                          {"scr_unit", "s"},
                                                          {"file_label", "file length"},
                                                          {"file_unit", "s"},
                                                          {"dly1_label", "dly"},
                                                          {"ms1_label", "ms"},
                                                          {"stim_num_label", "#"},
                                                          {"interval_label", "intrvl"},
                                                          {"ms2_label", "ms"},
                                                          {"gain_label", "gain"},
                                                          {"ch_label", "ch"},
                                                          {"dummy", "Label2"}};
    for (const auto& [name, caption] : labels) {
        const auto* label = window->findChild<QLabel*>(name);
        ASSERT_NE(label, nullptr) << name;
        EXPECT_EQ(label->text(), caption) << name;
    }
}

QStringList listOf(const ComboBox& combo) {
    QStringList items;
    for (int i = 0; i < combo.count(); ++i) {
        items << combo.itemText(i);
    }
    return items;
}

TEST_F(StartUp, FillsTheListsOfTheSettingsFields) {
    const QStringList zeroToTen = {"0", "1", "2", "3", "4", "5", "6", "7", "8", "9", "10"};
    const QStringList lengths = {"5", "10", "15", "20", "30", "40", "50", "60"};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(listOf(*window->ch_list[i]), QStringList({"none", "1. ch", "2. ch", "3. ch", "4. ch"}));
        EXPECT_EQ(listOf(*window->gain[i]), QStringList({"1x", "2x", "4x", "8x"}));
    }
    EXPECT_EQ(listOf(*window->sampling_hz), QStringList({"200", "100", "50", "25", "10"}));
    EXPECT_EQ(listOf(*window->scr_lng), lengths);
    EXPECT_EQ(listOf(*window->file_lng), lengths);
    EXPECT_EQ(listOf(*window->dly1), zeroToTen);
    EXPECT_EQ(listOf(*window->stim_num), zeroToTen);
    EXPECT_EQ(listOf(*window->interval), zeroToTen);
}

struct MenuStart {
    const char* name;
    const char* caption;
    bool visible;
    bool enabled;
    bool checked;
};

TEST_F(StartUp, ShowsTheMenusInTheirStartState) {
    const MenuStart menus[] = {
        {"mnuFile", "&File", true, true, false},
        {"mnuOpen", "&Open", true, true, false},
        {"mnuExit", "E&xit", true, true, false},
        {"mnuCopy", "C&opy", true, true, false},
        {"mnuCopyitem_1", "&Picture", true, true, false},
        {"mnuCopyitem_2", "&Block means", true, true, false},
        {"mnuCopyitem_3", "&Whole table (Word)", true, true, false},
        {"mnuCopyitem_4", "&Whole table (Excel)", true, true, false},
        {"mnuCopyitem_5", "&Curve points (Excel)", true, true, false},
        {"mnuZoom", "&Zoom", true, true, false},
        {"mnuExpand", "&Expand", true, true, false},
        {"mnuCompress", "&Compress", true, true, false},
        {"mnuZoom_sel", "&Zoom selection", true, true, false},
        {"mnuDisplay", "&Display", true, true, false},
        {"mnuS_A", "Single/Average", true, false, false},
        {"mnuA_S", "Average/Single", true, false, false},
        {"mnuS", "Single", true, false, false},
        {"mnuA", "Average", true, false, false},
        {"mnuOverplot", "Overplot", true, false, false},
        {"mnuRaw", "Raw curves", true, true, true},
        {"mnuPSD", "PSD", true, false, false},
        {"mnuInvert", "In&vert", true, true, false},
        {"mnuMarksoff", "&Marks off", true, true, false},
        {"mnuText", "&Text", true, true, false},
        {"mnuTextInsert", "Insert", true, true, false},
        {"mnuTextDelete", "Delete", true, true, false},
        {"mnuPeaks", "Auto &peaks", true, true, false},
        {"mnuBlock", "&Block mode", true, true, false},
        {"mnuContinuous", "&Continuous", false, true, false},
        {"mnuMeasure", "Mea&sure", true, true, false},
        {"mnuTrazel", "&Trazel", false, true, false},
    };
    for (const MenuStart& menu : menus) {
        SCOPED_TRACE(menu.name);
        const auto* item = window->findChild<QAction*>(menu.name);
        ASSERT_NE(item, nullptr);
        EXPECT_EQ(item->text(), menu.caption);
        EXPECT_EQ(item->isVisible(), menu.visible);
        if (menu.visible) { // Qt reports a hidden item as disabled whatever its own state
            EXPECT_EQ(item->isEnabled(), menu.enabled);
        }
        EXPECT_EQ(item->isChecked(), menu.checked);
    }
}

TEST_F(StartUp, PutsTheMenuBarInOrder) {
    QStringList captions;
    for (const QAction* item : window->menuBar()->actions()) {
        captions << item->text();
    }
    EXPECT_EQ(captions, QStringList({"&File", "C&opy", "&Zoom", "&Display", "&Text", "Auto &peaks",
                                     "&Block mode", "&Continuous", "Mea&sure", "&Trazel"}));
    QStringList display;
    for (const QAction* item : window->mnuDisplay->menu()->actions()) {
        display << (item->isSeparator() ? QStringLiteral("-") : item->text());
    }
    EXPECT_EQ(display, QStringList({"Single/Average", "Average/Single", "Single", "Average", "-", "Overplot",
                                    "-", "Raw curves", "PSD", "In&vert", "&Marks off"}));
}

TEST_F(StartUp, ChoosingACheckedMenuItemDoesNotToggleItsMark) {
    window->mnuRaw->trigger();
    EXPECT_TRUE(window->mnuRaw->isChecked());
}

TEST_F(StartUp, ShowsTheEvaluationLayout) {
    for (QWidget* shown : std::initializer_list<QWidget*>{
             window->disp, window->add, window->newblk, window->del, window->PgUp, window->PgDn,
             window->Clear, window->status, window->mul, window->div, window->pshift, window->nshift,
             window->ch_select[0], window->ch_select[1], window->ch_select[2], window->Grid1[0]}) {
        EXPECT_TRUE(shown->isVisible()) << shown->objectName().toStdString();
    }
    for (QWidget* hidden : std::initializer_list<QWidget*>{window->controler,
                                                           window->monitor,
                                                           window->store,
                                                           window->halt,
                                                           window->save,
                                                           window->ch_list[0],
                                                           window->ch_list[1],
                                                           window->ch_list[2],
                                                           window->gain[0],
                                                           window->gain[1],
                                                           window->gain[2],
                                                           window->ch_label,
                                                           window->gain_label,
                                                           window->drug_button,
                                                           window->stim,
                                                           window->ave_count,
                                                           window->ave_count_label,
                                                           window->sampling_label,
                                                           window->sampling_hz,
                                                           window->hz,
                                                           window->scr_lng_label,
                                                           window->scr_lng,
                                                           window->scr_unit,
                                                           window->ms1_label,
                                                           window->ms2_label,
                                                           window->dly1_label,
                                                           window->dly1,
                                                           window->stim_num_label,
                                                           window->stim_num,
                                                           window->interval_label,
                                                           window->interval,
                                                           window->file_label,
                                                           window->file_lng,
                                                           window->file_unit,
                                                           window->Grid1[1],
                                                           window->Grid1[2],
                                                           window->Label1,
                                                           window->dummy}) {
        EXPECT_FALSE(hidden->isVisible()) << hidden->objectName().toStdString();
    }
    for (const TextBox* label : window->Text1) {
        EXPECT_FALSE(label->isVisible());
        EXPECT_TRUE(label->text().isEmpty());
    }
}

TEST_F(StartUp, PaintsTheViewButtonsInTraceOnesColour) {
    for (const CommandButton* button : {window->mul, window->div, window->pshift, window->nshift}) {
        EXPECT_EQ(button->BackColor(), rgb(255, 255, 255)) << button->objectName().toStdString();
    }
}

TEST_F(StartUp, HeadsEveryResultsTable) {
    const QStringList header = {" ",       "     x1", "     y1", "     x2",
                                "     y2", "  ampl.", "   tone", " period"};
    for (const FlexGrid* grid : window->Grid1) {
        SCOPED_TRACE(grid->objectName().toStdString());
        ASSERT_EQ(grid->Cols(), 8);
        for (int col = 0; col < grid->Cols(); ++col) {
            EXPECT_EQ(grid->TextMatrix(0, col), header[col]);
        }
        EXPECT_EQ(grid->FixedRows(), 1);
        EXPECT_EQ(grid->FixedCols(), 1);
        EXPECT_GE(grid->Rows(), 2) << "an empty row waits below the header";
        EXPECT_NEAR(grid->ColWidth(0), 1132, 15);
        for (int col = 1; col < grid->Cols(); ++col) {
            EXPECT_NEAR(grid->ColWidth(col), 850, 15);
            EXPECT_EQ(grid->ColAlignment(col), CellAlignment::LeftCenter);
        }
        for (int row = 0; row < grid->Rows(); ++row) {
            EXPECT_NEAR(grid->RowHeight(row), 255, 15);
            for (int col = 0; row > 0 && col < grid->Cols(); ++col) {
                EXPECT_EQ(grid->TextMatrix(row, col), "");
            }
        }
    }
    EXPECT_EQ(window->Grid1[1]->BackColor(), rgb(255, 255, 0));
    EXPECT_EQ(window->Grid1[2]->BackColor(), rgb(0, 255, 255));
}

TEST_F(StartUp, DrawsTheEmptyAxes) {
    EXPECT_EQ(printedTexts(*window->disp, rgb(255, 255, 255)),
              QStringList({"0.0", "2.0", "4.0", "6.0", " s", "1000", "500", "0", "-500", "-1000"}));
    EXPECT_EQ(window->disp->ForeColor(), rgb(255, 255, 255));
    EXPECT_EQ(window->disp->BackColor(), rgb(0, 0, 255));
}

} // namespace
} // namespace trazel::testing
