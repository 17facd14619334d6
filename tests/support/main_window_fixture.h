#pragma once

#include "core/app_state.h"
#include "support/scripted_dialogs.h"
#include "ui/plot_surface.h"
#include "window/main_window.h"

#include <gtest/gtest.h>
#include <memory>

namespace trazel::testing {

// A started main window with scripted dialogs, shown offscreen at its normal size.
class MainWindowTest : public ::testing::Test {
protected:
    MainWindowTest() : window(std::make_unique<Trazel>(state, dialogs)) {
        window->ui.disp->setDrawingLogged(true);
        window->show();
    }

    AppState state;
    ScriptedDialogs dialogs;
    std::unique_ptr<Trazel> window;
};

} // namespace trazel::testing
