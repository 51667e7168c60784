// quelta-cli on bad input: every refusal has its message on stderr, a
// non-zero exit code, no crash, and no output file (not even a partial one).
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "cli_runner.h"
#include "test_files.h"

namespace {

using calctest::RunCli;
using calctest::Sample;

struct ErrorCase {
    const char* name;
    std::vector<std::string> args; // "{dir}" stands for the scratch folder, "{s}" for the samples
    const char* message;           // expected on stderr, exactly as the line starts
    const char* output;            // file that must not exist afterwards ("" = none)
};

std::string Expand(std::string text, const calctest::ScratchDir& dir) {
    for (auto [key, value] : {std::pair<std::string, std::string>{"{dir}", dir.Root().string()},
                              std::pair<std::string, std::string>{"{s}", QUELTA_SAMPLES_DIR}}) {
        for (size_t at; (at = text.find(key)) != std::string::npos;)
            text.replace(at, key.size(), value);
    }
    return text;
}

bool HasLineStartingWith(const std::string& text, const std::string& start) {
    size_t pos = 0;
    while (pos <= text.size()) {
        if (text.compare(pos, start.size(), start) == 0)
            return true;
        size_t next = text.find('\n', pos);
        if (next == std::string::npos)
            break;
        pos = next + 1;
    }
    return false;
}

TEST(CliErrorsTest, MessagesExitCodesAndNoOutput) {
    calctest::ScratchDir dir("cli-errors");
    calctest::WriteText(dir.Path("garbage.HPF"), "this is not\na pole figure\n");
    // Files whose layout is known but whose values stop early.
    calctest::WriteText(dir.Path("cut.HPF"),
                        "This pole figure file is created by HQuelta software\n"
                        "Cubic, (1 1 1), 30.00, 4 x 13, (1 1 1 90 90 90), Test\n"
                        "1 1 1 1 1 1 1 1 1 1 1 1 1\n");
    calctest::WriteText(dir.Path("cut.HODF"),
                        "Text Format of ODF File (Arbitrary Resolution) 1HXNP23ZH (by Corvan)\n"
                        "3\t2\t2\n0\n1\t1\t1\t90\t90\t90\n0\n1\n30\n0\n0\n1\n5\t3\n0.0001\t0.1\n"
                        "0\n1 2 3\n4 5 6\n30\n1 2 3\n");
    std::filesystem::create_directories(dir.Path("dir.HODF"));
    ASSERT_EQ(RunCli({"model", "-r", "10", "-d", dir.Path("model"), "--odf", dir.Path("m10.HODF")})
                  .exitCode,
              0);
    const std::string pf111 = "{s}/rolling_111.HPF";
    const std::string odf = "{s}/rolling_model.HODF";
    const std::vector<ErrorCase> cases = {
        // The dialogs' checks, in their order.
        {"empty pole figure name",
         {"odf", "--pf", "", "1", "1", "1", "-o", "{dir}/a.HODF"},
         "Input the file names of all pole figurrs",
         "{dir}/a.HODF"},
        {"zero indices",
         {"odf", "--pf", pf111, "0", "0", "0", "-o", "{dir}/a.HODF"},
         "Invalid Miller indices",
         "{dir}/a.HODF"},
        {"empty ODF name",
         {"odf", "--pf", pf111, "1", "1", "1", "-o", ""},
         "Must give an ODF file name",
         ""},
        {"resolution 0",
         {"odf", "--pf", pf111, "1", "1", "1", "-r", "0", "-o", "{dir}/a.HODF"},
         "Invalid resolution",
         "{dir}/a.HODF"},
        {"negative resolution",
         {"odf", "--pf", pf111, "1", "1", "1", "-r", "-5", "-o", "{dir}/a.HODF"},
         "Invalid resolution",
         "{dir}/a.HODF"},
        {"resolution too fine",
         {"odf", "--pf", pf111, "1", "1", "1", "-r", "0.01", "-o", "{dir}/a.HODF"},
         "Invalid resolution",
         "{dir}/a.HODF"},
        {"zero pole figure indices",
         {"pf", odf, "--hkl", "0", "0", "0", "-o", "{dir}/p.HPF"},
         "Invalid h, k, l values",
         "{dir}/p.HPF"},
        {"empty PF name",
         {"pf", odf, "--hkl", "1", "1", "1", "-o", ""},
         "Must give an PF file name",
         ""},
        {"empty IPF name",
         {"ipf", odf, "-o", ""},
         "Must give an inverse pole figure file name",
         ""},
        // Missing and unreadable input.
        {"missing pole figure",
         {"odf", "--pf", "{dir}/none.HPF", "1", "1", "1", "-o", "{dir}/a.HODF"},
         "Can not read pole figure file",
         "{dir}/a.HODF"},
        {"not a pole figure",
         {"odf", "--pf", "{dir}/garbage.HPF", "1", "1", "1", "-o", "{dir}/a.HODF"},
         "Can not read pole figure file",
         "{dir}/a.HODF"},
        // The reader's reason follows the message.
        {"damaged pole figure",
         {"odf", "--pf", "{dir}/cut.HPF", "1", "1", "1", "-r", "30", "-o", "{dir}/a.HODF"},
         "Can not read pole figure file: {dir}/cut.HPF: line 3: ring 2 of 4: expected 13 "
         "numbers, found 0 (the file ends here)",
         "{dir}/a.HODF"},
        {"damaged ODF for a pole figure",
         {"pf", "{dir}/cut.HODF", "-o", "{dir}/p.HPF"},
         "Can not open ODF file: {dir}/cut.HODF: line 17: section 2: expected 6 numbers, found 3 "
         "(the file ends here)",
         "{dir}/p.HPF"},
        {"damaged ODF for an inverse pole figure",
         {"ipf", "{dir}/cut.HODF", "-o", "{dir}/n.HIPF"},
         "Can not open ODF file: {dir}/cut.HODF: line 17: section 2: expected 6 numbers, found 3 "
         "(the file ends here)",
         "{dir}/n.HIPF"},
        {"ODF given as pole figure",
         {"odf", "--pf", odf, "1", "1", "1", "-o", "{dir}/a.HODF"},
         "Can not read pole figure file",
         "{dir}/a.HODF"},
        {"missing ODF",
         {"pf", "{dir}/none.HODF", "-o", "{dir}/p.HPF"},
         "Can not open {dir}/none.HODF",
         "{dir}/p.HPF"},
        {"pole figure given as ODF",
         {"ipf", pf111, "-o", "{dir}/n.HIPF"},
         "Can not open {s}/rolling_111.HPF",
         "{dir}/n.HIPF"},
        // A 5 degree pole figure (19 x 73) in a 2.5 degree run.
        {"resolution mismatch",
         {"odf", "--pf", pf111, "1", "1", "1", "-r", "2.5", "-o", "{dir}/a.HODF"},
         "File resolution incorrect",
         "{dir}/a.HODF"},
        // TODF and TTO are 5 degree layouts.
        {"TTO at 2.5 degrees",
         {"odf", "--pf", "{s}/rolling2p5_111.HPF", "1", "1", "1", "-r", "2.5", "-o", "{dir}/a.TTO"},
         "TTO files hold 5 degree ODFs only",
         "{dir}/a.TTO"},
        {"unknown output layout",
         {"odf", "--pf", pf111, "1", "1", "1", "-o", "{dir}/a.txt"},
         "The ODF file name must end in .HODF, .TODF or .TTO",
         "{dir}/a.txt"},
        {"unknown crystal",
         {"odf", "-c", "quasicrystal", "--pf", pf111, "1", "1", "1", "-o", "{dir}/a.HODF"},
         "Unknown crystal system",
         "{dir}/a.HODF"},
        // Outputs that cannot be written fail before the calculation.
        {"output folder missing",
         {"odf", "--pf", pf111, "1", "1", "1", "-o", "{dir}/no/such/a.HODF"},
         "Can not save odf file",
         "{dir}/no/such/a.HODF"},
        {"output is a folder",
         {"odf", "--pf", pf111, "1", "1", "1", "-o", "{dir}/dir.HODF"},
         "Can not save odf file",
         ""},
        {"pf output folder missing",
         {"pf", odf, "-o", "{dir}/no/p.HPF"},
         "Can not save file",
         "{dir}/no/p.HPF"},
        {"convert to TPF at 2.5 degrees",
         {"convert", "{s}/rolling2p5_111.HPF", "{dir}/c.TPF"},
         "TPF files hold 5 degree pole figures only",
         "{dir}/c.TPF"},
        {"convert unknown file",
         {"convert", "{dir}/garbage.HPF", "{dir}/c.HPF"},
         "Not a pole figure or ODF file",
         "{dir}/c.HPF"},
        {"convert ODF to TODF at 2.5 degrees",
         {"convert", "{dir}/m10.HODF", "{dir}/c.TODF"},
         "TODF files hold 5 degree ODFs only",
         "{dir}/c.TODF"},
    };
    for (const ErrorCase& c : cases) {
        std::vector<std::string> args;
        for (const std::string& a : c.args)
            args.push_back(Expand(a, dir));
        calctest::CliRun run = RunCli(args);
        EXPECT_FALSE(run.crashed) << c.name << "\n" << run.err;
        EXPECT_NE(run.exitCode, 0) << c.name;
        EXPECT_TRUE(HasLineStartingWith(run.err, Expand(c.message, dir)))
            << c.name << ": stderr was\n"
            << run.err;
        if (*c.output) {
            EXPECT_FALSE(calctest::Exists(Expand(c.output, dir))) << c.name;
        }
    }
    EXPECT_EQ(calctest::TemporaryFileCount(dir.Root()), 0) << "temporary files left behind";
}

// The classic engine computes and recalculates 5 degree ODFs only; asking
// for it at another resolution is a bad command line, refused before any
// work.
TEST(CliErrorsTest, ClassicEngineAtAnotherResolutionIsAUsageError) {
    calctest::ScratchDir dir("cli-engine");
    ASSERT_EQ(RunCli({"model", "-r", "10", "-d", dir.Path("model"), "--odf", dir.Path("m10.HODF")})
                  .exitCode,
              0);
    const std::vector<std::vector<std::string>> cases = {
        {"odf", "--engine", "classic", "-r", "2.5", "--pf", Sample("rolling2p5_111.HPF"), "1", "1",
         "1", "-o", dir.Path("a.HODF")},
        {"pf", "--engine", "classic", dir.Path("m10.HODF"), "-o", dir.Path("a.HPF")},
        {"ipf", "--engine", "classic", dir.Path("m10.HODF"), "-o", dir.Path("a.HIPF")},
        {"odf", "--engine", "fast", "--pf", Sample("rolling_111.HPF"), "1", "1", "1", "-o",
         dir.Path("a.HODF")},
    };
    for (const auto& args : cases) {
        calctest::CliRun run = RunCli(args);
        EXPECT_EQ(run.exitCode, 2) << args[0] << " " << args[2] << "\n" << run.err;
        EXPECT_NE(run.err.find("--engine"), std::string::npos) << run.err;
    }
    for (const char* name : {"a.HODF", "a.HPF", "a.HIPF"})
        EXPECT_FALSE(calctest::Exists(dir.Path(name))) << name;
}

TEST(CliErrorsTest, FailedRunKeepsThePreviousOutput) {
    calctest::ScratchDir dir("cli-keep");
    calctest::WriteText(dir.Path("a.HODF"), "previous result\n");
    calctest::CliRun run =
        RunCli({"odf", "--pf", dir.Path("none.HPF"), "1", "1", "1", "-o", dir.Path("a.HODF")});
    EXPECT_NE(run.exitCode, 0);
    EXPECT_EQ(calctest::ReadText(dir.Path("a.HODF")), "previous result\n");
}

TEST(CliErrorsTest, HelpListsEverySubcommand) {
    calctest::CliRun run = RunCli({"--help"});
    EXPECT_EQ(run.exitCode, 0);
    for (const char* name : {"odf", "pf", "ipf", "import-cor", "info", "convert", "model"})
        EXPECT_NE(run.out.find(std::string("  ") + name), std::string::npos) << name;
    run = RunCli({"odf", "--help"});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_NE(run.out.find("--pf FILE H K L"), std::string::npos) << run.out;
    run = RunCli({});
    EXPECT_NE(run.exitCode, 0);
}

} // namespace
