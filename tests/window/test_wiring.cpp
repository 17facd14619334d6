#include "support/open_file_fixture.h"

#include <functional>
#include <tuple>

namespace trazel::testing {
namespace {

using Wiring = MeasurementTest;

struct AskingControl {
    std::function<void()> act;
    ScriptedDialogs::Kind kind;
    const char* title;
};

// A click on a control, or a choice of a menu item, reaches the handler named after it in its room: each
// handler is known by the first question it asks, which the test cancels.
TEST_F(Wiring, EveryMenuItemAndButtonThatAsksReachesItsHandler) {
    openBlockFile();
    press(10);
    using Kind = ScriptedDialogs::Kind;
    const AskingControl cases[] = {
        {[&] { window->ui.add->click(); }, Kind::InputBox, "Stimulus delay"},
        {[&] { window->ui.mnuOpen->trigger(); }, Kind::Open, "Open data file"},
        {[&] { window->ui.mnuSaveTable->trigger(); }, Kind::Save, "Save table as"},
        {[&] { window->ui.mnuSaveCurvePoints->trigger(); }, Kind::Save, "Save curve points as"},
        {[&] { window->ui.mnuBlock->trigger(); }, Kind::InputBox, "Get length"},
        {[&] { window->ui.mnuOverplot->trigger(); }, Kind::InputBox, "First displacement"},
    };
    for (const AskingControl& c : cases) {
        SCOPED_TRACE(c.title);
        if (c.kind == Kind::Open) {
            dialogs.answerOpen({});
        } else if (c.kind == Kind::Save) {
            dialogs.answerSave({});
        } else {
            dialogs.answerInput({});
        }
        c.act();
        EXPECT_TRUE(dialogs.allAnswered());
        EXPECT_EQ(dialogs.questions().back().title, c.title);
    }
}

// Controls whose handler asks nothing are known by what they change.
TEST_F(Wiring, EveryOtherControlReachesItsHandler) {
    openBlockFile();
    const Single peak = state.TracePeak(1);
    const Single span = state.ScreenLen;
    const std::tuple<std::function<void()>, std::function<bool()>, const char*> steps[] = {
        {[&] { window->ui.PgDn->click(); }, [&] { return state.CurrentCurve == 2; }, "PgDn"},
        {[&] { window->ui.PgUp->click(); }, [&] { return state.CurrentCurve == 1; }, "PgUp"},
        {[&] { window->ui.accept->click(); }, [&] { return state.AveragedCount == 1; }, "accept"},
        {[&] { window->ui.clear_ave->click(); }, [&] { return state.AveragedCount == 0; }, "clear_ave"},
        {[&] { window->ui.mul->click(); }, [&] { return state.TracePeak(1) == peak / 2; }, "mul"},
        {[&] { window->ui.div->click(); }, [&] { return state.TracePeak(1) == peak; }, "div"},
        {[&] { window->ui.pshift->click(); }, [&] { return state.TraceShift(1) == 1; }, "pshift"},
        {[&] { window->ui.nshift->click(); }, [&] { return state.TraceShift(1) == 0; }, "nshift"},
        {[&] { window->ui.mnuExpand->trigger(); }, [&] { return state.ScreenLen == span / 2; }, "mnuExpand"},
        {[&] { window->ui.mnuCompress->trigger(); }, [&] { return state.ScreenLen == span; }, "mnuCompress"},
        {[&] { window->ui.mnuA->trigger(); }, [&] { return window->ui.SA_label->text() == " ave"; }, "mnuA"},
        {[&] { window->ui.mnuPSD->trigger(); }, [&] { return state.SpectrumShown; }, "mnuPSD"},
        {[&] { window->ui.mnuRaw->trigger(); }, [&] { return !state.SpectrumShown; }, "mnuRaw"},
        {[&] { window->ui.mnuMeasure->trigger(); }, [&] { return state.MeasureLayout; }, "mnuMeasure"},
        {[&] { window->ui.drug_button->click(); },
         [&] { return window->ui.drug_button->text() == "MARKER OFF"; }, "drug_button"},
        {[&] { window->ui.mnuTrazel->trigger(); }, [&] { return !state.MeasureLayout; }, "mnuTrazel"},
    };
    for (const auto& [act, done, control] : steps) {
        act();
        EXPECT_TRUE(done()) << control;
    }
}

} // namespace
} // namespace trazel::testing
