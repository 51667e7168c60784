// quelta-cli pf and ipf: pole figure and inverse pole figure recalculation
// from an ODF file.
#include <CLI/CLI.hpp>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <memory>
#include <optional>

#include "calcjobs/measured_cells.h"
#include "calcjobs/recalc_jobs.h"
#include "calcjobs/rp_error.h"
#include "calcjobs/validation.h"
#include "cli_common.h"
#include "commands.h"
#include "dataformats/polefigure.h"
#include "json_writer.h"
#include "orimath/grid.h"
#include "orimath/ranges.h"
#include "progress_line.h"
#include "unmeasured_option.h"

namespace quelta_cli {
namespace {

struct PfOptions {
    std::string odf;
    std::vector<double> hkl{1, 0, 0};
    std::string output;
    std::string compare;
    int threads = 0;
    calcjobs::ODFEngine engine = calcjobs::ODFEngine::kAuto;
    // --json: one JSON object on stdout; the result path goes to stderr.
    bool json = false;
    std::string unmeasured = "none";
};

struct IpfOptions {
    std::string odf;
    double alpha = 0, beta = 0;
    std::string axis;
    std::string output;
    int threads = 0;
    calcjobs::ODFEngine engine = calcjobs::ODFEngine::kAuto;
    // --json: one JSON object on stdout; the result path goes to stderr.
    bool json = false;
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

// RP error of the recalculated pole figure against the measured one, over
// the cells the compared measurement covered: its layout's range and, on
// request, its zero runs.
double RpError(const std::string& measuredPath, const std::string& recalculatedPath,
               const std::string& unmeasured) {
    calcjobs::UnmeasuredRule rule = calcjobs::UnmeasuredRule::kNone;
    calcjobs::ParseUnmeasuredRule(unmeasured, &rule);
    calcjobs::MeasuredPoleFigure cells;
    if (!calcjobs::ReadMeasuredPoleFigure(measuredPath, rule, &cells))
        Fail("Can not read pole figure file " + measuredPath);
    std::optional<orimath::Grid2<double>> measured = std::move(cells.values);
    std::optional<orimath::Grid2<double>> recalculated = ReadPoleFigure(recalculatedPath);
    if (!recalculated)
        Fail("Can not read pole figure file " + recalculatedPath);
    if (measured->extent() != recalculated->extent())
        Fail("File resolution incorrect");
    const uint8_t* const* measuredCells = cells.measured.empty() ? nullptr : cells.measured.Tree();
    double rp =
        calcjobs::RecalculationRpError(measured->Tree(), recalculated->Tree(), measuredCells,
                                       measured->alphaCount(), measured->betaCount());
    if (rp < 0)
        Fail("The pole figure " + measuredPath + " holds no measured values");
    return rp;
}

// Inputs, grid, RP error, output and timings of a recalculation as one JSON
// object (see README, --json). direction: alpha and beta of an inverse pole
// figure, null for a pole figure.
void PrintRecalcJson(const char* command, const std::string& odf, const RawHODFInfo& odfInfo,
                     calcjobs::ODFEngine engine, const std::vector<double>* hkl,
                     const double* direction, const std::string& compare, double rp,
                     const char* outputKey, const std::string& output, double calculationSeconds,
                     double totalSeconds) {
    const double res = std::fabs(odfInfo.resolution - 5.0) < 0.001 ? 5.0 : odfInfo.resolution;
    const bool classic =
        std::fabs(odfInfo.resolution - 5.0) < 0.001 && engine != calcjobs::ODFEngine::kArbitrary;
    int nA = 0, nB = 0;
    if (classic)
        nA = 19, nB = 73;
    else
        Get_AB_Range_In_Full_PF_Space(&nA, &nB, res);
    JsonWriter json;
    json.BeginObject().Key("command").String(command);
    json.Key("inputs").BeginObject().Key("odf").String(odf);
    json.Key("crystalCode").Integer(odfInfo.crystalType);
    if (hkl)
        json.Key("hkl")
            .BeginArray()
            .Number((*hkl)[0])
            .Number((*hkl)[1])
            .Number((*hkl)[2])
            .EndArray();
    if (direction)
        json.Key("alpha").Number(direction[0]).Key("beta").Number(direction[1]);
    json.Key("engine").String(classic ? "classic" : "arbitrary");
    json.EndObject();
    json.Key("grid").BeginObject().Key("resolution").Number(res);
    json.Key("alpha").Integer(nA).Key("beta").Integer(nB).EndObject();
    if (hkl) {
        json.Key("rp").BeginArray();
        if (!compare.empty()) {
            json.BeginObject().Key("poleFigure").String(output).Key("measured").String(compare);
            json.Key("percent").Number(rp).EndObject();
        }
        json.EndArray();
    }
    json.Key("outputs").BeginObject().Key(outputKey).String(output).EndObject();
    json.Key("timings").BeginObject();
    json.Key("calculation").Number(calculationSeconds).Key("total").Number(totalSeconds);
    json.EndObject().EndObject();
    std::printf("%s\n", json.Text().c_str());
}

// The context of a recalculation job: progress on stderr, the result path
// on stdout, cancelled by Ctrl-C.
calcjobs::JobContext JobContextFor(ProgressLine& progress, const InterruptScope& interrupt,
                                   int threads, calcjobs::ODFEngine engine, bool json) {
    calcjobs::JobContext context;
    context.progress = progress.Function();
    context.launchViewer = PrintResultPath(json ? stderr : stdout);
    context.cancel = interrupt.Token();
    context.threads = threads;
    context.odfEngine = engine;
    return context;
}

void RunPf(const PfOptions& opt) {
    const auto started = std::chrono::steady_clock::now();
    if (std::string message =
            calcjobs::ValidatePFSetup(opt.hkl[0], opt.hkl[1], opt.hkl[2], opt.output);
        !message.empty())
        Fail(message, kExitUsage);
    calcjobs::PFJobParams params;
    std::string detail;
    if (std::string message = calcjobs::LoadODFInfo(opt.odf, &params.odfInfo, &detail);
        !message.empty())
        FailWithDetail(message, detail);
    RefuseClassicEngine(opt.engine, params.odfInfo.resolution, 0.001);
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
    const auto jobStarted = std::chrono::steady_clock::now();
    {
        ProgressLine progress(stderr, ProgressLine::StderrIsTerminal());
        result = calcjobs::PFJob(
            params, JobContextFor(progress, interrupt, opt.threads, opt.engine, opt.json));
        progress.Finish();
        shown = progress.LastPlainLine() == result.message;
    }
    if (result.status == calcjobs::JobStatus::kCancelled)
        interrupt.FailIfInterrupted();
    // A plain log already holds the engine's message as its last line.
    if (!result.ok())
        FailWithDetail(result.message, result.detail, kExitFailure, shown);
    const auto jobFinished = std::chrono::steady_clock::now();
    double rp = 0;
    if (!opt.compare.empty()) {
        rp = RpError(opt.compare, opt.output, opt.unmeasured);
        if (!opt.json)
            std::printf("RP error against %s: %.2f %%\n", opt.compare.c_str(), rp);
    }
    if (opt.json)
        PrintRecalcJson("pf", opt.odf, params.odfInfo, opt.engine, &opt.hkl, nullptr, opt.compare,
                        rp, "poleFigure", opt.output, Seconds(jobFinished - jobStarted),
                        Seconds(std::chrono::steady_clock::now() - started));
    std::fflush(stdout);
}

void RunIpf(const IpfOptions& options) {
    const auto started = std::chrono::steady_clock::now();
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
    RefuseClassicEngine(opt.engine, params.odfInfo.resolution, 0.001);
    if (!OutputFolderWritable(output))
        Fail("Can not save file: " + output);
    params.odfFile = opt.odf;
    params.ipfFile = output;
    params.alpha = opt.alpha;
    params.beta = opt.beta;
    InterruptScope interrupt;
    bool shown = false;
    calcjobs::JobResult result;
    const auto jobStarted = std::chrono::steady_clock::now();
    {
        ProgressLine progress(stderr, ProgressLine::StderrIsTerminal());
        result = calcjobs::IPFJob(
            params, JobContextFor(progress, interrupt, opt.threads, opt.engine, opt.json));
        progress.Finish();
        shown = progress.LastPlainLine() == result.message;
    }
    if (result.status == calcjobs::JobStatus::kCancelled)
        interrupt.FailIfInterrupted();
    // A plain log already holds the engine's message as its last line.
    if (!result.ok())
        FailWithDetail(result.message, result.detail, kExitFailure, shown);
    if (opt.json) {
        const double direction[2] = {opt.alpha, opt.beta};
        const auto finished = std::chrono::steady_clock::now();
        PrintRecalcJson("ipf", opt.odf, params.odfInfo, opt.engine, nullptr, direction, "", 0,
                        "inversePoleFigure", output, Seconds(finished - jobStarted),
                        Seconds(finished - started));
    }
    std::fflush(stdout);
}

constexpr const char* kRecalcEngineHelp =
    "recalculation engine: auto (the classic engine for a 5 degree ODF, the "
    "arbitrary-resolution engine otherwise), classic (5 degree ODFs only) or arbitrary (also for "
    "a 5 degree ODF; the counterpart of odf --engine arbitrary)";

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
    AddEngineOption(cmd, &opt->engine, kRecalcEngineHelp);
    cmd->add_flag("--json", opt->json,
                  "print the result as one JSON object on stdout (inputs, grid, RP error when "
                  "compared, output path, timings); progress and the result path go to stderr");

    // The RP error of --compare counts only the cells the compared file
    // measured.
    AddUnmeasuredOption(cmd, &opt->unmeasured);

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
    AddEngineOption(cmd, &opt->engine, kRecalcEngineHelp);
    cmd->add_flag("--json", opt->json,
                  "print the result as one JSON object on stdout (inputs, grid, output path, "
                  "timings); progress and the result path go to stderr");
    cmd->callback([opt] { RunIpf(*opt); });
}

} // namespace quelta_cli
