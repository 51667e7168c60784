// quelta-cli odf: ODF from up to six pole figures.
#include <CLI/CLI.hpp>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>

#include "calcjobs/odf_job.h"
#include "calcjobs/validation.h"
#include "cli_common.h"
#include "commands.h"
#include "progress_line.h"

namespace quelta_cli {
namespace {

struct OdfOptions {
    std::string crystal = "cubic";
    std::vector<double> lattice{1, 1, 1, 90, 90, 90};
    std::vector<std::string> poleFigures; // FILE H K L, FILE H K L, ...
    double res = 5.0;
    bool normalise = false;
    bool sampleSym = false;
    bool fibre = false;
    int maxLoops = 15;
    std::string output;
    int threads = 0;
};

double ParseIndex(const std::string& text) {
    char* end = nullptr;
    double value = std::strtod(text.c_str(), &end);
    if (end == text.c_str() || *end != '\0' || !std::isfinite(value))
        Fail("Invalid Miller index \"" + text + "\"", kExitUsage);
    return value;
}

void RunOdf(const OdfOptions& opt) {
    const int type = ParseCrystalType(opt.crystal);
    if (type < 0)
        Fail("Unknown crystal system: " + opt.crystal, kExitUsage);

    if (opt.poleFigures.size() % 4 != 0)
        Fail("Each --pf takes a file name and three Miller indices: --pf FILE H K L", kExitUsage);
    std::vector<calcjobs::PoleFigureInput> inputs;
    for (size_t i = 0; i + 3 < opt.poleFigures.size(); i += 4) {
        calcjobs::PoleFigureInput pf;
        pf.file = opt.poleFigures[i];
        pf.h = ParseIndex(opt.poleFigures[i + 1]);
        pf.k = ParseIndex(opt.poleFigures[i + 2]);
        pf.l = ParseIndex(opt.poleFigures[i + 3]);
        inputs.push_back(pf);
    }
    if (std::string message = calcjobs::ValidateODFSetup(inputs, opt.output, opt.res);
        !message.empty())
        Fail(message, kExitUsage);

    // The job writes a first-generation HODF; TODF and TTO are made from it
    // by conversion and hold 5 degree ODFs only.
    const std::string ext = UpperExtension(opt.output);
    if (ext != "HODF" && ext != "TODF" && ext != "TTO")
        Fail("The ODF file name must end in .HODF, .TODF or .TTO", kExitUsage);
    const bool fiveDegrees = std::fabs(opt.res - 5.0) < 0.0001;
    if (ext != "HODF" && !fiveDegrees) {
        char text[200];
        std::snprintf(
            text, sizeof text,
            "%s files hold 5 degree ODFs only; write .HODF for a resolution of %g degrees",
            ext.c_str(), opt.res);
        Fail(text, kExitUsage);
    }
    if (opt.output.size() >= sizeof(RawHODFInfo::path) - 16)
        Fail("The ODF file name is too long", kExitUsage);
    if (!OutputFolderWritable(opt.output))
        Fail("Can not save odf file: " + opt.output);

    RawHODFInfo info{};
    info.nPF = static_cast<int32_t>(inputs.size());
    for (size_t i = 0; i < inputs.size(); ++i) {
        if (inputs[i].file.size() >= sizeof info.pfNames[i])
            Fail("Pole figure file name too long: " + inputs[i].file, kExitUsage);
        std::snprintf(info.pfNames[i], sizeof info.pfNames[i], "%s", inputs[i].file.c_str());
        info.hkl[i][0] = inputs[i].h;
        info.hkl[i][1] = inputs[i].k;
        info.hkl[i][2] = inputs[i].l;
    }
    info.crystalType = type;
    LatticeForCrystal(type, opt.lattice, info.lattice);
    info.normalized = opt.normalise;
    info.fibreAverage = opt.fibre;
    info.sampleSymmetry = opt.sampleSym;
    info.resolution = opt.res;
    calcjobs::ApplyODFCommandSettings(&info);
    info.maxLoops = opt.maxLoops;

    // TODF and TTO are converted from a hidden HODF, which goes whatever
    // happens (failure, Ctrl-C).
    const std::string jobOutput =
        ext == "HODF" ? opt.output : TemporaryPathBeside(opt.output) + ".HODF";
    struct Remove {
        std::string path;
        ~Remove() {
            std::error_code ignored;
            if (!path.empty())
                std::filesystem::remove(path, ignored);
        }
    } cleanup{ext == "HODF" ? std::string() : jobOutput};
    std::snprintf(info.path, sizeof info.path, "%s", jobOutput.c_str());

    InterruptScope interrupt;
    bool shown = false;
    calcjobs::JobResult result;
    {
        ProgressLine progress(stderr, ProgressLine::StderrIsTerminal());
        calcjobs::JobContext context;
        context.progress = progress.Function();
        context.cancel = interrupt.Token();
        context.threads = opt.threads;
        result = calcjobs::ODFJob(info, context);
        progress.Finish();
        shown = progress.LastPlainLine() == result.message;
    }
    if (result.status == calcjobs::JobStatus::kCancelled)
        interrupt.FailIfInterrupted();
    // A plain log already holds the engine's message as its last line.
    if (!result.ok())
        FailWithDetail(result.message, result.detail, kExitFailure, shown);
    if (ext != "HODF") {
        // The conversion of a 5 degree ODF takes milliseconds and replaces
        // the output atomically: a signal that comes during it is too late
        // to cancel the command.
        interrupt.FailIfInterrupted();
        ConvertODFFile(jobOutput, opt.output, 1);
    }
    std::printf("Loops: %d\nFinal deviation: %.4f\nODF: %s\n", result.loops, result.deviation,
                opt.output.c_str());
    std::fflush(stdout);
}

} // namespace

void AddOdfCommand(CLI::App& app) {
    auto opt = std::make_shared<OdfOptions>();
    CLI::App* cmd = app.add_subcommand("odf", "Calculate an ODF from up to six pole figures (any "
                                              "readable pole figure layout). A resolution of 5 "
                                              "degrees runs the classic 5 degree engine, any other "
                                              "the arbitrary-resolution engine; the pole "
                                              "figures must have the grid of that resolution. "
                                              "Prints the loops, the final mean deviation and the "
                                              "output path.");
    cmd->add_option("-c,--crystal", opt->crystal, CrystalHelp())->default_val("cubic");
    cmd->add_option(
           "--lattice", opt->lattice,
           "lattice a b c alpha beta gamma (degrees); the crystal system fixes the constrained "
           "values (cubic 1 1 1 90 90 90; hexagonal and tetragonal a = b = 1 with c taken as c/a; "
           "hexagonal gamma 120; trigonal a = b = c = 1 with alpha = gamma = beta)")
        ->expected(6)
        ->default_str("1 1 1 90 90 90");
    cmd->add_option(
           "--pf", opt->poleFigures,
           "pole figure file and its Miller indices; repeat for each pole figure (1 to 6), e.g. "
           "--pf 111.HPF 1 1 1 --pf 200.HPF 2 0 0")
        ->expected(4)
        ->type_name("FILE H K L")
        ->multi_option_policy(CLI::MultiOptionPolicy::TakeAll)
        ->required();
    cmd->add_option("-r,--res", opt->res,
                    "grid resolution in degrees (0.1 to 45; a fine grid is refused when the "
                    "calculation would not fit into the memory available)")
        ->default_val(5.0);
    cmd->add_flag("-n,--normalise,--normalize", opt->normalise,
                  "normalise the pole figures before the calculation (needed for raw counts)");
    cmd->add_flag("-s,--sample-sym", opt->sampleSym,
                  "assume orthorhombic sample symmetry (rolling)");
    cmd->add_flag("--fibre,--fiber", opt->fibre,
                  "assume a fibre texture about ND (implies --sample-sym)");
    cmd->add_option("--max-loops", opt->maxLoops, "iteration limit (the ODF command uses 15)")
        ->default_val(15)
        ->check(CLI::Range(1, 1000));
    cmd->add_option("-o,--output", opt->output,
                    "ODF file: .HODF (first generation text), .TODF or .TTO (both 5 degrees only)")
        ->required();
    AddThreadsOption(cmd, &opt->threads);
    cmd->callback([opt] { RunOdf(*opt); });
}

} // namespace quelta_cli
