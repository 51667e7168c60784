// The deviation stop rule and the loop/tolerance stops of GetODF.
#include <gtest/gtest.h>

#include <thread>

#include "engine_common.h"
#include "test_support.h"
#include "validation.h"

using namespace enginetest;
using odfengine::StopRule;

TEST(StopRule, Table) {
    struct Case {
        const char* name;
        std::vector<double> deviations;
        bool incomplete;
        std::vector<int> expected; // 1 go on, 0 stop
    } cases[] = {
        {"steady decrease", {0.5, 0.4, 0.3, 0.2, 0.15, 0.1, 0.09}, false, {1, 1, 1, 1, 1, 1, 1}},
        {"increase within the first five", {0.5, 0.4, 0.41}, false, {1, 1, 0}},
        {"no change within the first five", {0.5, 0.5, 0.5}, false, {1, 1, 1}},
        {"below 1% after five accepted",
         {0.5, 0.4, 0.3, 0.2, 0.15, 0.1495},
         false,
         {1, 1, 1, 1, 1, 0}},
        {"3% is enough for complete data",
         {0.5, 0.4, 0.3, 0.2, 0.15, 0.1455},
         false,
         {1, 1, 1, 1, 1, 1}},
        {"3% is too little for incomplete data",
         {0.5, 0.4, 0.3, 0.2, 0.15, 0.1455},
         true,
         {1, 1, 1, 1, 1, 0}},
        {"6% is enough for incomplete data",
         {0.5, 0.4, 0.3, 0.2, 0.15, 0.141},
         true,
         {1, 1, 1, 1, 1, 1}},
        // A perfect fit leaves nothing to improve: no 0/0, a clean stop
        // once the first five are used up.
        {"zero deviation", {0.0, 0.0, 0.0, 0.0, 0.0, 0.0}, false, {1, 1, 1, 1, 1, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        double previous = 0, latest = 1.0e7;
        int accepted = 99; // the first test resets it
        for (size_t i = 0; i < c.deviations.size(); ++i)
            EXPECT_EQ(StopRule::Test(c.deviations[i], c.incomplete, &previous, &latest, &accepted),
                      c.expected[i])
                << i;
    }
}

namespace {

struct ModelFiles {
    explicit ModelFiles(const std::string& name, double res = 10.0) : dir(name) {
        int n1, n, n2;
        GetEulerRangeInODFSpace(&n1, &n, &n2, 0, res, 1);
        Grid3<double> model(Extent3{.phi1 = n1, .Phi = n, .phi2 = n2});
        odfengine::MakeModelODF(model.Tree(), 0, kCubicLattice, res, 1,
                                odfengine::DefaultRollingTexture(), 0.3);
        for (int j = 0; j < 3; ++j)
            paths[j] = dir.Numbered("m", j);
        ok = odfengine::WriteModelPoleFigures(model.Tree(), 0, kCubicLattice, res, 1, kCubicHkl, 3,
                                              paths, 90.0);
    }
    TempDir dir;
    std::string paths[3];
    int ok = 0;
};

struct OdfRun {
    int result = 0, loops = 0;
    double deviation = 0;
    Transcript tr;
    std::vector<double> odf;
};

void RunOdf(const ModelFiles& files, int stopMode, int maxLoops, double tolerance, OdfRun* run,
            double res = 10.0) {
    HODF e;
    e.SetCallBack(run->tr.Callback());
    e.IniODFCal(files.paths, 0, maxLoops, tolerance, stopMode, kCubicLattice, kCubicHkl, 3, 1, 0, 1,
                res);
    Grid3<double> odf(Extent3{.phi1 = e.nPhi1, .Phi = e.nPhi, .phi2 = e.nPhi2});
    run->result = e.GetODF(odf.Tree(), &run->deviation, &run->loops);
    run->odf.insert(run->odf.end(), odf.values().begin(), odf.values().end());
}

std::vector<double> Deviations(const Transcript& tr) {
    std::vector<double> d;
    for (const auto& c : tr.calls)
        if (c.first == kProgressDeviation)
            d.push_back(std::stod(c.second));
    return d;
}

} // namespace

TEST(GetODFStop, LoopLimitInModeZero) {
    ModelFiles files("stop_loops");
    ASSERT_TRUE(files.ok);
    OdfRun run;
    RunOdf(files, 0, 3, 0.0, &run);
    ASSERT_EQ(run.result, 1);
    EXPECT_EQ(run.loops, 3);
    EXPECT_EQ(run.tr.Count("Loop: 1") + run.tr.Count("Loop: 2") + run.tr.Count("Loop: 3"), 3);
    EXPECT_FALSE(run.tr.Has("Loop: 4"));
    EXPECT_EQ(Deviations(run.tr).size(), 3u);
}

TEST(GetODFStop, ToleranceInModeOne) {
    ModelFiles files("stop_tolerance");
    ASSERT_TRUE(files.ok);
    OdfRun probe;
    RunOdf(files, 0, 6, 0.0, &probe);
    const std::vector<double> dev = Deviations(probe.tr);
    ASSERT_GE(dev.size(), 4u);
    // A tolerance between the third and the second deviation stops after the third.
    const double tolerance = (dev[1] + dev[2]) / 2;
    OdfRun run;
    RunOdf(files, 1, 50, tolerance, &run);
    EXPECT_EQ(run.loops, 3);
    EXPECT_LT(run.deviation, tolerance);
    // Stop mode 11 is mode 1 without smoothing; complete data behave alike.
    OdfRun run11;
    RunOdf(files, 11, 50, tolerance, &run11);
    EXPECT_EQ(run11.loops, 3);
    EXPECT_EQ(run11.odf, run.odf);
}

TEST(GetODFStop, DeviationRuleSendsTheLongMessageAndFinishes) {
    ModelFiles files("stop_rule");
    ASSERT_TRUE(files.ok);
    OdfRun run;
    RunOdf(files, 1, 1000, 0.0, &run); // only the deviation rule can stop
    ASSERT_EQ(run.result, 1);
    EXPECT_TRUE(run.tr.Has(odfengine::kDeviationStopText));
    EXPECT_GT(run.loops, 5);
    EXPECT_TRUE(run.tr.Has("Calculation finished"));
}

// Each engine keeps its own accepted-iteration count: two calculations side
// by side on two threads give exactly what each gives alone.
TEST(GetODFStop, EnginesSideBySideDoNotDisturbEachOther) {
    ModelFiles files("stop_parallel");
    ASSERT_TRUE(files.ok);
    OdfRun aloneA, aloneB;
    RunOdf(files, 1, 1000, 0.0, &aloneA);
    RunOdf(files, 2, 4, 0.0, &aloneB);
    OdfRun a, b;
    std::thread ta([&] { RunOdf(files, 1, 1000, 0.0, &a); });
    std::thread tb([&] { RunOdf(files, 2, 4, 0.0, &b); });
    ta.join();
    tb.join();
    EXPECT_EQ(a.loops, aloneA.loops);
    EXPECT_EQ(b.loops, aloneB.loops);
    EXPECT_EQ(a.odf, aloneA.odf);
    EXPECT_EQ(b.odf, aloneB.odf);
}
