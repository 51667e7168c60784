// ODFs exported as text lists by other tools: lists written by the test in
// the variants such tools produce (comments, column order, radians, cell
// centres, the full turn without its last column, samplings off any
// lattice), damaged lists and the reason they give, and the real export.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "dataformats/file_layouts.h"
#include "orimath/constants.h"
#include "orimath/orientation.h"
#include "orimath/symmetry.h"
#include "test_support.h"

using namespace dataformats;

namespace {

// A value that changes linearly with each angle, so that linear
// interpolation between cell centres gives it back exactly.
double Linear(double phi1, double Phi, double phi2) {
    return 1 + 0.01 * phi1 + 0.02 * Phi + 0.005 * phi2;
}

struct ListRecipe {
    double first = 0;              // first angle of every axis (2.5: cell centres)
    double last[3] = {90, 90, 90}; // last phi1, Phi, phi2
    double step = 5;
    const char* header = "% crystal symmetry: \"m-3m\"\n% phi1 Phi phi2 value\n";
    int order[4] = {0, 1, 2, 3}; // file column of phi1, Phi, phi2, value
    bool radians = false;
    bool crlf = false;
};

// The rows of the lattice, phi1 fastest, written with "%.5f"; edit(line,
// text) may change or drop (empty result) the row that would be written at
// a line.
std::string MakeList(const ListRecipe& s,
                     const std::function<std::string(int, std::string)>& edit = nullptr) {
    std::string text = s.header;
    int line = 1;
    for (char c : text)
        line += c == '\n';
    for (double p2 = s.first; p2 <= s.last[2] + 1e-9; p2 += s.step)
        for (double P = s.first; P <= s.last[1] + 1e-9; P += s.step)
            for (double p1 = s.first; p1 <= s.last[0] + 1e-9; p1 += s.step) {
                const double scale = s.radians ? orimath::kDegToRad : 1.0;
                double field[4];
                field[s.order[0]] = p1 * scale;
                field[s.order[1]] = P * scale;
                field[s.order[2]] = p2 * scale;
                field[s.order[3]] = Linear(p1, P, p2);
                char row[160];
                std::snprintf(row, sizeof row, "%.6f %.6f %.6f %.5f\n", field[0], field[1],
                              field[2], field[3]);
                std::string r = row;
                if (edit)
                    r = edit(line, r);
                if (!r.empty()) {
                    text += r;
                    ++line;
                }
            }
    return s.crlf ? dftest::ToCrLf(text) : text;
}

struct GoodCase {
    const char* name;
    ListRecipe recipe;
    int crystal, sampleSym;
    orimath::Extent3 counts;
    bool interpolated; // cell centres: exact only inside
};

ListRecipe Recipe(std::function<void(ListRecipe&)> change) {
    ListRecipe s;
    change(s);
    return s;
}

void PrintTo(const GoodCase& c, std::ostream* os) {
    *os << c.name;
}

class TextListReads : public ::testing::TestWithParam<GoodCase> {};

TEST_P(TextListReads, OntoTheReducedGridOfItsCrystalSystem) {
    const GoodCase& c = GetParam();
    dftest::TempDir dir;
    const std::string path = dftest::Write(dir.File("list.txt"), MakeList(c.recipe));
    Expected<const FileLayout*> layout = DetectLayout(path);
    ASSERT_TRUE(layout) << layout.error().Text();
    EXPECT_STREQ((*layout)->key, "odflist");
    Expected<FileData> data = (*layout)->Read(path);
    ASSERT_TRUE(data) << data.error().Text();
    const RawHODFInfo& r = data->description.odf;
    EXPECT_EQ(r.crystalType, c.crystal);
    EXPECT_EQ(r.sampleSymmetry, c.sampleSym);
    EXPECT_DOUBLE_EQ(r.resolution, 5.0);
    const auto& g = data->grid3;
    ASSERT_EQ(g.extent(), c.counts);
    for (int k2 = 0; k2 < c.counts.phi2; ++k2)
        for (int k = 0; k < c.counts.Phi; ++k)
            for (int k1 = 0; k1 < c.counts.phi1; ++k1) {
                const double v = g[k2][k][k1];
                ASSERT_TRUE(std::isfinite(v));
                const bool edge = k1 == 0 || k1 == c.counts.phi1 - 1 || k == 0 ||
                                  k == c.counts.Phi - 1 || k2 == 0 || k2 == c.counts.phi2 - 1;
                if (c.interpolated && edge)
                    continue;
                // phi1 360 is phi1 0 of a list that stops at 355.
                const double phi1 = k1 == 72 && c.counts.phi1 == 73 ? 0 : 5.0 * k1;
                ASSERT_NEAR(v, Linear(phi1, 5.0 * k, 5.0 * k2), 2e-4)
                    << "phi1 " << 5 * k1 << " Phi " << 5 * k << " phi2 " << 5 * k2;
            }
    // The description alone gives the same record.
    Expected<FileDescription> d = (*layout)->Describe(path);
    ASSERT_TRUE(d) << d.error().Text();
    EXPECT_EQ(d->odf.crystalType, c.crystal);
    EXPECT_EQ(d->odf.sampleSymmetry, c.sampleSym);
}

INSTANTIATE_TEST_SUITE_P(
    Variants, TextListReads,
    ::testing::Values(
        GoodCase{"PercentHeaderCubicQuarter", ListRecipe{}, 0, 1, {19, 19, 19}, false},
        GoodCase{"HashCommentsDefaultColumns",
                 Recipe([](ListRecipe& s) { s.header = "# exported ODF\n#\n"; }),
                 0,
                 1,
                 {19, 19, 19},
                 false},
        GoodCase{"NoHeaderAtAll",
                 Recipe([](ListRecipe& s) { s.header = ""; }),
                 0,
                 1,
                 {19, 19, 19},
                 false},
        GoodCase{"ColumnOrderFromHeader",
                 Recipe([](ListRecipe& s) {
                     s.header = "value phi2 Phi phi1\n";
                     s.order[0] = 3;
                     s.order[1] = 2;
                     s.order[2] = 1;
                     s.order[3] = 0;
                 }),
                 0,
                 1,
                 {19, 19, 19},
                 false},
        GoodCase{"CrLfLineEnds",
                 Recipe([](ListRecipe& s) { s.crlf = true; }),
                 0,
                 1,
                 {19, 19, 19},
                 false},
        GoodCase{"RadiansByRange",
                 Recipe([](ListRecipe& s) { s.radians = true; }),
                 0,
                 1,
                 {19, 19, 19},
                 false},
        GoodCase{"CellCentres",
                 Recipe([](ListRecipe& s) {
                     s.first = 2.5;
                     s.last[0] = s.last[1] = s.last[2] = 87.5;
                 }),
                 0,
                 1,
                 {19, 19, 19},
                 true},
        GoodCase{"FullTurnWithoutItsLastColumn",
                 Recipe([](ListRecipe& s) {
                     s.last[0] = 355;
                     s.header = "% crystal symmetry: cubic\n% specimen symmetry: 1\n";
                 }),
                 0,
                 0,
                 {73, 19, 19},
                 false},
        // The list holds phi1 0..90 only, so it is read with sample symmetry.
        GoodCase{"QuarterListDespiteTriclinicSpecimen",
                 Recipe([](ListRecipe& s) {
                     s.header = "% crystal symmetry: m-3m\n% specimen symmetry: \"1\"\n";
                 }),
                 0,
                 1,
                 {19, 19, 19},
                 false},
        GoodCase{"HexagonalFromHeader",
                 Recipe([](ListRecipe& s) {
                     s.header = "% crystal symmetry: \"6/mmm\"\n";
                     s.last[2] = 60;
                 }),
                 1,
                 1,
                 {19, 19, 13},
                 false}),
    [](const auto& info) { return std::string(info.param.name); });

struct BadCase {
    const char* name;
    int line;         // the row to change (line of the file)
    const char* with; // its new text; "" drops it
    const char* error;
};

void PrintTo(const BadCase& c, std::ostream* os) {
    *os << c.name;
}

class DamagedTextList : public ::testing::TestWithParam<BadCase> {};

// A damaged list is still taken as a list, and its read says what is wrong
// and where.
TEST_P(DamagedTextList, SaysWhereReadingStopped) {
    const BadCase& c = GetParam();
    dftest::TempDir dir;
    const std::string text = MakeList(ListRecipe{}, [&](int line, std::string row) {
        return line == c.line ? std::string(c.with) : row;
    });
    const std::string path = dftest::Write(dir.File("list.txt"), text);
    Expected<const FileLayout*> layout = DetectLayout(path);
    ASSERT_TRUE(layout) << layout.error().Text();
    EXPECT_STREQ((*layout)->key, "odflist");
    Expected<FileData> data = (*layout)->Read(path);
    ASSERT_FALSE(data);
    EXPECT_EQ(data.error().Text(), c.error);
}

INSTANTIATE_TEST_SUITE_P(
    Damage, DamagedTextList,
    ::testing::Values(
        BadCase{"ShortRow", 812, "10 20 30\n", "line 812: expected 4 numbers, found 3"},
        BadCase{"TextInTheRows", 500, "10 20 thirty 1\n",
                "line 500: expected 4 numbers, found text"},
        BadCase{"OffTheGrid", 40, "7.3 5 0 1\n",
                "line 40: the phi1 values are not on a regular grid: 7.3"},
        // Line 24 is phi1 10, Phi 5, phi2 0 (rows start at line 3, 19 per Phi).
        BadCase{"MissingRow", 24, "", "the list has no row for phi1 10, Phi 5, phi2 0"},
        BadCase{"SecondRowForAnOrientation", 25, "10 5 0 1\n",
                "line 25: a second row for phi1 10, Phi 5, phi2 0 (the first is at line 24)"},
        BadCase{"PhiOutOfRange", 60, "10 190 0 1\n",
                "line 60: Phi 190 is outside 0 to 180 degrees"},
        BadCase{"NotANumber", 70, "15 15 0 nan\n", "line 70: the value is not a finite number"}),
    [](const auto& info) { return std::string(info.param.name); });

// A value that depends on the orientation only through its misorientation
// from the cube orientation (so it has cubic crystal symmetry): 1 + 2
// exp(-(w / 20 degrees)^2).
double CubeComponent(const double euler[3]) {
    static double ops[7][24][3][3];
    static int count = [] {
        int n = 0;
        const double lattice[6] = {1, 1, 1, 90, 90, 90};
        Symmdata(ops, &n, 1, 0, lattice);
        return n;
    }();
    double g[3][3];
    Gmatrix(euler, g);
    double best = -1;
    for (int i = 0; i < count; ++i) {
        double trace = 0;
        for (int r = 0; r < 3; ++r)
            for (int k = 0; k < 3; ++k)
                trace += ops[0][i][r][k] * g[k][r];
        best = std::max(best, (trace - 1) / 2);
    }
    const double w = std::acos(std::clamp(best, -1.0, 1.0)) * orimath::kRadToDeg;
    return 1 + 2 * std::exp(-(w / 20) * (w / 20));
}

// An equal-area sampling as exported from a spherical grid: Phi at cell
// centres, the phi1 step widening towards the pole, phi2 shifted with phi1.
// No angle lattice holds it; each grid point is taken from the rows around.
TEST(TextListSampling, IsResampledOntoTheGrid) {
    // No sample symmetry stated: the rows reach round the full turn of phi1.
    std::string text = "% crystal symmetry: \"m-3m\"\n% phi1    Phi     phi2    value\n";
    for (double Phi = 2.5; Phi < 60; Phi += 5) {
        const int n = std::max(
            3, static_cast<int>(std::lround(360 * std::sin(Phi * orimath::kDegToRad) / 5)));
        for (int i = 0; i < n; ++i) {
            const double phi1 = 360.0 * i / n;
            for (int j = 0; j < 18; ++j) {
                const double e[3] = {phi1, Phi, std::fmod(357.5 - phi1 + 5 * (j - 9) + 720, 360)};
                char row[128];
                std::snprintf(row, sizeof row, "%.5f %.5f %.5f %.5f\n", e[0], e[1], e[2],
                              CubeComponent(e));
                text += row;
            }
        }
    }
    dftest::TempDir dir;
    const std::string path = dftest::Write(dir.File("sampled.txt"), text);
    Expected<FileData> data = ReadAnyFile(path);
    ASSERT_TRUE(data) << data.error().Text();
    const RawHODFInfo& r = data->description.odf;
    EXPECT_EQ(r.crystalType, 0);
    EXPECT_EQ(r.sampleSymmetry, 0);
    EXPECT_DOUBLE_EQ(r.resolution, 5.0);
    const auto& g = data->grid3;
    ASSERT_EQ(g.extent(), (orimath::Extent3{73, 19, 19}));
    double worst = 0;
    for (int k2 = 0; k2 < 19; ++k2)
        for (int k = 0; k < 19; ++k)
            for (int k1 = 0; k1 < 73; ++k1) {
                const double e[3] = {5.0 * k1, 5.0 * k, 5.0 * k2};
                worst = std::max(worst, std::fabs(g[k2][k][k1] - CubeComponent(e)));
            }
    // The weighted mean over one step of a peak 20 degrees wide and 2 high
    // (a wrong symmetry or angle convention misses by the height of the peak).
    EXPECT_LT(worst, 0.2);
}

TEST(TextListDetection, LeavesOtherNumberTablesAlone) {
    dftest::TempDir dir;
    // Four numbers a row, but no header naming Euler angles and no grid.
    std::string text;
    for (int i = 0; i < 100; ++i)
        text += std::to_string((i * 37) % 101) + " " + std::to_string((i * 13) % 89) + " " +
                std::to_string((i * 7) % 97) + " 1\n";
    const std::string path = dftest::Write(dir.File("table.txt"), text);
    Expected<const FileLayout*> layout = DetectLayout(path);
    EXPECT_TRUE(!layout || std::string((*layout)->key) != "odflist");
}

TEST(TextListRealWorld, ExportedOdfReadsOntoTheCubicGrid) {
    const auto path = dftest::RealWorld("odf/mtex-odf.txt");
    SKIP_WITHOUT_REALWORLD(path);
    Expected<const FileLayout*> layout = DetectLayout(path.string());
    ASSERT_TRUE(layout) << layout.error().Text();
    EXPECT_STREQ((*layout)->key, "odflist");
    Expected<FileData> data = (*layout)->Read(path.string());
    ASSERT_TRUE(data) << data.error().Text();
    const RawHODFInfo& r = data->description.odf;
    EXPECT_EQ(r.crystalType, 0); // "m-3m"
    EXPECT_EQ(r.sampleSymmetry, 0);
    EXPECT_DOUBLE_EQ(r.resolution, 5.0);
    ASSERT_EQ(data->grid3.extent(), (orimath::Extent3{73, 19, 19}));
    for (double v : data->grid3.values()) {
        ASSERT_TRUE(std::isfinite(v));
        ASSERT_GT(v, 0);
        ASSERT_LT(v, 3.5); // the largest value of the list is 3.48
    }
    // It converts to a first-generation HODF that reads back the same.
    dftest::TempDir dir;
    const FileLayout* hodf = FindWriter(FileFamily::ODF, dir.File("m.HODF"));
    ASSERT_NE(hodf, nullptr);
    ASSERT_TRUE(hodf->Write(dir.File("m.HODF"), *data));
    Expected<FileData> back = ReadAnyFile(dir.File("m.HODF"));
    ASSERT_TRUE(back) << back.error().Text();
    ASSERT_EQ(back->grid3.extent(), data->grid3.extent());
    for (std::size_t i = 0; i < data->grid3.size(); ++i)
        ASSERT_NEAR(back->grid3.values()[i], data->grid3.values()[i], 1e-3);
}

} // namespace
