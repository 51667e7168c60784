// Thread counts from text and the environment, the automatic rule's bounds,
// and a cancel token shared between copies and threads.
#include "platform/thread_choice.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <thread>

#include "platform/cancel_token.h"

namespace platform {
namespace {

TEST(ThreadChoiceTest, ParsesCountsAndAuto) {
    struct Row {
        const char* text;
        bool ok;
        int threads;
    };
    const Row rows[] = {
        {"auto", true, kAutomaticThreads},
        {"AUTO", true, kAutomaticThreads},
        {"1", true, 1},
        {"12", true, 12},
        {"256", true, 256},
        {"257", false, 0},
        {"0", false, 0},
        {"-2", false, 0},
        {"2x", false, 0},
        {"", false, 0},
        {" 2", false, 0},
        {"99999999999", false, 0},
    };
    for (const Row& r : rows) {
        int threads = -7;
        EXPECT_EQ(ParseThreadCount(r.text, &threads), r.ok) << r.text;
        if (r.ok) {
            EXPECT_EQ(threads, r.threads) << r.text;
        }
    }
}

TEST(ThreadChoiceTest, EnvironmentSetsTheCount) {
    const char* saved = std::getenv("QUELTA_THREADS");
    const std::string previous = saved ? saved : "";
    setenv("QUELTA_THREADS", "3", 1);
    EXPECT_EQ(ThreadsFromEnvironment(), 3);
    setenv("QUELTA_THREADS", "lots", 1);
    EXPECT_EQ(ThreadsFromEnvironment(), kAutomaticThreads);
    unsetenv("QUELTA_THREADS");
    EXPECT_EQ(ThreadsFromEnvironment(), kAutomaticThreads);
    if (saved)
        setenv("QUELTA_THREADS", previous.c_str(), 1);
}

TEST(ThreadChoiceTest, AutomaticRuleStaysWithinTheUsableProcessors) {
    const int usable = UsableProcessors();
    ASSERT_GE(usable, 1);
    const int automatic = AutomaticThreads();
    EXPECT_GE(automatic, 1);
    EXPECT_LE(automatic, usable);
}

TEST(CancelTokenTest, CopiesShareOneFlagAcrossThreads) {
    CancelToken token;
    const CancelToken copy = token;
    CancelToken other;
    EXPECT_FALSE(copy.Cancelled());
    std::thread([token] { token.Cancel(); }).join();
    EXPECT_TRUE(copy.Cancelled());
    EXPECT_FALSE(other.Cancelled());
}

} // namespace
} // namespace platform
