// ODF files: exact binary layout, round trips of every writer, detection by
// extension and content, the full-grid reader and malformed headers.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>
#include <vector>

#include "dataformats/odf.h"
#include "orimath/ranges.h"
#include "test_support.h"

using dftest::OdfOf;
using dftest::ReadOdf;
using dftest::TempDir;
using dftest::Write;
using orimath::Extent3;
using orimath::Grid3;

namespace {

RawHODFInfo SampleInfo(int crystal, double res, int sampleSym) {
    RawHODFInfo info{};
    info.nPF = 2;
    info.normalized = 1;
    std::strcpy(info.pfNames[0], "steel 110.hpf");
    std::strcpy(info.pfNames[1], "steel 200.hpf");
    info.hkl[0][0] = info.hkl[0][1] = 1;
    info.hkl[1][0] = 2;
    info.maxLoops = 15;
    info.crystalType = crystal;
    const double lattice[6] = {2.87, 2.87, 2.87, 90, 90, 90};
    std::memcpy(info.lattice, lattice, sizeof lattice);
    info.stopMode = 2;
    info.tolerance = 0.01;
    info.deviation = 0.1234;
    info.iterations = 7;
    info.resolution = res;
    info.sampleSymmetry = sampleSym;
    return info;
}

double Value(int i, int j, int k) {
    return std::round((1 + 0.5 * std::sin(i * 0.3 + j * 0.2 + k * 0.1)) * 1e4) / 1e4;
}

std::unique_ptr<double[]> FullGrid(const std::function<double(int, int, int)>& f) {
    std::unique_ptr<double[]> full(new double[73 * 37 * 73]);
    for (int k = 0; k < 73; ++k)
        for (int j = 0; j < 37; ++j)
            for (int i = 0; i < 73; ++i)
                full[(k * 37 + j) * 73 + i] = f(i, j, k);
    return full;
}

std::string CubicText(double base) {
    std::string s = "cubic odf\nsecond header line\n";
    char buf[32];
    for (int b = 0; b < 19; ++b) {
        for (int r = 0; r < 19; ++r) {
            for (int c = 0; c < 19; ++c) {
                std::snprintf(buf, sizeof buf, "%.4f ", base + b + r * 0.01 + c * 0.0001);
                s += buf;
            }
            s += '\n';
        }
        s += "99 end of block\n";
    }
    return s;
}

std::string FgtText(int values) {
    std::string s = "l1\nl2\nl3\nl4\n5 5 5\n90 90 90\npf 1\npf 2\n";
    char buf[32];
    for (int v = 0; v < values; ++v) {
        std::snprintf(buf, sizeof buf, "%7d%c", v % 50 == 7 ? -3 : v, v % 10 == 9 ? '\n' : ' ');
        s += buf;
    }
    return s;
}

} // namespace

TEST(TODF, FileHasTheExactSizeAndHeaderBytes) {
    TempDir dir;
    RawHODFInfo info = SampleInfo(0, 5, 0);
    std::string path = dir.File("a.TODF");
    std::strcpy(info.path, path.c_str());
    auto full = FullGrid(Value);
    ASSERT_EQ(SaveODFFile(&info, full.get()), 1);
    std::string bytes = dftest::Read(path);
    ASSERT_EQ(bytes.size(), 1579416u);
    int32_t nPF, crystal, iterations;
    double lattice0, first;
    std::memcpy(&nPF, bytes.data() + 144, 4);
    std::memcpy(&crystal, bytes.data() + 1692, 4);
    std::memcpy(&lattice0, bytes.data() + 1696, 8);
    std::memcpy(&iterations, bytes.data() + 1768, 4);
    std::memcpy(&first, bytes.data() + 2032 + 8 * (73 * 37 + 2), 8);
    EXPECT_EQ(nPF, 2);
    EXPECT_EQ(crystal, 0);
    EXPECT_EQ(lattice0, 2.87);
    EXPECT_EQ(iterations, 7);
    EXPECT_EQ(std::string(bytes.data() + 152), "steel 110.hpf");
    EXPECT_EQ(std::string(bytes.data() + 1772), path);
    EXPECT_EQ(first, Value(2, 0, 1));

    EXPECT_EQ(GetODFFileType(path), 0);
    RawHODFInfo read{};
    Grid3<double> g;
    ASSERT_TRUE(ReadOdf(path, &read, 0, &g));
    // Cubic without sample symmetry: the region 360 x 90 x 90 at 5 degrees.
    EXPECT_EQ(g.phi1Count(), 73);
    EXPECT_EQ(g.PhiCount(), 19);
    EXPECT_EQ(g.phi2Count(), 19);
    EXPECT_EQ(g[18][18][72], Value(72, 18, 18));
    EXPECT_EQ(read.resolution, 5);
    EXPECT_EQ(read.deviation, 0.1234);

    // An SEDF file shares the layout and is found by content.
    std::string sedf = dir.File("b.SEDF");
    std::filesystem::copy_file(path, sedf);
    EXPECT_EQ(GetODFFileType(sedf), 0);
}

// Leaves non-zero bytes in the stack area the next call will use.
[[gnu::noinline]] void DirtyStack() {
    volatile unsigned char junk[8192];
    for (std::size_t i = 0; i < sizeof junk; ++i)
        junk[i] = 0xAB;
}

// The readers that take the file name from the record give it back without
// stack bytes behind its terminator: the TODF writer stores the whole field,
// so such bytes would reach the next file written from the record.
TEST(TODF, PathFieldHoldsNothingBehindTheName) {
    TempDir dir;
    RawHODFInfo info = SampleInfo(0, 5, 0);
    std::string todf = dir.File("a.TODF"), tto = dir.File("a.TTO");
    std::strcpy(info.path, todf.c_str());
    ASSERT_EQ(SaveODFFile(&info, FullGrid(Value).get()), 1);
    std::strcpy(info.path, tto.c_str());
    orimath::Grid3<double> five = OdfOf({.phi1 = 19, .Phi = 19, .phi2 = 19}, Value);
    ASSERT_EQ(SaveTTOFile(&info, five.Tree(), 19, 19, 19), 1);
    auto tailIsZero = [](const RawHODFInfo& r) {
        std::size_t n = strnlen(r.path, sizeof r.path);
        return std::all_of(r.path + n, r.path + sizeof r.path, [](char c) { return c == 0; });
    };
    RawHODFInfo read{};
    std::strcpy(read.path, todf.c_str());
    DirtyStack();
    ASSERT_EQ(GetTODFInfo(&read), 1);
    EXPECT_TRUE(tailIsZero(read));
    orimath::Grid3<double> grid({.phi1 = 73, .Phi = 37, .phi2 = 73});
    DirtyStack();
    ASSERT_EQ(OpenODFAsHODF(&read, grid.Tree()), 1);
    EXPECT_TRUE(tailIsZero(read));
    RawHODFInfo text{};
    std::strcpy(text.path, tto.c_str());
    int n1, n, n2;
    DirtyStack();
    double*** g = OpenTTOFile(&text, &n1, &n, &n2);
    ASSERT_NE(g, nullptr);
    orimath::AdoptTree(g, {.phi1 = n1, .Phi = n, .phi2 = n2});
    EXPECT_TRUE(tailIsZero(text));
}

TEST(TODF, HeaderTextsArriveTerminatedEvenWhenTheFileFillsThem) {
    TempDir dir;
    RawHODFInfo info = SampleInfo(0, 5, 0);
    std::memset(info.pfNames, 'N', sizeof info.pfNames);
    std::memset(info.path, 'P', sizeof info.path);
    std::string path = dir.File("full.todf");
    auto full = FullGrid(Value);
    std::string bytes(reinterpret_cast<const char*>(&info), kTODFHeaderBytes);
    bytes.append(reinterpret_cast<const char*>(full.get()), 73 * 37 * 73 * 8);
    Write(path, bytes);
    RawHODFInfo read{};
    std::strcpy(read.path, path.c_str());
    ASSERT_EQ(GetTODFInfo(&read), 1);
    EXPECT_EQ(std::string(read.path), path);
    EXPECT_EQ(std::strlen(read.pfNames[5]), 255u);
    // A short file fails.
    Write(path, bytes.substr(0, 100000));
    Grid3<double> g;
    EXPECT_FALSE(ReadOdf(path, &read, 0, &g));
}

TEST(TODF, SedfIsTheRatioWithOneWhereTheDenominatorIsNotPositive) {
    TempDir dir;
    RawHODFInfo info = SampleInfo(0, 5, 0);
    std::string den = dir.File("den.todf"), num = dir.File("num.todf"), out = dir.File("r.sedf");
    std::strcpy(info.path, den.c_str());
    auto d = FullGrid([](int i, int, int) { return i == 0 ? 0.0 : (i == 1 ? -1.0 : 2.0); });
    ASSERT_EQ(SaveODFFile(&info, d.get()), 1);
    std::strcpy(info.path, num.c_str());
    auto n = FullGrid([](int, int, int) { return 3.0; });
    ASSERT_EQ(SaveODFFile(&info, n.get()), 1);
    ASSERT_EQ(SaveSEDFFile(out.c_str(), den.c_str(), num.c_str()), 1);
    double full[73][37][73];
    RawHODFInfo read{};
    ASSERT_EQ(OpenALLODF(out.c_str(), &read, full), 1);
    EXPECT_EQ(full[0][0][0], 1.0);
    EXPECT_EQ(full[0][0][1], 1.0);
    EXPECT_EQ(full[0][0][2], 1.5);
    EXPECT_EQ(SaveSEDFFile(out.c_str(), dir.File("none").c_str(), num.c_str()), 0);
}

TEST(HODF, BothGenerationsRoundTrip) {
    TempDir dir;
    for (int generation : {1, 2}) {
        SCOPED_TRACE(generation);
        RawHODFInfo info = SampleInfo(1, 2.5, 1);
        int n1, n, n2;
        GetEulerRangeInODFSpace(&n1, &n, &n2, 1, 2.5, 1);
        Grid3<double> src = OdfOf(Extent3{.phi1 = n1, .Phi = n, .phi2 = n2}, Value);
        std::string path = dir.File(generation == 1 ? "x1.hodf" : "x2.hodf");
        auto save = generation == 1 ? Save_ODF_File : Save_ODF_File2;
        ASSERT_EQ(save(path.c_str(), src.Tree(), &info, n1, n, n2), 1);
        EXPECT_EQ(GetODFFileType(path), generation == 1 ? 2 : 4);
        RawHODFInfo read{};
        ASSERT_EQ(Get_ODF_File_Info(path.c_str(), &read, generation == 1 ? 2 : 4), 1);
        EXPECT_STREQ(read.pfNames[1], "steel 200.hpf"); // no line end kept
        EXPECT_EQ(read.nPF, 2);
        EXPECT_EQ(read.hkl[1][0], 2);
        EXPECT_EQ(read.crystalType, 1);
        EXPECT_EQ(read.resolution, 2.5);
        EXPECT_EQ(read.sampleSymmetry, 1);
        EXPECT_EQ(read.iterations, 7);
        EXPECT_EQ(read.maxLoops, 15);
        EXPECT_EQ(read.stopMode, 2);
        EXPECT_EQ(read.deviation, 0.1234);
        Grid3<double> g;
        ASSERT_TRUE(ReadOdf(path, &read, generation == 1 ? 2 : 4, &g));
        ASSERT_EQ(g.phi1Count(), n1);
        ASSERT_EQ(g.phi2Count(), n2);
        double tol = generation == 1 ? 5e-5 : 5e-3;
        EXPECT_NEAR(g[n2 - 1][n - 1][n1 - 1], src[n2 - 1][n - 1][n1 - 1], tol);
        EXPECT_NEAR(g[3][4][5], src[3][4][5], tol);
        // Re-saving what was read gives a file that parses again.
        std::string again = dir.File("again.hodf");
        ASSERT_EQ(save(again.c_str(), g.Tree(), &read, n1, n, n2), 1);
        EXPECT_EQ(GetODFFileType(again), generation == 1 ? 2 : 4);
        // Under another name only the first generation is found (by content).
        std::string other = dir.File(generation == 1 ? "x1.txt" : "x2.txt");
        std::filesystem::copy_file(path, other);
        EXPECT_EQ(GetODFFileType(other), generation == 1 ? 2 : -1);
    }
}

TEST(HODF, FirstGenerationReaderThroughSeparateFields) {
    TempDir dir;
    RawHODFInfo info = SampleInfo(0, 5, 1);
    Grid3<double> src = OdfOf(Extent3{.phi1 = 19, .Phi = 19, .phi2 = 19}, Value);
    std::string path = dir.File("f.hodf");
    ASSERT_EQ(Save_ODF_File(path.c_str(), src.Tree(), &info, 19, 19, 19), 1);
    double lattice[6], hkl[6][3], res, tol, dev;
    char names[6][256];
    int crystal, nPF, norm, sym, fibre, stop, loops, iter, n1, n, n2;
    double*** tree = OpenHODF(path.c_str(), lattice, &crystal, &nPF, hkl, names, &norm, &res, &sym,
                              &fibre, &stop, &tol, &loops, &dev, &iter, &n1, &n, &n2);
    ASSERT_NE(tree, nullptr);
    const Grid3<double> g = orimath::AdoptTree(tree, Extent3{.phi1 = n1, .Phi = n, .phi2 = n2});
    EXPECT_EQ(nPF, 2);
    EXPECT_STREQ(names[0], "steel 110.hpf");
    EXPECT_EQ(tol, 0.01);
    EXPECT_EQ(n1, 19);
    EXPECT_NEAR(g[5][6][7], Value(7, 6, 5), 5e-5);
}

TEST(HODF, MalformedHeadersFailBeforeFillingOrAllocating) {
    TempDir dir;
    RawHODFInfo info = SampleInfo(0, 5, 1);
    Grid3<double> src = OdfOf(Extent3{.phi1 = 19, .Phi = 19, .phi2 = 19}, Value);
    std::string good = dir.File("g.hodf");
    ASSERT_EQ(Save_ODF_File(good.c_str(), src.Tree(), &info, 19, 19, 19), 1);
    const std::string text = dftest::Read(good);
    auto replaceLine = [&text](int line, const std::string& with) {
        std::size_t start = 0;
        for (int i = 1; i < line; ++i)
            start = text.find('\n', start) + 1;
        return text.substr(0, start) + with + text.substr(text.find('\n', start));
    };
    struct Case {
        const char* name;
        std::string text;
    };
    const Case cases[] = {
        {"seven pole figures", replaceLine(5, "7")},
        {"negative pole figures", replaceLine(5, "-1")},
        {"huge counts", replaceLine(2, "100000\t100000\t100000")},
        {"zero count", replaceLine(2, "0\t19\t19")},
        {"counts beyond the data", replaceLine(2, "19\t19\t300")},
        {"crystal 9", replaceLine(3, "9")},
        {"truncated", text.substr(0, text.size() / 2)},
        {"letters in data",
         text.substr(0, text.size() / 2) + " abc " + text.substr(text.size() / 2)},
        {"header only", text.substr(0, text.find("0.0\n"))},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::string path = Write(dir.File("m.hodf"), c.text);
        RawHODFInfo read{};
        Grid3<double> g;
        EXPECT_FALSE(ReadOdf(path, &read, 2, &g));
        double full[73][37][73];
        EXPECT_EQ(Open_ODF_File_73x37x73(path.c_str(), &read, 2, full), 0);
    }
}

TEST(ODFTextLayouts, TtoCubicAndFgt) {
    TempDir dir;
    // TTO round trip (5 degrees; the cubic region with sample symmetry).
    RawHODFInfo info = SampleInfo(0, 5, 1);
    std::string tto = dir.File("t.TTO");
    std::strcpy(info.path, tto.c_str());
    Grid3<double> src = OdfOf(Extent3{.phi1 = 19, .Phi = 19, .phi2 = 19}, Value);
    ASSERT_EQ(SaveTTOFile(&info, src.Tree(), 19, 19, 19), 1);
    RawHODFInfo read{};
    std::strcpy(read.path, tto.c_str());
    int n1, n, n2;
    double*** tree = OpenTTOFile(&read, &n1, &n, &n2);
    ASSERT_NE(tree, nullptr);
    const Grid3<double> g = orimath::AdoptTree(tree, Extent3{.phi1 = n1, .Phi = n, .phi2 = n2});
    EXPECT_EQ(read.nPF, 2);
    EXPECT_STREQ(read.pfNames[1], "steel 200.hpf");
    EXPECT_NEAR(g[18][17][16], Value(16, 17, 18), 5e-5);
    double full[73][37][73];
    ASSERT_EQ(OpenALLODF(tto.c_str(), &read, full), 1);
    EXPECT_NEAR(full[2][3][4], Value(4, 3, 2), 5e-5);

    // Cubic 19 x 19 x 19 text under any name.
    std::string cubic = Write(dir.File("c.txt"), CubicText(1));
    EXPECT_EQ(GetODFFileType(cubic), 1);
    Grid3<double> c;
    ASSERT_TRUE(ReadOdf(cubic, &read, 1, &c));
    EXPECT_FLOAT_EQ(c[2][3][4], 1 + 2 + 0.03 + 0.0004);
    EXPECT_EQ(read.nPF, 6);
    EXPECT_EQ(read.iterations, 5);
    EXPECT_EQ(read.sampleSymmetry, 1);
    EXPECT_EQ(GetODFFileType(Write(dir.File("c2.txt"), CubicText(1).substr(0, 5000))), -1);
    // Numbers beyond the last block: a longer column of values, not this layout.
    EXPECT_EQ(GetODFFileType(Write(dir.File("c3.txt"), CubicText(1) + "0.5\n0.7\n")), -1);

    // FGT: phi1 outermost, phi2 innermost; negative values become 0.
    std::string fgt = Write(dir.File("f.FGT"), FgtText(19 * 19 * 19));
    EXPECT_EQ(GetODFFileType(fgt), 3);
    Grid3<double> f;
    ASSERT_TRUE(ReadOdf(fgt, &read, 3, &f));
    EXPECT_EQ(read.nPF, 2);
    EXPECT_EQ(read.stopMode, 2);
    EXPECT_EQ(read.iterations, 6);
    EXPECT_EQ(f.phi1Count(), 19);
    EXPECT_EQ(f[2][1][0], 19 + 2); // value index (i * 19 + j) * 19 + k
    EXPECT_EQ(f[0][0][1], 361);
    EXPECT_EQ(f[7][0][0], 0); // written as -3
    // A data block shorter than the grid fails.
    EXPECT_FALSE(ReadOdf(Write(dir.File("s.FGT"), FgtText(19 * 19 * 19 - 1)), &read, 3, &f));
    // Steps that differ by more than half a degree are rejected.
    std::string bad = FgtText(19 * 19 * 19);
    bad.replace(bad.find("5 5 5"), 5, "5 6 5");
    EXPECT_FALSE(ReadOdf(Write(dir.File("b.FGT"), bad), &read, 3, &f));
}

TEST(FullGrid, TwoDegreeFileTakesTheLargestValueOfTheWindow) {
    TempDir dir;
    const double res = 2.0;
    RawHODFInfo info = SampleInfo(0, res, 1);
    int n1, n, n2;
    GetEulerRangeInODFSpace(&n1, &n, &n2, 0, res, 1);
    Grid3<double> src = OdfOf(Extent3{.phi1 = n1, .Phi = n, .phi2 = n2}, [](int i, int j, int k) {
        return std::sin(i * 0.7) + std::cos(j * 1.3) + std::sin(k * 2.1);
    });
    std::string path = dir.File("two.hodf");
    ASSERT_EQ(Save_ODF_File(path.c_str(), src.Tree(), &info, n1, n, n2), 1);
    RawHODFInfo read{};
    Grid3<double> file;
    ASSERT_TRUE(ReadOdf(path, &read, 2, &file));
    static double full[73][37][73];
    ASSERT_EQ(Open_ODF_File_73x37x73(path.c_str(), &read, 2, full), 1);
    const int w = 1 - static_cast<int>(-2.5 / res);
    ASSERT_EQ(w, 2);
    for (int k = 0; k < 73; k += 7)
        for (int j = 0; j < 37; j += 5)
            for (int i = 0; i < 73; i += 3) {
                int a = i, b = j, c = k;
                ReduceODFSpace(&a, &b, &c, 0, 5.0, 1);
                int ci = static_cast<int>(a * 5 / res), cj = static_cast<int>(b * 5 / res),
                    ck = static_cast<int>(c * 5 / res);
                double expected = 0;
                for (int z = ck - w; z < ck + w; ++z)
                    for (int y = cj - w; y < cj + w; ++y)
                        for (int x = ci - w; x < ci + w; ++x)
                            if (x >= 0 && x < n1 && y >= 0 && y < n && z >= 0 && z < n2)
                                expected = std::max(expected, file[z][y][x]);
                ASSERT_EQ(full[k][j][i], expected) << i << " " << j << " " << k;
            }
}

TEST(FullGrid, FiveDegreeFileWithSmallerCountsThanItsRegionReadsZeros) {
    TempDir dir;
    RawHODFInfo info = SampleInfo(0, 5, 0); // the region would be 73 x 19 x 19
    Grid3<double> src =
        OdfOf(Extent3{.phi1 = 5, .Phi = 4, .phi2 = 3}, [](int, int, int) { return 2.0; });
    std::string path = dir.File("small.hodf");
    ASSERT_EQ(Save_ODF_File(path.c_str(), src.Tree(), &info, 5, 4, 3), 1);
    static double full[73][37][73];
    RawHODFInfo read{};
    ASSERT_EQ(Open_ODF_File_73x37x73(path.c_str(), &read, 2, full), 1);
    EXPECT_EQ(full[0][0][0], 2.0);
    EXPECT_EQ(full[10][10][40], 0.0);
}

TEST(SectionExport, WritesTheRangeAndRejectsIndicesOutsideTheSection) {
    TempDir dir;
    static double section[37][73];
    for (int p = 0; p < 37; ++p)
        for (int q = 0; q < 73; ++q)
            section[p][q] = p + q / 100.0;
    const int range[4] = {1, 2, 3, 4};
    std::string path = dir.File("s.txt");
    ASSERT_EQ(SaveTextODFFile(range, 6, path.c_str(), section), 1);
    EXPECT_EQ(dftest::Read(path), "This text ODF file is created by Quelta software\n"
                                  "Fi2 = 30, Fi1 = 5 to 10 and Fi = 15 to 20\n"
                                  "3.0100\t3.0200\t\n4.0100\t4.0200\t\n");
    const int bad[4] = {0, 73, 0, 36};
    EXPECT_EQ(SaveTextODFFile(bad, 0, path.c_str(), section), 0);
    dftest::MessageRecorder messages;
    EXPECT_EQ(SaveTextODFFile(range, 0, dir.File("no/such/dir.txt").c_str(), section), 0);
    EXPECT_EQ(messages.messages, std::vector<std::string>{"Cannot write file"});
}
