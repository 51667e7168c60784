#include "cli_common.h"

#include "calcjobs/odf_job.h"
#include "calcjobs/validation.h"
#include "orimath/constants.h"

#include <signal.h>
#include <unistd.h>

#include <CLI/CLI.hpp>
#include <atomic>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <filesystem>

#include "platform/thread_choice.h"

namespace quelta_cli {
namespace {

constexpr const char* kCrystalNames[orimath::kCrystalTypeCount] = {
    "cubic", "hexagonal", "tetragonal", "orthorhombic", "monoclinic", "trigonal", "triclinic"};

std::string Lower(std::string text) {
    for (char& c : text)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

std::string FolderOf(const std::string& path) {
    std::filesystem::path parent = std::filesystem::path(path).parent_path();
    return parent.empty() ? std::string(".") : parent.string();
}

// The token of the live InterruptScope and the signal that came; both are
// lock-free, so the handler may touch them.
std::atomic<const platform::CancelToken*> gInterruptToken{nullptr};
volatile sig_atomic_t gSignal = 0;

// Dispositions in force before the scope; a signal the program was started
// to ignore (a background job of a script ignores SIGINT) stays ignored.
struct sigaction gPrevious[2];
constexpr int kSignals[2] = {SIGINT, SIGTERM};

extern "C" void OnInterrupt(int signal) {
    gSignal = signal;
    if (const platform::CancelToken* token = gInterruptToken.load())
        token->Cancel();
}

} // namespace

InterruptScope::InterruptScope() {
    gSignal = 0;
    gInterruptToken.store(&token_);
    struct sigaction action {};
    action.sa_handler = OnInterrupt;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESETHAND;
    for (int i = 0; i < 2; ++i) {
        sigaction(kSignals[i], nullptr, &gPrevious[i]);
        if (gPrevious[i].sa_handler != SIG_IGN)
            sigaction(kSignals[i], &action, nullptr);
    }
}

InterruptScope::~InterruptScope() {
    for (int i = 0; i < 2; ++i)
        sigaction(kSignals[i], &gPrevious[i], nullptr);
    gInterruptToken.store(nullptr);
}

int InterruptScope::ExitCode() const {
    const int signal = gSignal;
    return kExitSignalBase + (signal > 0 ? signal : SIGINT);
}

void InterruptScope::FailIfInterrupted() const {
    if (Interrupted())
        Fail("Cancelled", ExitCode());
}

void AddThreadsOption(CLI::App* command, int* threads) {
    *threads = platform::ThreadsFromEnvironment();
    command
        ->add_option_function<std::string>(
            "--threads",
            [threads](const std::string& text) { platform::ParseThreadCount(text, threads); },
            "threads of the calculation: a count (1 to 256) or auto (the processors that other "
            "work leaves free); default: the environment variable QUELTA_THREADS, else auto. The "
            "result does not depend on it")
        ->type_name("N|auto")
        ->check(CLI::Validator(
            [](std::string& text) {
                int ignored = 0;
                return platform::ParseThreadCount(text, &ignored)
                           ? std::string()
                           : "--threads takes a count from 1 to 256 or auto, not \"" + text + "\"";
            },
            ""));
}

void Fail(const std::string& text, int exitCode, bool alreadyShown) {
    std::fflush(stdout);
    if (!alreadyShown)
        std::fprintf(stderr, "%s\n", text.c_str());
    std::fflush(stderr);
    throw CLI::RuntimeError(exitCode);
}

void FailWithDetail(const std::string& text, const std::string& detail, int exitCode,
                    bool alreadyShown) {
    // A progress log that already ends with the text lacks the detail.
    if (detail.empty())
        Fail(text, exitCode, alreadyShown);
    Fail(text + ": " + detail, exitCode);
}

int ParseCrystalType(const std::string& text) {
    if (text.size() == 1 && std::isdigit(static_cast<unsigned char>(text[0])) &&
        orimath::IsValidCrystalType(text[0] - '0'))
        return text[0] - '0';
    std::string name = Lower(text);
    if (name == "rhombohedral" || name == "rhombohedral/trigonal" ||
        name == "rhombohedral/trigoanl")
        return 5;
    if (name.size() < 2)
        return -1;
    int found = -1;
    for (int code = 0; code < orimath::kCrystalTypeCount; ++code) {
        if (std::string(kCrystalNames[code]).rfind(name, 0) == 0) {
            if (found >= 0)
                return -1; // ambiguous
            found = code;
        }
    }
    if (found < 0 && std::string("rhombohedral").rfind(name, 0) == 0)
        found = 5;
    return found;
}

void LatticeForCrystal(int crystalType, const std::vector<double>& given, double out[6]) {
    double lattice[6] = {1, 1, 1, 90, 90, 90};
    for (size_t i = 0; i < 6 && i < given.size(); ++i)
        lattice[i] = given[i];
    if ((crystalType == 1 || crystalType == 2) && lattice[0] > 0)
        lattice[2] /= lattice[0];
    calcjobs::ApplyCrystalSystemRule(crystalType, lattice, out);
}

const char* CrystalHelp() {
    return "crystal system: cubic, hexagonal, tetragonal, orthorhombic, monoclinic, trigonal "
           "(rhombohedral axes), triclinic, or the code 0..6";
}

std::string UpperExtension(const std::string& path) {
    std::string ext = std::filesystem::path(path).extension().string();
    if (!ext.empty())
        ext.erase(0, 1);
    for (char& c : ext)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return ext;
}

bool ReplaceFile(const std::string& from, const std::string& to) {
    std::error_code error;
    std::filesystem::rename(from, to, error);
    if (error) {
        std::filesystem::remove(from, error);
        return false;
    }
    return true;
}

bool OutputFolderWritable(const std::string& path) {
    std::error_code error;
    if (std::filesystem::is_directory(path, error))
        return false;
    return access(FolderOf(path).c_str(), W_OK | X_OK) == 0;
}

void AddEngineOption(CLI::App* command, calcjobs::ODFEngine* engine, const std::string& help) {
    *engine = calcjobs::ODFEngine::kAuto;
    command
        ->add_option_function<std::string>(
            "--engine",
            [engine](const std::string& text) {
                const std::string name = Lower(text);
                *engine = name == "classic"     ? calcjobs::ODFEngine::kClassic
                          : name == "arbitrary" ? calcjobs::ODFEngine::kArbitrary
                                                : calcjobs::ODFEngine::kAuto;
            },
            help + " (default auto)")
        ->type_name("auto|classic|arbitrary")
        ->check(CLI::Validator(
            [](std::string& text) {
                const std::string name = Lower(text);
                return name == "auto" || name == "classic" || name == "arbitrary"
                           ? std::string()
                           : "--engine takes auto, classic or arbitrary, not \"" + text + "\"";
            },
            ""));
}

void RefuseClassicEngine(calcjobs::ODFEngine engine, double res, double tolerance) {
    if (engine != calcjobs::ODFEngine::kClassic || std::fabs(res - 5.0) < tolerance)
        return;
    char text[240];
    std::snprintf(text, sizeof text,
                  "%s; --engine classic can not be used at a resolution of %g degrees (use "
                  "--engine auto or arbitrary)",
                  calcjobs::kClassicEngineResolutionText, res);
    Fail(text, kExitUsage);
}

calcjobs::LaunchViewerFn PrintResultPath() {
    return PrintResultPath(stdout);
}

calcjobs::LaunchViewerFn PrintResultPath(FILE* stream) {
    return [stream](int kind, const std::string& file) {
        const char* label = kind == calcjobs::kResultODF                 ? "ODF"
                            : kind == calcjobs::kResultPoleFigure        ? "Pole figure"
                            : kind == calcjobs::kResultInversePoleFigure ? "Inverse pole figure"
                                                                         : "Result";
        std::fprintf(stream, "%s: %s\n", label, file.c_str());
        std::fflush(stream);
    };
}

} // namespace quelta_cli
