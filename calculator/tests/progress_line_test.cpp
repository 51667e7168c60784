// The progress report of quelta-cli: one rewritten line on a terminal,
// plain lines otherwise.
#include "progress_line.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace {

std::string Drain(FILE* f) {
    std::fflush(f);
    std::rewind(f);
    std::string text;
    for (int c; (c = std::fgetc(f)) != EOF;)
        text += static_cast<char>(c);
    return text;
}

void Feed(quelta_cli::ProgressLine& line) {
    line.Report("Calculation starting ...", kProgressStarting);
    line.Report("Loop: 1", kProgressStatus);
    line.Report("", 50);
    line.Report("", 100);
    line.Report("0.123", kProgressDeviation);
    line.Report(
        "Deviation increased and calculation stoped.\nThis may be due to following reasons:",
        kProgressStatus);
}

TEST(ProgressLineTest, PlainLinesWhenNotATerminal) {
    FILE* f = std::tmpfile();
    ASSERT_NE(f, nullptr);
    {
        quelta_cli::ProgressLine line(f, false);
        Feed(line);
    }
    EXPECT_EQ(Drain(f), "Calculation starting ...\nLoop: 1\nDeviation: 0.123\n"
                        "Deviation increased and calculation stoped.\n"
                        "This may be due to following reasons:\n");
    std::fclose(f);
}

TEST(ProgressLineTest, OneRewrittenLineOnATerminal) {
    FILE* f = std::tmpfile();
    ASSERT_NE(f, nullptr);
    quelta_cli::ProgressLine line(f, true);
    line.Report("Loop: 1", kProgressStatus);
    line.Report("", 100);
    line.Report("0.123", kProgressDeviation);
    std::string text = Drain(f);
    EXPECT_EQ(text.find('\n'), std::string::npos) << text; // still one line
    EXPECT_NE(text.find("\rLoop: 1"), std::string::npos);
    EXPECT_NE(text.find("100%"), std::string::npos);
    EXPECT_NE(text.find("deviation 0.123"), std::string::npos);
    // A text of several lines is printed whole, below the progress line.
    line.Report("first\nsecond", kProgressStatus);
    line.Finish();
    text = Drain(f);
    EXPECT_NE(text.find("\nfirst\nsecond\n"), std::string::npos) << text;
    std::fclose(f);
}

} // namespace
