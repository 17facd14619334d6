#include "support/open_file_fixture.h"

#include <QTest>

namespace trazel::testing {
namespace {

using Keys = MeasurementTest;

TEST_F(Keys, AreShownInTheMenusPageFromTheResultsTableAndGoWithTheirHiddenMenus) {
    const std::pair<QAction*, const char*> keys[] = {{window->ui.mnuOpen, "Ctrl+O"},
                                                     {window->ui.mnuExit, "Ctrl+Q"},
                                                     {window->ui.mnuExpand, "Ctrl+="},
                                                     {window->ui.mnuCompress, "Ctrl+-"},
                                                     {window->ui.mnuCopyitem(1), "Ctrl+Shift+C"},
                                                     {window->ui.PgUpKey, "PgUp"},
                                                     {window->ui.PgDnKey, "PgDown"}};
    for (const auto& [action, text] : keys) {
        EXPECT_EQ(action->shortcut().toString(), text) << action->objectName().toStdString();
    }
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    openContinuousFile(); // 20 s on a screen of 32 s, paged by half a screen
    window->ui.Grid1[0]->setFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_PageDown);
    EXPECT_FLOAT_EQ(state.ViewStart, 160.0F);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Equal, Qt::ControlModifier);
    EXPECT_EQ(state.ScreenLen, 16.0F);
    window->layouts().mnuMeasure_Click();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Equal, Qt::ControlModifier);
    EXPECT_EQ(state.ScreenLen, 8.0F);
}

} // namespace
} // namespace trazel::testing
