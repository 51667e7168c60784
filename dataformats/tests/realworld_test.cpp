// Real instrument files: layouts detected with the right code and read with
// the right values; foreign files answer "not a pole figure" or read cleanly.
#include <gtest/gtest.h>

#include <cmath>

#include "dataformats/dataformats.h"
#include "test_support.h"

using dftest::RealWorld;

using dftest::ReadGrid;
using dftest::ReadPoleFigure;
using orimath::Grid2;

TEST(RealWorldPoleFigures, UxdRangeVariantHoldsFourPoleFigures) {
    auto path = RealWorld("polefigures/bruker.UXD");
    SKIP_WITHOUT_REALWORLD(path);
    EXPECT_EQ(Get_PF_File_Type(path.string()), 3);
    EXPECT_EQ(Get_UXD_PF_Count(path.c_str()), 4);
    PFFileInfo info;
    Grid2<double> g;
    ASSERT_TRUE(ReadPoleFigure(path.c_str(), 3, &info, &g));
    EXPECT_EQ(g.alphaCount(), 19);
    EXPECT_EQ(g.betaCount(), 73);
    EXPECT_DOUBLE_EQ(info.resolution, 5.0);
    // First ring (_KHI=0): "0.0000 2436.0" ... "355.0000 2461.0".
    EXPECT_DOUBLE_EQ(g[0][0], 2436.0);
    EXPECT_DOUBLE_EQ(g[0][71], 2461.0);
    EXPECT_DOUBLE_EQ(g[0][72], 2436.0);
    // Second ring (_KHI=5) starts "0.0000 2829.0", "5.0000 2649.0".
    EXPECT_DOUBLE_EQ(g[1][0], 2829.0);
    EXPECT_DOUBLE_EQ(g[1][1], 2649.0);
    // Rings 85 and 90 were not measured.
    for (int j = 0; j < 73; ++j) {
        EXPECT_EQ(g[17][j], 0.0);
        EXPECT_EQ(g[18][j], 0.0);
    }
    // The fourth pole figure is readable on its own and differs from the first.
    PFFileInfo info4;
    Grid2<double> g4;
    ASSERT_TRUE(ReadGrid(
        [&](int* nA, int* nB) { return Open_UXD_PF(path.c_str(), 3, &info4, nA, nB); }, &g4));
    EXPECT_NE(g4[0][0], g[0][0]);
    EXPECT_FALSE(ReadGrid(
        [&](int* nA, int* nB) { return Open_UXD_PF(path.c_str(), 4, &info4, nA, nB); }, &g4));
}

TEST(RealWorldPoleFigures, UxdWithSixteenRings) {
    auto path = RealWorld("polefigures/ZnCuTi_Wal_50_5x5_PF_002_R.UXD");
    SKIP_WITHOUT_REALWORLD(path);
    EXPECT_EQ(Get_PF_File_Type(path.string()), 3);
    EXPECT_EQ(Get_UXD_PF_Count(path.c_str()), 1);
    PFFileInfo info;
    Grid2<double> g;
    ASSERT_TRUE(ReadPoleFigure(path.c_str(), 3, &info, &g));
    EXPECT_EQ(g.alphaCount(), 19);
    EXPECT_DOUBLE_EQ(g[0][0], static_cast<double>(351.67f));
    EXPECT_DOUBLE_EQ(g[0][1], static_cast<double>(345.17f));
    EXPECT_NE(g[15][0], 0.0); // _KHI=75
    EXPECT_EQ(g[16][0], 0.0); // not measured
}

TEST(RealWorldPoleFigures, KeywordFileAtTwoAndAHalfDegrees) {
    auto path = RealWorld("polefigures/Rigaku_xrd_111.asc");
    SKIP_WITHOUT_REALWORLD(path);
    EXPECT_EQ(Get_PF_File_Type(path.string()), 4);
    PFFileInfo info;
    ASSERT_EQ(Get_PF_File_Info(path.c_str(), 4, &info), 1);
    EXPECT_EQ(info.description.substr(0, 22), "Cubic, (1 1 1), 2.50, ");
    EXPECT_DOUBLE_EQ(info.resolution, 2.5);
    Grid2<double> g;
    ASSERT_TRUE(ReadPoleFigure(path.c_str(), 4, &info, &g));
    EXPECT_EQ(g.alphaCount(), 37);
    EXPECT_EQ(g.betaCount(), 145);
    // *PF_AANGLE = 15 is row (90 - 15) / 2.5 = 30; its block starts
    // "175, 202, 219, 267" and ends with the closing value 211.
    EXPECT_DOUBLE_EQ(g[30][1], 202.0);
    EXPECT_DOUBLE_EQ(g[30][3], 267.0);
    EXPECT_DOUBLE_EQ(g[30][0], (175.0 + 211.0) / 2); // first and closing value
    EXPECT_DOUBLE_EQ(g[30][144], g[30][0]);
    for (int j = 0; j < 145; ++j)
        EXPECT_EQ(g[36][j], 0.0); // rim not measured
    for (int j = 1; j < 145; ++j)
        EXPECT_EQ(g[0][j], g[0][0]);
}

TEST(RealWorldPoleFigures, FourLineRingsReadCentreFirst) {
    auto path = RealWorld("polefigures/popla_108.epf");
    SKIP_WITHOUT_REALWORLD(path);
    EXPECT_EQ(Get_PF_File_Type(path.string()), 7);
    PFFileInfo info;
    Grid2<double> g;
    ASSERT_TRUE(ReadPoleFigure(path.c_str(), 7, &info, &g));
    EXPECT_EQ(info.description.substr(0, 15), "Cubic, (1 0 0),");
    EXPECT_EQ(g.alphaCount(), 19);
    // The last ring of the file is the rim: its lines 3 and 4 are zeros.
    for (int j = 36; j < 72; ++j)
        EXPECT_EQ(g[18][j], 0.0);
    // Second ring (first data line of group 2: "1639 1703 1656 ...") keeps
    // its ratios after normalisation.
    EXPECT_NEAR(g[1][1] / g[1][0], 1703.0 / 1639.0, 1e-12);
    for (int j = 1; j < 73; ++j)
        EXPECT_EQ(g[0][j], g[0][0]);
}

TEST(RealWorldPoleFigures, ForeignFilesAreRejectedOrReadCleanly) {
    auto dir = RealWorld("foreign");
    SKIP_WITHOUT_REALWORLD(dir);
    for (const auto& entry : std::filesystem::directory_iterator(dir)) {
        std::string p = entry.path().string();
        int type = Get_PF_File_Type(p);
        SCOPED_TRACE(p + " type " + std::to_string(type));
        if (type == -1)
            continue;
        PFFileInfo info;
        Grid2<double> g;
        EXPECT_TRUE(ReadPoleFigure(p, type, &info, &g));
    }
}

TEST(RealWorldOther, NoReaderTakesTheOtherFilesForItsOwn) {
    for (const char* rel :
         {"odf/mtex-odf.txt", "orientation-maps/ACOM.ang", "orientation-maps/testdata_sqr.ctf",
          "foreign/dubna.cnv", "foreign/EMSE_multi.cor"}) {
        auto path = RealWorld(rel);
        if (!std::filesystem::exists(path))
            continue;
        SCOPED_TRACE(rel);
        EXPECT_EQ(GetODFFileType(path.string()), -1);
        EXPECT_EQ(Get_IPF_File_Type(path.string()), -1);
        EXPECT_EQ(Get_GBCD_File_Type(path.c_str()), -1);
    }
}
