// quelta-cli interrupted and misused: Ctrl-C while an ODF is computed ends
// the program within a second with a non-zero code and nothing written, and
// every kind of bad command line ends with exit code 2.
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "cli_runner.h"
#include "dataformats/polefigure.h"
#include "orimath/arrays.h"
#include "orimath/ranges.h"
#include "test_files.h"

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

// A smooth pole figure at res written as a high-resolution file.
void WritePoleFigure(const std::string& path, double res, int shift) {
    int nA = 0, nB = 0;
    Get_AB_Range_In_Full_PF_Space(&nA, &nB, res);
    double** grid = AllocMem2D(nA, nB);
    for (int a = 0; a < nA; ++a)
        for (int b = 0; b < nB; ++b)
            grid[a][b] = 1.0 + 0.4 * std::cos(0.06 * (a + shift)) * std::sin(0.04 * (b + shift));
    PFFileInfo info;
    info.fileName = path;
    info.crystalType = 0;
    info.resolution = res;
    ASSERT_EQ(SaveHPFFile(path.c_str(), &info, nA, nB, grid), 1);
    FreeMem2D(grid, nA, nB);
}

// Starts quelta-cli with SIGINT and SIGTERM at their defaults, stderr into
// errFile; returns the process id.
pid_t Start(const std::vector<std::string>& args, const std::string& errFile) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, errFile.c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawnattr_t attr;
    posix_spawnattr_init(&attr);
    sigset_t defaults, none;
    sigemptyset(&defaults);
    sigaddset(&defaults, SIGINT);
    sigaddset(&defaults, SIGTERM);
    sigemptyset(&none);
    posix_spawnattr_setsigdefault(&attr, &defaults);
    posix_spawnattr_setsigmask(&attr, &none);
    posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK);
    std::vector<std::string> all = {QUELTA_CLI_PATH};
    all.insert(all.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& a : all)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    pid_t pid = -1;
    if (posix_spawn(&pid, QUELTA_CLI_PATH, &actions, &attr, argv.data(), environ) != 0)
        pid = -1;
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attr);
    return pid;
}

// Waits up to `limit` for the process; false when it is still running.
bool WaitFor(pid_t pid, std::chrono::duration<double> limit, int* status) {
    const auto end = Clock::now() + limit;
    while (Clock::now() < end) {
        if (waitpid(pid, status, WNOHANG) == pid)
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return false;
}

std::vector<std::string> FolderEntries(const std::filesystem::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    return names;
}

// A 1 degree ODF (361 x 91 x 91 cells) is interrupted by SIGINT, then by
// SIGTERM, once it computes: the output folder stays empty, hidden files
// included.
TEST(CliCancelTest, CtrlCEndsWithinASecondAndLeavesNothing) {
    calctest::ScratchDir inputs("cli-cancel-in");
    std::vector<std::string> pfArgs;
    const int hkl[3][3] = {{1, 1, 1}, {2, 0, 0}, {2, 2, 0}};
    for (int j = 0; j < 3; ++j) {
        const std::string path = inputs.Path("pf" + std::to_string(j) + ".HPF");
        WritePoleFigure(path, 1.0, 7 * j);
        pfArgs.insert(pfArgs.end(), {"--pf", path, std::to_string(hkl[j][0]),
                                     std::to_string(hkl[j][1]), std::to_string(hkl[j][2])});
    }
    for (const char* signalName : {"SIGINT", "SIGTERM"}) {
        const int signal = std::string(signalName) == "SIGINT" ? SIGINT : SIGTERM;
        calctest::ScratchDir out("cli-cancel-out");
        const std::string errFile = inputs.Path("err.txt");
        std::vector<std::string> args = {"odf", "-r", "1", "-o", out.Path("odf.HODF")};
        args.insert(args.begin() + 1, pfArgs.begin(), pfArgs.end());
        const pid_t pid = Start(args, errFile);
        ASSERT_GT(pid, 0);
        // Computing: the initial ODF or an iteration has started.
        bool computing = false;
        int status = 0;
        const auto giveUp = Clock::now() + std::chrono::seconds(60);
        while (!computing && Clock::now() < giveUp) {
            const std::string err = calctest::ReadText(errFile);
            computing = err.find("Initializing ODF") != std::string::npos;
            if (!computing)
                std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        ASSERT_TRUE(computing) << calctest::ReadText(errFile);
        const auto sent = Clock::now();
        kill(pid, signal);
        const bool ended = WaitFor(pid, std::chrono::seconds(1), &status);
        const double seconds = std::chrono::duration<double>(Clock::now() - sent).count();
        if (!ended) {
            kill(pid, SIGKILL);
            waitpid(pid, &status, 0);
        }
        EXPECT_TRUE(ended) << signalName << " took longer than a second";
        EXPECT_LT(seconds, 1.0) << signalName;
        ASSERT_TRUE(WIFEXITED(status)) << signalName << ": ended by a signal";
        EXPECT_EQ(WEXITSTATUS(status), 128 + signal) << signalName;
        EXPECT_EQ(FolderEntries(out.Root()), std::vector<std::string>{}) << signalName;
    }
}

// Every bad command line ends with 2, CLI11's own parse errors included;
// help ends with 0.
TEST(CliCancelTest, ArgumentErrorsExitWithTwo) {
    calctest::ScratchDir dir("cli-usage");
    const std::string pf = calctest::Sample("rolling_111.HPF");
    const std::string odf = calctest::Sample("rolling_model.HODF");
    const std::string out = dir.Path("o.HODF");
    struct Row {
        const char* name;
        std::vector<std::string> args;
        int code;
    };
    const std::vector<Row> rows = {
        {"no subcommand", {}, 2},
        {"unknown subcommand", {"fly"}, 2},
        {"unknown option", {"odf", "--pf", pf, "1", "1", "1", "-o", out, "--bogus"}, 2},
        {"missing required option", {"odf", "-o", out}, 2},
        {"resolution not a number", {"odf", "--pf", pf, "1", "1", "1", "-r", "abc", "-o", out}, 2},
        {"loops out of range",
         {"odf", "--pf", pf, "1", "1", "1", "--max-loops", "0", "-o", out},
         2},
        {"too few pole figure values", {"odf", "--pf", pf, "1", "1", "-o", out}, 2},
        {"threads zero", {"odf", "--pf", pf, "1", "1", "1", "-o", out, "--threads", "0"}, 2},
        {"threads not a count", {"pf", odf, "-o", dir.Path("p.HPF"), "--threads", "many"}, 2},
        {"extra positional", {"pf", odf, "extra", "-o", dir.Path("p.HPF")}, 2},
        {"ipf axis and alpha", {"ipf", odf, "--axis", "RD", "--alpha", "3", "-o", out}, 2},
        {"unknown model format", {"model", "-d", dir.Path("m"), "-f", "gif"}, 2},
        {"our own check", {"odf", "--pf", pf, "0", "0", "0", "-o", out}, 2},
        {"help", {"--help"}, 0},
        {"subcommand help", {"model", "--help"}, 0},
    };
    for (const Row& row : rows) {
        calctest::CliRun run = calctest::RunCli(row.args);
        EXPECT_FALSE(run.crashed) << row.name;
        EXPECT_EQ(run.exitCode, row.code) << row.name << "\n" << run.err;
    }
    EXPECT_FALSE(calctest::Exists(out));
}

// --threads and QUELTA_THREADS change nothing in the result.
TEST(CliCancelTest, ThreadCountDoesNotChangeTheResult) {
    calctest::ScratchDir dir("cli-threads");
    std::vector<std::string> base = {"odf"};
    for (const char* name : {"rolling2p5_111.HPF", "rolling2p5_200.HPF", "rolling2p5_220.HPF"}) {
        const std::string n = name;
        base.insert(base.end(), {"--pf", calctest::Sample(name), n.substr(11, 1), n.substr(12, 1),
                                 n.substr(13, 1)});
    }
    base.insert(base.end(), {"-r", "2.5", "-s", "--max-loops", "3"});
    std::vector<std::string> one = base, two = base;
    one.insert(one.end(), {"--threads", "1", "-o", dir.Path("one.HODF")});
    two.insert(two.end(), {"--threads", "2", "-o", dir.Path("two.HODF")});
    ASSERT_EQ(calctest::RunCli(one).exitCode, 0);
    ASSERT_EQ(calctest::RunCli(two).exitCode, 0);
    EXPECT_EQ(calctest::ReadText(dir.Path("one.HODF")), calctest::ReadText(dir.Path("two.HODF")));
}

} // namespace
