// quelta-cli: the suite's calculations without a display, for scripts and
// batch runs. See `quelta-cli --help` and `quelta-cli <command> --help`.
#include <CLI/CLI.hpp>

#include "commands.h"
#ifdef QUELTA_HAVE_RENDER
#include "render_command.h"
#endif

int main(int argc, char** argv) {
    CLI::App app{"quelta-cli: texture analysis from the command line. Computes ODFs from pole "
                 "figures, recalculates "
                 "pole figures and inverse pole figures, imports and converts texture files, and "
                 "makes model data.\n"
                 "Progress goes to stderr (one updating line on a terminal, plain lines "
                 "otherwise); results and paths "
                 "to stdout. Exit code 0 on success, non-zero with a message on stderr on failure.",
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
    CLI11_PARSE(app, argc, argv);
    return 0;
}
