#include "calcjobs/recalc_jobs.h"

#include <cmath>
#include <cstdio>
#include <functional>
#include <memory>
#include <optional>

#include "calcjobs/job_output.h"
#include "calcjobs/memory_estimate.h"
#include "calcjobs/odf_job.h"
#include "calcjobs/validation.h"
#include "dataformats/file_layouts.h"
#include "dataformats/inversepf.h"
#include "dataformats/polefigure.h"
#include "engine_run.h"
#include "odfengine/codflib.h"
#include "odfengine/hodf.h"
#include "orimath/constants.h"
#include "orimath/grid.h"
#include "orimath/ranges.h"

namespace calcjobs {
namespace {

constexpr char kOpeningText[] = "Openning ODF File";
constexpr char kOpenFailedText[] = "Can not open ODF file";
constexpr char kSaveFailedText[] = "Can not save file";

JobResult Failure(JobStatus status, std::string message, std::string detail = {}) {
    JobResult result;
    result.status = status;
    result.message = std::move(message);
    result.detail = std::move(detail);
    return result;
}

// The recalculation tolerance is wider than the ODF command's 0.0001: an ODF
// stored at 5.0005 degrees is read onto the 5 degree grid.
bool FiveDegreePath(double res) {
    return std::fabs(res - 5.0) < 0.001;
}

// The classic 5 degree engine recalculates an ODF of 5 degrees unless the
// context asks for the arbitrary-resolution engine, which samples the poles
// more finely and reads the ODF on its reduced grid.
bool ClassicRecalculation(const JobContext& context, double res) {
    return FiveDegreePath(res) && context.odfEngine != ODFEngine::kArbitrary;
}

using FullOdf = double (*)[37][73];

// The ODF in any layout the registry knows (the TTO text included), read
// with the description; the error says why it does not read.
dataformats::Expected<dataformats::FileData> ReadOdfFile(const std::string& file) {
    dataformats::FileProbe probe(file);
    const dataformats::FileLayout* layout =
        dataformats::DetectLayout(probe, dataformats::FileFamily::ODF);
    if (layout == nullptr)
        return dataformats::FileError{"", "not an ODF file"};
    return layout->Read(file);
}

// Why a file that no ODF layout takes is not read: it does not open, or
// what it is instead.
dataformats::FileError NotAnOdf(const std::string& file) {
    auto any = dataformats::DetectLayout(file);
    if (!any)
        return any.error();
    return dataformats::FileError{"", std::string("not an ODF file but ") + (*any)->name};
}

// "<file>: <why>" for a job result's detail.
std::string FileReason(const std::string& file, const dataformats::FileError& error) {
    return file + ": " + error.Text();
}

// Reads the ODF onto the full 5 degree grid (a buffer of the job's own);
// detail receives why it does not read.
std::unique_ptr<double[]> ReadFullOdf(const std::string& file, RawHODFInfo* info,
                                      std::string* detail) {
    auto data = ReadOdfFile(file);
    if (!data) {
        *detail = FileReason(file, data.error());
        return nullptr;
    }
    auto buffer = std::make_unique<double[]>(73 * 37 * 73);
    if (auto unfolded =
            dataformats::UnfoldToFiveDegrees(*data, reinterpret_cast<FullOdf>(buffer.get()));
        !unfolded) {
        *detail = FileReason(file, unfolded.error());
        return nullptr;
    }
    *info = data->description.odf;
    return buffer;
}

// Reads the ODF on its own reduced grid and checks that the grid has the
// counts that the engine derives from the description; a file whose header
// and data disagree would otherwise be indexed out of bounds. detail
// receives why a file does not read.
std::string ReadReducedOdf(const std::string& file, const RawHODFInfo& described,
                           orimath::Grid3<double>* grid, std::string* detail) {
    auto data = ReadOdfFile(file);
    if (!data || data->grid3.empty()) {
        *detail = FileReason(file, data ? dataformats::FileError{"", "no ODF grid"} : data.error());
        return kOpenFailedText;
    }
    *grid = std::move(data->grid3);
    const orimath::Extent3 counts = grid->extent();
    int n1 = 0, n = 0, n2 = 0;
    GetEulerRangeInODFSpace(&n1, &n, &n2, described.crystalType, described.resolution,
                            described.sampleSymmetry || described.fibreAverage);
    if (n1 != counts.phi1 || n != counts.Phi || n2 != counts.phi2) {
        char text[240];
        std::snprintf(
            text, sizeof text,
            "ODF grid %d x %d x %d does not match the %d x %d x %d grid of its crystal system and "
            "resolution %.2f",
            counts.phi1, counts.Phi, counts.phi2, n1, n, n2, described.resolution);
        return text;
    }
    return {};
}

std::string CheckDescription(const RawHODFInfo& info) {
    if (!orimath::IsValidCrystalType(info.crystalType))
        return "Unknown crystal system code " + std::to_string(info.crystalType) +
               " in the ODF file";
    return ValidateResolution(info.resolution);
}

// Checks the ODF description a job was given; a fibre-averaged ODF is
// recalculated with sample symmetry.
std::string PrepareDescription(RawHODFInfo* odf) {
    if (std::string message = CheckDescription(*odf); !message.empty())
        return message;
    if (odf->fibreAverage)
        odf->sampleSymmetry = 1;
    return {};
}

// Copies a figure of the fixed 5 degree engine into a grid the writers take;
// nothing when the grid can not be allocated.
std::optional<orimath::Grid2<double>> CopyFixedFigure(const double (&fixed)[19][73]) {
    auto figure = orimath::TryGrid<double>(orimath::Extent2{.alpha = 19, .beta = 73});
    if (!figure)
        return std::nullopt;
    for (int i = 0; i < 19; ++i)
        for (int j = 0; j < 73; ++j)
            (*figure)[i][j] = fixed[i][j];
    return figure;
}

// A figure on the full pole figure grid of the resolution; nothing when it
// can not be allocated.
std::optional<orimath::Grid2<double>> FullSpaceFigure(double res) {
    int nA = 0, nB = 0;
    Get_AB_Range_In_Full_PF_Space(&nA, &nB, res);
    return orimath::TryGrid<double>(orimath::Extent2{.alpha = nA, .beta = nB});
}

// Saves the figure through save(path) and offers it to the viewer; a
// cancelled job writes nothing.
JobResult SaveFigure(const std::string& file, int kind, const JobContext& context,
                     const std::function<int(const char* path)>& save) {
    switch (SaveBeside(file, context.cancel, save)) {
    case SaveOutcome::kCancelled:
        return Failure(JobStatus::kCancelled, kCancelledText);
    case SaveOutcome::kFailed:
        return Failure(JobStatus::kSaveFailed, kSaveFailedText);
    case SaveOutcome::kSaved:
        break;
    }
    JobResult result;
    result.outputFile = file;
    if (context.launchViewer)
        context.launchViewer(kind, file);
    return result;
}

JobContext ContextOf(const ProgressFn& progress, const LaunchViewerFn& launchViewer) {
    JobContext context;
    context.progress = progress;
    context.launchViewer = launchViewer;
    return context;
}

} // namespace

std::string LoadODFInfo(const std::string& odfFile, RawHODFInfo* info) {
    std::string detail;
    return LoadODFInfo(odfFile, info, &detail);
}

std::string LoadODFInfo(const std::string& odfFile, RawHODFInfo* info, std::string* detail) {
    *info = RawHODFInfo{};
    dataformats::FileProbe probe(odfFile);
    const dataformats::FileLayout* layout =
        dataformats::DetectLayout(probe, dataformats::FileFamily::ODF);
    auto described = layout == nullptr
                         ? dataformats::Expected<dataformats::FileDescription>(NotAnOdf(odfFile))
                         : layout->Describe(odfFile);
    if (!described) {
        if (detail)
            *detail = described.error().Text();
        return "Can not open " + odfFile;
    }
    *info = described->odf;
    return {};
}

void SampleDirection(double alpha, double beta, double direction[3]) {
    const double a = alpha * orimath::kDegToRad, b = beta * orimath::kDegToRad;
    direction[0] = std::sin(a) * std::cos(b);
    direction[1] = std::sin(a) * std::sin(b);
    direction[2] = std::cos(a);
}

std::string AdjustIPFFileName(const std::string& path) {
    size_t nameStart = path.find_last_of("/\\");
    nameStart = nameStart == std::string::npos ? 0 : nameStart + 1;
    size_t first = path.find('.', nameStart);
    if (first == std::string::npos)
        return path;
    std::string result = path;
    size_t second = result.find('.', first + 1);
    if (second != std::string::npos)
        result.resize(second);
    std::string ext = result.substr(first + 1);
    if (ext.size() == 3 && std::tolower(static_cast<unsigned char>(ext[0])) == 'h' &&
        std::tolower(static_cast<unsigned char>(ext[1])) == 'i' &&
        std::tolower(static_cast<unsigned char>(ext[2])) == 'p')
        result = result.substr(0, first + 1) + "HIPF";
    return result;
}

JobResult PFJob(PFJobParams params, const ProgressFn& progress,
                const LaunchViewerFn& launchViewer) {
    return PFJob(std::move(params), ContextOf(progress, launchViewer));
}

JobResult IPFJob(IPFJobParams params, const ProgressFn& progress,
                 const LaunchViewerFn& launchViewer) {
    return IPFJob(std::move(params), ContextOf(progress, launchViewer));
}

JobResult PFJob(PFJobParams params, const JobContext& context) {
    if (std::string message = ValidatePFSetup(params.h, params.k, params.l, params.pfFile);
        !message.empty())
        return Failure(JobStatus::kInvalidInput, message);
    RawHODFInfo& odf = params.odfInfo;
    if (std::string message = PrepareDescription(&odf); !message.empty())
        return Failure(JobStatus::kInvalidInput, message);
    if (std::string message = CheckAvailableMemory(
            RecalculationJobPeakBytes(odf.crystalType, odf.resolution, odf.sampleSymmetry, false));
        !message.empty())
        return Failure(JobStatus::kInvalidInput, message);
    if (context.odfEngine == ODFEngine::kClassic && !FiveDegreePath(odf.resolution))
        return Failure(JobStatus::kInvalidInput, kClassicEngineResolutionText);

    const EngineRunOptions options = EngineOptions(context);
    double hkl[3] = {params.h, params.k, params.l};
    std::optional<orimath::Grid2<double>> pf;
    Report(context, kOpeningText, kStatusPosition);
    if (ClassicRecalculation(context, odf.resolution)) {
        RawHODFInfo readInfo{};
        std::string detail;
        std::unique_ptr<double[]> full = ReadFullOdf(params.odfFile, &readInfo, &detail);
        if (!full)
            return Failure(JobStatus::kOpenFailed, kOpenFailedText, std::move(detail));
        auto engine = std::make_unique<CODFlib>();
        engine->SetRunOptions(options);
        engine->IniPolFigCal(odf.crystalType, odf.lattice, hkl);
        double fixed[19][73];
        if (!engine->GetPolFig(fixed, reinterpret_cast<FullOdf>(full.get())))
            return EngineFailure(engine->LastResult(), "Pole figure calculation failed");
        pf = CopyFixedFigure(fixed);
        if (!pf)
            return Failure(JobStatus::kSaveFailed, kSaveFailedText);
    } else {
        orimath::Grid3<double> grid;
        std::string detail;
        if (std::string message = ReadReducedOdf(params.odfFile, odf, &grid, &detail);
            !message.empty())
            return Failure(JobStatus::kOpenFailed, message, std::move(detail));
        auto engine = std::make_unique<HODF>();
        engine->SetRunOptions(options);
        engine->IniPolFigCal(odf.crystalType, odf.lattice, hkl, odf.resolution, odf.sampleSymmetry,
                             odf.fibreAverage);
        pf = FullSpaceFigure(odf.resolution);
        if (!pf)
            return Failure(JobStatus::kEngineFailed, "Can not allocate memory for the pole figure");
        if (!engine->GetPolFig(pf->Tree(), grid.Tree()))
            return EngineFailure(engine->LastResult(), "Pole figure calculation failed");
    }

    PFFileInfo info = DescribePoleFigure(params.pfFile, odf.crystalType, hkl, odf.lattice,
                                         FiveDegreePath(odf.resolution) ? 5.0 : odf.resolution,
                                         "Recalculated Pole Figure");
    return SaveFigure(params.pfFile, kResultPoleFigure, context, [&](const char* file) {
        return SaveHPFFile(file, &info, pf->alphaCount(), pf->betaCount(), pf->Tree());
    });
}

JobResult IPFJob(IPFJobParams params, const JobContext& context) {
    if (std::string message = ValidateIPFSetup(params.ipfFile); !message.empty())
        return Failure(JobStatus::kInvalidInput, message);
    RawHODFInfo& odf = params.odfInfo;
    if (std::string message = PrepareDescription(&odf); !message.empty())
        return Failure(JobStatus::kInvalidInput, message);
    if (std::string message = CheckAvailableMemory(
            RecalculationJobPeakBytes(odf.crystalType, odf.resolution, odf.sampleSymmetry, true));
        !message.empty())
        return Failure(JobStatus::kInvalidInput, message);
    if (context.odfEngine == ODFEngine::kClassic && !FiveDegreePath(odf.resolution))
        return Failure(JobStatus::kInvalidInput, kClassicEngineResolutionText);

    const EngineRunOptions options = EngineOptions(context);
    double direction[3];
    SampleDirection(params.alpha, params.beta, direction);
    // GetInvPolFig writes the 3 x 3 crystal axes here; the sample direction
    // goes to the initialisation only.
    double axes[3][3] = {};
    std::optional<orimath::Grid2<double>> ipf;
    Report(context, kOpeningText, kStatusPosition);
    if (ClassicRecalculation(context, odf.resolution)) {
        RawHODFInfo readInfo{};
        std::string detail;
        std::unique_ptr<double[]> full = ReadFullOdf(params.odfFile, &readInfo, &detail);
        if (!full)
            return Failure(JobStatus::kOpenFailed, kOpenFailedText, std::move(detail));
        auto engine = std::make_unique<CODFlib>();
        engine->SetRunOptions(options);
        engine->IniInvPolFigCal(odf.crystalType, odf.lattice, direction);
        Report(context, "Calculating", kStatusPosition);
        double fixed[19][73];
        if (!engine->GetInvPolFig(fixed, axes, reinterpret_cast<FullOdf>(full.get())))
            return EngineFailure(engine->LastResult(), "Inverse pole figure calculation failed");
        ipf = CopyFixedFigure(fixed);
        if (!ipf)
            return Failure(JobStatus::kSaveFailed, kSaveFailedText);
    } else {
        orimath::Grid3<double> grid;
        std::string detail;
        if (std::string message = ReadReducedOdf(params.odfFile, odf, &grid, &detail);
            !message.empty())
            return Failure(JobStatus::kOpenFailed, message, std::move(detail));
        auto engine = std::make_unique<HODF>();
        engine->SetRunOptions(options);
        engine->IniInvPolFigCal(odf.crystalType, odf.lattice, direction, odf.resolution,
                                odf.sampleSymmetry);
        ipf = FullSpaceFigure(odf.resolution);
        if (!ipf)
            return Failure(JobStatus::kEngineFailed,
                           "Can not allocate memory for the inverse pole figure");
        Report(context, "Calculating", kStatusPosition);
        if (!engine->GetInvPolFig(ipf->Tree(), axes, grid.Tree()))
            return EngineFailure(engine->LastResult(), "Inverse pole figure calculation failed");
    }

    IPFFileInfo info;
    info.fileName = params.ipfFile;
    info.crystalType = odf.crystalType;
    for (int i = 0; i < 6; ++i)
        info.lattice[i] = odf.lattice[i];
    info.angle1 = params.alpha;
    info.angle2 = params.beta;
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            info.directions[i][j] = axes[i][j];
    info.resolution = FiveDegreePath(odf.resolution) ? 5.0 : odf.resolution;
    return SaveFigure(params.ipfFile, kResultInversePoleFigure, context, [&](const char* file) {
        return SaveHIPFFile(file, &info, ipf->alphaCount(), ipf->betaCount(), ipf->Tree());
    });
}

} // namespace calcjobs
