#include "orimath_draw/contour_cell.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cmath>
#include <ostream>
#include <string>
#include <vector>

namespace {

struct Seg {
    double r0, c0, r1, c1;
    bool operator==(const Seg& o) const {
        auto near = [](double a, double b) { return std::abs(a - b) < 1e-12; };
        return near(r0, o.r0) && near(c0, o.c0) && near(r1, o.r1) && near(c1, o.c1);
    }
};

struct CellCase {
    const char* name;
    double p00, p10, p01, p11, level;
    std::vector<Seg> expected;
};

// Names the case in test listings instead of dumping its bytes (which hold a
// pointer and so change from run to run).
void PrintTo(const CellCase& c, std::ostream* os) {
    *os << c.name;
}

std::vector<Seg> Segments(const CellCase& c) {
    std::vector<Seg> out;
    orimath::ContourCellSegments(c.p00, c.p10, c.p01, c.p11, c.level, 0, 0,
                                 [&](orimath::GridPos a, orimath::GridPos b) {
                                     out.push_back({a.row, a.col, b.row, b.col});
                                 });
    return out;
}

class ContourCell : public testing::TestWithParam<CellCase> {};

TEST_P(ContourCell, EmitsTheSegmentsOfItsRule) {
    const auto& c = GetParam();
    EXPECT_EQ(Segments(c), c.expected) << c.name;
}

// One row per segment rule. Points: E1 (t, 0), E2 (1, t), E3 (0, t), E4 (t, 1).
INSTANTIATE_TEST_SUITE_P(
    Rules, ContourCell,
    testing::Values(
        CellCase{"constant", 1, 1, 1, 1, 1, {}}, CellCase{"below", 0, 0, 0, 0, 1, {}},
        CellCase{"E3-E4", 0, 0, 2, 0, 1, {{0, 0.5, 0.5, 1}}},
        CellCase{"E2-E4", 0, 0, 0, 2, 1, {{1, 0.5, 0.5, 1}}},
        CellCase{"E2-E3", 0, 0, 2, 2, 1, {{1, 0.5, 0, 0.5}}},
        CellCase{"E1-E4", 0, 2, 0, 2, 1, {{0.5, 0, 0.5, 1}}},
        CellCase{"E1-E3", 2, 0, 0, 0, 1, {{0.5, 0, 0, 0.5}}},
        CellCase{"E1-E2", 0, 2, 0, 0, 1, {{0.5, 0, 1, 0.5}}},
        CellCase{"saddle gives four",
                 2,
                 0,
                 0,
                 2,
                 1,
                 {{0.5, 0, 1, 0.5}, {0.5, 0, 0, 0.5}, {1, 0.5, 0.5, 1}, {0, 0.5, 0.5, 1}}},
        // p01 on the level: E1 and E2 are joined to corner (0, 1).
        CellCase{"corner p01 on level", 0, 2, 1, 0, 1, {{0.5, 0, 0, 1}, {1, 0.5, 0, 1}}},
        // p11 on the level: E1, E2 and E4 crossed (no main rule); the corner
        // rule joins E1 to corner (1, 1).
        CellCase{"corner p11 on level", 0, 2, 0, 1, 1, {{0.5, 0, 1, 1}}},
        // p10 on the level: main rule E1-E3, and the corner rule joins E3 to
        // corner (1, 0), where E1 lies.
        CellCase{"corner p10 on level", 0, 1, 2, 2, 1, {{1, 0, 0, 0.5}, {0, 0.5, 1, 0}}},
        // A second end equal to the level counts as at or above it.
        CellCase{"level reached at second ends",
                 0,
                 1,
                 0,
                 1,
                 1,
                 {{1, 0, 1, 1}, {1, 0, 1, 1}, {1, 1, 1, 0}}},
        // A first end equal to the level with the second below is no crossing.
        CellCase{"first end on level, second below", 1, 0, 1, 0, 1, {}}),
    [](const testing::TestParamInfo<CellCase>& info) {
        std::string n = info.param.name;
        for (char& ch : n)
            if (!std::isalnum(static_cast<unsigned char>(ch)))
                ch = '_';
        return n;
    });

} // namespace
