#pragma once
// The subcommands of quelta-cli; each Add function registers one subcommand
// with its options, help text and the code that runs it.
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

}  // namespace quelta_cli
