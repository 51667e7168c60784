// Pole figure files: the suite's own layouts round trip, the foreign layouts
// are detected and placed on the grid as their rules say, and malformed files
// fail without touching memory outside the grid.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <functional>
#include <string>

#include "dataformats/polefigure.h"
#include "test_support.h"

using dftest::ReadPoleFigure;
using dftest::TempDir;
using dftest::Write;
using orimath::Extent2;
using orimath::Grid2;

namespace {

double Sample(int i, int j) {
    return std::round((1.0 + i * 0.37 + std::sin(j * 0.1)) * 1e4) / 1e4;
}

std::string Numbers(int count, const std::function<double(int)>& f, const char* sep = " ") {
    std::string s;
    char buf[64];
    for (int i = 0; i < count; ++i) {
        std::snprintf(buf, sizeof buf, "%g%s", f(i), sep);
        s += buf;
    }
    return s;
}

// PolCon: 19 rings x 72 azimuths of (alpha, beta, value).
std::string PolConText() {
    std::string s;
    char buf[96];
    for (int i = 0; i < 19; ++i)
        for (int j = 0; j < 72; ++j) {
            std::snprintf(buf, sizeof buf, "%d %d %g\n", i * 5, j * 5, Sample(i, j));
            s += buf;
        }
    return s;
}

// Pairs: for each azimuth step 5 the values of `rings` rings.
std::string PairsText(int azimuths, int rings) {
    std::string s;
    char buf[64];
    for (int b = 0; b < azimuths; ++b)
        for (int r = 0; r < rings; ++r) {
            std::snprintf(buf, sizeof buf, "%d %g\n", b * 5, 1.0 + r + 0.01 * b);
            s += buf;
        }
    return s;
}

// Four-line rings: `rings` groups of 4 lines of " " + 18 four-character fields.
std::string RingsText(int rings) {
    std::string s = "title line\n(111)  5.0 90.0  5.0360.0\n";
    char buf[8];
    for (int r = 0; r < rings; ++r)
        for (int m = 0; m < 4; ++m) {
            s += ' ';
            for (int f = 0; f < 18; ++f) {
                std::snprintf(buf, sizeof buf, "%4d", 100 * (r + 1) + 18 * m + f);
                s += buf;
            }
            s += '\n';
        }
    return s;
}

std::string ODFInputText(bool withMarker) {
    std::string s = " O.D.F. CALCULATION  sample\nheader\n";
    if (withMarker)
        s += " THE INPUT DATA OF FIRST POLE FIGURE BACK REFLECTION(14I5)\n";
    for (int i = 0; i < 19; ++i)
        s += Numbers(72, [i](int j) { return 10 * i + j % 7; }) + "\n";
    return s;
}

std::string IntervalText() {
    std::string s =
        "texture data of interval 1\nsecond line\n0 - 10 step 5\n0 - 360 step 5\nline 5\n";
    s += "1 2 3\n*** pole figure data ***\n";
    for (int i = 0; i < 3; ++i)
        s += Numbers(72, [i](int j) { return 100 * i + j + 10; }) + "\n";
    return s;
}

std::string KeywordText(const std::string& ringBlocks, bool withStep = true) {
    std::string s = "*TYPE\t=  Raw\n*LATT_CONS\t=  0, Tetragonal, Unknown\n";
    if (withStep)
        s += "*STEP\t\t=  5\n";
    s += "*PF_BANGLE\t=  0\n*INDEX\t\t=  2, 0, 0\n" + ringBlocks;
    return s;
}

std::string KeywordRing(double alpha, int n, const std::function<double(int)>& f) {
    char head[128];
    std::snprintf(head, sizeof head, "*PF_AANGLE\t=  %g\n*COUNT\t\t=  %d\n", alpha, n);
    std::string s = head;
    for (int i = 0; i < n; ++i) {
        char buf[32];
        std::snprintf(buf, sizeof buf, "%g%s", f(i), (i % 4 == 3 || i == n - 1) ? "\n" : ", ");
        s += buf;
    }
    return s;
}

std::string UxdCountsText(int rings) {
    std::string s = "_FILEVERSION=1\n";
    for (int r = 0; r < rings; ++r) {
        s += "; ring\n_KHI=" + std::to_string(r * 90 / (rings - 1)) + "\n_COUNTS\n";
        s += Numbers(72, [r](int j) { return 1000 * r + j; }) + "\n";
    }
    return s;
}

} // namespace

TEST(PoleFigureOwnLayouts, FiveDegreeFileRoundTrips) {
    TempDir dir;
    double grid[19][73];
    for (int i = 0; i < 19; ++i)
        for (int j = 0; j < 73; ++j)
            grid[i][j] = Sample(i, j);
    PFFileInfo info;
    info.fileName = dir.File("a.tpf");
    info.crystalType = 0;
    info.h = 2;
    info.k = 0;
    info.l = 0;
    ASSERT_EQ(SavePFFile(&info, grid), 1);
    EXPECT_EQ(dftest::Read(info.fileName).substr(0, 67),
              "This pole figure file is created by Quelta software\nCubic, (2 0 0)\n");
    EXPECT_EQ(Get_PF_File_Type(info.fileName), 0);
    PFFileInfo read;
    ASSERT_EQ(Get_PF_File_Info(info.fileName.c_str(), 0, &read), 1);
    EXPECT_EQ(read.description,
              "Unknown, (2 0 0), 5.00, 19 x 73, (1.00 1.00 1.00 90.00 90.00 90.00), Unknown");
    Grid2<double> g;
    ASSERT_TRUE(ReadPoleFigure(info.fileName, 0, &read, &g));
    ASSERT_EQ(g.alphaCount(), 19);
    ASSERT_EQ(g.betaCount(), 73);
    for (int i = 0; i < 19; ++i)
        for (int j = 0; j < 73; ++j)
            ASSERT_NEAR(g[i][j], grid[i][j], 5e-5);
    double fixed[19][73];
    PFFileInfo byName;
    byName.fileName = info.fileName;
    ASSERT_EQ(OpenPF(&byName, fixed), 1);
    EXPECT_EQ(byName.description, "Cubic, (2 0 0)");
    EXPECT_NEAR(fixed[18][72], grid[18][72], 5e-5);
    // The same file with CR LF line ends reads the same.
    std::string crlf = Write(dir.File("crlf.tpf"), dftest::ToCrLf(dftest::Read(info.fileName)));
    EXPECT_EQ(Get_PF_File_Type(crlf), 0);
    Grid2<double> g2;
    ASSERT_TRUE(ReadPoleFigure(crlf, 0, &read, &g2));
    EXPECT_EQ(g2[7][9], g[7][9]);
}

TEST(PoleFigureOwnLayouts, HighResolutionFileRoundTripsAndParses) {
    TempDir dir;
    const int nA = 37, nB = 145;
    Grid2<double> src(Extent2{.alpha = nA, .beta = nB});
    for (int i = 0; i < nA; ++i)
        for (int j = 0; j < nB; ++j)
            src[i][j] = Sample(i, j);
    PFFileInfo info;
    info.crystalType = 1;
    info.h = 1;
    info.k = 0;
    info.l = 0;
    info.resolution = 2.5;
    info.a = 3.21;
    info.b = 3.21;
    info.c = 5.21;
    info.gamma = 120;
    info.comment = " Zn sheet";
    std::string path = dir.File("b.hpf");
    ASSERT_EQ(SaveHPFFile(path.c_str(), &info, nA, nB, src.Tree()), 1);
    EXPECT_EQ(Get_PF_File_Type(path), 1);
    PFFileInfo read;
    Grid2<double> g;
    ASSERT_TRUE(ReadPoleFigure(path, 1, &read, &g));
    EXPECT_EQ(read.description,
              "Hexagonal, (1 0 0), 2.50, 37 x 145, (3.21 3.21 5.21 90.00 90.00 120.00),  Zn sheet");
    EXPECT_EQ(g.alphaCount(), nA);
    EXPECT_EQ(g.betaCount(), nB);
    EXPECT_NEAR(g[36][144], src[36][144], 5e-5);

    PFFileInfo parsed;
    ParserPFInfo(read.description.c_str(), &parsed);
    EXPECT_EQ(parsed.crystalType, 1);
    EXPECT_EQ(parsed.h, 1);
    EXPECT_EQ(parsed.k, 0);
    EXPECT_EQ(parsed.l, 0);
    EXPECT_DOUBLE_EQ(parsed.resolution, 2.5);
    EXPECT_NEAR(parsed.c, 5.21, 1e-6);
    EXPECT_DOUBLE_EQ(parsed.gamma, 120);
    EXPECT_EQ(parsed.comment, "  Zn sheet");

    // A 2.5-degree file must not be read into the fixed 5-degree grid.
    double fixed[19][73];
    PFFileInfo byName;
    byName.fileName = path;
    EXPECT_EQ(OpenPF(&byName, fixed), 0);

    // "HQuelta" alone decides layout 1, also at 5 degrees; "Quelta" gives 0.
    Grid2<double> five(Extent2{.alpha = 19, .beta = 73}, 1.0);
    info.resolution = 5;
    std::string p5 = dir.File("five.hpf");
    ASSERT_EQ(SaveHPFFile(p5.c_str(), &info, 19, 73, five.Tree()), 1);
    EXPECT_EQ(Get_PF_File_Type(p5), 1);
    EXPECT_EQ(OpenPF(&(byName.fileName = p5, byName), fixed), 1);
    std::string text = dftest::Read(p5);
    text.replace(text.find("HQuelta"), 7, "Quelta");
    EXPECT_EQ(Get_PF_File_Type(Write(dir.File("plain.txt"), text)), 0);
}

TEST(PoleFigureOwnLayouts, ParserStopsAtTheFirstMissingField) {
    PFFileInfo info;
    info.resolution = 7;
    info.comment = "kept";
    ParserPFInfo("tetragonal, (1 1 2)", &info);
    EXPECT_EQ(info.crystalType, 2);
    EXPECT_EQ(info.l, 2);
    EXPECT_EQ(info.resolution, 7);
    EXPECT_EQ(info.comment, "kept");
    ParserPFInfo("Whatever", &info);
    EXPECT_EQ(info.crystalType, 0);
}

struct DetectCase {
    const char* name;
    std::string file;
    std::function<std::string()> text;
    int type;
};

TEST(PoleFigureDetection, EachLayoutByItsRuleInTheOrderOfTheTests) {
    TempDir dir;
    std::filesystem::create_directories(dir.Path() / "j.doe");
    const DetectCase cases[] = {
        {"polcon", "p.txt", PolConText, 2},
        {"polcon before pairs", "pp.txt", [] { return "0 0 0 0 0 0 0\n" + PolConText(); }, 2},
        {"pairs", "q.txt", [] { return PairsText(73, 19); }, 8},
        {"numbers starting with zeros", "z.txt",
         [] { return std::string(5000, ' ') + "0 0 0 0 0 0 0 0 1"; }, -1},
        {"rings", "r.epf", [] { return RingsText(19); }, 7},
        {"rings crlf", "rc.epf", [] { return dftest::ToCrLf(RingsText(19)); }, 7},
        {"odf input", "o.txt", [] { return ODFInputText(true); }, 5},
        {"interval", "i.txt", IntervalText, 6},
        {"keyword", "k.asc", [] { return KeywordText(KeywordRing(90, 73, [](int) { return 1; })); },
         4},
        {"uxd capitals", "x.UXD", [] { return UxdCountsText(19); }, 3},
        {"uxd in dotted folder", "j.doe/x.uxd", [] { return UxdCountsText(19); }, 3},
        {"dot in folder only", "j.doe/uxd", [] { return UxdCountsText(19); }, -1},
        {"uxd not last extension", "x.uxd.bak", [] { return UxdCountsText(19); }, -1},
        {"header and a partial grid", "f.txt", [] { return std::string("a\nb\n1 2 3 4 5 6\n"); },
         -1},
        {"text", "t.txt", [] { return std::string("hello\nworld\n"); }, -1},
        {"empty", "e.txt", [] { return std::string(); }, -1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::string path = Write(dir.File(c.file), c.text());
        EXPECT_EQ(Get_PF_File_Type(path), c.type);
    }
    EXPECT_EQ(Get_PF_File_Type(dir.File("missing.uxd")), -1);
}

TEST(PoleFigureForeignLayouts, PolConAndPairsFillTheGrid) {
    TempDir dir;
    PFFileInfo info;
    Grid2<double> g;
    ASSERT_TRUE(ReadPoleFigure(Write(dir.File("p.txt"), PolConText()), 2, &info, &g));
    EXPECT_EQ(g[3][10], static_cast<double>(static_cast<float>(Sample(3, 10))));
    EXPECT_EQ(g[3][72], g[3][0]);

    ASSERT_TRUE(ReadPoleFigure(Write(dir.File("q200.txt"), PairsText(73, 19)), 8, &info, &g));
    EXPECT_EQ(info.description.substr(0, 22), "Cubic, (2 0 0), 5.00, ");
    for (int j = 1; j < 73; ++j)
        EXPECT_EQ(g[0][j], g[0][0]);
    // Ring 2 over azimuths: 3 + 0.01 b, normalised by one factor.
    EXPECT_NEAR(g[2][10] / g[2][0], 3.1 / 3.0, 1e-6);
    // Fewer pairs than one azimuth column, or no non-zero azimuth: fail.
    EXPECT_FALSE(ReadPoleFigure(Write(dir.File("few.txt"), PairsText(2, 19)), 8, &info, &g));
    EXPECT_FALSE(ReadPoleFigure(Write(dir.File("flat.txt"), "0 1 0 2 0 3 0 4\n"), 8, &info, &g));
}

TEST(PoleFigureForeignLayouts, RingsAreReadCentreFirstAndExtraRingsDropped) {
    TempDir dir;
    PFFileInfo info;
    Grid2<double> g;
    ASSERT_TRUE(ReadPoleFigure(Write(dir.File("r.epf"), RingsText(19)), 7, &info, &g));
    EXPECT_EQ(info.description.substr(0, 16), "Cubic, (1 1 1), ");
    // Ring r holds 100 (r + 1) + column; the centre ring is the first group.
    EXPECT_NEAR(g[5][20] / g[5][0], 620.0 / 600.0, 1e-12);
    EXPECT_NEAR(g[18][71] / g[18][0], 1971.0 / 1900.0, 1e-12);
    EXPECT_LT(g[1][0], g[18][0]);
    ASSERT_TRUE(ReadPoleFigure(Write(dir.File("r30.epf"), RingsText(30)), 7, &info, &g));
    EXPECT_NEAR(g[18][71] / g[18][0], 1971.0 / 1900.0, 1e-12);
}

TEST(PoleFigureForeignLayouts, ODFInputAndIntervalLayouts) {
    TempDir dir;
    PFFileInfo info;
    Grid2<double> g;
    ASSERT_TRUE(ReadPoleFigure(Write(dir.File("o.txt"), ODFInputText(true)), 5, &info, &g));
    EXPECT_EQ(g[4][5], 45);
    EXPECT_EQ(g[4][72], g[4][0]);
    for (int j = 1; j < 73; ++j)
        EXPECT_EQ(g[0][j], g[0][0]);
    EXPECT_FALSE(ReadPoleFigure(Write(dir.File("o2.txt"), ODFInputText(false)), 5, &info, &g));

    std::string path = Write(dir.File("s110.txt"), IntervalText());
    ASSERT_EQ(Get_PF_File_Info(path.c_str(), 6, &info), 1);
    EXPECT_EQ(info.description,
              "Cubic, (1 1 0), 5.00, 3 x 73, (1.00 1.00 1.00 90.00 90.00 90.00), Unknown");
    ASSERT_TRUE(ReadPoleFigure(path, 6, &info, &g));
    // Value j of ring 1 (110 + j, background 2) sits at column (36 - j) mod 72.
    double scale = g[1][36] / (110.0 - 2.0);
    EXPECT_NEAR(g[1][35] / scale, 111.0 - 2.0, 1e-9);
    EXPECT_NEAR(g[1][37] / scale, 110.0 + 71 - 2.0, 1e-9);
    EXPECT_EQ(g[2][72], g[2][0]);
    EXPECT_EQ(g[5][3], 0.0);
}

TEST(PoleFigureForeignLayouts, KeywordBlocksArePlacedBySpan) {
    TempDir dir;
    PFFileInfo info;
    Grid2<double> g;
    auto ramp = [](int i) { return 10.0 + i; };
    // A quarter circle (span 90, 19 values) mirrored about 90 and 180.
    ASSERT_TRUE(ReadPoleFigure(Write(dir.File("q.asc"), KeywordText(KeywordRing(60, 19, ramp))), 4,
                               &info, &g));
    EXPECT_EQ(info.description.substr(0, 28), "Tetragonal, (2 0 0), 5.00, 1");
    int row = 6;
    for (int m = 1; m <= 18; ++m)
        EXPECT_EQ(g[row][18 + m], g[row][18 - m]);
    for (int m = 1; m <= 36; ++m)
        EXPECT_EQ(g[row][36 + m], g[row][36 - m]);
    EXPECT_EQ(g[row][18], 28);
    // Full circle with its closing point: the ends get the mean of first and last.
    ASSERT_TRUE(ReadPoleFigure(Write(dir.File("c.asc"), KeywordText(KeywordRing(85, 73, ramp))), 4,
                               &info, &g));
    EXPECT_EQ(g[1][0], (10.0 + 82.0) / 2);
    EXPECT_EQ(g[1][72], g[1][0]);
    EXPECT_EQ(g[1][5], 15);
    // Full circle without its closing point, at 2.5 degrees (144 values).
    std::string text = KeywordText(KeywordRing(85, 144, ramp));
    text.replace(text.find("*STEP\t\t=  5"), 11, "*STEP\t\t=  2.5");
    ASSERT_TRUE(ReadPoleFigure(Write(dir.File("o.asc"), text), 4, &info, &g));
    EXPECT_EQ(g.betaCount(), 145);
    EXPECT_EQ(g[2][0], 10);
    EXPECT_EQ(g[2][144], 10);
    EXPECT_EQ(g[2][143], 153);
    // The centre row is one point: all its entries equal.
    for (int j = 1; j < g.betaCount(); ++j)
        EXPECT_EQ(g[0][j], g[0][0]);
    // Without "*STEP" the grid step is unknown.
    EXPECT_EQ(Get_PF_File_Info(
                  Write(dir.File("n.asc"), KeywordText(KeywordRing(85, 73, ramp), false)).c_str(),
                  4, &info),
              0);
}

TEST(PoleFigureForeignLayouts, UxdCountsVariant) {
    TempDir dir;
    PFFileInfo info;
    Grid2<double> g;
    std::string path = Write(dir.File("c.uxd"), UxdCountsText(19));
    EXPECT_EQ(Get_UXD_PF_Count(path.c_str()), 1);
    ASSERT_TRUE(ReadPoleFigure(path, 3, &info, &g));
    EXPECT_EQ(g.alphaCount(), 19);
    EXPECT_EQ(g[3][5], 3005);
    EXPECT_EQ(g[3][72], 3000);
    char description[512];
    ASSERT_EQ(OpenUXD(path, description, g.Tree(), g.alphaCount(), g.betaCount()), 1);
    EXPECT_STREQ(description, "UXD File, Resolution = 5.00, 19 x 73");
    // One ring only gives no step; a file that fits neither variant fails.
    std::string single = "_KHI=0\n_COUNTS\n" + Numbers(72, [](int j) { return j; });
    EXPECT_EQ(Get_PF_File_Info(Write(dir.File("single.uxd"), single).c_str(), 3, &info), 0);
    EXPECT_EQ(
        Get_PF_File_Info(Write(dir.File("scan.uxd"), "_2THETA=10\n_2THETACOUNTS\n10 5\n").c_str(),
                         3, &info),
        0);
    EXPECT_EQ(Get_PF_File_Info(Write(dir.File("theta.uxd"),
                                     "_DRIVE='THETA'\n_2THETA=10\n_KHI=0\n_2THETACPS\n10 5\n11 6\n")
                                   .c_str(),
                               3, &info),
              0);
    // A ring whose first number never comes ends the read at end of file.
    std::string cut = UxdCountsText(19);
    cut = cut.substr(0, cut.rfind("_COUNTS") + 8) + "no numbers here\n";
    EXPECT_FALSE(ReadPoleFigure(Write(dir.File("cut.uxd"), cut), 3, &info, &g));
}

TEST(PoleFigureMalformed, EveryReaderFailsCleanly) {
    TempDir dir;
    struct Case {
        const char* name;
        std::string text;
        int type;
    };
    std::string own = "This pole figure file is created by HQuelta software\nCubic, (1 1 1), 5.00, "
                      "19 x 73, (1 1 1 90 90 90), x\n";
    const Case cases[] = {
        {"hpf short", own + Numbers(100, [](int i) { return i; }), 1},
        {"hpf bad token",
         own + Numbers(100, [](int i) { return i; }) + "x " +
             Numbers(1400, [](int i) { return i; }),
         1},
        {"hpf zero resolution", "HQuelta\nCubic, (1 1 1), 0, 1 x 1\n1 2 3 4 5\n", 1},
        {"hpf negative resolution", "HQuelta\nCubic, (1 1 1), -5, 1 x 1\n1 2 3 4 5\n", 1},
        {"hpf nan resolution", "HQuelta\nCubic, (1 1 1), nan, 1 x 1\n1 2 3 4 5\n", 1},
        {"hpf tiny resolution", "HQuelta\nCubic, (1 1 1), 1e-30, 1 x 1\n1 2 3 4 5\n", 1},
        {"hpf no resolution field", "HQuelta\nCubic\n1 2 3 4 5\n", 1},
        {"tpf no values", "a\nb\n", 0},
        {"polcon short", PolConText().substr(0, 3000), 2},
        {"keyword short block", KeywordText("*PF_AANGLE\t=  80\n*COUNT\t\t=  73\n1, 2, 3\n"), 4},
        {"keyword huge count", KeywordText("*PF_AANGLE\t=  80\n*COUNT\t\t=  2000000000\n1, 2\n"),
         4},
        {"keyword tilt beyond grid", KeywordText(KeywordRing(-400, 73, [](int) { return 1; })), 4},
        {"keyword step tiny", "*STEP\t= 1e-9\n*PF_AANGLE\t=90\n*INDEX\t=1,1,1\n*COUNT\t=1\n1\n", 4},
        {"odf input short", ODFInputText(true).substr(0, 500), 5},
        {"interval no step", "texture data of interval\na\n0 - 10\n0 - 360 step 5\n", 6},
        {"interval zero step", "texture data of interval\na\n0 - 10 step 0\n0 - 360 step 0\n", 6},
        {"interval huge range",
         "texture data of interval\na\n0 - 99999 step 5\n0 - 99999 step 5\nx\n1\n", 6},
        {"rings no data", "a\nb\nshort\n", 7},
        {"pairs step huge", "0 1 0 1 0 1 0 1 1e30 1\n", 8},
        {"uxd nothing", "_KHI=5\n", 3},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        // The name is appended piecewise: GCC 12 warns wrongly (-Wrestrict)
        // about a chain of std::string temporaries here.
        std::string name = "m";
        name += std::to_string(&c - cases);
        name += ".uxd";
        std::string path = Write(dir.File(name), c.text);
        PFFileInfo info;
        Grid2<double> g;
        // Must not crash; the result is checked below where it matters.
        const bool opened = ReadPoleFigure(path, c.type, &info, &g);
        if (std::string(c.name).find("short") != std::string::npos ||
            std::string(c.name).find("resolution") != std::string::npos ||
            std::string(c.name).find("bad") != std::string::npos) {
            EXPECT_FALSE(opened);
        }
    }
    PFFileInfo info;
    Grid2<double> g;
    EXPECT_FALSE(ReadPoleFigure(dir.File("absent.txt"), 1, &info, &g));
    EXPECT_FALSE(ReadPoleFigure(Write(dir.File("x"), "1"), 9, &info, &g));
    EXPECT_EQ(Get_PF_File_Info(dir.File("x").c_str(), -1, &info), 0);
}
