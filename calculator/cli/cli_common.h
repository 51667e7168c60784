#pragma once
// Small pieces every quelta-cli subcommand uses: failing with a message,
// crystal system names, output file names, and the progress/hand-off
// functions handed to the jobs.
#include <string>
#include <vector>

#include "calcjobs/job_common.h"

namespace quelta_cli {

// Exit codes: 0 success, 1 the job or a file failed, 2 bad command line
// (CLI11's own code for parse errors is 106 and above; ours stay small).
inline constexpr int kExitFailure = 1;
inline constexpr int kExitUsage = 2;

// Prints text on stderr as its own line (unless alreadyShown) and ends the
// subcommand with the given exit code (throws CLI::RuntimeError, which main
// turns into the code).
[[noreturn]] void Fail(const std::string& text, int exitCode = kExitFailure,
                       bool alreadyShown = false);

// Crystal system by name (case-insensitive; "cubic", "hexagonal",
// "tetragonal", "orthorhombic", "monoclinic", "trigonal" or "rhombohedral",
// "triclinic", or any unambiguous prefix of at least two letters) or by code
// "0".."6". Returns -1 when the text names none.
int ParseCrystalType(const std::string& text);

// Lattice of the command line (a, b, c, alpha, beta, gamma as the user gave
// them) in the form the engine expects: the crystal system's fixed values
// applied, and for hexagonal and tetragonal crystals, whose a is fixed to 1,
// c given as c/a (so "--lattice 2.66 2.66 4.95 90 90 120" means c/a = 1.86).
void LatticeForCrystal(int crystalType, const std::vector<double>& given, double out[6]);

// Help text listing the accepted crystal names and codes.
const char* CrystalHelp();

// Extension of a path's file name in upper case, without the dot ("" if none).
std::string UpperExtension(const std::string& path);

// A name for a temporary file in the folder of `path` (hidden, unique to this
// process), for results that are assembled before the final rename.
std::string TemporaryPathBeside(const std::string& path);

// Renames from onto to (same folder, so the replacement is atomic). Returns
// false and removes `from` on failure.
bool ReplaceFile(const std::string& from, const std::string& to);

// True when a file can be created in the folder of path (checked before a
// long calculation, so that an unwritable output fails at once).
bool OutputFolderWritable(const std::string& path);

// Hand-off used by the command-line program: there is no viewer to start, so
// the result path is printed on stdout ("<label>: <path>").
calcjobs::LaunchViewerFn PrintResultPath();

} // namespace quelta_cli
