#pragma once
// "--unmeasured none|zero-runs" of the commands that fit or compare measured
// pole figures.
#include <CLI/CLI.hpp>
#include <string>

namespace quelta_cli {

// Adds the option; *rule receives its text ("none" unless given).
void AddUnmeasuredOption(CLI::App* command, std::string* rule);

} // namespace quelta_cli
