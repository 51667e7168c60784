// quelta-cli info: detects the layout of texture files and prints their
// description, and whether the data read completely.
#include <CLI/CLI.hpp>
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <limits>
#include <memory>

#include "calcjobs/odf_info.h"
#include "cli_common.h"
#include "commands.h"
#include "dataformats/dataformats.h"
#include "file_kind.h"
#include "orimath/arrays.h"
#include "orimath/ranges.h"
#include "orimath/symmetry.h"

namespace quelta_cli {
namespace {

std::string CrystalName(int type) {
    char name[32] = "Unknown";
    Get_Crystal_Type_Name(name, type);
    return name;
}

void PrintRange(const char* label, double lo, double hi) {
    std::printf("  %s: min %.4f, max %.4f\n", label, lo, hi);
}

bool InfoPoleFigure(const std::string& path, int layout) {
    PFFileInfo info;
    if (!Get_PF_File_Info(path.c_str(), layout, &info)) {
        std::printf("  description: unreadable\n");
        return false;
    }
    std::printf("  description: %s\n  resolution: %.2f degrees\n", info.description.c_str(),
                info.resolution);
    int nA = 0, nB = 0;
    double** grid = Open_PF_File(path.c_str(), &info, layout, &nA, &nB);
    if (!grid) {
        std::printf("  data: could not be read\n");
        return false;
    }
    double lo = std::numeric_limits<double>::max(), hi = -lo;
    int emptyRings = 0;
    for (int i = 0; i < nA; ++i) {
        bool empty = true;
        for (int j = 0; j < nB; ++j) {
            lo = std::min(lo, grid[i][j]);
            hi = std::max(hi, grid[i][j]);
            if (grid[i][j] != 0)
                empty = false;
        }
        emptyRings += empty;
    }
    std::printf("  grid: %d x %d (alpha x beta), %d empty ring(s)\n", nA, nB, emptyRings);
    PrintRange("values", lo, hi);
    FreeMem2D(grid, nA, nB);
    if (layout == 3) {
        int count = Get_UXD_PF_Count(path.c_str());
        if (count > 1)
            std::printf("  pole figures in file: %d (the first is described)\n", count);
    }
    return true;
}

bool InfoODF(const std::string& path, int layout) {
    RawHODFInfo info{};
    double*** grid = nullptr;
    int n1 = 0, n = 0, n2 = 0;
    if (layout == kTTOLayout) {
        std::snprintf(info.path, sizeof info.path, "%s", path.c_str());
        grid = OpenTTOFile(&info, &n1, &n, &n2);
        info.resolution = 5;
    } else {
        if (!Get_ODF_File_Info(path.c_str(), &info, layout)) {
            std::printf("  description: unreadable\n");
            return false;
        }
        grid = Open_ODF_File(path.c_str(), &info, layout, &n1, &n, &n2);
    }
    std::printf("  %s\n", calcjobs::FormatODFInfoLine(info).c_str());
    std::printf("  crystal system: %s (%d)\n", CrystalName(info.crystalType).c_str(),
                info.crystalType);
    int nPF = std::clamp(info.nPF, 0, 6);
    std::printf("  pole figures used: %d%s\n", info.nPF,
                info.normalized ? ", normalised before the calculation" : "");
    for (int i = 0; i < nPF; ++i) {
        std::string name(info.pfNames[i], strnlen(info.pfNames[i], sizeof info.pfNames[i]));
        std::printf("    (%.0f %.0f %.0f) %s\n", info.hkl[i][0], info.hkl[i][1], info.hkl[i][2],
                    name.c_str());
    }
    std::printf("  iterations: %d, final deviation: %.4f\n", info.iterations, info.deviation);
    if (!grid) {
        std::printf("  data: could not be read\n");
        return false;
    }
    double lo = std::numeric_limits<double>::max(), hi = -lo;
    for (int k = 0; k < n2; ++k)
        for (int j = 0; j < n; ++j)
            for (int i = 0; i < n1; ++i) {
                lo = std::min(lo, grid[k][j][i]);
                hi = std::max(hi, grid[k][j][i]);
            }
    std::printf("  grid: %d x %d x %d (phi1 x Phi x phi2)\n", n1, n, n2);
    PrintRange("values", lo, hi);
    FreeMem3D(grid, n2, n, n1);
    return true;
}

bool InfoInversePoleFigure(const std::string& path, int layout) {
    IPFFileInfo info;
    if (!Get_IPF_File_Info(path.c_str(), layout, &info)) {
        std::printf("  description: unreadable\n");
        return false;
    }
    std::printf("  crystal system: %s, resolution: %.2f degrees, angles (%.0f, %.0f)\n",
                CrystalName(info.crystalType).c_str(), info.resolution, info.angle1, info.angle2);
    for (const auto& d : info.directions)
        std::printf("  direction: [%.2f %.2f %.2f]\n", d[0], d[1], d[2]);
    int nA = 0, nB = 0;
    double** grid = Open_IPF_File(path.c_str(), &info, layout, &nA, &nB);
    if (!grid) {
        std::printf("  data: could not be read\n");
        return false;
    }
    double lo = std::numeric_limits<double>::max(), hi = -lo;
    for (int i = 0; i < nA; ++i)
        for (int j = 0; j < nB; ++j) {
            lo = std::min(lo, grid[i][j]);
            hi = std::max(hi, grid[i][j]);
        }
    std::printf("  grid: %d x %d\n", nA, nB);
    PrintRange("values", lo, hi);
    FreeMem2D(grid, nA, nB);
    return true;
}

bool InfoGBCD(const std::string& path, int layout) {
    GBCDFileInfo info;
    auto angle = std::make_unique<double[]>(kGBCDAngleCount);
    auto csl = std::make_unique<double[]>(kCSLClassCount);
    if (!Open_GBCD_File(path.c_str(), &info, layout, angle.get(), csl.get())) {
        std::printf("  data: could not be read\n");
        return false;
    }
    std::printf("  description: %s\n  grain pairs: %d\n  CSL distribution: %s\n",
                info.description.c_str(), info.grainPairs, info.cslCalculated ? "yes" : "no");
    return true;
}

int RunInfo(const std::vector<std::string>& files) {
    int failures = 0;
    for (const std::string& path : files) {
        FileKind kind = DetectFileKind(path);
        std::printf("%s\n", path.c_str());
        if (kind.family == FileFamily::kNone) {
            std::printf(
                "  not a pole figure, ODF, inverse pole figure or GBCD file the suite reads\n");
            ++failures;
            continue;
        }
        std::printf("  kind: %s\n  layout: %d, %s\n", FamilyName(kind.family), kind.layout,
                    LayoutName(kind.family, kind.layout));
        bool ok = false;
        switch (kind.family) {
        case FileFamily::kPoleFigure:
            ok = InfoPoleFigure(path, kind.layout);
            break;
        case FileFamily::kODF:
            ok = InfoODF(path, kind.layout);
            break;
        case FileFamily::kInversePoleFigure:
            ok = InfoInversePoleFigure(path, kind.layout);
            break;
        case FileFamily::kGBCD:
            ok = InfoGBCD(path, kind.layout);
            break;
        default:
            break;
        }
        failures += !ok;
    }
    std::fflush(stdout);
    return failures;
}

} // namespace

void AddInfoCommand(CLI::App& app) {
    auto files = std::make_shared<std::vector<std::string>>();
    CLI::App* cmd = app.add_subcommand(
        "info",
        "Detect the layout of pole figure, ODF, inverse pole figure or GBCD files and print their "
        "description, grid and value range. Exit code 1 when any file is not recognised or its "
        "data "
        "does not read.");
    cmd->add_option("files", *files, "files to describe")->required()->check(CLI::ExistingFile);
    cmd->callback([files] {
        if (RunInfo(*files) > 0)
            throw CLI::RuntimeError(kExitFailure);
    });
}

} // namespace quelta_cli
