#pragma once
// The subcommands of quelta-cli; each Add function registers one subcommand
// with its options, help text and the code that runs it.
#include <string>

namespace CLI {
class App;
}

namespace quelta_cli {

void AddOdfCommand(CLI::App& app);
void AddPfCommand(CLI::App& app);
void AddIpfCommand(CLI::App& app);
void AddImportCorCommand(CLI::App& app);
void AddInfoCommand(CLI::App& app);
void AddConvertCommand(CLI::App& app);
void AddModelCommand(CLI::App& app);

// Writes the ODF of `input` (any readable layout) in the layout named by the
// extension of `output` (.HODF of the given generation, .TODF, .TTO); ends
// the command through Fail on any error.
void ConvertODFFile(const std::string& input, const std::string& output, int generation);

} // namespace quelta_cli
