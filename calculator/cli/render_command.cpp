// `quelta-cli render INPUT -o OUTPUT`: a pole figure, ODF, inverse pole
// figure or GBCD file drawn as its display object (with the contour legend
// the viewer would add) into a PNG, BMP, JPEG, SVG or PDF picture. Runs
// without a display: when no Qt platform is chosen, the offscreen one is used.
#include "render_command.h"

#include <QGuiApplication>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "cli_common.h"
#include "dataformats/file_layouts.h"
#include "figurerender/figure_render.h"

namespace {

struct RenderArgs {
    std::string input;
    std::string output;
    int dpi = 300;
    bool noLegend = false;
    int sectionsPerRow = 0;
    bool blackWhite = false;
    std::vector<double> levels; // --levels a,b,c
    double top = 0;             // --max V
};

// Qt's start-up notes (no runtime folder on a headless machine) are not
// the command's business; real warnings and errors still go to stderr.
void QuietQtNotes(QtMsgType type, const QMessageLogContext&, const QString& text) {
    if (type == QtDebugMsg || type == QtInfoMsg)
        return;
    if (text.contains("XDG_RUNTIME_DIR"))
        return;
    std::fprintf(stderr, "%s\n", text.toLocal8Bit().constData());
}

void RunRender(const RenderArgs& args) {
    {
        figurerender::Options levels;
        levels.levels = args.levels;
        levels.top = args.top;
        if (std::string why = figurerender::CheckLevelOptions(levels); !why.empty())
            quelta_cli::Fail("render: " + why, quelta_cli::kExitUsage);
    }
    // The renderer detects the layout itself; this check only ends the
    // command before Qt starts when no layout matches.
    const auto layout = dataformats::DetectLayout(args.input);
    if (!layout)
        quelta_cli::Fail("render: " + args.input + ": " + layout.error().Text());

    std::unique_ptr<QGuiApplication> app;
    if (!QCoreApplication::instance()) {
        if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        qInstallMessageHandler(QuietQtNotes);
        static int argc = 1;
        static char name[] = "quelta-cli";
        static char* argv[] = {name, nullptr};
        app = std::make_unique<QGuiApplication>(argc, argv);
    }
    figurerender::Options options;
    options.dpi = args.dpi;
    options.legend = !args.noLegend;
    options.sectionsPerRow = args.sectionsPerRow;
    options.blackWhite = args.blackWhite;
    options.levels = args.levels;
    options.top = args.top;
    std::string error;
    if (!figurerender::RenderFigureFile(args.input, args.output, options, &error))
        quelta_cli::Fail("render: " + error);
    std::printf("picture: %s\n", args.output.c_str());
}

} // namespace

void AddRenderCommand(CLI::App& app) {
    auto args = std::make_shared<RenderArgs>();
    CLI::App* cmd = app.add_subcommand(
        "render",
        "Draw a pole figure, ODF (sections), inverse pole figure or GBCD file as a picture; the "
        "format follows the output's extension: .png .bmp .jpg/.jpeg .svg .pdf");
    cmd->add_option("INPUT", args->input, "data file to draw")
        ->required()
        ->check(CLI::ExistingFile);
    cmd->add_option("-o,--output", args->output, "picture to write (replaced only when complete)")
        ->required();
    cmd->add_option("--dpi", args->dpi, "resolution in dots per inch (default 300)")
        ->check(CLI::Range(10, 2400));
    cmd->add_flag("--no-legend", args->noLegend, "leave out the contour legend");
    cmd->add_option("--sections-per-row", args->sectionsPerRow, "ODF sections per row (default 3)")
        ->check(CLI::Range(1, 73));
    cmd->add_flag("--black-white", args->blackWhite, "draw every line and text in black");
    CLI::Option* top = cmd->add_option(
        "--max", args->top,
        "top of the automatic contour levels (above 1): the five levels run from 1 towards it; "
        "default: the maximum of a pole figure or inverse pole figure, the 99.5th volume "
        "percentile of an ODF");
    cmd->add_option("--levels", args->levels,
                    "contour levels by hand, comma-separated (1 to 10 distinct values, e.g. "
                    "--levels 1,2,4,8); the legend lists them")
        ->delimiter(',')
        ->type_name("A,B,...")
        ->excludes(top);
    cmd->callback([args] { RunRender(*args); });
}
