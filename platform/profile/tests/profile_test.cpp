#include "platform_profile/profile.h"
#include "platform_profile/profile_entry.h"
#include "platform_profile/suite_profile.h"

#include "private_profile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

#include <climits>
#include <string>

TEST(Profile, LivesUnderXdgConfigHome) {
    ASSERT_FALSE(PrivateConfigHome().isEmpty());
    ASSERT_EQ(WriteProfileInt("AutoLoad", "Running", 1), 1);
    const QString expected = PrivateConfigHome() + "/Corvan/Quelta.conf";
    EXPECT_EQ(QString::fromStdString(platform::ProfileFilePath()), expected);
    EXPECT_TRUE(QFileInfo::exists(expected));
}

TEST(Profile, AbsentKeysGiveTheDefault) {
    EXPECT_EQ(GetProfileInt("NoSection", "NoKey", 17), 17);
    EXPECT_EQ(GetProfileString("NoSection", "NoKey", "none"), "none");
    EXPECT_EQ(GetProfileString("NoSection", "NoKey", nullptr), "");
    EXPECT_EQ(platform::ReadProfile(platform::kAutoLoadKind), 0);
}

TEST(Profile, IntsRoundTripAndTextThatIsNoIntReadsAsDefault) {
    for (int value : {0, -12, 1, INT_MAX, INT_MIN}) {
        ASSERT_EQ(WriteProfileInt("ODFCalculation", "IDFS", value), 1);
        EXPECT_EQ(GetProfileInt("ODFCalculation", "IDFS", 99), value);
    }
    ASSERT_EQ(WriteProfileString("ODFCalculation", "Resolution", "5"), 1);
    EXPECT_EQ(GetProfileInt("ODFCalculation", "Resolution", 99), 5);
    ASSERT_EQ(WriteProfileString("ODFCalculation", "Resolution", "5.00"), 1);
    EXPECT_EQ(GetProfileInt("ODFCalculation", "Resolution", 99), 99);
    ASSERT_EQ(WriteProfileString("ODFCalculation", "Resolution", ""), 1);
    EXPECT_EQ(GetProfileInt("ODFCalculation", "Resolution", 99), 99);
}

// Texts the dialogs store: the characters an INI file treats specially must
// come back unchanged.
class ProfileText : public ::testing::TestWithParam<const char*> {};

TEST_P(ProfileText, RoundTrips) {
    ASSERT_EQ(WriteProfileString("PFCalculation", "PFFileName", GetParam()), 1);
    EXPECT_EQ(GetProfileString("PFCalculation", "PFFileName", "default"), GetParam());
}

INSTANTIATE_TEST_SUITE_P(Texts, ProfileText,
                         ::testing::Values("", "3.14", "/data/my results/a b.hpf", "  padded  ",
                                           "x=y; z # not a comment", "\"quoted\" and 'single'",
                                           "back\\slash", "Größe µm φ₁ Φ φ₂", "tab\there",
                                           "line\nbreak", "[Section]", "@Variant(junk)", "a,b,c"));

TEST(Profile, TypedEntriesShareTheClassicStorage) {
    constexpr platform::ProfileInt kLeft{"DensitoMeter", "Left", 200};
    constexpr platform::ProfileText kName{"ODFCalculation", "ODFFileName", "out.odf"};
    EXPECT_EQ(platform::ReadProfile(kLeft), 200);
    EXPECT_EQ(platform::ReadProfile(kName), "out.odf");

    ASSERT_TRUE(platform::WriteProfile(kLeft, -40));
    ASSERT_TRUE(platform::WriteProfile(kName, "Größe.odf"));
    EXPECT_EQ(GetProfileInt("DensitoMeter", "Left", 0), -40);
    EXPECT_EQ(GetProfileString("ODFCalculation", "ODFFileName", ""), "Größe.odf");

    ASSERT_EQ(WriteProfileInt("DensitoMeter", "Left", 7), 1);
    EXPECT_EQ(platform::ReadProfile(kLeft), 7);
}

// The other program writes the same file; the next read must see its value
// even though this process has read (and cached) the file before.
TEST(Profile, ReadsSeeChangesMadeByAnotherWriter) {
    ASSERT_EQ(WriteProfileInt("AutoLoad", "AutoLoad", 0), 1);
    ASSERT_EQ(GetProfileInt("AutoLoad", "AutoLoad", -1), 0);

    QFile file(QString::fromStdString(platform::ProfileFilePath()));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write("[AutoLoad]\nAutoLoad=-11\nRunning=1\n"
               "[ODFCalculation]\nODFFileName=/data/a,b.odf\n");
    file.close();

    EXPECT_EQ(platform::ReadProfile(platform::kAutoLoadKind), -11);
    EXPECT_EQ(platform::ReadProfile(platform::kViewerRunning), 1);
    // Unquoted commas, as a person editing the file would leave them.
    EXPECT_EQ(GetProfileString("ODFCalculation", "ODFFileName", ""), "/data/a,b.odf");
}

// A profile that cannot be written is reported, not passed off as saved.
// The folder is blocked by a plain file of its name (file permissions would
// not stop a test run as root).
TEST(Profile, FailedWriteReturnsZero) {
    const QString folder = PrivateConfigHome() + "/Corvan";
    QDir(folder).removeRecursively();
    QFile blocker(folder);
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();

    EXPECT_EQ(WriteProfileInt("AutoLoad", "Running", 1), 0);
    EXPECT_EQ(WriteProfileString("PFCalculation", "PFFileName", "x"), 0);
    EXPECT_FALSE(platform::WriteProfile(platform::kViewerRunning, 1));

    ASSERT_TRUE(QFile::remove(folder));
    EXPECT_EQ(WriteProfileInt("AutoLoad", "Running", 1), 1);
    EXPECT_EQ(GetProfileInt("AutoLoad", "Running", 0), 1);
}
