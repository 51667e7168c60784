#include "calcjobs/odf_job.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

#include "calcjobs/validation.h"
#include "engine_progress.h"
#include "odfengine/codflib.h"
#include "odfengine/hodf.h"
#include "orimath/arrays.h"
#include "orimath/constants.h"
#include "orimath/ranges.h"

namespace calcjobs {
namespace {

constexpr char kSavingText[] = "Please wait ... while saving ODF file";
constexpr char kSaveFailedText[] = "Can not save odf file";

// Owner of an ODF grid from AllocMem3D.
struct OdfGrid {
    double*** data = nullptr;
    int n1 = 0, n = 0, n2 = 0;
    OdfGrid(int phi1, int Phi, int phi2)
        : data(AllocMem3D(phi2, Phi, phi1)), n1(phi1), n(Phi), n2(phi2) {}
    ~OdfGrid() { FreeMem3D(data, n2, n, n1); }
    OdfGrid(const OdfGrid&) = delete;
    OdfGrid& operator=(const OdfGrid&) = delete;
};

JobResult Failure(JobStatus status, std::string message) {
    JobResult result;
    result.status = status;
    result.message = std::move(message);
    return result;
}

} // namespace

void ApplyODFCommandSettings(RawHODFInfo* info) {
    info->maxLoops = 15;
    info->stopMode = 2;
    info->tolerance = 0.01;
    if (info->fibreAverage)
        info->sampleSymmetry = 1;
}

JobResult ODFJob(RawHODFInfo info, const ProgressFn& progress, const LaunchViewerFn& launchViewer) {
    if (info.fibreAverage)
        info.sampleSymmetry = 1;
    if (std::string message = ValidateResolution(info.resolution); !message.empty())
        return Failure(JobStatus::kInvalidInput, message);
    if (info.nPF < 1 || info.nPF > kMaxPoleFigures)
        return Failure(JobStatus::kInvalidInput, "Input the file names of all pole figurrs");
    if (!orimath::IsValidCrystalType(info.crystalType))
        return Failure(JobStatus::kInvalidInput,
                       "Unknown crystal system code " + std::to_string(info.crystalType));
    info.path[sizeof info.path - 1] = '\0';
    const std::string path = info.path;
    if (path.empty())
        return Failure(JobStatus::kInvalidInput, "Must give an ODF file name");

    std::string names[kMaxPoleFigures];
    for (int i = 0; i < info.nPF; ++i)
        names[i].assign(info.pfNames[i], strnlen(info.pfNames[i], sizeof info.pfNames[i]));

    EngineProgress engineProgress(progress);
    int saved = 0;
    if (std::fabs(info.resolution - 5.0) < 0.0001) {
        // Classic engine: full 73 x 37 x 73 result in a buffer of this job's own.
        auto buffer = std::make_unique<double[]>(73 * 37 * 73);
        auto* full = reinterpret_cast<double(*)[37][73]>(buffer.get());
        {
            auto engine = std::make_unique<CODFlib>();
            engine->SetCallBack(engineProgress.Callback());
            engine->IniODFCal(names, info.crystalType, info.maxLoops, info.tolerance, info.stopMode,
                              info.lattice, info.hkl, info.nPF, info.normalized, info.fibreAverage,
                              info.sampleSymmetry);
            int loops = 0;
            if (!engine->GetODF(full, &info.deviation, &loops))
                return Failure(JobStatus::kEngineFailed,
                               engineProgress.FailureText("ODF calculation failed"));
            info.iterations = loops;
        }
        engineProgress.Report(kSavingText, kStatusPosition);
        // The file holds the reduced region of the crystal system. Both the
        // buffer and the file grid are ordered [phi2][Phi][phi1], so the
        // region is the leading block of each axis.
        int n1 = 0, n = 0, n2 = 0;
        GetEulerRangeInODFSpace(&n1, &n, &n2, info.crystalType, 5.0, info.sampleSymmetry);
        OdfGrid grid(n1, n, n2);
        if (!grid.data)
            return Failure(JobStatus::kSaveFailed, kSaveFailedText);
        for (int k = 0; k < n2; ++k)
            for (int j = 0; j < n; ++j)
                for (int i = 0; i < n1; ++i)
                    grid.data[k][j][i] = full[k][j][i];
        info.resolution = 5.0;
        saved = Save_ODF_File(path.c_str(), grid.data, &info, n1, n, n2);
    } else {
        auto engine = std::make_unique<HODF>();
        engine->SetCallBack(engineProgress.Callback());
        engine->IniODFCal(names, info.crystalType, info.maxLoops, info.tolerance, info.stopMode,
                          info.lattice, info.hkl, info.nPF, info.normalized, info.fibreAverage,
                          info.sampleSymmetry, info.resolution);
        OdfGrid grid(engine->nPhi1, engine->nPhi, engine->nPhi2);
        if (!grid.data)
            return Failure(JobStatus::kEngineFailed, "Can not allocate memory for the ODF");
        int loops = 0;
        if (!engine->GetODF(grid.data, &info.deviation, &loops))
            return Failure(JobStatus::kEngineFailed,
                           engineProgress.FailureText("ODF calculation failed"));
        info.iterations = loops;
        engine.reset();
        engineProgress.Report(kSavingText, kStatusPosition);
        saved = Save_ODF_File(path.c_str(), grid.data, &info, grid.n1, grid.n, grid.n2);
    }
    if (!saved) {
        // The viewer is not offered a file that was not written.
        JobResult result = Failure(JobStatus::kSaveFailed, kSaveFailedText);
        result.deviation = info.deviation;
        result.loops = info.iterations;
        return result;
    }
    engineProgress.Report("Calculation finished", kStatusPosition);
    JobResult result;
    result.outputFile = path;
    result.deviation = info.deviation;
    result.loops = info.iterations;
    if (launchViewer)
        launchViewer(kResultODF, path);
    return result;
}

} // namespace calcjobs
