// quelta-cli model: pole figures (and the ODF) of a model texture, for sample
// data and tests. The ODF is a sum of Gaussian components around ideal
// orientations over a uniform background; its pole figures are recalculated
// by the arbitrary-resolution engine and written in the chosen layouts.
#include <CLI/CLI.hpp>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>

#include "calcjobs/job_output.h"
#include "calcjobs/validation.h"
#include "cli_common.h"
#include "commands.h"
#include "dataformats/odf.h"
#include "dataformats/polefigure.h"
#include "odfengine/model_odf.h"
#include "orimath/grid.h"
#include "orimath/ranges.h"

namespace quelta_cli {
namespace {

struct ModelOptions {
    std::string outDir = ".";
    std::string name = "model";
    std::string crystal = "cubic";
    std::vector<double> lattice{1, 1, 1, 90, 90, 90};
    double res = 5.0;
    bool noSampleSym = false;
    std::vector<std::vector<int>> hkl;
    double alphaMax = 90;
    std::vector<std::string> formats{"hpf"};
    std::vector<std::vector<std::string>> components; // NAME HALFWIDTH WEIGHT
    double background = 0.3;
    std::string odf;
    int threads = 0;
};

std::string HklText(const std::vector<int>& hkl) {
    std::string text;
    for (int v : hkl)
        text += std::to_string(v);
    return text;
}

// PolCon triplets (5 degrees): for each ring alpha 0..90 and azimuth 0..355,
// "alpha beta intensity"; the file starts with "0 0".
bool WritePolCon(const std::string& path, const orimath::Grid2<double>& grid) {
    const std::string temp = calcjobs::HiddenPathBeside(path);
    {
        std::ofstream out(temp);
        if (!out)
            return false;
        char line[64];
        for (int i = 0; i < 19; ++i)
            for (int j = 0; j < 72; ++j) {
                std::snprintf(line, sizeof line, "%d %d %.4f\n", 5 * i, 5 * j, grid[i][j]);
                out << line;
            }
        out.flush();
        if (!out) {
            std::error_code ignored;
            std::filesystem::remove(temp, ignored);
            return false;
        }
    }
    return ReplaceFile(temp, path);
}

void RunModel(const ModelOptions& opt) {
    const int type = ParseCrystalType(opt.crystal);
    if (type < 0)
        Fail("Unknown crystal system: " + opt.crystal, kExitUsage);
    if (std::string message = calcjobs::ValidateResolution(opt.res); !message.empty())
        Fail(message, kExitUsage);
    std::vector<std::vector<int>> hkl = opt.hkl;
    if (hkl.empty())
        hkl = {{1, 1, 1}, {2, 0, 0}, {2, 2, 0}};
    if (hkl.size() > 6)
        Fail("At most six pole figures", kExitUsage);
    for (const auto& v : hkl)
        if (v[0] == 0 && v[1] == 0 && v[2] == 0)
            Fail("Invalid Miller indices", kExitUsage);
    const bool fiveDegrees = std::fabs(opt.res - 5.0) < 0.0001;
    for (const std::string& format : opt.formats)
        if ((format == "tpf" || format == "polcon") && !fiveDegrees)
            Fail("The " + format + " layout holds 5 degree pole figures only", kExitUsage);

    double lattice[6];
    LatticeForCrystal(type, opt.lattice, lattice);
    std::vector<odfengine::ModelComponent> components;
    if (opt.components.empty()) {
        components = odfengine::DefaultRollingTexture();
    } else {
        for (const auto& c : opt.components) {
            odfengine::ModelComponent component;
            if (!odfengine::GetStandardComponent(c[0], std::atof(c[1].c_str()),
                                                 std::atof(c[2].c_str()), &component))
                Fail("Unknown texture component " + c[0] + " (Copper, Brass, S, Goss, Cube)",
                     kExitUsage);
            components.push_back(component);
        }
    }

    const int sampleSym = opt.noSampleSym ? 0 : 1;
    int n1 = 0, n = 0, n2 = 0;
    GetEulerRangeInODFSpace(&n1, &n, &n2, type, opt.res, sampleSym);
    auto odf = orimath::TryGrid<double>({.phi1 = n1, .Phi = n, .phi2 = n2});
    if (!odf)
        Fail("Can not allocate memory for the ODF");
    InterruptScope interrupt;
    EngineRunOptions options;
    options.cancel = interrupt.Token();
    options.threads = opt.threads;
    if (!odfengine::MakeModelODF(odf->Tree(), type, lattice, opt.res, sampleSym, components,
                                 opt.background, options)) {
        interrupt.FailIfInterrupted();
        Fail("Can not make the model ODF");
    }

    std::error_code error;
    std::filesystem::create_directories(opt.outDir, error);
    const std::filesystem::path dir(opt.outDir);
    // Everything that takes long is written into hidden files first, which
    // become the outputs only when no Ctrl-C came meanwhile; the hidden files
    // go whatever happens.
    double hklArray[6][3];
    std::string hpfPaths[6], hpfOutputs[6];
    std::vector<std::string> temporaries;
    const bool wantHpf =
        std::find(opt.formats.begin(), opt.formats.end(), "hpf") != opt.formats.end();
    for (size_t i = 0; i < hkl.size(); ++i) {
        for (int c = 0; c < 3; ++c)
            hklArray[i][c] = hkl[i][c];
        hpfOutputs[i] = (dir / (opt.name + "_" + HklText(hkl[i]) + ".HPF")).string();
        hpfPaths[i] = calcjobs::HiddenPathBeside(hpfOutputs[i]) + ".HPF";
        temporaries.push_back(hpfPaths[i]);
    }
    struct Cleanup {
        std::vector<std::string>* paths;
        ~Cleanup() {
            std::error_code ignored;
            for (const std::string& p : *paths)
                std::filesystem::remove(p, ignored);
        }
    } cleanup{&temporaries};
    if (!odfengine::WriteModelPoleFigures(odf->Tree(), type, lattice, opt.res, sampleSym, hklArray,
                                          static_cast<int>(hkl.size()), hpfPaths, opt.alphaMax,
                                          options)) {
        interrupt.FailIfInterrupted();
        Fail("Can not save pole figure file");
    }
    std::string odfTemporary;
    if (!opt.odf.empty()) {
        RawHODFInfo info{};
        info.crystalType = type;
        for (int i = 0; i < 6; ++i)
            info.lattice[i] = lattice[i];
        info.nPF = static_cast<int32_t>(hkl.size());
        for (size_t i = 0; i < hkl.size(); ++i) {
            for (int c = 0; c < 3; ++c)
                info.hkl[i][c] = hkl[i][c];
            std::snprintf(info.pfNames[i], sizeof info.pfNames[i], "model");
        }
        info.normalized = 1;
        info.resolution = opt.res;
        info.sampleSymmetry = sampleSym;
        std::snprintf(info.path, sizeof info.path, "%s", opt.odf.c_str());
        odfTemporary = calcjobs::HiddenPathBeside(opt.odf) + ".HODF";
        temporaries.push_back(odfTemporary);
        if (!Save_ODF_File(odfTemporary.c_str(), odf->Tree(), &info, n1, n, n2))
            Fail("Can not save odf file");
    }
    // The outputs below are renames and small 5 degree files: past this
    // point a signal is too late to cancel the command.
    interrupt.FailIfInterrupted();

    for (size_t i = 0; i < hkl.size(); ++i) {
        if (wantHpf) {
            if (!ReplaceFile(hpfPaths[i], hpfOutputs[i]))
                Fail("Can not save pole figure file");
            hpfPaths[i] = hpfOutputs[i];
            std::printf("Pole figure: %s\n", hpfPaths[i].c_str());
        }
        for (const std::string& format : opt.formats) {
            if (format == "hpf")
                continue;
            PFFileInfo info;
            int nA = 0, nB = 0;
            double** tree = Open_PF_File(hpfPaths[i].c_str(), &info, 1, &nA, &nB);
            if (!tree)
                Fail("Can not read pole figure file " + hpfPaths[i]);
            const orimath::Grid2<double> grid = orimath::AdoptTree(tree, {.alpha = nA, .beta = nB});
            const std::string base = (dir / (opt.name + "_" + HklText(hkl[i]))).string();
            std::string path;
            bool ok = false;
            if (format == "tpf") {
                path = base + ".TPF";
                ParserPFInfo(info.description.c_str(), &info);
                info.fileName = path;
                double fixed[19][73];
                for (int r = 0; r < 19; ++r)
                    for (int c = 0; c < 73; ++c)
                        fixed[r][c] = grid[r][c];
                ok = SavePFFile(&info, fixed) != 0;
            } else {
                path = base + ".pol";
                ok = WritePolCon(path, grid);
            }
            if (!ok)
                Fail("Can not save pole figure file");
            std::printf("Pole figure: %s\n", path.c_str());
        }
    }

    if (!opt.odf.empty()) {
        if (!ReplaceFile(odfTemporary, opt.odf))
            Fail("Can not save odf file");
        std::printf("ODF: %s\n", opt.odf.c_str());
    }
    std::fflush(stdout);
}

} // namespace

void AddModelCommand(CLI::App& app) {
    auto opt = std::make_shared<ModelOptions>();
    CLI::App* cmd =
        app.add_subcommand("model", "Make pole figures of a model texture: Gaussian components "
                                    "around ideal orientations (by default an "
                                    "fcc rolling texture: Copper, Brass, S, Goss and Cube) over a "
                                    "uniform background, with orthorhombic "
                                    "sample symmetry. Files are named OUTDIR/NAME_<hkl>.<ext>.");
    cmd->add_option("-d,--out-dir", opt->outDir, "output folder")->default_val(".");
    cmd->add_option("--name", opt->name, "file name prefix")->default_val("model");
    cmd->add_option("-c,--crystal", opt->crystal, CrystalHelp())->default_val("cubic");
    cmd->add_option(
           "--lattice", opt->lattice,
           "lattice a b c alpha beta gamma (degrees); hexagonal and tetragonal c is taken as c/a")
        ->expected(6)
        ->default_str("1 1 1 90 90 90");
    cmd->add_option("-r,--res", opt->res, "grid resolution in degrees (0.1 to 45)")
        ->default_val(5.0);
    cmd->add_flag("--no-sample-sym", opt->noSampleSym,
                  "model without orthorhombic sample symmetry");
    cmd->add_option("--hkl", opt->hkl,
                    "Miller indices of a pole figure; repeat (default 1 1 1, 2 0 0, 2 2 0)")
        ->expected(3)
        ->type_name("H K L");
    cmd->add_option("--alpha-max", opt->alphaMax,
                    "rings above this tilt (degrees) are set to 0, as in a reflection measurement")
        ->default_val(90.0)
        ->check(CLI::Range(0.0, 90.0));
    cmd->add_option("-f,--format", opt->formats,
                    "layouts to write, repeatable: hpf, tpf (5 degrees), polcon (PolCon triplets, "
                    "5 degrees, "
                    "extension .pol)")
        ->check(CLI::IsMember({"hpf", "tpf", "polcon"}))
        ->default_str("hpf");
    cmd->add_option("--component", opt->components,
                    "texture component NAME HALFWIDTH WEIGHT (Copper, Brass, S, Goss, Cube); "
                    "repeat; replaces "
                    "the default rolling texture")
        ->expected(3)
        ->type_name("NAME FWHM WEIGHT");
    cmd->add_option("--background", opt->background, "uniform level before normalisation")
        ->default_val(0.3);
    cmd->add_option("--odf", opt->odf, "also write the model ODF to this .HODF file");
    AddThreadsOption(cmd, &opt->threads);
    cmd->callback([opt] { RunModel(*opt); });
}

} // namespace quelta_cli
