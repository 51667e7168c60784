#pragma once
// The engine side of a job: run options made from the job's context, and the
// job result of an engine operation that did not succeed.
#include <string>

#include "calcjobs/job_common.h"
#include "odfengine/engine_result.h"
#include "odfengine/run_options.h"

namespace calcjobs {

// Progress, cancel token and thread count of the context, for the engine.
inline EngineRunOptions EngineOptions(const JobContext& context) {
    EngineRunOptions options;
    if (context.progress)
        options.progress = [forward = context.progress](std::string text, int code) {
            forward(text, code);
        };
    options.cancel = context.cancel;
    options.threads = context.threads;
    return options;
}

inline void Report(const JobContext& context, const std::string& text, int position) {
    if (context.progress)
        context.progress(text, position);
}

// kCancelled, or kEngineFailed with the engine's reason (fallback when the
// engine gave none).
inline JobResult EngineFailure(const EngineResult& outcome, const char* fallback) {
    JobResult result;
    if (outcome.cancelled()) {
        result.status = JobStatus::kCancelled;
        result.message = kCancelledText;
    } else {
        result.status = JobStatus::kEngineFailed;
        result.message = outcome.message.empty() ? fallback : outcome.message;
        result.detail = outcome.detail;
    }
    return result;
}

} // namespace calcjobs
