#include "ui/event_loop.h"
#include "ui/progress_window.h"

#include <QElapsedTimer>
#include <QScrollBar>
#include <gtest/gtest.h>

namespace trazel {
namespace {

TEST(Timer, TicksWhileEnabledAndTheLoopYieldsAndStaysQuietWhenDisabled) {
    Timer timer;
    int ticks = 0;
    QObject::connect(&timer, &Timer::Tick, [&ticks] { ++ticks; });
    timer.setInterval(1);
    timer.setEnabled(true);
    QElapsedTimer waited;
    waited.start();
    while (ticks < 3 && waited.elapsed() < 5000) {
        yieldToEvents();
    }
    EXPECT_GE(ticks, 3);
    timer.setEnabled(false);
    const int stoppedAt = ticks;
    for (int i = 0; i < 20; ++i) {
        yieldToEvents();
    }
    EXPECT_EQ(ticks, stoppedAt);
}

TEST(ProgressWindow, KeepsItsBarBetweenZeroAndAHundred) {
    ProgressWindow scroll;
    EXPECT_EQ(scroll.HScroll1->minimum(), 0);
    EXPECT_EQ(scroll.HScroll1->maximum(), 100);
    scroll.setValue(40);
    EXPECT_EQ(scroll.value(), 40);
    scroll.setValue(250);
    EXPECT_EQ(scroll.value(), 100);
}

} // namespace
} // namespace trazel
