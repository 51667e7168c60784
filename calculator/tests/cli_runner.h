#pragma once
// Runs the quelta-cli executable and captures its exit code and output.
#include <string>
#include <vector>

namespace calctest {

struct CliRun {
    int exitCode = -1;    // the program's exit code
    bool crashed = false; // ended by a signal
    std::string out, err;
};

CliRun RunCli(const std::vector<std::string>& args);

} // namespace calctest
