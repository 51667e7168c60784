// The in-memory text reader against the C library conversions it stands in for.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>

#include "common/text_stream.h"

using dataformats::kConverted;
using dataformats::kEndOfInput;
using dataformats::kNoMatch;
using dataformats::TextStream;

TEST(TextStream, FloatsAreBitIdenticalToScanf) {
    const char* cases[] = {"0",
                           "-0",
                           "1.2345",
                           "+1.5",
                           "3.4028235e38",
                           "1e39",
                           "-1e39",
                           "1e-50",
                           "1.4e-45",
                           "0.1",
                           "123456789012345678901234567890",
                           ".5",
                           "5.",
                           "2.50e+1",
                           "0x1p3",
                           "-0X1.8P1",
                           "inf",
                           "-Infinity",
                           "0.30000001192092896"};
    for (const char* c : cases) {
        SCOPED_TRACE(c);
        float expected = 0;
        ASSERT_EQ(std::sscanf(c, "%f", &expected), 1);
        TextStream t{std::string("  ") + c + " x"};
        float got = -7;
        ASSERT_EQ(t.ScanFloat(&got), kConverted);
        EXPECT_EQ(std::memcmp(&got, &expected, sizeof got), 0) << got << " vs " << expected;
        EXPECT_EQ(t.ScanFloat(&got), kNoMatch); // stops at the 'x'
    }
    TextStream nan{"nan"};
    float v;
    ASSERT_EQ(nan.ScanFloat(&v), kConverted);
    EXPECT_TRUE(std::isnan(v));
}

TEST(TextStream, ConversionResultsFollowScanf) {
    TextStream t{"  12 abc"};
    int i;
    EXPECT_EQ(t.ScanInt(&i), kConverted);
    EXPECT_EQ(i, 12);
    EXPECT_EQ(t.ScanInt(&i), kNoMatch);
    std::string w;
    EXPECT_EQ(t.ScanWord(&w, 2), kConverted);
    EXPECT_EQ(w, "ab");
    EXPECT_EQ(t.ScanWord(&w, 63), kConverted);
    EXPECT_EQ(w, "c");
    EXPECT_EQ(t.ScanInt(&i), kEndOfInput);
    TextStream big{"99999999999 -99999999999 +-1"};
    EXPECT_EQ(big.ScanInt(&i), kConverted);
    EXPECT_EQ(i, 2147483647);
    EXPECT_EQ(big.ScanInt(&i), kConverted);
    EXPECT_EQ(i, -2147483647 - 1);
    EXPECT_EQ(big.ScanInt(&i), kNoMatch);
}

TEST(TextStream, LinesBehaveLikeFgetsAndCrLfBecomesLf) {
    TextStream t{"abcdef\r\nxy\r\n\r\nlast"};
    std::string_view line;
    ASSERT_TRUE(t.GetLine(&line, 4));
    EXPECT_EQ(line, "abc"); // at most size - 1 characters
    ASSERT_TRUE(t.GetLine(&line, 512));
    EXPECT_EQ(line, "def\n");
    ASSERT_TRUE(t.GetLineCut(&line, 512));
    EXPECT_EQ(line, "xy");
    ASSERT_TRUE(t.GetLineCut(&line, 512));
    EXPECT_EQ(line, "");
    ASSERT_TRUE(t.GetLine(&line, 512));
    EXPECT_EQ(line, "last");
    EXPECT_FALSE(t.GetLine(&line, 512));
    EXPECT_FALSE(t.SkipLines(1));
}
