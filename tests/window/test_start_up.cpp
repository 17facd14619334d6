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

// The start values that other tests do not see at work: the sample count of the start time base and the
// scale steps the axes choose from.
TEST_F(StartUp, GivesTheStateItsStartValues) {
    EXPECT_EQ(state.SampleCount, 1800);
    EXPECT_EQ((std::array{state.SweepLength, state.CurveCount}), (std::array<Long, 2>{-1, -1}));
    const float steps[] = {5000, 4000, 2000, 1000, 500, 250, 125, 100, 50,  25,
                           20,   10,   5,    4,    2,   1,   0.5, 0.3, 0.2, 0.1};
    for (int i = 1; i <= 20; ++i) {
        EXPECT_EQ(state.ScaleSteps(i), steps[i - 1]) << "step " << i;
    }
    EXPECT_EQ(state.ScaleStepCount, 20);
    EXPECT_EQ(state.PlotBackColour, rgb(0, 0, 255));
}

// "name|caption|name|caption|...": object names, each with its caption.
std::vector<std::pair<QString, QString>> captionsByName(const QString& text) {
    const QStringList parts = text.split('|');
    std::vector<std::pair<QString, QString>> pairs;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        pairs.emplace_back(parts[i], parts[i + 1]);
    }
    return pairs;
}

TEST_F(StartUp, NamesEveryControlWithItsCaption) {
    const auto captions =
        captionsByName("monitor|Monitor|store|Record|halt|STOP|save|Save|stim|STIM|drug_button|MARKER ON|"
                       "accept|+|clear_ave|clr|PgUp|<|PgDn|>|mul|*2|div|/2|add|Add|del|Delete|newblk|Newblk|"
                       "Clear|CLR|sampling_label|sampling rate|hz|Hz|scr_lng_label|screen length|scr_unit|s|"
                       "file_label|file length|file_unit|s|dly1_label|dly|ms1_label|ms|stim_num_label|#|"
                       "interval_label|intrvl|ms2_label|ms|gain_label|gain|ch_label|ch|dummy|Label2|"
                       "SA_label| sngl|ave_count| 0|ave_count_label|saved|Label1|Label1");
    for (const auto& [name, caption] : captions) {
        const auto* control = window->findChild<QWidget*>(name); // a button or a label
        ASSERT_NE(control, nullptr) << name.toStdString();
        EXPECT_EQ(control->property("text").toString(), caption) << name.toStdString();
    }
    EXPECT_EQ(window->ui.dly1->Text(), " 0");
    EXPECT_EQ(window->ui.stim_num->ListIndex(), 1);
    EXPECT_EQ(window->ui.stim_num->Text(), "1");
    EXPECT_EQ(window->ui.interval->Text(), " 0");
    EXPECT_EQ(window->ui.file_lng->Text(), "180");
    EXPECT_TRUE(window->ui.ch_select[0]->Value());
    EXPECT_EQ(window->ui.status->text(), "");
}

TEST_F(StartUp, ShowsTheMenusInTheirStartStateAndOrder) {
    const auto menus =
        captionsByName("mnuFile|&File|mnuOpen|&Open|mnuExit|E&xit|mnuCopy|C&opy|mnuCopyitem_1|&Picture|"
                       "mnuCopyitem_2|&Block means|mnuCopyitem_3|&Whole table (Word)|"
                       "mnuCopyitem_4|&Whole table (Excel)|mnuCopyitem_5|&Curve points (Excel)|"
                       "mnuZoom|&Zoom|mnuExpand|&Expand|mnuCompress|&Compress|mnuZoom_sel|&Zoom selection|"
                       "mnuDisplay|&Display|mnuS_A|Single/Average|mnuA_S|Average/Single|mnuS|Single|"
                       "mnuA|Average|mnuOverplot|Overplot|mnuRaw|Raw curves|mnuPSD|PSD|mnuInvert|In&vert|"
                       "mnuMarksoff|&Marks off|mnuText|&Text|mnuTextInsert|Insert|mnuTextDelete|Delete|"
                       "mnuPeaks|Auto &peaks|mnuBlock|&Block mode|mnuContinuous|&Continuous|"
                       "mnuMeasure|Mea&sure|mnuTrazel|&Trazel");
    const QStringList hidden = {"mnuContinuous", "mnuTrazel"};
    const QStringList disabled = {"mnuS_A", "mnuA_S", "mnuS", "mnuA", "mnuOverplot", "mnuPSD"};
    for (const auto& [name, caption] : menus) {
        SCOPED_TRACE(name.toStdString());
        const auto* item = window->findChild<QAction*>(name);
        ASSERT_NE(item, nullptr);
        EXPECT_EQ(item->text(), caption);
        EXPECT_EQ(item->isVisible(), !hidden.contains(name));
        if (item->isVisible()) { // Qt reports a hidden item as disabled whatever its own state
            EXPECT_EQ(item->isEnabled(), !disabled.contains(name));
        }
        EXPECT_EQ(item->isChecked(), item == window->ui.mnuRaw);
    }
    window->ui.mnuRaw->trigger();
    EXPECT_TRUE(window->ui.mnuRaw->isChecked()) << "choosing a checked item does not toggle its mark";
    QStringList captions;
    for (const QAction* item : window->menuBar()->actions()) {
        captions << item->text();
    }
    EXPECT_EQ(captions, QStringList({"&File", "C&opy", "&Zoom", "&Display", "&Text", "Auto &peaks",
                                     "&Block mode", "&Continuous", "Mea&sure", "&Trazel"}));
    QStringList display;
    for (const QAction* item : window->ui.mnuDisplay->menu()->actions()) {
        display << (item->isSeparator() ? QStringLiteral("-") : item->text());
    }
    EXPECT_EQ(display, QStringList({"Single/Average", "Average/Single", "Single", "Average", "-", "Overplot",
                                    "-", "Raw curves", "PSD", "In&vert", "&Marks off"}));
}

TEST_F(StartUp, ShowsTheEvaluationLayout) {
    const QStringList shown =
        QStringLiteral(
            "disp add newblk del PgUp PgDn Clear status mul div pshift nshift ch_select_0 ch_select_1 "
            "ch_select_2 Grid1_0")
            .split(' ');
    const QStringList hidden =
        QStringLiteral(
            "controler monitor store halt save ch_list_0 ch_list_1 ch_list_2 gain_0 gain_1 gain_2 ch_label "
            "gain_label drug_button stim ave_count ave_count_label sampling_label sampling_hz hz "
            "scr_lng_label scr_lng scr_unit ms1_label ms2_label dly1_label dly1 stim_num_label stim_num "
            "interval_label interval file_label file_lng file_unit Grid1_1 Grid1_2 Label1 dummy")
            .split(' ');
    for (const QString& name : shown + hidden) {
        const auto* widget = window->findChild<QWidget*>(name);
        ASSERT_NE(widget, nullptr) << name.toStdString();
        EXPECT_EQ(widget->isVisible(), shown.contains(name)) << name.toStdString();
    }
}

TEST_F(StartUp, HeadsEveryResultsTableAboveTwoEmptyRows) {
    const QStringList header = {" ",       "     x1", "     y1", "     x2",
                                "     y2", "  ampl.", "   tone", " period"};
    for (const FlexGrid* grid : window->ui.Grid1) {
        SCOPED_TRACE(grid->objectName().toStdString());
        ASSERT_EQ(grid->Cols(), 8);
        ASSERT_EQ(grid->Rows(), 3);
        EXPECT_EQ(grid->FixedRows(), 1);
        EXPECT_EQ(grid->FixedCols(), 1);
        for (int col = 0; col < grid->Cols(); ++col) {
            EXPECT_EQ(
                QStringList({grid->TextMatrix(0, col), grid->TextMatrix(1, col), grid->TextMatrix(2, col)}),
                QStringList({header[col], "", ""}));
            EXPECT_NEAR(grid->ColWidth(col), col == 0 ? 1132 : 850, 15) << "twips";
            EXPECT_EQ(grid->ColAlignment(col), CellAlignment::LeftCenter);
            EXPECT_NEAR(grid->RowHeight(col % 3), 255, 15);
        }
    }
    EXPECT_EQ(window->ui.Grid1[1]->BackColor(), rgb(255, 255, 0));
    EXPECT_EQ(window->ui.Grid1[2]->BackColor(), rgb(0, 255, 255));
}

} // namespace
} // namespace trazel::testing
