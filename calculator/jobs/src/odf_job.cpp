#include "calcjobs/odf_job.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

#include "calcjobs/job_output.h"
#include "calcjobs/memory_estimate.h"
#include "calcjobs/validation.h"
#include "engine_run.h"
#include "odfengine/codflib.h"
#include "odfengine/hodf.h"
#include "orimath/constants.h"
#include "orimath/grid.h"
#include "orimath/ranges.h"

namespace calcjobs {
namespace {

constexpr char kSavingText[] = "Please wait ... while saving ODF file";
constexpr char kSaveFailedText[] = "Can not save odf file";

JobResult Failure(JobStatus status, std::string message) {
    JobResult result;
    result.status = status;
    result.message = std::move(message);
    return result;
}

} // namespace

bool ClassicEngineFits(double res) {
    return std::fabs(res - 5.0) < 0.0001;
}

ODFEngine ResolveODFEngine(ODFEngine choice, double res) {
    if (choice == ODFEngine::kAuto)
        return ClassicEngineFits(res) ? ODFEngine::kClassic : ODFEngine::kArbitrary;
    return choice;
}

void ApplyODFCommandSettings(RawHODFInfo* info) {
    info->maxLoops = 15;
    info->stopMode = 2;
    info->tolerance = 0.01;
    if (info->fibreAverage)
        info->sampleSymmetry = 1;
}

JobResult ODFJob(RawHODFInfo info, const ProgressFn& progress, const LaunchViewerFn& launchViewer) {
    JobContext context;
    context.progress = progress;
    context.launchViewer = launchViewer;
    return ODFJob(info, context);
}

JobResult ODFJob(RawHODFInfo info, const JobContext& context) {
    if (info.fibreAverage)
        info.sampleSymmetry = 1;
    if (std::string message = ValidateResolution(info.resolution); !message.empty())
        return Failure(JobStatus::kInvalidInput, message);
    const ODFEngine engineChoice = ResolveODFEngine(context.odfEngine, info.resolution);
    if (engineChoice == ODFEngine::kClassic && !ClassicEngineFits(info.resolution))
        return Failure(JobStatus::kInvalidInput, kClassicEngineResolutionText);
    if (info.nPF < 1 || info.nPF > kMaxPoleFigures)
        return Failure(JobStatus::kInvalidInput, "Input the file names of all pole figurrs");
    if (!orimath::IsValidCrystalType(info.crystalType))
        return Failure(JobStatus::kInvalidInput,
                       "Unknown crystal system code " + std::to_string(info.crystalType));
    info.path[sizeof info.path - 1] = '\0';
    const std::string path = info.path;
    if (path.empty())
        return Failure(JobStatus::kInvalidInput, "Must give an ODF file name");
    if (std::string message = CheckAvailableMemory(
            ODFJobPeakBytes(info.crystalType, info.resolution, info.sampleSymmetry, info.nPF));
        !message.empty())
        return Failure(JobStatus::kInvalidInput, message);

    std::string names[kMaxPoleFigures];
    for (int i = 0; i < info.nPF; ++i)
        names[i].assign(info.pfNames[i], strnlen(info.pfNames[i], sizeof info.pfNames[i]));

    const EngineRunOptions options = EngineOptions(context);
    // The file is written beside the target and renamed over it only when
    // the job was not cancelled meanwhile.
    auto save = [&](double*** grid, int n1, int n, int n2) {
        return SaveBeside(path, context.cancel, [&](const char* file) {
            return Save_ODF_File(file, grid, &info, n1, n, n2);
        });
    };
    // The measured cells of each input, as far as its layout (and the rule)
    // knows them. A file that does not read gets no mask: the engine reads
    // it and reports why.
    auto setMasks = [&](auto& engine) {
        for (int i = 0; i < info.nPF; ++i) {
            MeasuredPoleFigure pf;
            if (ReadMeasuredPoleFigure(names[i], context.unmeasured, &pf) && !pf.measured.empty())
                engine.SetMeasuredMask(i, pf.measured.data(), pf.measured.alphaCount(),
                                       pf.measured.betaCount());
        }
    };
    SaveOutcome saved = SaveOutcome::kFailed;
    if (engineChoice == ODFEngine::kClassic) {
        // Classic engine: full 73 x 37 x 73 result in a buffer of this job's own.
        auto buffer = std::make_unique<double[]>(73 * 37 * 73);
        auto* full = reinterpret_cast<double(*)[37][73]>(buffer.get());
        {
            auto engine = std::make_unique<CODFlib>();
            engine->SetRunOptions(options);
            engine->IniODFCal(names, info.crystalType, info.maxLoops, info.tolerance, info.stopMode,
                              info.lattice, info.hkl, info.nPF, info.normalized, info.fibreAverage,
                              info.sampleSymmetry);
            setMasks(*engine);
            int loops = 0;
            if (!engine->GetODF(full, &info.deviation, &loops))
                return EngineFailure(engine->LastResult(), "ODF calculation failed");
            info.iterations = loops;
        }
        Report(context, kSavingText, kStatusPosition);
        // The file holds the reduced region of the crystal system. Both the
        // buffer and the file grid are ordered [phi2][Phi][phi1], so the
        // region is the leading block of each axis.
        int n1 = 0, n = 0, n2 = 0;
        GetEulerRangeInODFSpace(&n1, &n, &n2, info.crystalType, 5.0, info.sampleSymmetry);
        auto grid = orimath::TryGrid<double>({.phi1 = n1, .Phi = n, .phi2 = n2});
        if (!grid)
            return Failure(JobStatus::kSaveFailed, kSaveFailedText);
        for (int k = 0; k < n2; ++k)
            for (int j = 0; j < n; ++j)
                for (int i = 0; i < n1; ++i)
                    (*grid)[k][j][i] = full[k][j][i];
        info.resolution = 5.0;
        saved = save(grid->Tree(), n1, n, n2);
    } else {
        auto engine = std::make_unique<HODF>();
        engine->SetRunOptions(options);
        engine->IniODFCal(names, info.crystalType, info.maxLoops, info.tolerance, info.stopMode,
                          info.lattice, info.hkl, info.nPF, info.normalized, info.fibreAverage,
                          info.sampleSymmetry, info.resolution);
        setMasks(*engine);
        auto grid = orimath::TryGrid<double>(
            {.phi1 = engine->nPhi1, .Phi = engine->nPhi, .phi2 = engine->nPhi2});
        if (!grid)
            return Failure(JobStatus::kEngineFailed, "Can not allocate memory for the ODF");
        int loops = 0;
        if (!engine->GetODF(grid->Tree(), &info.deviation, &loops))
            return EngineFailure(engine->LastResult(), "ODF calculation failed");
        info.iterations = loops;
        engine.reset();
        Report(context, kSavingText, kStatusPosition);
        saved = save(grid->Tree(), grid->phi1Count(), grid->PhiCount(), grid->phi2Count());
    }
    if (saved == SaveOutcome::kCancelled)
        return Failure(JobStatus::kCancelled, kCancelledText);
    if (saved != SaveOutcome::kSaved) {
        // The viewer is not offered a file that was not written.
        JobResult result = Failure(JobStatus::kSaveFailed, kSaveFailedText);
        result.deviation = info.deviation;
        result.loops = info.iterations;
        return result;
    }
    Report(context, "Calculation finished", kStatusPosition);
    JobResult result;
    result.outputFile = path;
    result.deviation = info.deviation;
    result.loops = info.iterations;
    if (context.launchViewer)
        context.launchViewer(kResultODF, path);
    return result;
}

} // namespace calcjobs
