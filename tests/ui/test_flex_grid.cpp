#include "ui/flex_grid.h"

#include <gtest/gtest.h>

namespace trazel {
namespace {

QStringList rowTexts(const FlexGrid& grid, int row) {
    QStringList texts;
    for (int col = 0; col < grid.Cols(); ++col) {
        texts << grid.TextMatrix(row, col);
    }
    return texts;
}

TEST(FlexGrid, AddsRowsFromTabSeparatedTextAtAnIndexAndRemovesThem) {
    FlexGrid grid(2, 4);
    grid.setTextMatrix(0, 1, QStringLiteral("kept"));
    grid.AddItem(QStringLiteral("h0\th1\th2\th3"), 0);
    EXPECT_EQ(grid.Rows(), 3);
    EXPECT_EQ(rowTexts(grid, 0), QStringList({"h0", "h1", "h2", "h3"}));
    EXPECT_EQ(grid.TextMatrix(1, 1), "kept") << "earlier rows move down";
    grid.AddItem(QStringLiteral("a\tb"));
    EXPECT_EQ(rowTexts(grid, 3), QStringList({"a", "b", "", ""})) << "missing cells stay empty";
    grid.AddItem(QStringLiteral("1\t2\t3\t4\t5\t6"), 1);
    EXPECT_EQ(rowTexts(grid, 1), QStringList({"1", "2", "3", "4"})) << "extra parts are dropped";

    grid.RemoveItem(1);
    EXPECT_EQ(std::pair(grid.Rows(), grid.TextMatrix(1, 1)), std::pair(4, QStringLiteral("kept")));
}

} // namespace
} // namespace trazel
