// quelta-cli import-cor: Siemens .cor measurements to .HPF pole figures.
#include <CLI/CLI.hpp>
#include <cstdio>
#include <memory>

#include "calcjobs/cor_import.h"
#include "calcjobs/validation.h"
#include "cli_common.h"
#include "commands.h"

namespace quelta_cli {
namespace {

struct ImportOptions {
    std::string input;
    std::string base;
    std::string crystal = "cubic";
    std::vector<double> lattice{1, 1, 1, 90, 90, 90};
};

void RunImport(const ImportOptions& opt) {
    int type = ParseCrystalType(opt.crystal);
    if (type < 0)
        Fail("Unknown crystal system: " + opt.crystal, kExitUsage);
    double lattice[6];
    LatticeForCrystal(type, opt.lattice, lattice);
    calcjobs::CorImportResult result = calcjobs::ImportCorFile(opt.input, opt.base, type, lattice);
    for (const std::string& warning : result.warnings)
        std::fprintf(stderr, "%s\n", warning.c_str());
    for (const calcjobs::PoleFigureInput& pf : result.poleFigures)
        std::printf("Pole figure (%.0f %.0f %.0f): %s\n", pf.h, pf.k, pf.l, pf.file.c_str());
    std::printf("Pole figures imported: %zu\n", result.poleFigures.size());
    if (!result.message.empty())
        Fail(result.message);
    if (result.poleFigures.empty())
        Fail("No complete pole figure (CHI 0 to 80) in " + opt.input);
}

} // namespace

void AddImportCorCommand(CLI::App& app) {
    auto opt = std::make_shared<ImportOptions>();
    CLI::App* cmd =
        app.add_subcommand("import-cor", "Import a Siemens .cor measurement file: every reflection "
                                         "measured from CHI 0 to 80 degrees becomes a "
                                         "5 degree .HPF pole figure named BASE + hkl + .HPF (at "
                                         "most six; further reflections are ignored).");
    cmd->add_option("input", opt->input, ".cor file")->required()->check(CLI::ExistingFile);
    cmd->add_option(
        "-o,--base", opt->base,
        "output base name (default: the input path up to the first '.' of its file name)");
    cmd->add_option("-c,--crystal", opt->crystal, CrystalHelp())->default_val("cubic");
    cmd->add_option(
           "--lattice", opt->lattice,
           "lattice a b c alpha beta gamma (degrees); hexagonal and tetragonal c is taken as c/a")
        ->expected(6)
        ->default_str("1 1 1 90 90 90");
    cmd->callback([opt] { RunImport(*opt); });
}

} // namespace quelta_cli
