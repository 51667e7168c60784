// The file-layout registry: its table, the reasons it gives for damaged
// files (what failed and where), figure counts and indices, writers that
// read back as their own layout, and the dialog filters built from it.
#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "dataformats/file_layouts.h"
#include "test_support.h"

using dftest::TempDir;
using dftest::Write;
using namespace dataformats;

namespace {

std::string Repeat(int count, const std::string& value, const char* sep = " ") {
    std::string s;
    for (int i = 0; i < count; ++i)
        s += value + sep;
    return s;
}

TEST(LayoutTable, KeysAndCodesAreUniqueAndCoverEveryExportedCode) {
    std::set<std::string> keys;
    std::set<std::pair<int, int>> codes;
    for (const FileLayout& l : FileLayouts()) {
        EXPECT_TRUE(keys.insert(l.key).second) << l.key;
        if (l.code >= 0)
            EXPECT_TRUE(codes.insert({static_cast<int>(l.family), l.code}).second) << l.key;
        EXPECT_EQ(FindLayout(l.key), &l);
        for (const auto& e : l.ownExtensions)
            EXPECT_EQ(e, [&] {
                std::string u = e;
                for (char& c : u)
                    c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
                return u;
            }()) << l.key;
    }
    // The codes of Get_PF_File_Type, GetODFFileType, Get_IPF_File_Type and
    // Get_GBCD_File_Type.
    const std::pair<FileFamily, int> families[] = {{FileFamily::PoleFigure, 9},
                                                   {FileFamily::ODF, 5},
                                                   {FileFamily::InversePoleFigure, 2},
                                                   {FileFamily::GBCD, 1}};
    for (auto [family, count] : families)
        for (int code = 0; code < count; ++code) {
            const FileLayout* l = FindLayout(family, code);
            ASSERT_NE(l, nullptr) << FamilyName(family) << " " << code;
            EXPECT_EQ(l->code, code);
        }
    EXPECT_EQ(FindLayout(FileFamily::PoleFigure, 9), nullptr);
    EXPECT_EQ(FindLayout(FileFamily::ODF, -1)->key, std::string("tto"));
}

// A damaged file of a layout: the registry detects the layout and its read
// fails with the place and reason given.
struct Damaged {
    const char* name;
    const char* file;
    std::string text;
    const char* key;
    const char* error; // FileError::Text()
    // False for layouts whose detection already reads the whole file (a
    // damaged one is not taken for them): the file is read as the layout,
    // as the exported readers do when given the layout code.
    bool detected = true;
};

void PrintTo(const Damaged& d, std::ostream* os) {
    *os << d.name;
}

const std::string kHpfHeader = "This pole figure file is created by HQuelta software\n"
                               "Cubic, (1 1 1), 30.00, 4 x 13, (1 1 1 90 90 90), Test\n";
const std::string kHodf1Header =
    "Text Format of ODF File (Arbitrary Resolution) 1HXNP23ZH (by Corvan)\n"
    "3\t2\t2\n0\n1\t1\t1\t90\t90\t90\n0\n1\n30\n0\n0\n1\n5\t3\n0.0001\t0.1\n";
const std::string kHodf2Header =
    "Text Format of ODF File (Arbitrary Resolution) 2HXNP23ZH (by Corvan),3 2 2,0,"
    "1 1 1 90 90 90,0,1,30,0,0,1,5 3,0.0001 0.1\n";
const std::string kTtoHeader = "Text ODF Format 1HXNP23ZH (by Corvan)\n"
                               "2\t1\t2\n0\n1\t1\t1\t90\t90\t90\n0\n1\n1\n5\t3\n0.0\t0.0\n";
const std::string kIpfHeader = "This inverse pole figure file is created by Quelta software\n"
                               "Cubic, Resolution = 30.00, 4 x 13\n(0, 0)\n[1 0 0]\n[0 1 0]\n"
                               "[0 0 1]\n";
const std::string kGbcdHeader = "This GBCD file is created by Quelta software\n"
                                "Cubic, (1 1 1 90 90 90)\nNumber of grain pairs = 10\n"
                                "CSL grain boundary distribution is not calculated\n"
                                "Angle\t\tPercentage\n";

const std::string kKeywordHeader = "*TYPE\t=  Raw\n*LATT_CONS\t=  0, Cubic, Unknown\n"
                                   "*STEP\t\t=  5\n*PF_BANGLE\t=  0\n*INDEX\t\t=  2, 0, 0\n";
const std::string kIntervalHeader =
    "texture data of interval 1\nsecond line\n0 - 10 step 5\n0 - 360 step 5\nline 5\n";
const std::string kODFInputHeader = " O.D.F. CALCULATION  sample\nheader\n"
                                    " THE INPUT DATA OF FIRST POLE FIGURE BACK REFLECTION(14I5)\n";
const std::string kFgtHeader = "l1\nl2\nl3\nl4\n5 5 5\n90 90 90\npf 1\npf 2\n";

// `count` lines of `perLine` copies of value.
std::string Lines(int count, int perLine, const std::string& value) {
    return Repeat(count, Repeat(perLine, value) + "\n", "");
}

// Four-line rings: `lines` lines of a blank and 18 four-character fields.
std::string RingLines(int lines) {
    return "title line\n(111)  5.0 90.0  5.0360.0\n" +
           Repeat(lines, " " + Repeat(18, "  10", "") + "\n", "");
}

std::string UxdRings(int rings, int lastRingValues) {
    std::string s = "_FILEVERSION=1\n";
    for (int r = 0; r < rings; ++r)
        s += "; ring\n_KHI=" + std::to_string(r * 5) + "\n_COUNTS\n" +
             Repeat(r + 1 < rings ? 72 : lastRingValues, "7") + "\n";
    return s;
}

std::string AngleRows(int count) {
    std::string s;
    for (int i = 0; i < count; ++i)
        s += std::to_string(i) + "\t\t0.5\n";
    return s;
}

class DamagedFile : public testing::TestWithParam<Damaged> {};

TEST_P(DamagedFile, ReadSaysWhatFailedAndWhere) {
    const Damaged& c = GetParam();
    TempDir dir;
    const std::string path = Write(dir.File(c.file), c.text);
    if (!c.detected) {
        auto data = FindLayout(c.key)->Read(path);
        ASSERT_FALSE(data);
        EXPECT_EQ(data.error().Text(), c.error);
        return;
    }
    auto layout = DetectLayout(path);
    ASSERT_TRUE(layout) << layout.error().Text();
    EXPECT_EQ((*layout)->key, std::string(c.key));
    auto data = (*layout)->Read(path);
    ASSERT_FALSE(data);
    EXPECT_EQ(data.error().Text(), c.error);
    // ReadAnyFile gives the same reason.
    auto any = ReadAnyFile(path);
    ASSERT_FALSE(any);
    EXPECT_EQ(any.error().Text(), c.error);
}

INSTANTIATE_TEST_SUITE_P(
    Registry, DamagedFile,
    testing::Values(
        Damaged{"hpf_cut_inside_a_ring", "cut.HPF",
                kHpfHeader + Repeat(13, "1") + "\n" + Repeat(13, "2") + "\n" + Repeat(5, "3"),
                "hpf", "line 5: ring 3 of 4: expected 13 numbers, found 5 (the file ends here)"},
        Damaged{"hpf_cut_after_a_ring", "cut.HPF",
                kHpfHeader + Repeat(13, "1") + "\n" + Repeat(13, "2") + "\n", "hpf",
                "line 4: ring 3 of 4: expected 13 numbers, found 0 (the file ends here)"},
        Damaged{"hpf_word_among_the_values", "word.HPF",
                kHpfHeader + Repeat(13, "1") + "\n" + Repeat(7, "2") + "x 2\n" + Repeat(26, "3"),
                "hpf", "line 4: ring 2 of 4: expected 13 numbers, found 7"},
        // Not a complete grid, so only its extension names the layout.
        Damaged{"tpf_cut_short", "cut.TPF",
                "This pole figure file is created by Quelta software\nCubic, (1 1 1)\n" +
                    Repeat(3, Repeat(13, "1") + "\n", "") + "4\n",
                "tpf", "line 6: ring 4 of 4: expected 13 numbers, found 1 (the file ends here)"},
        Damaged{"hpf_unusable_resolution", "res.HPF",
                "HQuelta\nCubic, (1 1 1), 0.01, 9001 x 36001\n1 2 3 4 5\n", "hpf",
                "line 2: resolution is not 0.1 to 90 degrees"},
        Damaged{"hodf1_cut_in_the_last_section", "cut.HODF",
                kHodf1Header + "0\n1 2 3\n4 5 6\n30\n1 2 3\n", "hodf1",
                "line 17: section 2: expected 6 numbers, found 3 (the file ends here)"},
        Damaged{"hodf2_section_heading_missing", "head.HODF",
                kHodf2Header + "FI2 = 0\n1 2 3\n4 5 6\n1 2 3\n4 5 6\n", "hodf2",
                "line 5: section 2: expected the section heading"},
        Damaged{"tto_cut_in_the_last_section", "cut.TTO", kTtoHeader + "0\n1.0\t2.0\n5\n3.0\n",
                "tto", "line 13: section 2: expected 2 numbers, found 1 (the file ends here)"},
        Damaged{"ipf_cut_inside_a_row", "cut.TIPF",
                kIpfHeader + Repeat(13, "1") + "\n" + Repeat(13, "2") + "\n" + Repeat(2, "3"),
                "tipf", "line 9: row 3: expected 13 numbers, found 2 (the file ends here)"},
        Damaged{"gbcd_angle_table_cut", "cut.TGB", kGbcdHeader + AngleRows(10), "gbcd",
                "line 15: expected 180 angle rows, found 10 (the file ends here)"},
        Damaged{"keyword_count_block_cut", "cut.txt",
                kKeywordHeader + "*PF_AANGLE\t=  90\n*COUNT\t\t=  73\n" + Repeat(41, "1", ", ") +
                    "\n",
                "keyword",
                "line 8: the *COUNT block of line 7: expected 73 numbers, found 41 (the file ends "
                "here)"},
        Damaged{
            "keyword_without_step", "nostep.txt",
            "*PF_BANGLE\t=  0\n*INDEX\t\t=  2, 0, 0\n*PF_AANGLE\t=  90\n*COUNT\t\t=  3\n1, 2, 3\n",
            "keyword", "line 5: no *STEP line with the grid step"},
        Damaged{"interval_background_short", "short.asc",
                kIntervalHeader + "1 2\n*** pole figure data ***\n" + Lines(3, 72, "5 "),
                "interval", "line 7: expected 3 background values (one per ring), found 2"},
        Damaged{"interval_tilt_range_unreadable", "range.asc",
                "texture data of interval 1\nsecond line\n0 to 10\n0 - 360 step 5\n", "interval",
                "line 3: expected the tilt range \"start - end step s\""},
        Damaged{"rings_no_full_ring", "three.txt", RingLines(3), "rings",
                "line 5: expected at least 4 data lines (one ring) after the two header lines, "
                "found 3"},
        Damaged{"odfinput_cut_in_the_last_ring", "cut.inp",
                kODFInputHeader + Lines(18, 72, "5 ") + Repeat(41, "5"), "odfinput",
                "line 22: ring 19 of 19: expected 72 numbers, found 41 (the file ends here)"},
        Damaged{"uxd_counts_cut_in_the_last_ring", "cut.UXD", UxdRings(19, 41), "uxd",
                "line 77: ring 19 of 19: expected 72 numbers, found 41 (the file ends here)"},
        Damaged{"uxd_one_counts_ring", "one.UXD", UxdRings(1, 72), "uxd",
                "line 1: one _COUNTS line (one ring) gives no tilt step"},
        Damaged{"fgt_cut_in_the_values", "cut.FGT", kFgtHeader + Lines(300, 20, "10 "), "fgt",
                "line 308: expected 6859 values, found 6000 (the file ends here)"},
        Damaged{"pairs_fewer_than_one_column", "few.txt", "0 1\n0 2\n5 3\n5 4\n", "pairs",
                "line 4: expected at least 73 pairs (one per azimuth), found 4", false},
        Damaged{"polcon_cut", "cut.POL", Lines(100, 3, "0 "), "polcon",
                "line 100: expected 1368 triplets, found 100", false},
        Damaged{"cubic_cut_in_a_block", "cut.odf", "h1\nh2\n" + Lines(30, 19, "1 "), "cubic",
                "line 32: block 2: expected 361 numbers, found 190", false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(DamagedBinary, TodfCutInsideTheValuesNamesTheByte) {
    TempDir dir;
    RawHODFInfo info{};
    info.nPF = 1;
    info.crystalType = 0;
    const std::string path = dir.File("cut.TODF");
    std::snprintf(info.path, sizeof info.path, "%s", path.c_str());
    std::vector<double> full(73 * 37 * 73, 1.0);
    ASSERT_EQ(SaveODFFile(&info, full.data()), 1);
    // The header and one row and a half of 73 values.
    std::string bytes = dftest::Read(path).substr(0, kTODFHeaderBytes + 110 * sizeof(double));
    Write(path, bytes);
    auto layout = DetectLayout(path);
    ASSERT_TRUE(layout);
    EXPECT_EQ((*layout)->key, std::string("todf"));
    auto data = (*layout)->Read(path);
    ASSERT_FALSE(data);
    EXPECT_EQ(data.error().Text(), "byte 2616: the file ends after 73 of 197173 values");
}

// A TODF of no pole figures (a model ODF) fails the binary content test of
// GetODFFileType, which stays as it is; the registry takes it by its
// extension, as the fixed-grid readers do, and reads it.
TEST(Detection, ExtensionTakesAReadableFileNoContentTestTakes) {
    TempDir dir;
    RawHODFInfo info{};
    const std::string path = dir.File("model.TODF");
    std::snprintf(info.path, sizeof info.path, "%s", path.c_str());
    std::vector<double> full(73 * 37 * 73, 2.0);
    ASSERT_EQ(SaveODFFile(&info, full.data()), 1);
    EXPECT_EQ(GetODFFileType(path), -1);
    auto layout = DetectLayout(path);
    ASSERT_TRUE(layout) << layout.error().Text();
    EXPECT_EQ((*layout)->key, std::string("todf"));
    auto data = (*layout)->Read(path);
    ASSERT_TRUE(data) << data.error().Text();
    EXPECT_EQ(data->grid3[0][0][0], 2.0);
}

TEST(Detection, ForeignAndMissingFilesSayWhy) {
    TempDir dir;
    auto foreign = DetectLayout(Write(dir.File("notes.txt"), "hello\nworld\n"));
    ASSERT_FALSE(foreign);
    EXPECT_EQ(foreign.error().Text(),
              "no known pole figure, ODF, inverse pole figure or GBCD layout matched");
    auto missing = DetectLayout(dir.File("none.HPF"));
    ASSERT_FALSE(missing);
    EXPECT_EQ(missing.error().Text(), "cannot open the file");
}

TEST(FigureCount, SingleFigureLayoutsHoldOneAndUxdRangesHoldEach) {
    TempDir dir;
    const std::string hpf =
        Write(dir.File("one.HPF"), kHpfHeader + Repeat(4, Repeat(13, "1") + "\n", ""));
    const FileLayout* own = FindLayout("hpf");
    EXPECT_EQ(*own->Count(hpf), 1);
    EXPECT_TRUE(own->Read(hpf, 0));
    auto second = own->Read(hpf, 1);
    ASSERT_FALSE(second);
    EXPECT_EQ(second.error().Text(), "figure 2 asked for; the file holds 1");

    // Two pole figures (2-theta 10 and 20), two rings each, 30 degree steps.
    std::string uxd;
    for (int twoTheta : {10, 20})
        for (int khi : {0, 30}) {
            uxd += "_2THETA=" + std::to_string(twoTheta) + "\n_KHI=" + std::to_string(khi) +
                   "\n_2THETACPS\n";
            for (int az = 0; az < 360; az += 30)
                uxd += std::to_string(az) + " " + std::to_string(twoTheta + khi) + "\n";
        }
    const std::string path = Write(dir.File("two.UXD"), uxd);
    const FileLayout* layout = FindLayout("uxd");
    ASSERT_EQ(*layout->Count(path), 2);
    for (int k = 0; k < 2; ++k) {
        auto data = layout->Read(path, k);
        ASSERT_TRUE(data) << data.error().Text();
        EXPECT_EQ(data->grid2.alphaCount(), 4);
        EXPECT_EQ(data->grid2[1][2], 10.0 * (k + 1) + 30);
    }
    auto third = layout->Read(path, 2);
    ASSERT_FALSE(third);
    EXPECT_EQ(third.error().Text(), "figure 3 asked for; the file holds 2");
}

// Data of a family on a small grid, with a description its writers take.
FileData SampleData(FileFamily family) {
    FileData d;
    d.description.family = family;
    auto value = [](int a, int b, int c) { return 1.0 + 0.25 * a + 0.125 * b + 0.0625 * c; };
    switch (family) {
    case FileFamily::PoleFigure:
    case FileFamily::InversePoleFigure: {
        d.description.pf =
            DescribePoleFigure("x", 0, std::array<double, 3>{1, 1, 1}.data(),
                               std::array<double, 6>{1, 1, 1, 90, 90, 90}.data(), 5.0, "sample");
        d.description.ipf.resolution = 5.0;
        d.grid2 = orimath::Grid2<double>({.alpha = 19, .beta = 73});
        for (int i = 0; i < 19; ++i)
            for (int j = 0; j < 73; ++j)
                d.grid2[i][j] = value(i, j % 72, 0);
        break;
    }
    case FileFamily::ODF: {
        RawHODFInfo& r = d.description.odf;
        r.crystalType = 0;
        const double lattice[6] = {1, 1, 1, 90, 90, 90};
        std::memcpy(r.lattice, lattice, sizeof lattice);
        r.nPF = 1;
        r.hkl[0][0] = r.hkl[0][1] = r.hkl[0][2] = 1;
        std::snprintf(r.pfNames[0], sizeof r.pfNames[0], "p111");
        r.resolution = 5.0;
        r.sampleSymmetry = 1;
        // The cubic region with sample symmetry at 5 degrees.
        d.grid3 = orimath::Grid3<double>({.phi1 = 19, .Phi = 19, .phi2 = 19});
        for (int k = 0; k < 19; ++k)
            for (int j = 0; j < 19; ++j)
                for (int i = 0; i < 19; ++i)
                    d.grid3[k][j][i] = value(i, j, k);
        break;
    }
    case FileFamily::GBCD:
        d.description.gbcd.crystalType = 0;
        d.description.gbcd.grainPairs = 12;
        d.angle.assign(kGBCDAngleCount, 0.0);
        d.csl.assign(kCSLClassCount, 0.0);
        for (int i = 0; i < kGBCDFileAngles; ++i)
            d.angle[i] = value(i, 0, 0);
        break;
    }
    return d;
}

// Every writer's file is detected as its own layout and reads back the
// values written (text layouts to their decimals: two in the
// second-generation HODF, four elsewhere).
TEST(Writers, EveryWritableLayoutReadsBackAsItself) {
    TempDir dir;
    int writers = 0;
    for (const FileLayout& l : FileLayouts()) {
        if (!l.CanWrite())
            continue;
        ++writers;
        SCOPED_TRACE(l.key);
        const FileData src = SampleData(l.family);
        const std::string path = dir.File(std::string("w.") + l.ownExtensions.front());
        // The extension names the writer (".HODF" the first generation).
        EXPECT_EQ(FindWriter(l.family, path),
                  std::string(l.key) == "hodf2" ? FindLayout("hodf1") : &l);
        auto written = l.Write(path, src);
        ASSERT_TRUE(written) << written.error().Text();
        auto detected = DetectLayout(path);
        ASSERT_TRUE(detected) << detected.error().Text();
        EXPECT_EQ((*detected)->key, std::string(l.key));
        auto back = l.Read(path);
        ASSERT_TRUE(back) << back.error().Text();
        const double tol = 6e-3;
        switch (l.family) {
        case FileFamily::PoleFigure:
        case FileFamily::InversePoleFigure:
            ASSERT_EQ(back->grid2.extent(), src.grid2.extent());
            for (std::size_t i = 0; i < src.grid2.size(); ++i)
                EXPECT_NEAR(back->grid2.values()[i], src.grid2.values()[i], tol) << i;
            break;
        case FileFamily::ODF: {
            // The binary layout holds the full space: compare on the region.
            const auto& g = back->grid3;
            ASSERT_GE(g.phi1Count(), 19);
            ASSERT_GE(g.PhiCount(), 19);
            ASSERT_GE(g.phi2Count(), 19);
            for (int k = 0; k < 19; ++k)
                for (int j = 0; j < 19; ++j)
                    for (int i = 0; i < 19; ++i)
                        EXPECT_NEAR(g[k][j][i], src.grid3[k][j][i], tol)
                            << k << " " << j << " " << i;
            EXPECT_EQ(back->description.odf.crystalType, 0);
            break;
        }
        case FileFamily::GBCD:
            for (int i = 0; i < kGBCDFileAngles; ++i)
                EXPECT_NEAR(back->angle[i], src.angle[i], tol) << i;
            EXPECT_EQ(back->description.gbcd.grainPairs, 12);
            break;
        }
    }
    EXPECT_GE(writers, 9);
    // A writer refuses data of another family.
    auto wrong = FindLayout("hpf")->Write(dir.File("odf.HPF"), SampleData(FileFamily::ODF));
    EXPECT_FALSE(wrong);
}

TEST(DialogFilters, OneFilterForTheFamilyThenOnePerLayout) {
    for (FileFamily family : {FileFamily::PoleFigure, FileFamily::ODF,
                              FileFamily::InversePoleFigure, FileFamily::GBCD}) {
        const std::vector<std::string> filters = FileDialogFilters(family);
        ASSERT_GE(filters.size(), 3u);
        EXPECT_EQ(filters.back(), "All files (*)");
        // Every extension of every layout of the family is in the first filter.
        for (const FileLayout& l : FileLayouts())
            if (l.family == family)
                for (const auto* list : {&l.ownExtensions, &l.otherExtensions})
                    for (const std::string& e : *list)
                        EXPECT_NE(filters.front().find("*." + e), std::string::npos)
                            << filters.front() << " lacks " << e;
    }
    EXPECT_EQ(FileDialogFilters(FileFamily::PoleFigure).front(),
              "Pole figure files (*.POL *.TPF *.HPF *.UXD *.TXT *.INP *.ASC *.MGT *.MGE)");
    EXPECT_EQ(FileDialogFilters(FileFamily::GBCD),
              (std::vector<std::string>{"GBCD files (*.TGB *.HGB)", "GBCD text (*.TGB *.HGB)",
                                        "All files (*)"}));
}

} // namespace
