// Inverse pole figure, GBCD and grain map files.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "dataformats/gbcd.h"
#include "dataformats/inversepf.h"
#include "orimath/grid.h"
#include "orimath/misorientation.h"
#include "test_support.h"

using dftest::ReadGrid;
using dftest::TempDir;
using dftest::Write;
using orimath::Extent2;
using orimath::Grid2;

namespace {

// A grid with value i + j / 1000 in row i, column j.
Grid2<double> Numbered(int nA, int nB) {
    Grid2<double> g(Extent2{.alpha = nA, .beta = nB});
    for (int i = 0; i < nA; ++i)
        for (int j = 0; j < nB; ++j)
            g[i][j] = i + j / 1000.0;
    return g;
}

const double kDirections[3][3] = {{0.5, 0.5, 1.0}, {1, 0, 0}, {0, -1, 1}};

} // namespace

TEST(InversePoleFigure, HighResolutionWithoutLatticeIsCodeZero) {
    TempDir dir;
    Grid2<double> g = Numbered(37, 145);
    std::string path = dir.File("a.hipf");
    ASSERT_EQ(SaveHIPF(path.c_str(), 1, 30, 60, kDirections, 2.5, 37, 145, g.Tree()), 1);
    EXPECT_EQ(Get_IPF_File_Type(path), 0);
    IPFFileInfo info;
    info.crystalType = 6;
    Grid2<double> r;
    ASSERT_TRUE(ReadGrid(
        [&](int* nA, int* nB) { return Open_IPF_File(path.c_str(), &info, 0, nA, nB); }, &r));
    EXPECT_EQ(info.crystalType, 1);
    EXPECT_EQ(info.resolution, 2.5);
    EXPECT_EQ(r.alphaCount(), 37);
    EXPECT_EQ(r.betaCount(), 145);
    EXPECT_EQ(info.angle1, 30);
    EXPECT_EQ(info.angle2, 60);
    EXPECT_EQ(info.directions[0][2], 2); // written as the nice vector [1 1 2]
    EXPECT_EQ(info.fileName, "Unknown");
    EXPECT_NEAR(r[36][144], 36.144, 5e-5);
}

TEST(InversePoleFigure, FiveDegreeAndLatticeLayouts) {
    TempDir dir;
    static double fixed[19][73];
    for (int i = 0; i < 19; ++i)
        for (int j = 0; j < 73; ++j)
            fixed[i][j] = i * 2 + j;
    IPFFileInfo info;
    info.fileName = dir.File("t.tipf");
    info.crystalType = 0;
    std::memcpy(info.directions, kDirections, sizeof kDirections);
    info.angle1 = 45;
    ASSERT_EQ(SaveIPFFile(&info, fixed), 1);
    EXPECT_EQ(Get_IPF_File_Type(info.fileName), 0);
    IPFFileInfo read;
    ASSERT_EQ(Get_IPF_File_Info(info.fileName.c_str(), 0, &read), 1);
    EXPECT_EQ(read.resolution, 5);
    EXPECT_EQ(read.directions[2][1], -1);
    static double back[19][73];
    IPFFileInfo byName;
    byName.fileName = info.fileName;
    ASSERT_EQ(OpenIPF(&byName, back), 1);
    EXPECT_EQ(byName.headerLines[0], "Cubic");
    EXPECT_EQ(byName.headerLines[1], "(45, 0)");
    EXPECT_EQ(byName.headerLines[2], "[1 1 2]");
    EXPECT_EQ(back[18][72], 108);

    Grid2<double> g = Numbered(19, 73);
    IPFFileInfo lat = info;
    const double lattice[6] = {3.2, 3.2, 5.2, 90, 90, 120};
    std::memcpy(lat.lattice, lattice, sizeof lattice);
    lat.crystalType = 1;
    lat.resolution = 5;
    std::string path = dir.File("l.hipf");
    ASSERT_EQ(SaveHIPFFile(path.c_str(), &lat, 19, 73, g.Tree()), 1);
    EXPECT_EQ(Get_IPF_File_Type(path), 1);
    Grid2<double> r;
    ASSERT_TRUE(ReadGrid(
        [&](int* nA, int* nB) { return Open_IPF_File(path.c_str(), &read, 1, nA, nB); }, &r));
    EXPECT_NEAR(read.lattice[2], 5.2, 1e-6);
    EXPECT_NEAR(read.directions[0][0], 0.5, 1e-6);
    EXPECT_NEAR(r[18][72], 18.072, 5e-5);

    // Truncated grids and broken headers fail.
    std::string text = dftest::Read(path);
    const std::string shortFile = Write(dir.File("s.hipf"), text.substr(0, text.size() - 40));
    Grid2<double> none;
    EXPECT_FALSE(ReadGrid(
        [&](int* nA, int* nB) { return Open_IPF_File(shortFile.c_str(), &read, 1, nA, nB); },
        &none));
    std::string zero = text;
    zero.replace(zero.find("5.00, 19"), 4, "0.00");
    EXPECT_EQ(Get_IPF_File_Info(Write(dir.File("z.hipf"), zero).c_str(), 1, &read), 0);
    EXPECT_EQ(Get_IPF_File_Info(path.c_str(), 2, &read), 0);
    dftest::MessageRecorder messages;
    EXPECT_EQ(SaveHIPF(dir.File("no/dir.hipf").c_str(), 0, 0, 0, kDirections, 5, 19, 73, g.Tree()),
              0);
    EXPECT_EQ(messages.messages, std::vector<std::string>{"Cannot write file"});
}

TEST(GBCD, RoundTripWithAndWithoutTheCslTable) {
    TempDir dir;
    double angle[kGBCDAngleCount], csl[kCSLClassCount];
    for (int i = 0; i < kGBCDAngleCount; ++i)
        angle[i] = i * 0.01;
    for (int k = 0; k < kCSLClassCount; ++k)
        csl[k] = k * 0.1;
    for (int crystal : {0, 1}) {
        SCOPED_TRACE(crystal);
        GBCDFileInfo info;
        info.crystalType = crystal;
        info.cslCalculated = 1;
        info.grainPairs = 5000;
        info.lattice[3] = 0; // written as 90.00
        std::string path = dir.File(crystal == 0 ? "c.tgb" : "h.tgb");
        ASSERT_EQ(Save_GBCD_File(path.c_str(), &info, angle, csl), 1);
        std::string text = dftest::Read(path);
        EXPECT_NE(text.find("(1.00 1.00 1.00 90.00 90.00 90.00)"), std::string::npos);
        EXPECT_EQ(Get_GBCD_File_Type(path.c_str()), 0);
        GBCDFileInfo read;
        double a[kGBCDAngleCount], c[kCSLClassCount];
        std::fill(a, a + kGBCDAngleCount, -1.0);
        std::fill(c, c + kCSLClassCount, -1.0);
        ASSERT_EQ(Open_GBCD_File(path.c_str(), &read, 0, a, c), 1);
        EXPECT_EQ(read.grainPairs, 5000);
        EXPECT_EQ(read.crystalType, crystal);
        EXPECT_NEAR(a[179], 1.79, 1e-6);
        EXPECT_EQ(a[180], 0.0); // the file holds 0..179
        if (crystal == 0) {
            EXPECT_EQ(read.cslCalculated, 1);
            EXPECT_NEAR(c[50], 5.0, 1e-6);
            EXPECT_EQ(read.description.substr(0, 7), "Cubic, ");
        } else {
            // Hexagonal: no table, so the file says so and reads back.
            EXPECT_EQ(info.cslCalculated, 0);
            EXPECT_EQ(read.cslCalculated, 0);
            EXPECT_NE(text.find("is not calculated"), std::string::npos);
            EXPECT_EQ(c[0], -1.0);
        }
    }
    // A file that claims a table but has none fails at end of file.
    std::string text = dftest::Read(dir.File("h.tgb"));
    text.replace(text.find("is not calculated"), 17, "is calculated");
    GBCDFileInfo read;
    EXPECT_EQ(Open_GBCD_File(Write(dir.File("x.tgb"), text).c_str(), &read, 0, angle, csl), 0);
    EXPECT_EQ(Get_GBCD_File_Type(Write(dir.File("y.tgb"), "a\nb\nc\nd\ne\n5 1.0\n1 2.0\n").c_str()),
              -1);
    EXPECT_EQ(Get_GBCD_File_Type(Write(dir.File("s.tgb"), text.substr(0, 150)).c_str()), -1);
    // Labels longer than any class name are read bounded.
    std::string longLabel = dftest::Read(dir.File("c.tgb"));
    longLabel.insert(longLabel.find("\n3\t\t") + 1, std::string(5000, 'L'));
    EXPECT_EQ(Open_GBCD_File(Write(dir.File("l.tgb"), longLabel).c_str(), &read, 0, angle, csl), 0);
}

TEST(GBCD, ClassLabelsMatchTheMisorientationTable) {
    std::string names[51];
    InitCubicCSLName(names);
    for (int i = 0; i < 50; ++i)
        EXPECT_EQ(names[i], kCSLClassLabels[i]) << i;
    EXPECT_STREQ(kCSLClassLabels[50], "Random");
}

namespace {

// What OpenGBMap hands over, adopted into grids (map W x H, grains G x 3,
// boundary pairs B x 2).
struct GrainMap {
    int32_t W = 0, H = 0, third = 0, G = 0, B = 0;
    double d[4] = {};
    Grid2<int16_t> map, grains, pairs;
    std::unique_ptr<int32_t[]> values;
    std::vector<std::string> labels;
    int Open(const std::string& path) {
        int16_t **mapTree = nullptr, **grainTree = nullptr, **pairTree = nullptr;
        int32_t* valueArray = nullptr;
        const int result = OpenGBMap(path.c_str(), &W, &H, &third, &d[0], &d[1], &d[2], &d[3],
                                     &mapTree, &G, &grainTree, &B, &valueArray, &labels, &pairTree);
        // Whatever the reader handed over is adopted, also after a failure,
        // so that an array it failed to release shows as a non-empty grid.
        if (mapTree)
            map = orimath::AdoptTree(mapTree, {.alpha = W, .beta = H});
        if (grainTree)
            grains = orimath::AdoptTree(grainTree, {.alpha = G, .beta = 3});
        if (pairTree)
            pairs = orimath::AdoptTree(pairTree, {.alpha = B, .beta = 2});
        values.reset(valueArray);
        return result;
    }
};

} // namespace

TEST(GrainMapFile, RoundTripMagicAndTruncation) {
    TempDir dir;
    const int W = 7, H = 5, G = 3, B = 2;
    Grid2<int16_t> map(Extent2{.alpha = W, .beta = H});
    for (int x = 0; x < W; ++x)
        for (int y = 0; y < H; ++y)
            map[x][y] = static_cast<int16_t>((x + y) % G);
    Grid2<int16_t> grains(Extent2{.alpha = G, .beta = 3});
    for (int g = 0; g < G; ++g)
        for (int a = 0; a < 3; ++a)
            grains[g][a] = static_cast<int16_t>(g * 10 + a);
    Grid2<int16_t> pairs(Extent2{.alpha = B, .beta = 2});
    pairs[0][0] = 0, pairs[0][1] = 1, pairs[1][0] = 1, pairs[1][1] = 2;
    const int32_t values[B] = {0, 42};
    std::vector<std::string> labels = {"S51b", "Ran."};
    std::string path = dir.File("m.gbm");
    ASSERT_EQ(SaveGBMap(path.c_str(), W, H, 9, 1.5, 2.5, 3.5, 40, map.Tree(), G, grains.Tree(), B,
                        values, labels, pairs.Tree()),
              1);
    const std::string bytes = dftest::Read(path);
    ASSERT_EQ(bytes.size(), 16u + 12 + 32 + W * H * 2 + 4 + G * 6 + 4 + B * 4 + B * 8 + B * 4);
    EXPECT_EQ(std::memcmp(bytes.data(), "GbMap Version 1\0", 16), 0);
    {
        GrainMap m;
        ASSERT_EQ(m.Open(path), 1);
        EXPECT_EQ(m.W, W);
        EXPECT_EQ(m.H, H);
        EXPECT_EQ(m.third, 9);
        EXPECT_EQ(m.d[3], 40);
        EXPECT_EQ(m.map[6][4], (6 + 4) % G);
        EXPECT_EQ(m.grains[2][1], 21);
        EXPECT_EQ(m.values[1], 42);
        EXPECT_EQ(m.labels, labels);
        EXPECT_EQ(m.pairs[1][1], 2);
    }
    // Any byte of the magic changed: rejected.
    for (int i = 0; i < 16; ++i) {
        std::string changed = bytes;
        changed[i] ^= 0x20;
        GrainMap m;
        EXPECT_EQ(m.Open(Write(dir.File("x.gbm"), changed)), 0) << i;
    }
    // Truncated anywhere after the magic: "Error in writing" and nothing kept.
    dftest::MessageRecorder messages;
    for (std::size_t cut : {20ul, 60ul, 100ul, bytes.size() - 1}) {
        GrainMap m;
        EXPECT_EQ(m.Open(Write(dir.File("t.gbm"), bytes.substr(0, cut))), 0) << cut;
        EXPECT_TRUE(m.map.empty());
    }
    EXPECT_EQ(messages.messages.size(), 4u);
    // Counts far beyond the file are rejected before allocating.
    std::string huge = bytes;
    const int32_t big = 0x7fffffff;
    std::memcpy(huge.data() + 16, &big, 4);
    GrainMap m;
    EXPECT_EQ(m.Open(Write(dir.File("h.gbm"), huge)), 0);
}
