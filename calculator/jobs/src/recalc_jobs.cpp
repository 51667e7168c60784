#include "calcjobs/recalc_jobs.h"

#include <cctype>
#include <cmath>
#include <cstdio>
#include <memory>

#include "calcjobs/validation.h"
#include "dataformats/inversepf.h"
#include "dataformats/polefigure.h"
#include "engine_progress.h"
#include "odfengine/codflib.h"
#include "odfengine/hodf.h"
#include "orimath/arrays.h"
#include "orimath/constants.h"
#include "orimath/ranges.h"

namespace calcjobs {
namespace {

constexpr char kOpeningText[] = "Openning ODF File";
constexpr char kOpenFailedText[] = "Can not open ODF file";
constexpr char kSaveFailedText[] = "Can not save file";

JobResult Failure(JobStatus status, std::string message) {
    JobResult result;
    result.status = status;
    result.message = std::move(message);
    return result;
}

// The recalculation tolerance is wider than the ODF command's 0.0001: an ODF
// stored at 5.0005 degrees is read onto the 5 degree grid.
bool FiveDegreePath(double res) {
    return std::fabs(res - 5.0) < 0.001;
}

struct Grid2D {
    double** data = nullptr;
    int rows = 0, columns = 0;
    Grid2D(int r, int c) : data(AllocMem2D(r, c)), rows(r), columns(c) {}
    ~Grid2D() { FreeMem2D(data, rows, columns); }
    Grid2D(const Grid2D&) = delete;
    Grid2D& operator=(const Grid2D&) = delete;
};

struct Grid3D {
    double*** data = nullptr;
    int n1 = 0, n = 0, n2 = 0;
    Grid3D() = default;
    ~Grid3D() { FreeMem3D(data, n2, n, n1); }
    Grid3D(const Grid3D&) = delete;
    Grid3D& operator=(const Grid3D&) = delete;
};

using FullOdf = double (*)[37][73];

// TTO files (5 degree text) are not reported by the layout detection; they
// are recognised by their extension, as the 5 degree readers do.
bool IsTTO(const std::string& file) {
    size_t dot = file.find_last_of('.');
    if (dot == std::string::npos || file.size() - dot != 4)
        return false;
    std::string ext = file.substr(dot + 1);
    for (char& c : ext)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return ext == "TTO";
}

// Reads a TTO file (description and reduced grid); the layout carries no
// resolution, sample-symmetry or fibre fields: it is a 5 degree grid.
double*** OpenTTO(const std::string& file, RawHODFInfo* info, int* n1, int* n, int* n2) {
    *info = RawHODFInfo{};
    std::snprintf(info->path, sizeof info->path, "%s", file.c_str());
    double*** grid = OpenTTOFile(info, n1, n, n2);
    if (grid && info->resolution <= 0)
        info->resolution = 5.0;
    return grid;
}

// Reads the ODF onto the full 5 degree grid (a buffer of the job's own).
std::unique_ptr<double[]> ReadFullOdf(const std::string& file, RawHODFInfo* info) {
    auto buffer = std::make_unique<double[]>(73 * 37 * 73);
    auto* full = reinterpret_cast<FullOdf>(buffer.get());
    int type = GetODFFileType(file);
    if (type < 0 && IsTTO(file))
        return OpenALLODF(file.c_str(), info, full) ? std::move(buffer) : nullptr;
    if (type < 0 || !Open_ODF_File_73x37x73(file.c_str(), info, type, full))
        return nullptr;
    return buffer;
}

// Reads the ODF on its own reduced grid and checks that the grid has the
// counts that the engine derives from the description; a file whose header
// and data disagree would otherwise be indexed out of bounds.
std::string ReadReducedOdf(const std::string& file, const RawHODFInfo& described, Grid3D* grid) {
    RawHODFInfo info{};
    int type = GetODFFileType(file);
    if (type < 0 && IsTTO(file))
        grid->data = OpenTTO(file, &info, &grid->n1, &grid->n, &grid->n2);
    else if (type >= 0)
        grid->data = Open_ODF_File(file.c_str(), &info, type, &grid->n1, &grid->n, &grid->n2);
    if (!grid->data)
        return kOpenFailedText;
    int n1 = 0, n = 0, n2 = 0;
    GetEulerRangeInODFSpace(&n1, &n, &n2, described.crystalType, described.resolution,
                            described.sampleSymmetry || described.fibreAverage);
    if (n1 != grid->n1 || n != grid->n || n2 != grid->n2) {
        char text[240];
        std::snprintf(
            text, sizeof text,
            "ODF grid %d x %d x %d does not match the %d x %d x %d grid of its crystal system and "
            "resolution %.2f",
            grid->n1, grid->n, grid->n2, n1, n, n2, described.resolution);
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
// null when the grid can not be allocated.
std::unique_ptr<Grid2D> CopyFixedFigure(const double (&fixed)[19][73]) {
    auto figure = std::make_unique<Grid2D>(19, 73);
    if (!figure->data)
        return nullptr;
    for (int i = 0; i < 19; ++i)
        for (int j = 0; j < 73; ++j)
            figure->data[i][j] = fixed[i][j];
    return figure;
}

// A figure on the full pole figure grid of the resolution; null when it can
// not be allocated.
std::unique_ptr<Grid2D> FullSpaceFigure(double res) {
    int nA = 0, nB = 0;
    Get_AB_Range_In_Full_PF_Space(&nA, &nB, res);
    auto figure = std::make_unique<Grid2D>(nA, nB);
    if (!figure->data)
        return nullptr;
    return figure;
}

// The result of a job that wrote `file`, shown in the viewer when asked.
JobResult Written(const std::string& file, int kind, const LaunchViewerFn& launchViewer) {
    JobResult result;
    result.outputFile = file;
    if (launchViewer)
        launchViewer(kind, file);
    return result;
}

} // namespace

std::string LoadODFInfo(const std::string& odfFile, RawHODFInfo* info) {
    *info = RawHODFInfo{};
    int type = GetODFFileType(odfFile);
    if (type < 0 && IsTTO(odfFile)) {
        int n1 = 0, n = 0, n2 = 0;
        double*** grid = OpenTTO(odfFile, info, &n1, &n, &n2);
        if (!grid)
            return "Can not open " + odfFile;
        FreeMem3D(grid, n2, n, n1);
        return {};
    }
    if (type < 0 || !Get_ODF_File_Info(odfFile.c_str(), info, type))
        return "Can not open " + odfFile;
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
    if (std::string message = ValidatePFSetup(params.h, params.k, params.l, params.pfFile);
        !message.empty())
        return Failure(JobStatus::kInvalidInput, message);
    RawHODFInfo& odf = params.odfInfo;
    if (std::string message = PrepareDescription(&odf); !message.empty())
        return Failure(JobStatus::kInvalidInput, message);

    EngineProgress engineProgress(progress);
    double hkl[3] = {params.h, params.k, params.l};
    std::unique_ptr<Grid2D> pf;
    engineProgress.Report(kOpeningText, kStatusPosition);
    if (FiveDegreePath(odf.resolution)) {
        RawHODFInfo readInfo{};
        std::unique_ptr<double[]> full = ReadFullOdf(params.odfFile, &readInfo);
        if (!full)
            return Failure(JobStatus::kOpenFailed, kOpenFailedText);
        auto engine = std::make_unique<CODFlib>();
        engine->SetCallBack(engineProgress.Callback());
        engine->IniPolFigCal(odf.crystalType, odf.lattice, hkl);
        double fixed[19][73];
        if (!engine->GetPolFig(fixed, reinterpret_cast<FullOdf>(full.get())))
            return Failure(JobStatus::kEngineFailed,
                           engineProgress.FailureText("Pole figure calculation failed"));
        pf = CopyFixedFigure(fixed);
        if (!pf)
            return Failure(JobStatus::kSaveFailed, kSaveFailedText);
    } else {
        Grid3D grid;
        if (std::string message = ReadReducedOdf(params.odfFile, odf, &grid); !message.empty())
            return Failure(JobStatus::kOpenFailed, message);
        auto engine = std::make_unique<HODF>();
        engine->SetCallBack(engineProgress.Callback());
        engine->IniPolFigCal(odf.crystalType, odf.lattice, hkl, odf.resolution, odf.sampleSymmetry,
                             odf.fibreAverage);
        pf = FullSpaceFigure(odf.resolution);
        if (!pf)
            return Failure(JobStatus::kEngineFailed, "Can not allocate memory for the pole figure");
        if (!engine->GetPolFig(pf->data, grid.data))
            return Failure(JobStatus::kEngineFailed,
                           engineProgress.FailureText("Pole figure calculation failed"));
    }

    PFFileInfo info = DescribePoleFigure(params.pfFile, odf.crystalType, hkl, odf.lattice,
                                         FiveDegreePath(odf.resolution) ? 5.0 : odf.resolution,
                                         "Recalculated Pole Figure");
    if (!SaveHPFFile(params.pfFile.c_str(), &info, pf->rows, pf->columns, pf->data))
        return Failure(JobStatus::kSaveFailed, kSaveFailedText);
    return Written(params.pfFile, kResultPoleFigure, launchViewer);
}

JobResult IPFJob(IPFJobParams params, const ProgressFn& progress,
                 const LaunchViewerFn& launchViewer) {
    if (std::string message = ValidateIPFSetup(params.ipfFile); !message.empty())
        return Failure(JobStatus::kInvalidInput, message);
    RawHODFInfo& odf = params.odfInfo;
    if (std::string message = PrepareDescription(&odf); !message.empty())
        return Failure(JobStatus::kInvalidInput, message);

    EngineProgress engineProgress(progress);
    double direction[3];
    SampleDirection(params.alpha, params.beta, direction);
    // GetInvPolFig writes the 3 x 3 crystal axes here; the sample direction
    // goes to the initialisation only.
    double axes[3][3] = {};
    std::unique_ptr<Grid2D> ipf;
    engineProgress.Report(kOpeningText, kStatusPosition);
    if (FiveDegreePath(odf.resolution)) {
        RawHODFInfo readInfo{};
        std::unique_ptr<double[]> full = ReadFullOdf(params.odfFile, &readInfo);
        if (!full)
            return Failure(JobStatus::kOpenFailed, kOpenFailedText);
        auto engine = std::make_unique<CODFlib>();
        engine->SetCallBack(engineProgress.Callback());
        engine->IniInvPolFigCal(odf.crystalType, odf.lattice, direction);
        engineProgress.Report("Calculating", kStatusPosition);
        double fixed[19][73];
        if (!engine->GetInvPolFig(fixed, axes, reinterpret_cast<FullOdf>(full.get())))
            return Failure(JobStatus::kEngineFailed,
                           engineProgress.FailureText("Inverse pole figure calculation failed"));
        ipf = CopyFixedFigure(fixed);
        if (!ipf)
            return Failure(JobStatus::kSaveFailed, kSaveFailedText);
    } else {
        Grid3D grid;
        if (std::string message = ReadReducedOdf(params.odfFile, odf, &grid); !message.empty())
            return Failure(JobStatus::kOpenFailed, message);
        auto engine = std::make_unique<HODF>();
        engine->SetCallBack(engineProgress.Callback());
        engine->IniInvPolFigCal(odf.crystalType, odf.lattice, direction, odf.resolution,
                                odf.sampleSymmetry);
        ipf = FullSpaceFigure(odf.resolution);
        if (!ipf)
            return Failure(JobStatus::kEngineFailed,
                           "Can not allocate memory for the inverse pole figure");
        engineProgress.Report("Calculating", kStatusPosition);
        if (!engine->GetInvPolFig(ipf->data, axes, grid.data))
            return Failure(JobStatus::kEngineFailed,
                           engineProgress.FailureText("Inverse pole figure calculation failed"));
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
    if (!SaveHIPFFile(params.ipfFile.c_str(), &info, ipf->rows, ipf->columns, ipf->data))
        return Failure(JobStatus::kSaveFailed, kSaveFailedText);
    return Written(params.ipfFile, kResultInversePoleFigure, launchViewer);
}

} // namespace calcjobs
