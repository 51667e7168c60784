// Cancelling the engines: from another thread while a 1 degree ODF is
// computed, in each phase of the iteration (the token set from the progress
// callback when the phase starts), and before a recalculation. A cancelled
// operation returns 0 with EngineStatus::kCancelled, sends no "Calculation
// finished", and leaves the caller's output array as it was.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <thread>
#include <vector>

#include "test_support.h"

namespace enginetest {
namespace {

// Three pole figure files of a smooth texture at res; rows above alphaMax
// are left unmeasured (incomplete data: the normalisation smooths).
struct PoleFigures {
    PoleFigures(const std::string& name, double res, double alphaMax) : dir(name) {
        ok = true;
        for (int j = 0; j < 3; ++j) {
            paths[j] = dir.Numbered("pf", j);
            ok = ok && WritePoleFigure(paths[j], res, [&](int a, int b) {
                     if (a * res > alphaMax)
                         return 0.0;
                     return 1.0 + 0.3 * std::cos(0.07 * (a + j)) * std::sin(0.05 * b);
                 });
        }
    }
    TempDir dir;
    std::string paths[3];
    bool ok = false;
};

using Clock = std::chrono::steady_clock;

// A 1 degree ODF without sample symmetry (361 x 91 x 91 cells, seconds of
// work per loop here) is cancelled from another thread once the named phase
// has run for a moment; GetODF must come back within 0.5 s.
TEST(Cancel, OneDegreeOdfStopsWithinHalfASecondFromAnotherThread) {
    PoleFigures pfs("cancel_1deg", 1.0, 80.0);
    ASSERT_TRUE(pfs.ok);
    for (const char* phase : {"Initializing ODF", "Loop: 1"}) {
        HODF engine;
        EngineRunOptions options;
        std::atomic<bool> reached{false};
        options.progress = [&](std::string text, int) {
            if (text == phase)
                reached = true;
        };
        engine.SetRunOptions(options);
        ASSERT_EQ(
            engine.IniODFCal(pfs.paths, 0, 15, 0.0, 0, kCubicLattice, kCubicHkl, 3, 1, 0, 0, 1.0),
            1);
        Grid3<double> odf(Extent3{.phi1 = engine.nPhi1, .Phi = engine.nPhi, .phi2 = engine.nPhi2});
        std::atomic<bool> returned{false};
        Clock::time_point cancelledAt, returnedAt;
        int result = -1;
        std::thread worker([&] {
            result = engine.GetODF(odf.Tree(), nullptr, nullptr);
            returnedAt = Clock::now();
            returned = true;
        });
        while (!reached && !returned)
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        cancelledAt = Clock::now();
        options.cancel.Cancel();
        worker.join();
        ASSERT_TRUE(reached) << phase;
        EXPECT_EQ(result, 0) << phase;
        EXPECT_EQ(engine.LastResult().status, EngineStatus::kCancelled) << phase;
        EXPECT_EQ(engine.LastResult().message, kCancelledText);
        const double seconds = std::chrono::duration<double>(returnedAt - cancelledAt).count();
        EXPECT_LT(seconds, 0.5) << phase;
    }
}

struct PhaseRow {
    const char* name;
    bool classic; // CODFlib (5 degrees) or HODF (10 degrees)
    const char* phase;
};

class CancelPhase : public ::testing::TestWithParam<PhaseRow> {};

// The token is set by the callback when the phase's status line comes, so
// the phase itself sees it.
TEST_P(CancelPhase, StopsWithTheCancelledStatus) {
    const PhaseRow& row = GetParam();
    const double res = row.classic ? 5.0 : 10.0;
    PoleFigures pfs(std::string("cancel_phase_") + row.name, res, 75.0);
    ASSERT_TRUE(pfs.ok);
    EngineRunOptions options;
    Transcript tr;
    const platform::CancelToken token = options.cancel;
    const std::string phase = row.phase;
    options.progress = [&, token](std::string text, int code) {
        if (text.rfind(phase, 0) == 0)
            token.Cancel();
        tr.calls.emplace_back(code, std::move(text));
    };
    int result = -1;
    EngineResult outcome;
    if (row.classic) {
        auto engine = std::make_unique<CODFlib>();
        engine->SetRunOptions(options);
        ASSERT_EQ(engine->IniODFCal(pfs.paths, 0, 3, 0.0, 0, kCubicLattice, kCubicHkl, 3, 1, 0, 0),
                  1);
        std::vector<double> odf(73 * 37 * 73);
        result = engine->GetODF(reinterpret_cast<double(*)[37][73]>(odf.data()), nullptr, nullptr);
        outcome = engine->LastResult();
    } else {
        HODF engine;
        engine.SetRunOptions(options);
        ASSERT_EQ(
            engine.IniODFCal(pfs.paths, 0, 3, 0.0, 0, kCubicLattice, kCubicHkl, 3, 1, 0, 0, res),
            1);
        Grid3<double> odf(Extent3{.phi1 = engine.nPhi1, .Phi = engine.nPhi, .phi2 = engine.nPhi2});
        result = engine.GetODF(odf.Tree(), nullptr, nullptr);
        outcome = engine.LastResult();
    }
    EXPECT_EQ(result, 0);
    EXPECT_EQ(outcome.status, EngineStatus::kCancelled);
    EXPECT_FALSE(tr.Has("Calculation finished"));
    ASSERT_FALSE(tr.calls.empty());
    EXPECT_EQ(tr.calls.back(), std::make_pair(int(kProgressStatus), std::string(kCancelledText)));
}

INSTANTIATE_TEST_SUITE_P(Phases, CancelPhase,
                         ::testing::Values(PhaseRow{"HodfReading", false, "File:"},
                                           PhaseRow{"HodfInitial", false, "Initializing ODF"},
                                           PhaseRow{"HodfLoop", false, "Loop: 2"},
                                           PhaseRow{"HodfNormalizing", false, "Normalizing ODF"},
                                           PhaseRow{"CodflibReading", true, "File:"},
                                           PhaseRow{"CodflibInitial", true, "Initializing ODF"},
                                           PhaseRow{"CodflibLoop", true, "Loop: 2"},
                                           PhaseRow{"CodflibNormalizing", true, "Normalizing ODF"}),
                         [](const auto& info) { return std::string(info.param.name); });

// With the token already set, every recalculation returns cancelled and
// leaves its output array untouched.
TEST(Cancel, RecalculationWithTheTokenSetWritesNothing) {
    constexpr double kSentinel = -123.0;
    EngineRunOptions options;
    options.cancel.Cancel();
    const double hkl[3] = {1, 1, 1};
    const double nd[3] = {0, 0, 1};
    auto untouched = [&](double** g, int a, int b) {
        for (int i = 0; i < a; ++i)
            for (int j = 0; j < b; ++j)
                if (g[i][j] != kSentinel)
                    return false;
        return true;
    };
    {
        HODF pf, ipf;
        pf.SetRunOptions(options);
        ipf.SetRunOptions(options);
        ASSERT_EQ(pf.IniPolFigCal(0, kCubicLattice, hkl, 5.0, 0, 0), 1);
        ASSERT_EQ(ipf.IniInvPolFigCal(0, kCubicLattice, nd, 5.0, 0), 1);
        Grid3<double> odf(Extent3{.phi1 = pf.nPhi1, .Phi = pf.nPhi, .phi2 = pf.nPhi2});
        odf.Fill(1.0);
        Grid2<double> out(Extent2{.alpha = pf.nAlpha, .beta = pf.nBeta}, kSentinel);
        double axes[3][3];
        EXPECT_EQ(pf.GetPolFig(out.Tree(), odf.Tree()), 0);
        EXPECT_TRUE(pf.LastResult().cancelled());
        EXPECT_EQ(ipf.GetInvPolFig(out.Tree(), axes, odf.Tree()), 0);
        EXPECT_TRUE(ipf.LastResult().cancelled());
        EXPECT_TRUE(untouched(out.Tree(), out.alphaCount(), out.betaCount()));
    }
    {
        auto engine = std::make_unique<CODFlib>();
        engine->SetRunOptions(options);
        std::vector<double> odf(73 * 37 * 73, 1.0);
        auto* full = reinterpret_cast<double(*)[37][73]>(odf.data());
        double out[19][73];
        for (auto& row : out)
            for (double& v : row)
                v = kSentinel;
        double* rows[19];
        for (int i = 0; i < 19; ++i)
            rows[i] = out[i];
        double axes[3][3];
        ASSERT_EQ(engine->IniPolFigCal(0, kCubicLattice, hkl), 1);
        EXPECT_EQ(engine->GetPolFig(out, full), 0);
        EXPECT_TRUE(engine->LastResult().cancelled());
        ASSERT_EQ(engine->IniInvPolFigCal(0, kCubicLattice, nd), 1);
        EXPECT_EQ(engine->GetInvPolFig(out, axes, full), 0);
        EXPECT_TRUE(engine->LastResult().cancelled());
        EXPECT_TRUE(untouched(rows, 19, 73));
    }
}

// A failure comes back as a value with the text that was also sent.
TEST(Cancel, FailureReasonIsHandedBackAsAValue) {
    TempDir dir("cancel_failure");
    const std::string missing[3] = {dir.File("none.HPF"), dir.File("none.HPF"),
                                    dir.File("none.HPF")};
    HODF engine;
    ASSERT_EQ(engine.IniODFCal(missing, 0, 3, 0.0, 0, kCubicLattice, kCubicHkl, 3, 1, 0, 0, 10.0),
              1);
    Grid3<double> odf(Extent3{.phi1 = engine.nPhi1, .Phi = engine.nPhi, .phi2 = engine.nPhi2});
    EXPECT_EQ(engine.GetODF(odf.Tree(), nullptr, nullptr), 0);
    EXPECT_EQ(engine.LastResult().status, EngineStatus::kFailed);
    EXPECT_EQ(engine.LastResult().message, "Can not read pole figure file");
    EXPECT_EQ(engine.IniODFCal(missing, 0, 3, 0.0, 0, kCubicLattice, kCubicHkl, 3, 1, 0, 0, 0.05),
              0);
    EXPECT_EQ(engine.LastResult().message, "Invalid resolution");
}

} // namespace
} // namespace enginetest
