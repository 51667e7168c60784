// Siemens .cor import on small files written by the test.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "calcjobs/cor_import.h"
#include "dataformats/polefigure.h"
#include "test_files.h"

namespace calcjobs {
namespace {

const double kCubicLattice[6] = {1, 1, 1, 90, 90, 90};

// Intensity of value n (0..71, as it stands in the file) of ring chi of
// reflection r: every value tells where it came from.
double Intensity(int r, int chi, int n) {
    return r * 10000 + chi * 10 + n * 0.1;
}

std::string Ring(int r, int chi, int count = 72) {
    char line[64];
    std::snprintf(line, sizeof line, "    PHI-circle at CHI=%4d\n", chi);
    std::string text = line;
    text += "    Step 5.0 deg\n"; // the line after the header is skipped
    for (int n = 0; n < count; ++n) {
        std::snprintf(line, sizeof line, "%10.1f%s", Intensity(r, chi, n), n % 8 == 7 ? "\n" : "");
        text += line;
    }
    return text + "\n";
}

std::string Reflection(int r, const std::string& hkl, const std::vector<int>& rings) {
    std::string text = "    Intensity values for " + hkl + " reflection\n";
    for (int chi : rings)
        text += Ring(r, chi);
    return text;
}

std::vector<int> Rings(int from, int to, int skip = -1) {
    std::vector<int> rings;
    for (int chi = from; chi <= to; chi += 5)
        if (chi != skip)
            rings.push_back(chi);
    return rings;
}

TEST(CorImportTest, TwoReflectionsWithNegativeIndexAndBadRing) {
    calctest::ScratchDir dir("cor-two");
    // Reflection 1 has an extra ring at CHI 95 (outside the pole figure);
    // reflection 2 lacks CHI 40, which must stay empty instead of keeping
    // reflection 1's ring.
    std::vector<int> rings1 = Rings(0, 40);
    rings1.push_back(95);
    for (int chi : Rings(45, 80))
        rings1.push_back(chi);
    const std::string cor = dir.Path("scan.v1.cor");
    calctest::WriteText(cor, "Siemens pole figure measurement\n" + Reflection(1, "111", rings1) +
                                 Reflection(2, "1-10", Rings(0, 80, 40)));

    CorImportResult result = ImportCorFile(cor, "", 0, kCubicLattice);
    ASSERT_EQ(result.message, "");
    ASSERT_EQ(result.poleFigures.size(), 2u);
    EXPECT_EQ(result.warnings.size(), 1u);
    EXPECT_EQ(result.poleFigures[0].file, dir.Path("scan111.HPF"));
    EXPECT_EQ(result.poleFigures[1].file, dir.Path("scan1-10.HPF"));
    EXPECT_EQ(result.poleFigures[1].h, 1);
    EXPECT_EQ(result.poleFigures[1].k, -1); // rounded to nearest, not truncated towards 0
    EXPECT_EQ(result.poleFigures[1].l, 0);

    calctest::PoleFigureFile first(result.poleFigures[0].file);
    ASSERT_TRUE(first.read);
    ASSERT_EQ(first.grid.alphaCount(), 19);
    ASSERT_EQ(first.grid.betaCount(), 73);
    EXPECT_NEAR(first.info.resolution, 5, 1e-9);
    // The first value of a ring is beta 360 (and beta 0), the n-th beta 360 - 5n.
    EXPECT_NEAR(first.grid[8][72], Intensity(1, 40, 0), 1e-3);
    EXPECT_NEAR(first.grid[8][0], Intensity(1, 40, 0), 1e-3);
    EXPECT_NEAR(first.grid[16][1], Intensity(1, 80, 71), 1e-3);
    EXPECT_NEAR(first.grid[3][72 - 10], Intensity(1, 15, 10), 1e-3);
    for (int j = 0; j < 73; ++j) {
        EXPECT_EQ(first.grid[17][j], 0); // alpha 85 and 90 are not measured
        EXPECT_EQ(first.grid[18][j], 0);
    }

    calctest::PoleFigureFile second(result.poleFigures[1].file);
    ASSERT_TRUE(second.read);
    EXPECT_NEAR(second.grid[7][72], Intensity(2, 35, 0), 1e-3);
    for (int j = 0; j < 73; ++j)
        EXPECT_EQ(second.grid[8][j], 0) << "ring leaked from the previous reflection";
    EXPECT_NE(second.info.description.find("(1 -1 0)"), std::string::npos)
        << second.info.description;
}

TEST(CorImportTest, SeventhReflectionIsIgnored) {
    calctest::ScratchDir dir("cor-seven");
    const char* hkls[] = {"100", "110", "111", "200", "210", "211", "220"};
    std::string text;
    for (int r = 0; r < 7; ++r)
        text += Reflection(r + 1, hkls[r], Rings(0, 80));
    calctest::WriteText(dir.Path("seven.cor"), text);

    CorImportResult result =
        ImportCorFile(dir.Path("seven.cor"), dir.Path("out_"), 0, kCubicLattice);
    EXPECT_EQ(result.message, "");
    ASSERT_EQ(result.poleFigures.size(), 6u);
    EXPECT_EQ(result.poleFigures[5].file, dir.Path("out_211.HPF"));
    EXPECT_FALSE(calctest::Exists(dir.Path("out_220.HPF")));
}

TEST(CorImportTest, ShortRingStopsWithMessageAndKeepsEarlierFiles) {
    calctest::ScratchDir dir("cor-short");
    std::string text =
        Reflection(1, "111", Rings(0, 80)) + "    Intensity values for 200\n" + Ring(2, 0, 30);
    calctest::WriteText(dir.Path("short.cor"), text);
    CorImportResult result = ImportCorFile(dir.Path("short.cor"), "", 0, kCubicLattice);
    EXPECT_EQ(result.message, "Can not read data");
    ASSERT_EQ(result.poleFigures.size(), 1u);
    EXPECT_TRUE(calctest::Exists(result.poleFigures[0].file));

    result = ImportCorFile(dir.Path("missing.cor"), "", 0, kCubicLattice);
    EXPECT_EQ(result.message, "Can not open " + dir.Path("missing.cor"));
}

TEST(CorImportTest, NamesAndIndexText) {
    EXPECT_EQ(CorBaseName("data.v2/scan.cor"), "data.v2/scan");
    EXPECT_EQ(CorBaseName("scan.a.cor"), "scan");
    EXPECT_EQ(CorBaseName("scan"), "scan");
    struct Case {
        const char* text;
        double h, k, l;
    };
    const Case cases[] = {{"111", 1, 1, 1},
                          {"1-10", 1, -1, 0},
                          {"-1-1-1", -1, -1, -1},
                          {"20", 2, 0, 0},
                          {"", 0, 0, 0}};
    for (const Case& c : cases) {
        double hkl[3];
        ParseCorHkl(c.text, hkl);
        EXPECT_EQ(hkl[0], c.h) << c.text;
        EXPECT_EQ(hkl[1], c.k) << c.text;
        EXPECT_EQ(hkl[2], c.l) << c.text;
    }
}

} // namespace
} // namespace calcjobs
