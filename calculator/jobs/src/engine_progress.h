#pragma once
// Forwards an engine's progress to the job's progress function and keeps the
// engine's last status text, which becomes the job's failure message when an
// engine operation returns 0 (the engines tell the reason only through the
// callback).
#include <memory>
#include <string>

#include "calcjobs/job_common.h"
#include "odfengine/progress.h"

namespace calcjobs {

class EngineProgress {
  public:
    explicit EngineProgress(const ProgressFn& progress) : state_(std::make_shared<State>()) {
        state_->forward = progress;
    }

    ProgressCallback Callback() const {
        std::shared_ptr<State> state = state_;
        return [state](std::string text, int code) {
            if (code == kStatusPosition && !text.empty() && text != "Calculation finished")
                state->lastStatus = text;
            if (state->forward)
                state->forward(text, code);
        };
    }

    // The last status text, or fallback when the engine sent none.
    std::string FailureText(const std::string& fallback) const {
        return state_->lastStatus.empty() ? fallback : state_->lastStatus;
    }

    void Report(const std::string& text, int position) const {
        if (state_->forward)
            state_->forward(text, position);
    }

  private:
    struct State {
        ProgressFn forward;
        std::string lastStatus;
    };
    std::shared_ptr<State> state_;
};

} // namespace calcjobs
