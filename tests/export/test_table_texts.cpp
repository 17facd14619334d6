#include "export/table_texts.h"

#include <gtest/gtest.h>
#include <vector>

namespace trazel::testing {
namespace {

ResultRecord record(Integer kind, std::string text, std::array<Single, 7> values = {}) {
    ResultRecord r{kind, std::move(text), {}};
    for (int field = 1; field <= 7; ++field) {
        r.V(field) = values[static_cast<std::size_t>(field - 1)];
    }
    return r;
}

// A continuous block with one data row numbered 1, closed by a statistics row; an unused record after it.
TEST(WholeTable, ContinuousRowsAndStatisticsStandUnderTheirColumns) {
    const std::vector<ResultRecord> records = {
        record(1, "B1"), record(2, "1", {0.1F, 2.5F, 0.35F, 1.2F, 1.3F, 1.85F, 0}),
        record(3, "mean", {9, 9, 9, 9, 2, -1234.5F, 0.006F}), record(0, "unused")};
    EXPECT_EQ(
        wholeTableText(records, TableLayout::Excel),
        " \r\nB1\r\n\tX1\tY1\tX2\tY2\tampl.\ttone\tperiod\r\n1\t0.10\t2.50\t0.35\t1.20\t1.30\t1.85\t0.00\r\n"
        "mean\t\t\t\t\t2.00\t-1234.50\t0.01");
    EXPECT_EQ(wholeTableText(records, TableLayout::Word),
              " \r\nB1\r\n\tX1\t\tY1\t\tX2\t\tY2\t\tampl.\t\ttone\t\tperiod\r\n"
              "1\t0.10\t\t2.50\t\t0.35\t\t1.20\t\t1.30\t\t1.85\t\t0.00\r\n"
              "mean\t\t\t\t\t\t\t\t\t2.00\t\t-1234.50\t\t0.01");
}

} // namespace
} // namespace trazel::testing
