// quelta-cli pf and ipf: pole figure and inverse pole figure recalculation
// from an ODF file.
#include <CLI/CLI.hpp>
#include <cstdio>
#include <memory>
#include <optional>

#include "calcjobs/recalc_jobs.h"
#include "calcjobs/rp_error.h"
#include "calcjobs/validation.h"
#include "cli_common.h"
#include "commands.h"
#include "dataformats/polefigure.h"
#include "orimath/grid.h"
#include "orimath/ranges.h"
#include "progress_line.h"

namespace quelta_cli {
namespace {

struct PfOptions {
    std::string odf;
    std::vector<double> hkl{1, 0, 0};
    std::string output;
    std::string compare;
    int threads = 0;
};

struct IpfOptions {
    std::string odf;
    double alpha = 0, beta = 0;
    std::string axis;
    std::string output;
    int threads = 0;
};

// The pole figure of a file in any readable layout; nothing when it can not
// be read.
std::optional<orimath::Grid2<double>> ReadPoleFigure(const std::string& path) {
    int type = Get_PF_File_Type(path);
    PFFileInfo info;
    if (type < 0)
        return std::nullopt;
    int nA = 0, nB = 0;
    double** tree = Open_PF_File(path.c_str(), &info, type, &nA, &nB);
    if (!tree)
        return std::nullopt;
    return orimath::AdoptTree(tree, {.alpha = nA, .beta = nB});
}

void PrintRpError(const std::string& measuredPath, const std::string& recalculatedPath) {
    std::optional<orimath::Grid2<double>> measured = ReadPoleFigure(measuredPath);
    if (!measured)
        Fail("Can not read pole figure file " + measuredPath);
    std::optional<orimath::Grid2<double>> recalculated = ReadPoleFigure(recalculatedPath);
    if (!recalculated)
        Fail("Can not read pole figure file " + recalculatedPath);
    if (measured->extent() != recalculated->extent())
        Fail("File resolution incorrect");
    double rp = calcjobs::RecalculationRpError(measured->Tree(), recalculated->Tree(),
                                               measured->alphaCount(), measured->betaCount());
    if (rp < 0)
        Fail("The pole figure " + measuredPath + " holds no measured values");
    std::printf("RP error against %s: %.2f %%\n", measuredPath.c_str(), rp);
}

// The context of a recalculation job: progress on stderr, the result path
// on stdout, cancelled by Ctrl-C.
calcjobs::JobContext JobContextFor(ProgressLine& progress, const InterruptScope& interrupt,
                                   int threads) {
    calcjobs::JobContext context;
    context.progress = progress.Function();
    context.launchViewer = PrintResultPath();
    context.cancel = interrupt.Token();
    context.threads = threads;
    return context;
}

void RunPf(const PfOptions& opt) {
    if (std::string message =
            calcjobs::ValidatePFSetup(opt.hkl[0], opt.hkl[1], opt.hkl[2], opt.output);
        !message.empty())
        Fail(message, kExitUsage);
    calcjobs::PFJobParams params;
    std::string detail;
    if (std::string message = calcjobs::LoadODFInfo(opt.odf, &params.odfInfo, &detail);
        !message.empty())
        FailWithDetail(message, detail);
    if (!OutputFolderWritable(opt.output))
        Fail("Can not save file: " + opt.output);
    params.odfFile = opt.odf;
    params.pfFile = opt.output;
    params.h = opt.hkl[0];
    params.k = opt.hkl[1];
    params.l = opt.hkl[2];
    InterruptScope interrupt;
    bool shown = false;
    calcjobs::JobResult result;
    {
        ProgressLine progress(stderr, ProgressLine::StderrIsTerminal());
        result = calcjobs::PFJob(params, JobContextFor(progress, interrupt, opt.threads));
        progress.Finish();
        shown = progress.LastPlainLine() == result.message;
    }
    if (result.status == calcjobs::JobStatus::kCancelled)
        interrupt.FailIfInterrupted();
    // A plain log already holds the engine's message as its last line.
    if (!result.ok())
        FailWithDetail(result.message, result.detail, kExitFailure, shown);
    if (!opt.compare.empty())
        PrintRpError(opt.compare, opt.output);
    std::fflush(stdout);
}

void RunIpf(const IpfOptions& options) {
    IpfOptions opt = options;
    if (!opt.axis.empty()) {
        std::string axis = opt.axis;
        for (char& c : axis)
            c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        if (axis == "ND") {
            opt.alpha = 0, opt.beta = 0;
        } else if (axis == "RD") {
            opt.alpha = 90, opt.beta = 0;
        } else if (axis == "TD") {
            opt.alpha = 90, opt.beta = 90;
        } else {
            Fail("Unknown sample axis " + opt.axis + " (use RD, TD or ND)", kExitUsage);
        }
    }
    // As in the dialog, a three-letter extension "hip" becomes "HIPF"; other
    // names are used as given.
    std::string output = opt.output;
    if (UpperExtension(output) == "HIP")
        output = output.substr(0, output.size() - 3) + "HIPF";
    if (std::string message = calcjobs::ValidateIPFSetup(output); !message.empty())
        Fail(message, kExitUsage);
    calcjobs::IPFJobParams params;
    std::string detail;
    if (std::string message = calcjobs::LoadODFInfo(opt.odf, &params.odfInfo, &detail);
        !message.empty())
        FailWithDetail(message, detail);
    if (!OutputFolderWritable(output))
        Fail("Can not save file: " + output);
    params.odfFile = opt.odf;
    params.ipfFile = output;
    params.alpha = opt.alpha;
    params.beta = opt.beta;
    InterruptScope interrupt;
    bool shown = false;
    calcjobs::JobResult result;
    {
        ProgressLine progress(stderr, ProgressLine::StderrIsTerminal());
        result = calcjobs::IPFJob(params, JobContextFor(progress, interrupt, opt.threads));
        progress.Finish();
        shown = progress.LastPlainLine() == result.message;
    }
    if (result.status == calcjobs::JobStatus::kCancelled)
        interrupt.FailIfInterrupted();
    // A plain log already holds the engine's message as its last line.
    if (!result.ok())
        FailWithDetail(result.message, result.detail, kExitFailure, shown);
    std::fflush(stdout);
}

} // namespace

void AddPfCommand(CLI::App& app) {
    auto opt = std::make_shared<PfOptions>();
    CLI::App* cmd = app.add_subcommand(
        "pf", "Recalculate the pole figure {hkl} from an ODF file (any readable ODF layout) and "
              "write it as a "
              "high-resolution pole figure file (.HPF) at the ODF's resolution.");
    cmd->add_option("odf", opt->odf, "ODF file")->required();
    cmd->add_option("--hkl", opt->hkl, "Miller indices h k l of the pole figure")
        ->expected(3)
        ->default_str("1 0 0");
    cmd->add_option("-o,--output", opt->output, "pole figure file to write (.HPF)")->required();
    cmd->add_option(
        "--compare", opt->compare,
        "a measured pole figure of the same {hkl}: print the RP error of the recalculated one "
        "against it (mean relative deviation over cells above 0.9 of the normalised measured "
        "figure)");
    AddThreadsOption(cmd, &opt->threads);
    cmd->callback([opt] { RunPf(*opt); });
}

void AddIpfCommand(CLI::App& app) {
    auto opt = std::make_shared<IpfOptions>();
    CLI::App* cmd = app.add_subcommand("ipf", "Calculate the inverse pole figure of a sample "
                                              "direction from an ODF file and write it as a .HIPF "
                                              "file. The direction is given by its tilt alpha from "
                                              "ND and azimuth beta from RD towards TD, or by "
                                              "--axis.");
    cmd->add_option("odf", opt->odf, "ODF file")->required();
    auto* alpha =
        cmd->add_option("--alpha", opt->alpha, "tilt of the sample direction from ND (degrees)")
            ->default_val(0.0);
    auto* beta =
        cmd->add_option("--beta", opt->beta, "azimuth of the sample direction from RD (degrees)")
            ->default_val(0.0);
    cmd->add_option("--axis", opt->axis, "sample axis RD, TD or ND instead of --alpha/--beta")
        ->excludes(alpha)
        ->excludes(beta);
    cmd->add_option("-o,--output", opt->output,
                    "inverse pole figure file to write (.HIPF; a .hip extension becomes .HIPF)")
        ->required();
    AddThreadsOption(cmd, &opt->threads);
    cmd->callback([opt] { RunIpf(*opt); });
}

} // namespace quelta_cli
