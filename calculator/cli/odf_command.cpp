// quelta-cli odf: ODF from up to six pole figures.
#include <CLI/CLI.hpp>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>

#include "calcjobs/job_output.h"
#include "calcjobs/odf_job.h"
#include "calcjobs/validation.h"
#include "cli_common.h"
#include "commands.h"
#include "json_writer.h"
#include "orimath/ranges.h"
#include "orimath/symmetry.h"
#include "progress_line.h"
#include "unmeasured_option.h"

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
    calcjobs::ODFEngine engine = calcjobs::ODFEngine::kAuto;
    // --json: one JSON object on stdout instead of the text lines.
    bool json = false;
    std::string unmeasured = "none";
};

double ParseIndex(const std::string& text) {
    char* end = nullptr;
    double value = std::strtod(text.c_str(), &end);
    if (end == text.c_str() || *end != '\0' || !std::isfinite(value))
        Fail("Invalid Miller index \"" + text + "\"", kExitUsage);
    return value;
}

// The result of a finished run as one JSON object (see README, --json).
void PrintOdfJson(const OdfOptions& opt, const RawHODFInfo& info,
                  const std::vector<calcjobs::PoleFigureInput>& inputs,
                  const calcjobs::JobResult& result, double calculationSeconds,
                  double totalSeconds) {
    const bool classic =
        calcjobs::ResolveODFEngine(opt.engine, opt.res) == calcjobs::ODFEngine::kClassic;
    int n1 = 0, n = 0, n2 = 0;
    GetEulerRangeInODFSpace(&n1, &n, &n2, info.crystalType, opt.res, info.sampleSymmetry);
    char crystal[32] = "Unknown";
    Get_Crystal_Type_Name(crystal, info.crystalType);
    JsonWriter json;
    json.BeginObject().Key("command").String("odf");
    json.Key("inputs").BeginObject();
    json.Key("crystal").String(crystal).Key("crystalCode").Integer(info.crystalType);
    json.Key("lattice").BeginArray();
    for (double v : info.lattice)
        json.Number(v);
    json.EndArray();
    json.Key("poleFigures").BeginArray();
    for (const calcjobs::PoleFigureInput& pf : inputs) {
        json.BeginObject().Key("file").String(pf.file).Key("hkl").BeginArray();
        json.Number(pf.h).Number(pf.k).Number(pf.l).EndArray().EndObject();
    }
    json.EndArray();
    json.Key("normalise").Bool(info.normalized != 0);
    json.Key("sampleSymmetry").Bool(info.sampleSymmetry != 0);
    json.Key("fibre").Bool(info.fibreAverage != 0);
    json.Key("maxLoops").Integer(info.maxLoops);
    json.Key("engine").String(classic ? "classic" : "arbitrary");
    json.EndObject();
    json.Key("grid").BeginObject();
    json.Key("resolution").Number(opt.res);
    json.Key("phi1").Integer(n1).Key("Phi").Integer(n).Key("phi2").Integer(n2);
    json.EndObject();
    json.Key("loops").Integer(result.loops);
    json.Key("finalDeviation").Number(result.deviation);
    json.Key("outputs").BeginObject().Key("odf").String(opt.output).EndObject();
    json.Key("timings").BeginObject();
    json.Key("calculation").Number(calculationSeconds).Key("total").Number(totalSeconds);
    json.EndObject();
    json.EndObject();
    std::printf("%s\n", json.Text().c_str());
}

void RunOdf(const OdfOptions& opt) {
    const auto started = std::chrono::steady_clock::now();
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
    RefuseClassicEngine(opt.engine, opt.res, 0.0001);
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
        ext == "HODF" ? opt.output : calcjobs::HiddenPathBeside(opt.output) + ".HODF";
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
    const auto jobStarted = std::chrono::steady_clock::now();
    {
        ProgressLine progress(stderr, ProgressLine::StderrIsTerminal());
        calcjobs::JobContext context;
        context.progress = progress.Function();
        context.cancel = interrupt.Token();
        context.threads = opt.threads;
        context.odfEngine = opt.engine;
        calcjobs::ParseUnmeasuredRule(opt.unmeasured, &context.unmeasured);
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
    const auto finished = std::chrono::steady_clock::now();
    if (opt.json)
        PrintOdfJson(opt, info, inputs, result, Seconds(finished - jobStarted),
                     Seconds(finished - started));
    else
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
    cmd->add_flag("--json", opt->json,
                  "print the result as one JSON object on stdout (inputs, grid, loops, final "
                  "deviation, output path, timings); progress stays on stderr");
    AddEngineOption(cmd, &opt->engine,
                    "ODF engine: auto (the classic engine at exactly 5 degrees, the "
                    "arbitrary-resolution engine otherwise), classic (5 degrees only) or arbitrary "
                    "(any resolution, 5 degrees included: finer sampling of the pole figures, "
                    "lower RP error, the same HODF layout)");

    // Cells left out of the fit.
    AddUnmeasuredOption(cmd, &opt->unmeasured);

    cmd->callback([opt] { RunOdf(*opt); });
}

} // namespace quelta_cli
