#include "cli_runner.h"

#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <filesystem>

#include "test_files.h"

namespace calctest {
namespace {

std::string Quote(const std::string& arg) {
    std::string quoted = "'";
    for (char c : arg)
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

} // namespace

CliRun RunCli(const std::vector<std::string>& args) {
    static std::atomic<int> counter{0};
    const std::filesystem::path folder =
        std::filesystem::path(QUELTA_TEST_BINARY_DIR) / "cli-output";
    std::filesystem::create_directories(folder);
    std::string name = std::to_string(getpid());
    name += '-';
    name += std::to_string(counter++);
    const std::string stem = (folder / name).string();
    std::string command = Quote(QUELTA_CLI_PATH);
    for (const std::string& arg : args) {
        command += ' ';
        command += Quote(arg);
    }
    command += " >" + Quote(stem + ".out") + " 2>" + Quote(stem + ".err") + " </dev/null";
    int status = std::system(command.c_str());
    CliRun run;
    if (WIFEXITED(status)) {
        run.exitCode = WEXITSTATUS(status);
        // The shell reports a child killed by a signal as 128 + signal.
        run.crashed = run.exitCode > 128;
    } else {
        run.crashed = true;
    }
    run.out = ReadText(stem + ".out");
    run.err = ReadText(stem + ".err");
    // Sanitizer reports end the program with an ordinary exit code.
    if (run.err.find("ERROR: AddressSanitizer") != std::string::npos ||
        run.err.find("ERROR: LeakSanitizer") != std::string::npos ||
        run.err.find("runtime error:") != std::string::npos)
        run.crashed = true;
    std::filesystem::remove(stem + ".out");
    std::filesystem::remove(stem + ".err");
    return run;
}

} // namespace calctest
