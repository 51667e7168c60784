#pragma once
// Conventions shared by every calculation job (ODF, pole figure, inverse pole
// figure): a job takes its parameter block by value and a JobContext (progress
// function, viewer hand-off, cancel token, thread count), writes its result
// file and then hands the result to the viewer through the context's
// callback. Jobs never show anything themselves; a failure comes back as a
// JobResult whose message is the text the caller shows the user.
#include <functional>
#include <string>

#include "calcjobs/measured_cells.h"
#include "odfengine/progress.h"
#include "platform/cancel_token.h"
#include "platform/thread_choice.h"

namespace calcjobs {

// Progress report: a status text and a position. Position 0..100 moves the
// progress bar (text empty); any other position (the jobs use
// kStatusPosition, the engines also kProgressStarting and kProgressDeviation)
// changes only the text.
using ProgressFn = std::function<void(const std::string& text, int position)>;

// Hand-off of a finished result to the viewer: kind is one of the
// ResultKind values below, file the result file just written. Called only
// after the result file was written successfully.
using LaunchViewerFn = std::function<void(int kind, const std::string& file)>;

inline constexpr int kStatusPosition = kProgressStatus;

// Engine of the ODF job. kAuto runs the classic engine at exactly 5 degrees
// (within 0.0001) and the arbitrary-resolution engine at any other
// resolution; kArbitrary runs the arbitrary-resolution engine at 5 degrees
// as well (finer pole figure sampling, lower RP error, same file layout);
// kClassic is refused at any resolution other than 5 degrees.
enum class ODFEngine { kAuto, kClassic, kArbitrary };

// What a job runs with besides its parameter block.
struct JobContext {
    ProgressFn progress;         // may be empty
    LaunchViewerFn launchViewer; // may be empty
    // Set from any thread (or a signal handler) to stop the job: it then
    // returns kCancelled, leaves no file (not even a temporary one) and does
    // not offer the viewer.
    platform::CancelToken cancel;
    int threads = platform::kAutomaticThreads; // for the engine's parallel loops
    // ODF job only: which engine computes the ODF.
    ODFEngine odfEngine = ODFEngine::kAuto;
    // ODF job: which cells of the input pole figures count as measured.
    // Cells the file's layout marks as not measured are always left out of
    // the fit; kZeroRuns also leaves out runs of exact zeros.
    UnmeasuredRule unmeasured = UnmeasuredRule::kNone;
};

// Result kinds handed to the viewer. A caller writes the kind (new viewer
// document) or its negation (add to the open document) to the mailbox
// "AutoLoad"/"AutoLoad" and the file name under the section and key of the
// kind (ResultProfileKey).
enum ResultKind : int {
    kResultODF = 6,
    kResultPoleFigure = 7,
    kResultInversePoleFigure = 8,
    kResultGBCD = 9,
    kResultMagnetic = 10,
    kResultGBCDFiber = 11,
    kResultGBCDInODF = 12,
};

struct ProfileKey {
    const char* section;
    const char* key;
};

// Profile section and key that hold the result file of a kind; {nullptr,
// nullptr} for a value outside 6..12.
ProfileKey ResultProfileKey(int kind);

// Mailbox of the hand-off and the flag a running viewer keeps set.
inline constexpr ProfileKey kAutoLoadKey{"AutoLoad", "AutoLoad"};
inline constexpr ProfileKey kViewerRunningKey{"AutoLoad", "Running"};
// Input data format of the ODF command: 0 pole figure files, 1 Siemens .cor.
inline constexpr ProfileKey kInputFormatKey{"ODFCalculation", "IDFS"};

enum class JobStatus {
    kDone,         // result written, viewer offered
    kInvalidInput, // parameters refused before any work (message says why)
    kOpenFailed,   // the input file could not be read
    kEngineFailed, // the engine stopped; message is the engine's reason
    kSaveFailed,   // the result could not be written; viewer not offered
    kCancelled,    // the cancel token was set: nothing written, viewer not offered
};

struct JobResult {
    JobStatus status = JobStatus::kDone;
    std::string message; // empty on success
    // What an input file's reader said about a failure, when it said more
    // than the message: "<file>: <why>" (the engine's or the ODF reader's).
    std::string detail;
    std::string outputFile; // the file written (success only)
    // ODF job only: the engine's final mean deviation and iteration count.
    double deviation = 0;
    int loops = 0;
    bool ok() const { return status == JobStatus::kDone; }
};

} // namespace calcjobs
