#include "platform_suitelink/suite_message.h"

#include "print_suite_message.h"

#include <gtest/gtest.h>

#include <string>

using platform::EncodeSuiteLine;
using platform::ParseSuiteLine;
using platform::SuiteMessage;

namespace {

struct LineRow {
    const char* name;
    std::string line;
    std::optional<SuiteMessage> expected;
};

void PrintTo(const LineRow& row, std::ostream* os) {
    *os << row.name;
}

class SuiteLine : public ::testing::TestWithParam<LineRow> {};

} // namespace

TEST_P(SuiteLine, Parses) {
    const LineRow& row = GetParam();
    const auto parsed = ParseSuiteLine(QByteArrayView(row.line.data(), row.line.size()));
    ASSERT_EQ(parsed.has_value(), row.expected.has_value());
    if (parsed) {
        EXPECT_EQ(parsed->type, row.expected->type);
        EXPECT_EQ(parsed->kind, row.expected->kind);
        EXPECT_EQ(parsed->path.toStdString(), row.expected->path.toStdString());
    }
}

INSTANTIATE_TEST_SUITE_P(
    Lines, SuiteLine,
    ::testing::Values(
        LineRow{"Restore", "restore", SuiteMessage::Restore()},
        LineRow{"RestoreCrLf", "restore\r", SuiteMessage::Restore()},
        LineRow{"Result", "result 6 /data/a.odf", SuiteMessage::Result(6, "/data/a.odf")},
        LineRow{"ResultNegativeKind", "result -12 b.gbcd", SuiteMessage::Result(-12, "b.gbcd")},
        LineRow{"ResultPathKeepsSpaces", "result 7  two  spaces ",
                SuiteMessage::Result(7, " two  spaces ")},
        LineRow{"ResultNonAscii",
                "result 8 /d/Gr\xc3\xb6\xc3\x9f"
                "e \xcf\x86.ipf",
                SuiteMessage::Result(8, QString::fromUtf8("/d/Größe φ.ipf"))},
        LineRow{"Open", "open /data/page one.grdoc", SuiteMessage::Open("/data/page one.grdoc")},
        LineRow{"Empty", "", std::nullopt}, LineRow{"RestoreWithSpace", "restore ", std::nullopt},
        LineRow{"WrongCase", "Restore", std::nullopt},
        LineRow{"ResultNoKind", "result", std::nullopt},
        LineRow{"ResultNoPath", "result 6", std::nullopt},
        LineRow{"ResultEmptyPath", "result 6 ", std::nullopt},
        LineRow{"ResultKindNotANumber", "result x6 /a", std::nullopt},
        LineRow{"ResultKindWithPlus", "result +6 /a", std::nullopt},
        LineRow{"ResultKindTooLarge", "result 99999999999 /a", std::nullopt},
        LineRow{"ResultKindGlued", "result 6/a", std::nullopt},
        LineRow{"ResultTwoSpaces", "result  6 /a", std::nullopt},
        LineRow{"OpenNoPath", "open ", std::nullopt},
        LineRow{"OpenWithNul", std::string("open /a\0b", 9), std::nullopt},
        LineRow{"OpenInvalidUtf8", "open /a\xff\xfe", std::nullopt},
        LineRow{"Unknown", "quit", std::nullopt}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(SuiteLine, EncodingRoundTripsAndRefusesWhatIsNotOneLine) {
    const SuiteMessage sent[] = {
        SuiteMessage::Restore(),
        SuiteMessage::Result(-9, QString::fromUtf8(" /tmp/Größe φ₂/a b.gbcd ")),
        SuiteMessage::Open(QString::fromUtf8("/data/日本/page.grdoc")),
    };
    for (const auto& message : sent) {
        const auto line = EncodeSuiteLine(message);
        ASSERT_TRUE(line.has_value());
        ASSERT_TRUE(line->endsWith('\n'));
        EXPECT_EQ(ParseSuiteLine(QByteArrayView(*line).chopped(1)), message);
    }
    EXPECT_FALSE(EncodeSuiteLine(SuiteMessage::Open("")));
    EXPECT_FALSE(EncodeSuiteLine(SuiteMessage::Open("/a\nrestore")));
    EXPECT_FALSE(EncodeSuiteLine(SuiteMessage::Result(6, "/a\r")));
    EXPECT_FALSE(EncodeSuiteLine(SuiteMessage::Open(QString(platform::kMaxSuiteLineBytes, 'x'))));
}
