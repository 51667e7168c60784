#include "platform_profile/pending_results.h"
#include "platform_profile/profile.h"
#include "platform_profile/suite_profile.h"

#include "private_profile.h"

#include <QProcess>
#include <QSettings>

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

using platform::AppendPendingResult;
using platform::PendingResult;
using platform::TakePendingResult;

namespace {

// Built by appending: GCC 12 warns falsely (-Wrestrict) on string + string.
std::string Numbered(std::string prefix, int n) {
    prefix += std::to_string(n);
    return prefix;
}

std::vector<PendingResult> TakeAll() {
    std::vector<PendingResult> taken;
    while (auto r = TakePendingResult())
        taken.push_back(*r);
    return taken;
}

} // namespace

TEST(PendingResults, TakesEachEntryOnceInOrder) {
    EXPECT_FALSE(TakePendingResult().has_value());
    ASSERT_TRUE(platform::WriteProfile(platform::kAutoLoadKind, 7));

    const std::vector<PendingResult> sent = {
        {6, "/data/run 1/texture.odf"},
        {-7, "/data/Größe φ/recalc.pf"},
        {12, "relative name.gbcd"},
    };
    for (const auto& r : sent)
        ASSERT_TRUE(AppendPendingResult(r));

    EXPECT_EQ(TakeAll(), sent);
    EXPECT_FALSE(TakePendingResult().has_value());
    // The one-slot mailbox of the classic hand-off is a separate key.
    EXPECT_EQ(platform::ReadProfile(platform::kAutoLoadKind), 7);
}

TEST(PendingResults, RefusesEntriesTheViewerCannotUse) {
    EXPECT_FALSE(AppendPendingResult({0, "/data/a.odf"}));
    EXPECT_FALSE(AppendPendingResult({6, ""}));
    EXPECT_FALSE(TakePendingResult().has_value());
}

TEST(PendingResults, FullQueueDropsTheOldest) {
    const int extra = 5;
    for (int i = 0; i < platform::kMaxPendingResults + extra; ++i)
        ASSERT_TRUE(AppendPendingResult({i + 1, Numbered("r", i)}));
    const auto taken = TakeAll();
    ASSERT_EQ(taken.size(), static_cast<size_t>(platform::kMaxPendingResults));
    EXPECT_EQ(taken.front(), (PendingResult{extra + 1, Numbered("r", extra)}));
    EXPECT_EQ(taken.back().kind, platform::kMaxPendingResults + extra);
}

// A hand-edited or damaged queue: unusable rows are skipped, a huge size
// does not make the reader walk absent keys.
TEST(PendingResults, SkipsDamagedRows) {
    {
        QSettings s("Corvan", "Quelta");
        s.setValue("AutoLoad/Queue/size", 1000000000);
        s.setValue("AutoLoad/Queue/1/Kind", "abc");
        s.setValue("AutoLoad/Queue/1/Path", "/x");
        s.setValue("AutoLoad/Queue/2/Kind", 8);
        s.setValue("AutoLoad/Queue/2/Path", "/data/b.ipf");
        s.setValue("AutoLoad/Queue/3/Kind", 9);
        s.sync();
    }
    EXPECT_EQ(TakeAll(), (std::vector<PendingResult>{{8, "/data/b.ipf"}}));
    QSettings s("Corvan", "Quelta");
    EXPECT_FALSE(s.contains("AutoLoad/Queue/size"));
}

// Two programs appending at the same moment: every entry arrives, each
// writer's entries in the order it wrote them.
TEST(PendingResults, ConcurrentAppendsFromTwoProcessesLoseNothing) {
    const int perWriter = 40;
    ASSERT_LE(2 * perWriter, platform::kMaxPendingResults);
    QProcess a, b;
    for (auto [process, tag] : {std::pair{&a, "A"}, std::pair{&b, "B"}})
        process->start(QStringLiteral(PENDING_RESULT_WRITER),
                       {QString::number(perWriter), QString::fromLatin1(tag)});
    for (QProcess* p : {&a, &b}) {
        ASSERT_TRUE(p->waitForFinished(60000));
        EXPECT_EQ(p->exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(p->exitCode(), 0) << p->readAllStandardError().toStdString();
    }

    std::map<std::string, int> next = {{"A", 1}, {"B", 1}};
    const auto taken = TakeAll();
    EXPECT_EQ(taken.size(), static_cast<size_t>(2 * perWriter));
    for (const auto& r : taken) {
        const std::string tag = r.path.substr(0, 1);
        ASSERT_TRUE(next.count(tag)) << r.path;
        EXPECT_EQ(r.kind, next[tag]) << r.path;
        EXPECT_EQ(r.path, Numbered(tag + " entry ", r.kind));
        next[tag] = r.kind + 1;
    }
}
