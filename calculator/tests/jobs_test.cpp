// The jobs called directly: hand-off only after a successful save, engine
// failures, overlapping jobs, the recalculation checks.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <thread>
#include <vector>

#include "calcjobs/memory_estimate.h"
#include "calcjobs/odf_job.h"
#include "calcjobs/recalc_jobs.h"
#include "dataformats/inversepf.h"
#include "dataformats/odf.h"
#include "odfengine/model_odf.h"
#include "orimath/grid.h"
#include "orimath/ranges.h"
#include "platform/message_sink.h"
#include "test_files.h"

namespace calcjobs {
namespace {

const double kCubic[6] = {1, 1, 1, 90, 90, 90};
const double kHkl[3][3] = {{1, 1, 1}, {2, 0, 0}, {2, 2, 0}};

// Model rolling-texture pole figures {111}, {200}, {220} at res, written as
// dir/<prefix>111.HPF ...
std::vector<std::string>
WriteModelPoleFigures(const calctest::ScratchDir& dir, const std::string& prefix, double res,
                      std::vector<odfengine::ModelComponent> components = {}) {
    if (components.empty())
        components = odfengine::DefaultRollingTexture();
    int n1, n, n2;
    GetEulerRangeInODFSpace(&n1, &n, &n2, 0, res, 1);
    orimath::Grid3<double> grid(orimath::Extent3{.phi1 = n1, .Phi = n, .phi2 = n2});
    double*** odf = grid.Tree();
    EXPECT_EQ(odfengine::MakeModelODF(odf, 0, kCubic, res, 1, components, 0.3), 1);
    std::string paths[3] = {dir.Path(prefix + "111.HPF"), dir.Path(prefix + "200.HPF"),
                            dir.Path(prefix + "220.HPF")};
    EXPECT_EQ(odfengine::WriteModelPoleFigures(odf, 0, kCubic, res, 1, kHkl, 3, paths, 90), 1);
    return {paths[0], paths[1], paths[2]};
}

RawHODFInfo OdfBlock(const std::vector<std::string>& files, double res, const std::string& output,
                     int maxLoops = 15) {
    RawHODFInfo info{};
    info.nPF = static_cast<int>(files.size());
    for (size_t i = 0; i < files.size(); ++i) {
        std::snprintf(info.pfNames[i], sizeof info.pfNames[i], "%s", files[i].c_str());
        for (int c = 0; c < 3; ++c)
            info.hkl[i][c] = kHkl[i][c];
    }
    std::memcpy(info.lattice, kCubic, sizeof kCubic);
    info.sampleSymmetry = 1;
    info.resolution = res;
    ApplyODFCommandSettings(&info);
    info.maxLoops = maxLoops;
    std::snprintf(info.path, sizeof info.path, "%s", output.c_str());
    return info;
}

struct Launches {
    std::vector<std::pair<int, std::string>> calls;
    LaunchViewerFn Fn() {
        return [this](int kind, const std::string& file) { calls.emplace_back(kind, file); };
    }
};

TEST(OdfJobTest, ViewerOfferedOnlyAfterSuccessfulSave) {
    calctest::ScratchDir dir("job-save");
    platform::ScopedMessageHandler quiet([](const std::string&) {});
    auto files = WriteModelPoleFigures(dir, "m", 10);

    Launches launches;
    JobResult failed =
        ODFJob(OdfBlock(files, 10, dir.Path("missing/odf.HODF")), nullptr, launches.Fn());
    EXPECT_EQ(failed.status, JobStatus::kSaveFailed);
    EXPECT_EQ(failed.message, "Can not save odf file");
    EXPECT_TRUE(launches.calls.empty());

    std::vector<std::string> texts;
    JobResult ok = ODFJob(
        OdfBlock(files, 10, dir.Path("odf.HODF")),
        [&](const std::string& text, int position) {
            if (position == kStatusPosition)
                texts.push_back(text);
        },
        launches.Fn());
    ASSERT_TRUE(ok.ok()) << ok.message;
    ASSERT_EQ(launches.calls.size(), 1u);
    EXPECT_EQ(launches.calls[0].first, kResultODF);
    EXPECT_EQ(launches.calls[0].second, dir.Path("odf.HODF"));
    EXPECT_GT(ok.loops, 0);
    ASSERT_GE(texts.size(), 2u);
    EXPECT_EQ(texts[texts.size() - 2], "Please wait ... while saving ODF file");
    EXPECT_EQ(texts.back(), "Calculation finished");
}

TEST(OdfJobTest, EngineFailuresCarryTheEngineText) {
    calctest::ScratchDir dir("job-engine");
    auto files5 = WriteModelPoleFigures(dir, "five", 5);
    Launches launches;
    struct Case {
        std::vector<std::string> files;
        double res;
        const char* expected;
        std::string detail; // which file and why
    };
    const std::string absent = dir.Path("absent.HPF");
    const Case cases[] = {
        {{absent}, 10, "Can not read pole figure file", absent + ": cannot open the file"},
        {{absent}, 5, "Can not read pole figure file", absent + ": cannot open the file"},
        // 19 x 73 grids for a 10 degree run
        {files5, 10, "File resolution incorrect",
         files5[0] + ": a 19 x 73 grid, the calculation needs 10 x 37"},
    };
    for (const Case& c : cases) {
        JobResult result =
            ODFJob(OdfBlock(c.files, c.res, dir.Path("odf.HODF")), nullptr, launches.Fn());
        EXPECT_EQ(result.status, JobStatus::kEngineFailed) << c.expected;
        EXPECT_EQ(result.message, c.expected);
        EXPECT_EQ(result.detail, c.detail);
    }
    JobResult invalid = ODFJob(OdfBlock(files5, 0, dir.Path("odf.HODF")), nullptr, launches.Fn());
    EXPECT_EQ(invalid.status, JobStatus::kInvalidInput);
    EXPECT_TRUE(launches.calls.empty());
    EXPECT_FALSE(calctest::Exists(dir.Path("odf.HODF")));
}

// The engine choice of the context: the arbitrary-resolution engine at 5
// degrees writes the classic run's layout and grid with its own values; the
// classic engine is refused at any other resolution, before any work.
TEST(OdfJobTest, EngineChoiceOfTheContext) {
    calctest::ScratchDir dir("job-engine-choice");
    auto files5 = WriteModelPoleFigures(dir, "five", 5);
    auto files10 = WriteModelPoleFigures(dir, "ten", 10);
    auto run = [&](const std::vector<std::string>& files, double res, ODFEngine engine,
                   const std::string& name) {
        JobContext context;
        context.odfEngine = engine;
        return ODFJob(OdfBlock(files, res, dir.Path(name), 4), context);
    };
    ASSERT_TRUE(run(files5, 5, ODFEngine::kAuto, "auto.HODF").ok());
    ASSERT_TRUE(run(files5, 5, ODFEngine::kClassic, "classic.HODF").ok());
    JobResult arbitrary = run(files5, 5, ODFEngine::kArbitrary, "arbitrary.HODF");
    ASSERT_TRUE(arbitrary.ok()) << arbitrary.message;
    EXPECT_EQ(calctest::ReadText(dir.Path("auto.HODF")),
              calctest::ReadText(dir.Path("classic.HODF")));
    EXPECT_NE(calctest::ReadText(dir.Path("arbitrary.HODF")),
              calctest::ReadText(dir.Path("classic.HODF")));
    for (const char* name : {"classic.HODF", "arbitrary.HODF"}) {
        const std::string path = dir.Path(name);
        RawHODFInfo info{};
        int n1 = 0, n = 0, n2 = 0;
        ASSERT_EQ(GetODFFileType(path), 2) << name;
        double*** tree = Open_ODF_File(path.c_str(), &info, 2, &n1, &n, &n2);
        ASSERT_NE(tree, nullptr) << name;
        orimath::AdoptTree(tree, {.phi1 = n1, .Phi = n, .phi2 = n2});
        EXPECT_EQ(n1 * 10000 + n * 100 + n2, 191919) << name;
        EXPECT_DOUBLE_EQ(info.resolution, 5.0) << name;
    }

    JobResult refused = run(files10, 10, ODFEngine::kClassic, "classic10.HODF");
    EXPECT_EQ(refused.status, JobStatus::kInvalidInput);
    EXPECT_EQ(refused.message, kClassicEngineResolutionText);
    EXPECT_FALSE(calctest::Exists(dir.Path("classic10.HODF")));
    ASSERT_TRUE(run(files10, 10, ODFEngine::kAuto, "auto10.HODF").ok());

    // Recalculation: classic refused for the 10 degree ODF; the arbitrary
    // engine recalculates the 5 degree one on the full 5 degree grid.
    PFJobParams pf;
    ASSERT_EQ(LoadODFInfo(dir.Path("auto10.HODF"), &pf.odfInfo), "");
    pf.odfFile = dir.Path("auto10.HODF");
    pf.pfFile = dir.Path("p10.HPF");
    pf.h = pf.k = pf.l = 1;
    JobContext classic;
    classic.odfEngine = ODFEngine::kClassic;
    JobResult pfRefused = PFJob(pf, classic);
    EXPECT_EQ(pfRefused.status, JobStatus::kInvalidInput);
    EXPECT_EQ(pfRefused.message, kClassicEngineResolutionText);
    EXPECT_FALSE(calctest::Exists(pf.pfFile));
    ASSERT_EQ(LoadODFInfo(dir.Path("arbitrary.HODF"), &pf.odfInfo), "");
    pf.odfFile = dir.Path("arbitrary.HODF");
    pf.pfFile = dir.Path("p5.HPF");
    JobContext arbitraryContext;
    arbitraryContext.odfEngine = ODFEngine::kArbitrary;
    ASSERT_TRUE(PFJob(pf, arbitraryContext).ok());
    calctest::PoleFigureFile recalculated(pf.pfFile);
    ASSERT_TRUE(recalculated.read);
    EXPECT_EQ(recalculated.grid.alphaCount(), 19);
    EXPECT_EQ(recalculated.grid.betaCount(), 73);
    EXPECT_DOUBLE_EQ(recalculated.info.resolution, 5.0);
}

// Every job has its own result buffer: two 5 degree jobs running at the same
// time give exactly what each gives alone.
TEST(OdfJobTest, OverlappingFiveDegreeJobsDoNotShareTheirBuffer) {
    calctest::ScratchDir dir("job-overlap");
    auto rolling = WriteModelPoleFigures(dir, "r", 5);
    odfengine::ModelComponent cube;
    ASSERT_EQ(odfengine::GetStandardComponent("Cube", 10, 1, &cube), 1);
    auto cubeFiles = WriteModelPoleFigures(dir, "c", 5, {cube});

    ASSERT_TRUE(ODFJob(OdfBlock(rolling, 5, dir.Path("alone_r.HODF"), 4), nullptr, nullptr).ok());
    ASSERT_TRUE(ODFJob(OdfBlock(cubeFiles, 5, dir.Path("alone_c.HODF"), 4), nullptr, nullptr).ok());
    JobResult a, b;
    std::thread first(
        [&] { a = ODFJob(OdfBlock(rolling, 5, dir.Path("both_r.HODF"), 4), nullptr, nullptr); });
    std::thread second(
        [&] { b = ODFJob(OdfBlock(cubeFiles, 5, dir.Path("both_c.HODF"), 4), nullptr, nullptr); });
    first.join();
    second.join();
    ASSERT_TRUE(a.ok() && b.ok());
    EXPECT_EQ(calctest::ReadText(dir.Path("both_r.HODF")),
              calctest::ReadText(dir.Path("alone_r.HODF")));
    EXPECT_EQ(calctest::ReadText(dir.Path("both_c.HODF")),
              calctest::ReadText(dir.Path("alone_c.HODF")));
}

TEST(RecalcJobTest, OdfWhoseGridDisagreesWithItsHeaderIsRefused) {
    calctest::ScratchDir dir("job-mismatch");
    // A 10 degree cubic ODF written with the sample-symmetric grid (10 x 10 x
    // 10) but a header without sample symmetry, which asks for 37 x 10 x 10.
    orimath::Grid3<double> odf(orimath::Extent3{.phi1 = 10, .Phi = 10, .phi2 = 10}, 1.0);
    RawHODFInfo info{};
    std::memcpy(info.lattice, kCubic, sizeof kCubic);
    info.nPF = 1;
    info.hkl[0][0] = 1;
    info.resolution = 10;
    ASSERT_EQ(Save_ODF_File(dir.Path("bad.HODF").c_str(), odf.Tree(), &info, 10, 10, 10), 1);

    PFJobParams params;
    ASSERT_EQ(LoadODFInfo(dir.Path("bad.HODF"), &params.odfInfo), "");
    params.odfFile = dir.Path("bad.HODF");
    params.pfFile = dir.Path("pf.HPF");
    Launches launches;
    JobResult result = PFJob(params, nullptr, launches.Fn());
    EXPECT_EQ(result.status, JobStatus::kOpenFailed);
    EXPECT_NE(result.message.find("does not match"), std::string::npos) << result.message;
    EXPECT_TRUE(launches.calls.empty());
    EXPECT_FALSE(calctest::Exists(params.pfFile));

    EXPECT_EQ(LoadODFInfo(dir.Path("none.HODF"), &params.odfInfo),
              "Can not open " + dir.Path("none.HODF"));
}

// The inverse pole figure file carries the crystal axes that the engine
// returns (identity for a cubic lattice), not the sample direction.
TEST(RecalcJobTest, InversePoleFigureGetsTheCrystalAxes) {
    calctest::ScratchDir dir("job-ipf");
    for (double res : {5.0, 10.0}) { // classic and arbitrary-resolution engine
        int n1, n, n2;
        GetEulerRangeInODFSpace(&n1, &n, &n2, 0, res, 1);
        orimath::Grid3<double> grid(orimath::Extent3{.phi1 = n1, .Phi = n, .phi2 = n2});
        double*** odf = grid.Tree();
        ASSERT_EQ(odfengine::MakeModelODF(odf, 0, kCubic, res, 1,
                                          odfengine::DefaultRollingTexture(), 0.3),
                  1);
        RawHODFInfo info{};
        std::memcpy(info.lattice, kCubic, sizeof kCubic);
        info.nPF = 1;
        info.hkl[0][0] = 1;
        info.resolution = res;
        info.sampleSymmetry = 1;
        std::string name = "m";
        name += std::to_string(static_cast<int>(res));
        name += ".HODF";
        const std::string odfFile = dir.Path(name);
        ASSERT_EQ(Save_ODF_File(odfFile.c_str(), odf, &info, n1, n, n2), 1);

        IPFJobParams params;
        ASSERT_EQ(LoadODFInfo(odfFile, &params.odfInfo), "");
        params.odfFile = odfFile;
        params.ipfFile = odfFile + ".HIPF";
        params.alpha = 90; // RD
        params.beta = 0;
        Launches launches;
        JobResult result = IPFJob(params, nullptr, launches.Fn());
        ASSERT_TRUE(result.ok()) << result.message;
        ASSERT_EQ(launches.calls.size(), 1u);
        EXPECT_EQ(launches.calls[0].first, kResultInversePoleFigure);

        IPFFileInfo ipf;
        int type = Get_IPF_File_Type(params.ipfFile);
        ASSERT_EQ(type, 1);
        ASSERT_EQ(Get_IPF_File_Info(params.ipfFile.c_str(), type, &ipf), 1);
        EXPECT_NEAR(ipf.angle1, 90, 1e-9);
        EXPECT_NEAR(ipf.resolution, res, 1e-9);
        for (int i = 0; i < 3; ++i)
            for (int j = 0; j < 3; ++j)
                EXPECT_NEAR(ipf.directions[i][j], i == j ? 1 : 0, 0.01) << res << i << j;
    }
}

// A cancelled job returns kCancelled, offers no viewer and leaves the folder
// as it was: the previous output unchanged, no new or hidden file. Each row
// sets the token when its status text comes (or before the start).
TEST(JobCancelTest, CancelledJobsLeaveTheFolderAsItWas) {
    calctest::ScratchDir inputs("job-cancel-in");
    auto files10 = WriteModelPoleFigures(inputs, "t", 10);
    auto files5 = WriteModelPoleFigures(inputs, "f", 5);
    // ODFs to recalculate from, at both engines' resolutions.
    ASSERT_TRUE(ODFJob(OdfBlock(files10, 10, inputs.Path("m10.HODF"), 2), nullptr, nullptr).ok());
    ASSERT_TRUE(ODFJob(OdfBlock(files5, 5, inputs.Path("m5.HODF"), 2), nullptr, nullptr).ok());

    enum class Kind { kOdf, kPf, kIpf };
    struct Row {
        const char* name;
        Kind kind;
        double res;
        const char* cancelAt; // status text that sets the token; "" = before the start
    };
    const Row rows[] = {
        {"ODF 10 degrees, iterating", Kind::kOdf, 10, "Loop: 1"},
        {"ODF 5 degrees, iterating", Kind::kOdf, 5, "Loop: 1"},
        {"ODF 10 degrees, saving", Kind::kOdf, 10, "Please wait ... while saving ODF file"},
        {"ODF before the start", Kind::kOdf, 10, ""},
        {"pole figure 10 degrees", Kind::kPf, 10, "Openning ODF File"},
        {"pole figure 5 degrees", Kind::kPf, 5, ""},
        {"inverse pole figure 10 degrees", Kind::kIpf, 10, "Calculating"},
        {"inverse pole figure 5 degrees", Kind::kIpf, 5, "Calculating"},
    };
    for (const Row& row : rows) {
        calctest::ScratchDir out("job-cancel-out");
        const std::string output = out.Path("result");
        calctest::WriteText(output, "previous result\n");
        Launches launches;
        JobContext context;
        context.launchViewer = launches.Fn();
        const platform::CancelToken token = context.cancel;
        const std::string cancelAt = row.cancelAt;
        if (cancelAt.empty())
            token.Cancel();
        context.progress = [token, cancelAt](const std::string& text, int) {
            if (!cancelAt.empty() && text == cancelAt)
                token.Cancel();
        };
        const std::string odfFile = inputs.Path(row.res == 5 ? "m5.HODF" : "m10.HODF");
        JobResult result;
        if (row.kind == Kind::kOdf) {
            result = ODFJob(OdfBlock(row.res == 5 ? files5 : files10, row.res, output), context);
        } else if (row.kind == Kind::kPf) {
            PFJobParams params;
            ASSERT_EQ(LoadODFInfo(odfFile, &params.odfInfo), "");
            params.odfFile = odfFile;
            params.pfFile = output;
            params.h = params.k = params.l = 1;
            result = PFJob(params, context);
        } else {
            IPFJobParams params;
            ASSERT_EQ(LoadODFInfo(odfFile, &params.odfInfo), "");
            params.odfFile = odfFile;
            params.ipfFile = output;
            result = IPFJob(params, context);
        }
        EXPECT_EQ(result.status, JobStatus::kCancelled) << row.name << ": " << result.message;
        EXPECT_TRUE(launches.calls.empty()) << row.name;
        EXPECT_EQ(calctest::ReadText(output), "previous result\n") << row.name;
        int entries = 0;
        for (const auto& entry : std::filesystem::directory_iterator(out.Root())) {
            (void)entry;
            ++entries;
        }
        EXPECT_EQ(entries, 1) << row.name << ": files left beside the output";
    }
}

// Fine grids down to the engine's 0.1 degrees are accepted: a job is refused
// only when its estimate does not fit into the memory available, and the
// message gives the estimate.
TEST(MemoryEstimateTest, RefusesOnlyWhatDoesNotFit) {
    // The arbitrary-resolution engine measured about 376 MB for a cubic 0.5
    // degree ODF without sample symmetry.
    const uint64_t half = ODFJobPeakBytes(0, 0.5, 0, 3);
    EXPECT_GT(half, 300ull << 20);
    EXPECT_LT(half, 600ull << 20);
    EXPECT_LT(ODFJobPeakBytes(0, 0.5, 1, 3), half);        // sample symmetry: a quarter
    EXPECT_GT(ODFJobPeakBytes(0, 0.1, 0, 3), 20ull << 30); // 2.9e9 cells
    EXPECT_LT(ODFJobPeakBytes(0, 5, 0, 3), 64ull << 20);   // the classic engine
    EXPECT_GT(RecalculationJobPeakBytes(0, 0.5, 0, false), 189ull << 20);
    EXPECT_GT(RecalculationJobPeakBytes(0, 0.5, 0, true), 189ull << 20);

    struct Row {
        uint64_t needed, available;
        const char* expected;
    };
    const Row rows[] = {
        {400ull << 20, 8ull << 30, ""},
        {400ull << 20, 0, ""}, // unknown: not refused
        {400ull << 20, 400ull << 20, ""},
        {9ull << 30, 6ull << 30,
         "Not enough memory: the calculation needs about 9.0 GB, only 6.0 GB are available"},
        {700ull << 20, 300ull << 20,
         "Not enough memory: the calculation needs about 700 MB, only 300 MB are available"},
    };
    for (const Row& r : rows)
        EXPECT_EQ(MemoryRefusal(r.needed, r.available), r.expected) << r.needed;
}

} // namespace
} // namespace calcjobs
