#pragma once

#include "support/open_file_fixture.h"
#include "ui/flex_grid.h"

#include <QStringList>

namespace trazel::testing {

// A window with a recorded file opened through File > Open.
class MeasurementTest : public OpenFileTest {
protected:
    // One trace, sweeps of 100 points at 1 ms: sweep 1 is flat at 0, sweeps 2 .. 4 are the same ramp
    // 3 x j - 30 (j the point in the sweep). No stimulus delay in the header.
    void openBlockFile() {
        std::vector<std::int16_t> samples;
        for (int sweep = 0; sweep < 4; ++sweep) {
            for (int j = 0; j < 100; ++j) {
                samples.push_back(static_cast<std::int16_t>(sweep == 0 ? 0 : 3 * j - 30));
            }
        }
        open(write("block.bin", versionedFile(recordedHeader(1, {1, 0, 0}, 1000, 100), samples,
                                              std::vector<std::int16_t>(samples.size(), 0))));
        ASSERT_TRUE(state.DataLoaded);
    }

    // One trace of `points` points at 100 ms whose value is the point number.
    void openContinuousFile(int points = 200) {
        std::vector<std::int16_t> samples;
        for (int i = 0; i < points; ++i) {
            samples.push_back(static_cast<std::int16_t>(i));
        }
        open(write("continuous.bin", versionedFile(recordedHeader(1, {1, 0, 0}, 100000), samples,
                                                   std::vector<std::int16_t>(samples.size(), 0))));
        ASSERT_TRUE(state.DataLoaded);
    }

    void press(double x, int button = 1) { window->disp_MouseDown(button, 0, x, 0); }

    FlexGrid& grid() { return *window->Grid1[static_cast<std::size_t>(state.CurrentTrace - 1)]; }

    QStringList row(int r) {
        QStringList cells;
        for (int col = 0; col < grid().Cols(); ++col) {
            cells << grid().TextMatrix(r, col);
        }
        return cells;
    }
};

} // namespace trazel::testing
