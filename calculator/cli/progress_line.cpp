#include "progress_line.h"

#include <unistd.h>

#include <chrono>

namespace quelta_cli {

ProgressLine::ProgressLine(FILE* stream, bool interactive)
    : stream_(stream), interactive_(interactive) {}

ProgressLine::~ProgressLine() {
    Finish();
}

bool ProgressLine::StderrIsTerminal() {
    return isatty(STDERR_FILENO) == 1;
}

calcjobs::ProgressFn ProgressLine::Function() {
    return [this](const std::string& text, int position) { Report(text, position); };
}

void ProgressLine::Finish() {
    if (lineOpen_) {
        std::fputc('\n', stream_);
        std::fflush(stream_);
        lineOpen_ = false;
    }
}

void ProgressLine::Redraw() {
    // \r returns to the line start, \033[K clears what a longer text left.
    std::fprintf(stream_, "\r%s", stage_.c_str());
    if (!deviation_.empty())
        std::fprintf(stream_, "  deviation %s", deviation_.c_str());
    if (percent_ >= 0)
        std::fprintf(stream_, "  %3d%%", percent_);
    std::fputs("\033[K", stream_);
    std::fflush(stream_);
    lineOpen_ = true;
}

void ProgressLine::Report(const std::string& text, int position) {
    const bool multiLine = text.find('\n') != std::string::npos;
    if (position >= 0 && position <= 100) {
        if (!text.empty())
            stage_ = text;
        percent_ = position;
        // Percentages come in fast; a terminal needs a few redraws a second.
        const auto now = std::chrono::steady_clock::now();
        if (interactive_ &&
            (position == 100 || now - lastDraw_ >= std::chrono::milliseconds(100))) {
            lastDraw_ = now;
            Redraw();
        }
        return;
    }
    if (text.empty())
        return;
    if (position == kProgressDeviation) {
        deviation_ = text;
        if (interactive_)
            Redraw();
        else
            std::fprintf(stream_, "Deviation: %s\n", text.c_str());
        return;
    }
    if (!interactive_ || multiLine) {
        // Long explanations (the engine's stop message) are printed whole.
        Finish();
        std::fprintf(stream_, "%s\n", text.c_str());
        std::fflush(stream_);
        if (!interactive_)
            lastPlainLine_ = text;
        if (!multiLine)
            stage_ = text;
        return;
    }
    stage_ = text;
    percent_ = -1;
    Redraw();
}

} // namespace quelta_cli
