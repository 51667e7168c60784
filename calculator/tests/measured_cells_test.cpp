// The zero-run rule for unmeasured cells, and the RP error over measured
// cells only.
#include <gtest/gtest.h>

#include <string>

#include "calcjobs/measured_cells.h"
#include "calcjobs/rp_error.h"

namespace {

using orimath::Extent2;
using orimath::Grid2;

// One ring of 12 azimuths (plus the closing column) as text: '0' a zero,
// any other digit that value; the expected mask as '1' measured, '0' not.
struct ZeroRunCase {
    const char* name;
    const char* values;
    const char* expected;
};

TEST(ZeroRuns, MarksRunsOfThreeOrMoreZerosInPartlyMeasuredRings) {
    const ZeroRunCase cases[] = {
        {"two zeros stay measured", "550055555555", "111111111111"},
        {"three zeros", "550005555555", "110001111111"},
        {"run across beta 360", "005555555500", "001111111100"},
        {"empty ring left to the row rule", "000000000000", "111111111111"},
        {"single value in a zero ring", "000005000000", "000001000000"},
    };
    for (const ZeroRunCase& c : cases) {
        SCOPED_TRACE(c.name);
        Grid2<double> values(Extent2{.alpha = 2, .beta = 13});
        Grid2<uint8_t> mask(values.extent(), 1);
        for (int j = 0; j < 12; ++j) {
            values[1][j] = c.values[j] - '0';
            values[0][j] = 2; // a full ring
        }
        values[1][12] = values[1][0];
        calcjobs::MarkZeroRuns(values, &mask);
        std::string got;
        for (int j = 0; j < 12; ++j)
            got += mask[1][j] ? '1' : '0';
        EXPECT_EQ(got, c.expected);
        EXPECT_EQ(mask[1][12], mask[1][0]);
        for (int j = 0; j < 13; ++j)
            EXPECT_EQ(mask[0][j], 1);
    }
}

// Cells outside the mask do not count: a recalculated figure that matches
// the measured one where it was measured has no error, however wrong it is
// elsewhere; without the mask the same figures differ.
TEST(ZeroRuns, RpErrorCountsOnlyMeasuredCells) {
    Grid2<double> p(Extent2{.alpha = 19, .beta = 73}), q = p;
    Grid2<uint8_t> mask(p.extent(), 1);
    for (int a = 0; a < 19; ++a)
        for (int b = 0; b < 73; ++b) {
            const bool hole = a >= 10 && b >= 30 && b <= 50;
            p[a][b] = hole ? 0.0 : 1.0 + 0.01 * a;
            q[a][b] = hole ? 9.0 : 2.0 * p[a][b];
            mask[a][b] = !hole;
        }
    EXPECT_NEAR(calcjobs::RecalculationRpError(p.Tree(), q.Tree(), mask.Tree(), 19, 73), 0.0, 1e-9);
    EXPECT_GT(calcjobs::RecalculationRpError(p.Tree(), q.Tree(), 19, 73), 10.0);
    calcjobs::UnmeasuredRule rule;
    EXPECT_TRUE(calcjobs::ParseUnmeasuredRule("zero-runs", &rule));
    EXPECT_EQ(rule, calcjobs::UnmeasuredRule::kZeroRuns);
    EXPECT_FALSE(calcjobs::ParseUnmeasuredRule("zeros", &rule));
}

} // namespace
