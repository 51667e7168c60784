// quelta-cli: the suite's calculations without a display, for scripts and
// batch runs. See `quelta-cli --help` and `quelta-cli <command> --help`.
#include <CLI/CLI.hpp>
#include <cstdio>
#include <exception>

#include "cli_common.h"
#include "commands.h"
#ifdef QUELTA_HAVE_RENDER
#include "render_command.h"
#endif

int main(int argc, char** argv) {
    CLI::App app{
        "quelta-cli: texture analysis from the command line. Computes ODFs from pole "
        "figures, recalculates "
        "pole figures and inverse pole figures, imports and converts texture files, and "
        "makes model data.\n"
        "Progress goes to stderr (one updating line on a terminal, plain lines "
        "otherwise); results and paths "
        "to stdout. Exit code 0 on success, 1 when a calculation or file fails, 2 for a bad "
        "command line, 130 (143) when Ctrl-C (SIGTERM) cancelled the calculation.",
        "quelta-cli"};
    app.require_subcommand(1);
    quelta_cli::AddOdfCommand(app);
    quelta_cli::AddPfCommand(app);
    quelta_cli::AddIpfCommand(app);
    quelta_cli::AddImportCorCommand(app);
    quelta_cli::AddInfoCommand(app);
    quelta_cli::AddConvertCommand(app);
    quelta_cli::AddModelCommand(app);
#ifdef QUELTA_HAVE_RENDER
    AddRenderCommand(app);
#endif
    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        // Help (code 0) and the subcommands' own endings (Fail) keep their
        // codes; every other parse error is a bad command line.
        const int code = app.exit(e);
        if (code == 0 || e.get_name() == "RuntimeError")
            return code;
        return quelta_cli::kExitUsage;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return quelta_cli::kExitFailure;
    }
    return 0;
}
