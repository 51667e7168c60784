// quelta-cli convert: pole figures of any readable layout to HPF or TPF, ODFs
// of any readable layout to HODF (first or second generation), TODF or TTO.
// The output layout follows the output file's extension.
#include <CLI/CLI.hpp>
#include <cmath>
#include <cstdio>
#include <memory>

#include "cli_common.h"
#include "commands.h"
#include "dataformats/dataformats.h"
#include "file_kind.h"
#include "orimath/arrays.h"
#include "orimath/constants.h"

namespace quelta_cli {
namespace {

struct ConvertOptions {
    std::string input;
    std::string output;
    int generation = 1;
};

// The 5 degree layouts (TPF, TODF, TTO) hold nothing else.
bool IsFiveDegrees(double res) {
    return std::fabs(res - 5.0) < 0.0001;
}

void ConvertPoleFigure(const ConvertOptions& opt, int layout) {
    const std::string ext = UpperExtension(opt.output);
    if (ext != "HPF" && ext != "TPF")
        Fail("A pole figure can be converted to .HPF or .TPF only, not ." + ext, kExitUsage);
    PFFileInfo info;
    int nA = 0, nB = 0;
    double** grid = Open_PF_File(opt.input.c_str(), &info, layout, &nA, &nB);
    if (!grid)
        Fail("Can not read pole figure file " + opt.input);
    int ok = 0;
    if (ext == "HPF") {
        // The description line is carried over as it stands.
        info.crystalType = -1;
        ok = SaveHPFFile(opt.output.c_str(), &info, nA, nB, grid);
    } else {
        if (nA != 19 || nB != 73) {
            FreeMem2D(grid, nA, nB);
            char text[200];
            std::snprintf(text, sizeof text,
                          "TPF files hold 5 degree pole figures only; this one has a resolution of "
                          "%.2f degrees "
                          "(write .HPF instead)",
                          info.resolution);
            Fail(text, kExitUsage);
        }
        ParserPFInfo(info.description.c_str(), &info);
        if (!orimath::IsValidCrystalType(info.crystalType))
            info.crystalType = 0;
        info.fileName = opt.output;
        double fixed[19][73];
        for (int i = 0; i < 19; ++i)
            for (int j = 0; j < 73; ++j)
                fixed[i][j] = grid[i][j];
        ok = SavePFFile(&info, fixed);
    }
    FreeMem2D(grid, nA, nB);
    if (!ok)
        Fail("Can not save file");
}

void ConvertODF(const ConvertOptions& opt, int layout) {
    const std::string ext = UpperExtension(opt.output);
    if (ext != "HODF" && ext != "TODF" && ext != "TTO")
        Fail("An ODF can be converted to .HODF, .TODF or .TTO only, not ." + ext, kExitUsage);
    RawHODFInfo info{};
    int n1 = 0, n = 0, n2 = 0;
    double*** grid = nullptr;
    if (layout == kTTOLayout) {
        std::snprintf(info.path, sizeof info.path, "%s", opt.input.c_str());
        grid = OpenTTOFile(&info, &n1, &n, &n2);
        info.resolution = 5;
    } else {
        grid = Open_ODF_File(opt.input.c_str(), &info, layout, &n1, &n, &n2);
    }
    if (!grid)
        Fail("Can not open ODF file");
    if (ext != "HODF" && !IsFiveDegrees(info.resolution)) {
        FreeMem3D(grid, n2, n, n1);
        char text[220];
        std::snprintf(text, sizeof text,
                      "%s files hold 5 degree ODFs only; this ODF has a resolution of %.2f degrees "
                      "(write .HODF "
                      "instead)",
                      ext.c_str(), info.resolution);
        Fail(text, kExitUsage);
    }
    int ok = 0;
    if (ext == "HODF") {
        ok = opt.generation == 2 ? Save_ODF_File2(opt.output.c_str(), grid, &info, n1, n, n2)
                                 : Save_ODF_File(opt.output.c_str(), grid, &info, n1, n, n2);
    } else if (ext == "TTO") {
        std::snprintf(info.path, sizeof info.path, "%s", opt.output.c_str());
        ok = SaveTTOFile(&info, grid, n1, n, n2);
    } else {
        // TODF holds the full 73 x 37 x 73 grid: unfold the file's reduced region.
        auto full = std::make_unique<double[]>(73 * 37 * 73);
        auto* cube = reinterpret_cast<double(*)[37][73]>(full.get());
        RawHODFInfo fullInfo{};
        int read = layout == kTTOLayout
                       ? OpenALLODF(opt.input.c_str(), &fullInfo, cube)
                       : Open_ODF_File_73x37x73(opt.input.c_str(), &fullInfo, layout, cube);
        if (read) {
            std::snprintf(info.path, sizeof info.path, "%s", opt.output.c_str());
            ok = SaveODFFile(&info, full.get());
        }
    }
    FreeMem3D(grid, n2, n, n1);
    if (!ok)
        Fail("Can not save file");
}

} // namespace

void ConvertODFFile(const std::string& input, const std::string& output, int generation) {
    FileKind kind = DetectFileKind(input);
    if (kind.family != FileFamily::kODF)
        Fail("Can not open ODF file");
    ConvertOptions opt{input, output, generation};
    ConvertODF(opt, kind.layout);
}

namespace {

void RunConvert(const ConvertOptions& opt) {
    if (!OutputFolderWritable(opt.output))
        Fail("Cannot write file " + opt.output);
    FileKind kind = DetectFileKind(opt.input);
    switch (kind.family) {
    case FileFamily::kPoleFigure:
        ConvertPoleFigure(opt, kind.layout);
        break;
    case FileFamily::kODF:
        ConvertODF(opt, kind.layout);
        break;
    case FileFamily::kNone:
        Fail("Not a pole figure or ODF file the suite reads: " + opt.input);
    default:
        Fail(std::string("Conversion of ") + FamilyName(kind.family) + " files is not offered");
    }
    std::printf("Written: %s\n", opt.output.c_str());
}

} // namespace

void AddConvertCommand(CLI::App& app) {
    auto opt = std::make_shared<ConvertOptions>();
    CLI::App* cmd =
        app.add_subcommand("convert", "Convert a pole figure of any readable layout to HPF or TPF "
                                      "(5 degrees only), or an ODF of any "
                                      "readable layout to HODF, TODF or TTO (the last two 5 "
                                      "degrees only). The output layout follows the "
                                      "output file's extension.");
    cmd->add_option("input", opt->input, "pole figure or ODF file")
        ->required()
        ->check(CLI::ExistingFile);
    cmd->add_option("output", opt->output, "output file: .HPF, .TPF, .HODF, .TODF or .TTO")
        ->required();
    cmd->add_option("--generation", opt->generation, "HODF text generation to write (1 or 2)")
        ->default_val(1)
        ->check(CLI::Range(1, 2));
    cmd->callback([opt] { RunConvert(*opt); });
}

} // namespace quelta_cli
