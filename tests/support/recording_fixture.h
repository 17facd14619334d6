#pragma once

#include "support/main_window_fixture.h"
#include "ui/controls.h"
#include "ui/event_loop.h"
#include "ui/plot_surface.h"

#include <QAction>
#include <algorithm>
#include <vector>

namespace trazel::testing {

using Widgets = std::vector<QWidget*>;
using MenuItems = std::vector<QAction*>;

// Each control or menu item answers the query (isVisible, isEnabled) as expected.
template <typename Item>
void expectEach(const std::vector<Item*>& items, bool (Item::*query)() const, bool expected) {
    for (Item* item : items) {
        EXPECT_EQ((item->*query)(), expected) << item->objectName().toStdString();
    }
}

inline void expectShown(const Widgets& controls, bool shown) {
    expectEach(controls, &QWidget::isVisible, shown);
}
inline void expectEnabled(const Widgets& controls, bool enabled) {
    expectEach(controls, &QWidget::isEnabled, enabled);
}
inline void expectMenusShown(const MenuItems& items, bool shown) {
    expectEach(items, &QAction::isVisible, shown);
}
inline void expectMenusEnabled(const MenuItems& items, bool enabled) {
    expectEach(items, &QAction::isEnabled, enabled);
}

// A started window switched to the recording layout.
class RecordingLayoutTest : public MainWindowTest {
protected:
    RecordingLayoutTest() {
        window->layouts().mnuMeasure_Click();
        yieldToEvents(); // the plot takes the room of the hidden table
    }

    void enterBlockMode(const QString& ms) {
        dialogs.answerInput(ms);
        window->settings().mnuBlock_Click();
    }

    void type(ComboBox& field, const QString& text, void (Settings::*leave)()) {
        field.setText(text);
        (window->settings().*leave)();
    }

    // A line of its own colour on the plot: it stays until something clears the plot to redraw it.
    void markPlot() { window->ui.disp->Line(0, 0, 1, 1, Mark); }
    bool plotRedrawn() const {
        const auto& log = window->ui.disp->drawingLog();
        return std::none_of(log.begin(), log.end(), [](const DrawnFigure& f) { return f.colour == Mark; });
    }

    static constexpr Colour Mark = rgb(1, 2, 3);
};

} // namespace trazel::testing
