// quelta-cli info: detects the layout of texture files and prints their
// description, and whether the data read completely (and if not, why).
#include <CLI/CLI.hpp>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <memory>

#include "calcjobs/odf_info.h"
#include "cli_common.h"
#include "commands.h"
#include "dataformats/file_layouts.h"
#include "json_writer.h"
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

// Prints the reason a file could not be read: in the file's block on
// stdout, and as "<path>: <reason>" on stderr for scripts.
void PrintFailure(const std::string& path, const char* label, const dataformats::FileError& e) {
    std::printf("  %s: %s\n", label, e.Text().c_str());
    std::fprintf(stderr, "%s: %s\n", path.c_str(), e.Text().c_str());
}

template <class Grid> void PrintValueRange(const Grid& grid) {
    const auto& v = grid.values();
    if (v.empty())
        return;
    PrintRange("values", *std::min_element(v.begin(), v.end()),
               *std::max_element(v.begin(), v.end()));
}

// The cells the layout says were measured, when it knows them: the tilt
// range of the rows holding a measured cell and the count of such cells.
void PrintMeasuredCells(const dataformats::FileData& data) {
    const auto& mask = data.measured;
    if (mask.empty() || mask.extent() != data.grid2.extent())
        return;
    int first = -1, last = -1;
    long long cells = 0;
    for (int i = 0; i < mask.alphaCount(); ++i)
        for (int j = 0; j < mask.betaCount(); ++j)
            if (mask[i][j]) {
                ++cells;
                if (first < 0)
                    first = i;
                last = i;
            }
    if (first < 0) {
        std::printf("  measured: no cell, 0 of %zu cells\n", mask.size());
        return;
    }
    const double res = data.description.pf.resolution;
    std::printf("  measured: alpha %g-%g (rows %d-%d), %lld of %zu cells\n", first * res,
                last * res, first, last, cells, mask.size());
}

void PrintPoleFigure(const dataformats::FileData& data) {
    const auto& grid = data.grid2;
    int emptyRings = 0;
    for (int i = 0; i < grid.alphaCount(); ++i) {
        bool empty = true;
        for (int j = 0; j < grid.betaCount(); ++j)
            if (grid[i][j] != 0)
                empty = false;
        emptyRings += empty;
    }
    std::printf("  grid: %d x %d (alpha x beta), %d empty ring(s)\n", grid.alphaCount(),
                grid.betaCount(), emptyRings);
    PrintValueRange(grid);
    PrintMeasuredCells(data);
}

void PrintPoleFigureDescription(const PFFileInfo& info) {
    std::printf("  description: %s\n  resolution: %.2f degrees\n", info.description.c_str(),
                info.resolution);
}

void PrintODFDescription(const RawHODFInfo& info) {
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
}

void PrintODF(const dataformats::FileData& data) {
    const auto& grid = data.grid3;
    std::printf("  grid: %d x %d x %d (phi1 x Phi x phi2)\n", grid.phi1Count(), grid.PhiCount(),
                grid.phi2Count());
    PrintValueRange(grid);
}

void PrintIPFDescription(const IPFFileInfo& info) {
    std::printf("  crystal system: %s, resolution: %.2f degrees, angles (%.0f, %.0f)\n",
                CrystalName(info.crystalType).c_str(), info.resolution, info.angle1, info.angle2);
    for (const auto& d : info.directions)
        std::printf("  direction: [%.2f %.2f %.2f]\n", d[0], d[1], d[2]);
}

void PrintIPF(const dataformats::FileData& data) {
    std::printf("  grid: %d x %d\n", data.grid2.alphaCount(), data.grid2.betaCount());
    PrintValueRange(data.grid2);
}

void PrintGBCD(const dataformats::FileData& data) {
    const GBCDFileInfo& info = data.description.gbcd;
    std::printf("  description: %s\n  grain pairs: %d\n  CSL distribution: %s\n",
                info.description.c_str(), info.grainPairs, info.cslCalculated ? "yes" : "no");
}

void PrintDescription(const dataformats::FileDescription& d) {
    switch (d.family) {
    case dataformats::FileFamily::PoleFigure:
        PrintPoleFigureDescription(d.pf);
        break;
    case dataformats::FileFamily::ODF:
        PrintODFDescription(d.odf);
        break;
    case dataformats::FileFamily::InversePoleFigure:
        PrintIPFDescription(d.ipf);
        break;
    case dataformats::FileFamily::GBCD:
        break; // described with its data
    }
}

void PrintData(const dataformats::FileData& data) {
    switch (data.description.family) {
    case dataformats::FileFamily::PoleFigure:
        PrintPoleFigure(data);
        break;
    case dataformats::FileFamily::ODF:
        PrintODF(data);
        break;
    case dataformats::FileFamily::InversePoleFigure:
        PrintIPF(data);
        break;
    case dataformats::FileFamily::GBCD:
        PrintGBCD(data);
        break;
    }
}

// Describes one file; false when it is not recognised or does not read.
bool InfoFile(const std::string& path) {
    std::printf("%s\n", path.c_str());
    auto layout = dataformats::DetectLayout(path);
    if (!layout) {
        PrintFailure(path, "not readable", layout.error());
        return false;
    }
    const dataformats::FileLayout& l = **layout;
    std::printf("  kind: %s\n", dataformats::FamilyName(l.family));
    if (l.code >= 0)
        std::printf("  layout: %d, %s\n", l.code, l.name);
    else
        std::printf("  layout: %s\n", l.name);
    auto description = l.Describe(path);
    if (!description) {
        PrintFailure(path, "description unreadable", description.error());
        return false;
    }
    PrintDescription(*description);
    auto data = l.Read(path);
    if (!data) {
        PrintFailure(path, "data could not be read", data.error());
        return false;
    }
    PrintData(*data);
    if (auto count = l.Count(path); count && *count > 1)
        std::printf("  pole figures in file: %d (the first is described)\n", *count);
    return true;
}

// --json: the description of one file as an object of the files array;
// false when it is not recognised or does not read (the reason is in
// "error").
template <class Grid> void JsonValueRange(JsonWriter& json, const Grid& grid) {
    const auto& v = grid.values();
    if (v.empty())
        return;
    json.Key("values").BeginObject();
    json.Key("min").Number(*std::min_element(v.begin(), v.end()));
    json.Key("max").Number(*std::max_element(v.begin(), v.end()));
    json.EndObject();
}

bool InfoFileJson(const std::string& path, JsonWriter& json) {
    json.BeginObject().Key("path").String(path);
    auto fail = [&](const char* stage, const dataformats::FileError& e) {
        json.Key("readable").Bool(false).Key("failedAt").String(stage);
        json.Key("error").String(e.Text()).EndObject();
        std::fprintf(stderr, "%s: %s\n", path.c_str(), e.Text().c_str());
        return false;
    };
    auto layout = dataformats::DetectLayout(path);
    if (!layout)
        return fail("layout", layout.error());
    const dataformats::FileLayout& l = **layout;
    json.Key("kind").String(dataformats::FamilyName(l.family));
    json.Key("layout").String(l.name);
    if (l.code >= 0)
        json.Key("layoutCode").Integer(l.code);
    else
        json.Key("layoutCode").Null();
    auto description = l.Describe(path);
    if (!description)
        return fail("description", description.error());
    auto data = l.Read(path);
    if (!data)
        return fail("data", data.error());
    json.Key("readable").Bool(true);
    const dataformats::FileDescription& d = *description;
    switch (d.family) {
    case dataformats::FileFamily::PoleFigure:
        json.Key("description").String(d.pf.description);
        json.Key("resolution").Number(d.pf.resolution);
        json.Key("grid").BeginObject().Key("alpha").Integer(data->grid2.alphaCount());
        json.Key("beta").Integer(data->grid2.betaCount()).EndObject();
        JsonValueRange(json, data->grid2);
        break;
    case dataformats::FileFamily::ODF: {
        const RawHODFInfo& info = d.odf;
        json.Key("crystal").String(CrystalName(info.crystalType));
        json.Key("crystalCode").Integer(info.crystalType);
        json.Key("resolution").Number(info.resolution);
        json.Key("sampleSymmetry").Bool(info.sampleSymmetry != 0);
        json.Key("fibre").Bool(info.fibreAverage != 0);
        json.Key("poleFigures").BeginArray();
        for (int i = 0; i < std::clamp(info.nPF, 0, 6); ++i) {
            json.BeginObject().Key("file").String(
                std::string(info.pfNames[i], strnlen(info.pfNames[i], sizeof info.pfNames[i])));
            json.Key("hkl").BeginArray().Number(info.hkl[i][0]).Number(info.hkl[i][1]);
            json.Number(info.hkl[i][2]).EndArray().EndObject();
        }
        json.EndArray();
        json.Key("loops").Integer(info.iterations);
        json.Key("finalDeviation").Number(info.deviation);
        const auto& grid = data->grid3;
        json.Key("grid").BeginObject().Key("phi1").Integer(grid.phi1Count());
        json.Key("Phi").Integer(grid.PhiCount()).Key("phi2").Integer(grid.phi2Count());
        json.EndObject();
        JsonValueRange(json, grid);
        break;
    }
    case dataformats::FileFamily::InversePoleFigure:
        json.Key("crystal").String(CrystalName(d.ipf.crystalType));
        json.Key("crystalCode").Integer(d.ipf.crystalType);
        json.Key("resolution").Number(d.ipf.resolution);
        json.Key("grid").BeginObject().Key("alpha").Integer(data->grid2.alphaCount());
        json.Key("beta").Integer(data->grid2.betaCount()).EndObject();
        JsonValueRange(json, data->grid2);
        break;
    case dataformats::FileFamily::GBCD:
        json.Key("description").String(data->description.gbcd.description);
        json.Key("grainPairs").Integer(data->description.gbcd.grainPairs);
        json.Key("cslDistribution").Bool(data->description.gbcd.cslCalculated != 0);
        break;
    }
    if (auto count = l.Count(path); count)
        json.Key("figuresInFile").Integer(*count);
    json.EndObject();
    return true;
}

int RunInfoJson(const std::vector<std::string>& files) {
    const auto started = std::chrono::steady_clock::now();
    JsonWriter json;
    json.BeginObject().Key("command").String("info").Key("files").BeginArray();
    int failures = 0;
    for (const std::string& path : files)
        failures += !InfoFileJson(path, json);
    json.EndArray();
    json.Key("timings").BeginObject();
    json.Key("total").Number(Seconds(std::chrono::steady_clock::now() - started));
    json.EndObject().EndObject();
    std::printf("%s\n", json.Text().c_str());
    std::fflush(stdout);
    return failures;
}

int RunInfo(const std::vector<std::string>& files) {
    int failures = 0;
    for (const std::string& path : files)
        failures += !InfoFile(path);
    std::fflush(stdout);
    return failures;
}

} // namespace

void AddInfoCommand(CLI::App& app) {
    auto files = std::make_shared<std::vector<std::string>>();
    auto json = std::make_shared<bool>(false);
    CLI::App* cmd = app.add_subcommand(
        "info",
        "Detect the layout of pole figure, ODF, inverse pole figure or GBCD files and print their "
        "description, grid and value range. Exit code 1 when any file is not recognised or its "
        "data "
        "does not read.");
    cmd->add_option("files", *files, "files to describe")->required()->check(CLI::ExistingFile);
    cmd->add_flag("--json", *json,
                  "print one JSON object on stdout: an entry per file with its kind, layout, "
                  "description, grid and value range, or the reason it does not read");
    cmd->callback([files, json] {
        if ((*json ? RunInfoJson(*files) : RunInfo(*files)) > 0)
            throw CLI::RuntimeError(kExitFailure);
    });
}

} // namespace quelta_cli
