#pragma once
// How an engine runs its operations: where progress goes, how it is asked to
// stop, and how many threads it uses. The same options serve both engines,
// the jobs and the programs; nothing here needs Qt.
#include <string>

#include "odfengine/progress.h"
#include "platform/cancel_token.h"
#include "platform/thread_choice.h"

struct EngineRunOptions {
    // Progress and status texts (see progress.h); may be empty.
    ProgressCallback progress;
    // Checked between and inside the long loops of every phase, at least
    // every 0.2 s of work; an operation that sees it set stops, writes nothing
    // into its output array that the caller should use, and ends with
    // EngineStatus::kCancelled.
    platform::CancelToken cancel;
    // platform::kAutomaticThreads or an exact count of threads for the
    // parallel loops; results do not depend on it.
    int threads = platform::kAutomaticThreads;
};
