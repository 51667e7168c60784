#pragma once
// Small pieces every quelta-cli subcommand uses: failing with a message,
// crystal system names, output file names, and the progress/hand-off
// functions handed to the jobs.
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "calcjobs/job_common.h"
#include "platform/cancel_token.h"

namespace CLI {
class App;
}

namespace quelta_cli {

// Exit codes: 0 success, 1 the job or a file failed, 2 bad command line
// (main maps every parse error of CLI11, whose own codes are 106 and above,
// to 2), 128 + the signal number when SIGINT (130) or SIGTERM (143)
// cancelled the computation, as a shell reports a process ended by them.
inline constexpr int kExitFailure = 1;
inline constexpr int kExitUsage = 2;
inline constexpr int kExitSignalBase = 128;

// Prints text on stderr as its own line (unless alreadyShown) and ends the
// subcommand with the given exit code (throws CLI::RuntimeError, which main
// turns into the code).
[[noreturn]] void Fail(const std::string& text, int exitCode = kExitFailure,
                       bool alreadyShown = false);
// Fail with "<text>: <detail>" when the reader gave a detail (the reason an
// input file does not read), so that the line says which file and why; the
// text alone, as Fail, otherwise.
[[noreturn]] void FailWithDetail(const std::string& text, const std::string& detail,
                                 int exitCode = kExitFailure, bool alreadyShown = false);

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

// Renames from onto to (same folder, so the replacement is atomic). Returns
// false and removes `from` on failure.
bool ReplaceFile(const std::string& from, const std::string& to);

// True when a file can be created in the folder of path (checked before a
// long calculation, so that an unwritable output fails at once).
bool OutputFolderWritable(const std::string& path);

// Ctrl-C (SIGINT) and SIGTERM while a computing subcommand runs: while an
// InterruptScope exists the signals set its token instead of ending the
// process, so the job stops, removes what it wrote and the command ends with
// ExitCode(). The handler is reset after the first signal: a second Ctrl-C
// ends the process at once. Scopes do not nest.
class InterruptScope {
  public:
    InterruptScope();
    ~InterruptScope();
    InterruptScope(const InterruptScope&) = delete;
    InterruptScope& operator=(const InterruptScope&) = delete;

    const platform::CancelToken& Token() const { return token_; }
    bool Interrupted() const { return token_.Cancelled(); }
    // kExitSignalBase + the signal that came.
    int ExitCode() const;
    // Ends the subcommand with "Cancelled" and ExitCode() when a signal came.
    void FailIfInterrupted() const;

  private:
    platform::CancelToken token_;
};

// Adds "--threads N|auto" to a computing subcommand; *threads receives the
// count (platform::kAutomaticThreads for "auto"). Without the option the
// environment variable QUELTA_THREADS decides, else the automatic rule.
void AddThreadsOption(CLI::App* command, int* threads);

// Adds "--engine auto|classic|arbitrary" (default auto) to a subcommand;
// *engine receives the choice. help describes what the choice means there.
void AddEngineOption(CLI::App* command, calcjobs::ODFEngine* engine, const std::string& help);

// Ends the command as a bad command line when the classic engine was chosen
// for a resolution other than its 5 degrees (within tolerance).
void RefuseClassicEngine(calcjobs::ODFEngine engine, double res, double tolerance);

// A duration in seconds.
template <class Duration> double Seconds(Duration d) {
    return std::chrono::duration<double>(d).count();
}

// Hand-off used by the command-line program: there is no viewer to start, so
// the result path is printed on stdout ("<label>: <path>").
calcjobs::LaunchViewerFn PrintResultPath();
// The same on a given stream (stderr when stdout carries a JSON result).
calcjobs::LaunchViewerFn PrintResultPath(FILE* stream);

} // namespace quelta_cli
