// quelta-cli convert: pole figures of any readable layout to HPF or TPF, ODFs
// of any readable layout to HODF (first or second generation), TODF or TTO.
// The output layout follows the output file's extension.
#include <CLI/CLI.hpp>
#include <cmath>
#include <cstdio>
#include <utility>

#include "cli_common.h"
#include "commands.h"
#include "dataformats/dataformats.h"
#include "dataformats/file_layouts.h"
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

// Reads the input in its layout; ends the command with `failure` and the
// reason when it does not read.
dataformats::FileData ReadInput(const dataformats::FileLayout& layout, const std::string& input,
                                const std::string& failure) {
    auto data = layout.Read(input);
    if (!data)
        Fail(failure + ": " + data.error().Text());
    return std::move(*data);
}

// Writes in the layout of the output's extension (checked by the caller).
void Write(const dataformats::FileLayout* layout, const std::string& output,
           const dataformats::FileData& data) {
    if (layout == nullptr || !layout->Write(output, data))
        Fail("Can not save file");
}

void ConvertPoleFigure(const ConvertOptions& opt, const dataformats::FileLayout& layout) {
    const std::string ext = UpperExtension(opt.output);
    if (ext != "HPF" && ext != "TPF")
        Fail("A pole figure can be converted to .HPF or .TPF only, not ." + ext, kExitUsage);
    dataformats::FileData data =
        ReadInput(layout, opt.input, "Can not read pole figure file " + opt.input);
    PFFileInfo& info = data.description.pf;
    if (ext == "HPF") {
        // The description line is carried over as it stands.
        info.crystalType = -1;
        Write(dataformats::FindWriter(dataformats::FileFamily::PoleFigure, opt.output), opt.output,
              data);
        return;
    }
    if (data.grid2.alphaCount() != 19 || data.grid2.betaCount() != 73) {
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
    Write(dataformats::FindWriter(dataformats::FileFamily::PoleFigure, opt.output), opt.output,
          data);
}

void ConvertODF(const ConvertOptions& opt, const dataformats::FileLayout& layout) {
    const std::string ext = UpperExtension(opt.output);
    if (ext != "HODF" && ext != "TODF" && ext != "TTO")
        Fail("An ODF can be converted to .HODF, .TODF or .TTO only, not ." + ext, kExitUsage);
    dataformats::FileData data = ReadInput(layout, opt.input, "Can not open ODF file");
    const RawHODFInfo& info = data.description.odf;
    if (ext != "HODF" && !IsFiveDegrees(info.resolution)) {
        char text[220];
        std::snprintf(text, sizeof text,
                      "%s files hold 5 degree ODFs only; this ODF has a resolution of %.2f degrees "
                      "(write .HODF "
                      "instead)",
                      ext.c_str(), info.resolution);
        Fail(text, kExitUsage);
    }
    // A .HODF output is written in the generation asked for.
    const dataformats::FileLayout* writer =
        ext == "HODF" && opt.generation == 2
            ? dataformats::FindLayout("hodf2")
            : dataformats::FindWriter(dataformats::FileFamily::ODF, opt.output);
    Write(writer, opt.output, data);
}

} // namespace

void ConvertODFFile(const std::string& input, const std::string& output, int generation) {
    dataformats::FileProbe probe(input);
    const dataformats::FileLayout* layout =
        dataformats::DetectLayout(probe, dataformats::FileFamily::ODF);
    if (layout == nullptr)
        Fail("Can not open ODF file");
    ConvertOptions opt{input, output, generation};
    ConvertODF(opt, *layout);
}

namespace {

void RunConvert(const ConvertOptions& opt) {
    if (!OutputFolderWritable(opt.output))
        Fail("Cannot write file " + opt.output);
    auto layout = dataformats::DetectLayout(opt.input);
    if (!layout)
        Fail("Not a pole figure or ODF file the suite reads: " + opt.input + " (" +
             layout.error().Text() + ")");
    switch ((*layout)->family) {
    case dataformats::FileFamily::PoleFigure:
        ConvertPoleFigure(opt, **layout);
        break;
    case dataformats::FileFamily::ODF:
        ConvertODF(opt, **layout);
        break;
    default:
        Fail(std::string("Conversion of ") + dataformats::FamilyName((*layout)->family) +
             " files is not offered");
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
