// quelta-cli info, convert and import-cor on the samples, on files written
// by the test and on real instrument files.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <string>

#include "cli_runner.h"
#include "dataformats/dataformats.h"
#include "orimath/grid.h"
#include "test_files.h"

namespace {

using calctest::RunCli;
using calctest::Sample;

TEST(CliFilesTest, InfoNamesTheLayoutOfEverySample) {
    struct Case {
        const char* file;
        const char* layout;
    };
    const Case cases[] = {
        {"rolling_111.HPF", "layout: 1, HPF"},
        {"rolling_200.TPF", "layout: 0, TPF"},
        {"rolling_220.pol", "layout: 2, PolCon"},
        {"rolling75_111.HPF", "layout: 1, HPF"},
        {"rolling2p5_111.HPF", "layout: 1, HPF"},
        {"rolling_model.HODF", "layout: 2, HODF text, first generation"},
    };
    for (const Case& c : cases) {
        calctest::CliRun run = RunCli({"info", Sample(c.file)});
        EXPECT_EQ(run.exitCode, 0) << c.file << "\n" << run.out << run.err;
        EXPECT_NE(run.out.find(c.layout), std::string::npos) << c.file << "\n" << run.out;
    }
    calctest::CliRun run = RunCli({"info", Sample("rolling2p5_111.HPF")});
    EXPECT_NE(run.out.find("grid: 37 x 145"), std::string::npos) << run.out;
    run = RunCli({"info", Sample("rolling75_111.HPF")});
    EXPECT_NE(run.out.find("3 empty ring(s)"), std::string::npos) << run.out; // alpha 80, 85, 90
}

TEST(CliFilesTest, ConvertRoundTripsPoleFiguresAndOdfs) {
    calctest::ScratchDir dir("cli-convert");
    ASSERT_EQ(RunCli({"convert", Sample("rolling_220.pol"), dir.Path("a.TPF")}).exitCode, 0);
    ASSERT_EQ(RunCli({"convert", dir.Path("a.TPF"), dir.Path("b.HPF")}).exitCode, 0);
    EXPECT_EQ(Get_PF_File_Type(dir.Path("a.TPF")), 0);
    EXPECT_EQ(Get_PF_File_Type(dir.Path("b.HPF")), 1);
    PFFileInfo info;
    int nA = 0, nB = 0, mA = 0, mB = 0;
    double** originalTree = Open_PF_File(Sample("rolling_220.HPF").c_str(), &info, 1, &nA, &nB);
    const orimath::Grid2<double> original =
        orimath::AdoptTree(originalTree, {.alpha = nA, .beta = nB});
    double** convertedTree = Open_PF_File(dir.Path("b.HPF").c_str(), &info, 1, &mA, &mB);
    const orimath::Grid2<double> converted =
        orimath::AdoptTree(convertedTree, {.alpha = mA, .beta = mB});
    ASSERT_TRUE(originalTree && convertedTree);
    ASSERT_EQ(nA, mA);
    for (int i = 0; i < nA; ++i)
        for (int j = 0; j < nB; ++j)
            EXPECT_NEAR(converted[i][j], original[i][j], 1e-3) << i << " " << j;

    for (const char* out : {"m.TODF", "m.TTO", "m2.HODF"}) {
        calctest::CliRun run =
            RunCli({"convert", Sample("rolling_model.HODF"), dir.Path(out), "--generation", "2"});
        EXPECT_EQ(run.exitCode, 0) << out << "\n" << run.err;
    }
    EXPECT_EQ(GetODFFileType(dir.Path("m.TODF")), 0);
    EXPECT_EQ(GetODFFileType(dir.Path("m2.HODF")), 4);
    // The TODF holds the same ODF: recalculated pole figures agree.
    for (const char* odf : {"m.TODF", "m.TTO"}) {
        calctest::CliRun run =
            RunCli({"pf", dir.Path(odf), "--hkl", "1", "1", "1", "-o",
                    dir.Path(std::string(odf) + ".HPF"), "--compare", Sample("rolling_111.HPF")});
        EXPECT_EQ(run.exitCode, 0) << odf << "\n" << run.err;
    }
}

// ODFs exported as text lists by other tools: info names the layout, and
// the real export converts to HODF and recalculates to a finite, positive
// pole figure.
TEST(CliFilesTest, OdfTextListsReadInInfoConvertAndPf) {
    calctest::ScratchDir dir("cli-odflist");
    std::string text = "% crystal symmetry: \"m-3m\"\n% phi1 Phi phi2 value\n";
    for (int k2 = 0; k2 <= 90; k2 += 5)
        for (int k = 0; k <= 90; k += 5)
            for (int k1 = 0; k1 <= 90; k1 += 5)
                text += std::to_string(k1) + " " + std::to_string(k) + " " + std::to_string(k2) +
                        " 1.0\n";
    calctest::WriteText(dir.Path("list.txt"), text);
    calctest::CliRun run = RunCli({"info", dir.Path("list.txt")});
    EXPECT_EQ(run.exitCode, 0) << run.out << run.err;
    EXPECT_NE(run.out.find("layout: ODF text list"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("grid: 19 x 19 x 19"), std::string::npos) << run.out;

    const std::filesystem::path real =
        std::filesystem::path(QUELTA_REALWORLD_DIR) / "odf" / "mtex-odf.txt";
    if (!std::filesystem::exists(real))
        GTEST_SKIP() << "no real-world ODF list at " << real;
    run = RunCli({"info", real.string()});
    EXPECT_NE(run.out.find("layout: ODF text list"), std::string::npos) << run.out;
    run = RunCli({"convert", real.string(), dir.Path("m.HODF")});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(GetODFFileType(dir.Path("m.HODF")), 2);
    for (const std::string& odf : {real.string(), dir.Path("m.HODF")}) {
        run = RunCli({"pf", odf, "--hkl", "1", "1", "1", "-o", dir.Path("p111.HPF")});
        ASSERT_EQ(run.exitCode, 0) << odf << "\n" << run.err;
        calctest::PoleFigureFile pf(dir.Path("p111.HPF"));
        ASSERT_TRUE(pf.read);
        for (double v : pf.grid.values()) {
            ASSERT_TRUE(std::isfinite(v)) << odf;
            ASSERT_GT(v, 0) << odf;
        }
    }
}

// A file that does not read says why: info, convert and render name the line
// where reading stopped, or that no layout matched; all exit non-zero and
// leave no output behind.
TEST(CliFilesTest, UnreadableFilesReportWhereAndWhy) {
    calctest::ScratchDir dir("cli-unreadable");
    auto row = [](int n, const char* v) {
        std::string s;
        for (int i = 0; i < n; ++i)
            s += std::string(v) + " ";
        return s + "\n";
    };
    // A 30 degree pole figure (4 rings of 13) cut inside its third ring.
    calctest::WriteText(dir.Path("cut.HPF"),
                        "This pole figure file is created by HQuelta software\n"
                        "Cubic, (1 1 1), 30.00, 4 x 13, (1 1 1 90 90 90), Test\n" +
                            row(13, "1") + row(13, "2") + "3 3 3 3 3");
    // A first-generation HODF of 3 x 2 x 2 values cut in its second section.
    calctest::WriteText(dir.Path("cut.HODF"),
                        "Text Format of ODF File (Arbitrary Resolution) 1HXNP23ZH (by Corvan)\n"
                        "3\t2\t2\n0\n1\t1\t1\t90\t90\t90\n0\n1\n30\n0\n0\n1\n5\t3\n"
                        "0.0001\t0.1\n0\n1 2 3\n4 5 6\n30\n1 2 3\n");
    calctest::WriteText(dir.Path("notes.txt"), "shopping list\nmilk\n");
    const std::string pfCut = "line 5: ring 3 of 4: expected 13 numbers, found 5";
    const std::string odfCut = "line 17: section 2: expected 6 numbers, found 3";
    const std::string foreign =
        "no known pole figure, ODF, inverse pole figure or GBCD layout matched";
    const bool haveRender = RunCli({"--help"}).out.find("  render") != std::string::npos;
    struct Case {
        std::vector<std::string> args;
        std::string reason; // on stderr
        std::string output; // must not exist afterwards ("" = none)
    };
    const Case cases[] = {
        {{"info", dir.Path("cut.HPF")}, pfCut, ""},
        {{"info", dir.Path("cut.HODF")}, odfCut, ""},
        {{"info", dir.Path("notes.txt")}, foreign, ""},
        {{"convert", dir.Path("cut.HPF"), dir.Path("a.HPF")}, pfCut, "a.HPF"},
        {{"convert", dir.Path("cut.HODF"), dir.Path("a.TTO")}, odfCut, "a.TTO"},
        {{"convert", dir.Path("notes.txt"), dir.Path("b.HPF")}, foreign, "b.HPF"},
        {{"render", dir.Path("cut.HPF"), "-o", dir.Path("a.png")}, pfCut, "a.png"},
        {{"render", dir.Path("cut.HODF"), "-o", dir.Path("b.png")}, odfCut, "b.png"},
        {{"render", dir.Path("notes.txt"), "-o", dir.Path("c.png")}, foreign, "c.png"},
    };
    for (const Case& c : cases) {
        if (c.args[0] == "render" && !haveRender)
            continue;
        const std::string name = c.args[0] + " " + c.args[1];
        calctest::CliRun run = RunCli(c.args);
        EXPECT_FALSE(run.crashed) << name;
        EXPECT_EQ(run.exitCode, 1) << name << "\n" << run.err;
        EXPECT_NE(run.err.find(c.reason), std::string::npos) << name << ": stderr was\n" << run.err;
        if (!c.output.empty())
            EXPECT_FALSE(calctest::Exists(dir.Path(c.output))) << name;
    }
    // info also names the reason in the file's own block.
    calctest::CliRun run = RunCli({"info", dir.Path("cut.HPF")});
    EXPECT_NE(run.out.find("layout: 1, HPF"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("data could not be read: " + pfCut), std::string::npos) << run.out;
}

TEST(CliFilesTest, ImportCorWritesOnePoleFigurePerReflection) {
    calctest::ScratchDir dir("cli-cor");
    std::string text;
    for (const char* hkl : {"111", "1-10"}) {
        text += std::string("    Intensity values for ") + hkl + "\n";
        for (int chi = 0; chi <= 80; chi += 5) {
            char line[64];
            std::snprintf(line, sizeof line, "    PHI-circle at CHI=%4d\n\n", chi);
            text += line;
            for (int n = 0; n < 72; ++n)
                text += std::to_string(100 + chi) + (n % 12 == 11 ? "\n" : " ");
        }
    }
    calctest::WriteText(dir.Path("scan.cor"), text);
    calctest::CliRun run = RunCli({"import-cor", dir.Path("scan.cor")});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_NE(run.out.find("Pole figures imported: 2"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("Pole figure (1 -1 0): " + dir.Path("scan1-10.HPF")), std::string::npos)
        << run.out;
    EXPECT_EQ(Get_PF_File_Type(dir.Path("scan1-10.HPF")), 1);

    calctest::WriteText(dir.Path("empty.cor"), "no reflections here\n");
    run = RunCli({"import-cor", dir.Path("empty.cor")});
    EXPECT_NE(run.exitCode, 0);
    EXPECT_NE(run.err.find("No complete pole figure"), std::string::npos) << run.err;
}

// Real instrument files: info and convert never crash; each file is either
// described or reported as unreadable.
TEST(CliFilesTest, RealInstrumentFilesNeverCrash) {
    const std::filesystem::path root(QUELTA_REALWORLD_DIR);
    if (!std::filesystem::is_directory(root))
        GTEST_SKIP() << "no real-world data at " << root;
    calctest::ScratchDir dir("cli-real");
    int files = 0;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(root)) {
        if (!entry.is_regular_file() || entry.path().extension() == ".md")
            continue;
        ++files;
        const std::string path = entry.path().string();
        calctest::CliRun run = RunCli({"info", path});
        EXPECT_FALSE(run.crashed) << path << "\n" << run.err;
        EXPECT_TRUE(run.exitCode == 0 || run.exitCode == 1) << path << " exit " << run.exitCode;
        run = RunCli({"convert", path, dir.Path("out.HPF")});
        EXPECT_FALSE(run.crashed) << path << "\n" << run.err;
    }
    EXPECT_GT(files, 0);
    // The measured pole figures the suite reads are recognised.
    for (const char* name : {"polefigures/bruker.UXD", "polefigures/Rigaku_xrd_111.asc",
                             "polefigures/popla_108.epf"}) {
        calctest::CliRun run = RunCli({"info", (root / name).string()});
        EXPECT_EQ(run.exitCode, 0) << name << "\n" << run.out << run.err;
        EXPECT_NE(run.out.find("kind: pole figure"), std::string::npos) << name << "\n" << run.out;
    }
    // And an ODF can be calculated from each of them.
    struct OdfCase {
        const char* file;
        const char* crystal;
        const char* res;
        const char* hkl[3];
    };
    const OdfCase odfCases[] = {
        {"polefigures/Rigaku_xrd_111.asc", "cubic", "2.5", {"1", "1", "1"}},
        {"polefigures/popla_108.epf", "cubic", "5", {"1", "0", "0"}},
        {"polefigures/bruker.UXD", "cubic", "5", {"1", "1", "1"}},
        {"polefigures/ZnCuTi_Wal_50_5x5_PF_002_R.UXD", "hexagonal", "5", {"0", "0", "2"}},
    };
    for (const OdfCase& c : odfCases) {
        const std::string out = dir.Path("real.HODF");
        calctest::CliRun run =
            RunCli({"odf", "-n", "-c", c.crystal, "-r", c.res, "--pf", (root / c.file).string(),
                    c.hkl[0], c.hkl[1], c.hkl[2], "-o", out});
        EXPECT_FALSE(run.crashed) << c.file << "\n" << run.err;
        EXPECT_EQ(run.exitCode, 0) << c.file << "\n" << run.err;
        EXPECT_GE(GetODFFileType(out), 0) << c.file;
    }
}

} // namespace
