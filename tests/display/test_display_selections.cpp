#include "support/open_file_fixture.h"

namespace trazel::testing {
namespace {

constexpr Colour White = rgb(255, 255, 255);
constexpr Colour Yellow = rgb(255, 255, 0);
constexpr Colour Cyan = rgb(0, 255, 255);
constexpr Colour Grey = rgb(150, 150, 150);

using DisplaySelections = MeasurementTest;

struct SelectionCase {
    const char* name;
    void (Views::*handler)();
    const char* menu;
    const char* caption;
    bool single;
    bool average;
    std::array<Colour, 3> singlePens;
    std::array<Colour, 3> averagePens;
};

TEST_F(DisplaySelections, SetTheCurvesTheirPensAndTheCheckMark) {
    openBlockFile();
    const std::array<Colour, 3> bright = {White, Yellow, Cyan};
    const std::array<Colour, 3> grey = {Grey, Grey, Grey};
    const SelectionCase cases[] = {
        {"single/average", &Views::mnuS_A_Click, "mnuS_A", "sng/ave", true, true, bright, grey},
        {"single leaves the average pens alone", &Views::mnuS_Click, "mnuS", "single", true, false, bright,
         grey},
        {"average/single", &Views::mnuA_S_Click, "mnuA_S", "ave/sng", true, true, grey, bright},
        {"average", &Views::mnuA_Click, "mnuA", " ave", false, true, bright, bright},
    };
    for (const SelectionCase& c : cases) {
        SCOPED_TRACE(c.name);
        (window->views().*c.handler)();
        EXPECT_EQ(window->ui.SA_label->text(), c.caption);
        EXPECT_EQ(state.ShowSingle, c.single);
        EXPECT_EQ(state.ShowAverage, c.average);
        EXPECT_EQ((std::array{state.SingleColour(1), state.SingleColour(2), state.SingleColour(3)}),
                  c.singlePens);
        EXPECT_EQ((std::array{state.AverageColour(1), state.AverageColour(2), state.AverageColour(3)}),
                  c.averagePens);
        for (const char* menu : {"mnuS_A", "mnuA_S", "mnuS", "mnuA"}) {
            EXPECT_EQ(window->findChild<QAction*>(menu)->isChecked(), std::string(menu) == c.menu) << menu;
        }
    }
}

TEST_F(DisplaySelections, EndTheOverplotViewAtTheFirstCurveOrElseLeaveCurveAndStatus) {
    openBlockFile();
    window->views().PgDn_Click();
    window->ui.status->setText(QStringLiteral("unchanged"));
    window->views().mnuS_A_Click();
    EXPECT_EQ(state.CurrentCurve, 2);
    EXPECT_EQ(window->ui.status->text(), "unchanged");

    window->ui.mnuOverplot->setChecked(true);
    state.Overplot = true;
    window->views().mnuA_Click();
    EXPECT_FALSE(window->ui.mnuOverplot->isChecked() || state.Overplot);
    EXPECT_EQ(state.CurrentCurve, 1);
    EXPECT_EQ(state.ViewStart, 100.0F) << "the view start is not touched";
    EXPECT_EQ(window->ui.status->text(), "current curve: 1/4     averaged: 0");
}

} // namespace
} // namespace trazel::testing
