#pragma once

#include "support/main_window_fixture.h"
#include "ui/controls.h"
#include "ui/plot_surface.h"

#include <QAction>
#include <algorithm>
#include <vector>

namespace trazel::testing {

using Widgets = std::vector<QWidget*>;
using MenuItems = std::vector<QAction*>;

inline void expectShown(const Widgets& controls, bool shown) {
    for (QWidget* control : controls) {
        EXPECT_EQ(control->isVisible(), shown) << control->objectName().toStdString();
    }
}

inline void expectEnabled(const Widgets& controls, bool enabled) {
    for (QWidget* control : controls) {
        EXPECT_EQ(control->isEnabled(), enabled) << control->objectName().toStdString();
    }
}

inline void expectMenusShown(const MenuItems& items, bool shown) {
    for (QAction* item : items) {
        EXPECT_EQ(item->isVisible(), shown) << item->objectName().toStdString();
    }
}

inline void expectMenusEnabled(const MenuItems& items, bool enabled) {
    for (QAction* item : items) {
        EXPECT_EQ(item->isEnabled(), enabled) << item->objectName().toStdString();
    }
}

// A started window switched to the recording layout.
class RecordingLayoutTest : public MainWindowTest {
protected:
    RecordingLayoutTest() { window->mnuMeasure_Click(); }

    void enterBlockMode(const QString& ms) {
        dialogs.answerInput(ms);
        window->mnuBlock_Click();
    }

    void type(ComboBox& field, const QString& text, void (Trazel::*leave)()) {
        field.setText(text);
        (window.get()->*leave)();
    }

    // A line of its own colour on the plot: it stays until something clears the plot to redraw it.
    void markPlot() { window->disp->Line(0, 0, 1, 1, Mark); }
    bool plotRedrawn() const {
        const auto& log = window->disp->drawingLog();
        return std::none_of(log.begin(), log.end(), [](const DrawnFigure& f) { return f.colour == Mark; });
    }

    static constexpr Colour Mark = rgb(1, 2, 3);
};

} // namespace trazel::testing
