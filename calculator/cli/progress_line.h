#pragma once
// Progress of a quelta-cli job on stderr. On a terminal it is one line that
// is rewritten in place ("<stage>  <percent>%"); otherwise (a pipe or a log
// file) each status text is printed once on its own line and percentages are
// left out, so logs stay readable.
#include <chrono>
#include <cstdio>
#include <string>

#include "calcjobs/job_common.h"

namespace quelta_cli {

class ProgressLine {
  public:
    // interactive: rewrite one line (true) or print plain lines (false).
    ProgressLine(FILE* stream, bool interactive);
    ~ProgressLine(); // ends an open terminal line

    // The engines' protocol (odfengine/progress.h): 0..100 percentage with
    // empty text, kProgressStarting, kProgressStatus (a status text),
    // kProgressDeviation (mean deviation after an iteration).
    void Report(const std::string& text, int position);
    // Ends the terminal line so that following output starts on a new line.
    void Finish();

    calcjobs::ProgressFn Function();

    // The last status text printed as a plain line ("" on a terminal).
    const std::string& LastPlainLine() const { return lastPlainLine_; }

    // True when stderr is a terminal.
    static bool StderrIsTerminal();

  private:
    void Redraw();

    FILE* stream_;
    bool interactive_;
    bool lineOpen_ = false;
    std::string stage_;
    std::string deviation_;
    std::string lastPlainLine_;
    int percent_ = -1;
    std::chrono::steady_clock::time_point lastDraw_{};
};

} // namespace quelta_cli
