// odfbench: timings of the engine's heavy operations with one thread and
// with all threads, measured side by side in one run, the largest relative
// difference between the two results, the peak memory of a 0.5 degree run,
// and the accuracy figures of model textures run through GetODF.
//
//   odfbench [--quick] [--no-memory] [--no-validation] [--memory-only] [--repeat N]
#include <omp.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "odfengine/odfengine.h"
#include "orimath/grid.h"
#include "orimath/ranges.h"
#include "parallel.h"
#include "validation.h"

namespace {

const double kLattice[6] = {1, 1, 1, 90, 90, 90};
const double kHkl[3][3] = {{1, 1, 1}, {2, 0, 0}, {2, 2, 0}};

std::string gDir;
int gLoops = 0;  // iterations of the last GetODF
int gRepeat = 3; // each timing is the best of this many runs
// Thread count of every engine call that is timed (set by Timed).
EngineRunOptions gOptions;

using orimath::Extent2;
using orimath::Extent3;
using orimath::Grid2;
using orimath::Grid3;

double MaxRelDiff(const std::vector<double>& a, const std::vector<double>& b) {
    if (a.size() != b.size())
        return INFINITY;
    double scale = 0.0, m = 0.0;
    for (double x : a)
        scale = std::max(scale, std::fabs(x));
    for (size_t i = 0; i < a.size(); ++i)
        m = std::max(m, std::fabs(a[i] - b[i]) / std::max(std::fabs(a[i]), 1e-12 * scale + 1e-300));
    return m;
}

// Model pole figure files of the default rolling texture at res.
std::vector<std::string> ModelFiles(double res, int sampleSym) {
    int n1, n, n2;
    GetEulerRangeInODFSpace(&n1, &n, &n2, 0, res, sampleSym);
    Grid3<double> model(Extent3{.phi1 = n1, .Phi = n, .phi2 = n2});
    odfengine::MakeModelODF(model.Tree(), 0, kLattice, res, sampleSym,
                            odfengine::DefaultRollingTexture(), 0.3);
    std::string paths[3];
    char name[64];
    for (int j = 0; j < 3; ++j) {
        std::snprintf(name, sizeof name, "/bench_%g_%d_%d.HPF", res, sampleSym, j);
        paths[j] = gDir + name;
    }
    odfengine::WriteModelPoleFigures(model.Tree(), 0, kLattice, res, sampleSym, kHkl, 3, paths,
                                     90.0);
    return {paths[0], paths[1], paths[2]};
}

// Runs op with `threads` threads (platform::kAutomaticThreads: the engine's
// own choice); returns the best time of gRepeat runs in
// seconds (other work on a shared machine only ever adds time) and the result.
double Timed(int threads, const std::function<std::vector<double>()>& op,
             std::vector<double>* out) {
    gOptions.threads = threads;
    double best = INFINITY;
    for (int r = 0; r < gRepeat; ++r) {
        const auto t0 = std::chrono::steady_clock::now();
        *out = op();
        best = std::min(
            best, std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count());
    }
    return best;
}

// One thread, all threads, and the engine's own choice (all threads unless
// other work keeps processors busy).
void Row(const char* name, int allThreads, const std::function<std::vector<double>()>& op) {
    std::vector<double> r1, rn, ra;
    const double t1 = Timed(1, op, &r1);
    const double tn = Timed(allThreads, op, &rn);
    const double ta = Timed(platform::kAutomaticThreads, op, &ra);
    std::printf("%-44s %9.3f %9.3f %7.2fx %10.1e %9.3f\n", name, t1, tn, t1 / tn,
                std::max(MaxRelDiff(r1, rn), MaxRelDiff(r1, ra)), ta);
    std::fflush(stdout);
}

std::vector<double> RunHodf(double res, int sampleSym, const std::vector<std::string>& files) {
    HODF e;
    e.SetRunOptions(gOptions);
    std::string f[3] = {files[0], files[1], files[2]};
    e.IniODFCal(f, 0, 15, 0.0, 0, kLattice, kHkl, 3, 1, 0, sampleSym, res);
    Grid3<double> odf(Extent3{.phi1 = e.nPhi1, .Phi = e.nPhi, .phi2 = e.nPhi2});
    double dev;
    int loops;
    e.GetODF(odf.Tree(), &dev, &loops);
    gLoops = loops;
    return odf.values();
}

// Peak resident memory (kB) of a fresh copy of this program running
// "--memory-run <files>": a forked copy of a process that has used OpenMP
// cannot start OpenMP threads again, so the child executes itself anew.
long PeakRssOfRun(const std::vector<std::string>& files) {
    const pid_t pid = fork();
    if (pid == 0) {
        execl("/proc/self/exe", "odfbench", "--memory-run", files[0].c_str(), files[1].c_str(),
              files[2].c_str(), (char*)nullptr);
        _exit(127);
    }
    int status = 0;
    rusage ru{};
    wait4(pid, &status, 0, &ru);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? ru.ru_maxrss : -1;
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 5 && !std::strcmp(argv[1], "--memory-run")) {
        RunHodf(0.5, 0, {argv[2], argv[3], argv[4]});
        return 0;
    }
    bool quick = false, memory = true, validation = true, timings = true;
    for (int i = 1; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--quick"))
            quick = true;
        if (!std::strcmp(argv[i], "--no-memory"))
            memory = false;
        if (!std::strcmp(argv[i], "--no-validation"))
            validation = false;
        if (!std::strcmp(argv[i], "--memory-only"))
            timings = validation = false;
        if (!std::strcmp(argv[i], "--repeat") && i + 1 < argc)
            gRepeat = std::max(1, std::atoi(argv[++i]));
    }
    gDir = (std::filesystem::temp_directory_path() / ("odfbench_" + std::to_string(getpid())))
               .string();
    std::filesystem::create_directories(gDir);
    const int all = omp_get_num_procs();
    double load[3] = {0, 0, 0};
    getloadavg(load, 3);
    std::printf("odfbench: %d processors, load average %.2f; cubic, pole figures {111} {200} {220} "
                "of a model "
                "rolling texture; best of %d runs\n",
                all, load[0], gRepeat);
    std::printf("%-44s %9s %9s %8s %10s %9s\n", "case", "1 thr [s]",
                (std::to_string(all) + " thr [s]").c_str(), "ratio", "max rel", "auto [s]");

    std::vector<double> resolutions =
        quick ? std::vector<double>{5, 2} : std::vector<double>{5, 2, 1};
    if (!timings)
        resolutions.clear();
    for (double res : resolutions)
        for (int ss : {1, 0}) {
            const auto files = ModelFiles(res, ss);
            RunHodf(res, ss, files); // warm-up, and the loop count for the label
            char name[96];
            std::snprintf(name, sizeof name, "GetODF %g deg, %s sample sym (%d loops)", res,
                          ss ? "with" : "no", gLoops);
            Row(name, all, [&] { return RunHodf(res, ss, files); });
        }
    if (timings) {
        const auto files = ModelFiles(5.0, 0);
        Row("CODFlib GetODF 5 deg (max 15 loops)", all, [&] {
            auto e = std::make_unique<CODFlib>();
            e->SetRunOptions(gOptions);
            std::string f[3] = {files[0], files[1], files[2]};
            e->IniODFCal(f, 0, 15, 0.0, 0, kLattice, kHkl, 3, 1, 0, 0);
            std::vector<double> odf(73 * 37 * 73);
            double dev;
            int loops;
            e->GetODF(reinterpret_cast<double(*)[37][73]>(odf.data()), &dev, &loops);
            gLoops = loops;
            return odf;
        });
    }
    for (double res : !timings ? std::vector<double>{}
                      : quick  ? std::vector<double>{2}
                               : std::vector<double>{2, 1}) {
        int n1, n, n2;
        GetEulerRangeInODFSpace(&n1, &n, &n2, 0, res, 0);
        Grid3<double> model(Extent3{.phi1 = n1, .Phi = n, .phi2 = n2});
        odfengine::MakeModelODF(model.Tree(), 0, kLattice, res, 0,
                                odfengine::DefaultRollingTexture(), 0.3);
        char name[96];
        std::snprintf(name, sizeof name, "GetPolFig {111} %g deg", res);
        Row(name, all, [&] {
            HODF e;
            e.SetRunOptions(gOptions);
            e.IniPolFigCal(0, kLattice, kHkl[0], res, 0, 0);
            Grid2<double> pf(Extent2{.alpha = e.nAlpha, .beta = e.nBeta});
            e.GetPolFig(pf.Tree(), model.Tree());
            return pf.values();
        });
        std::snprintf(name, sizeof name, "GetInvPolFig ND %g deg", res);
        Row(name, all, [&] {
            HODF e;
            e.SetRunOptions(gOptions);
            const double nd[3] = {0, 0, 1};
            e.IniInvPolFigCal(0, kLattice, nd, res, 0);
            Grid2<double> ipf(Extent2{.alpha = e.nAlpha, .beta = e.nBeta});
            double axes[3][3];
            e.GetInvPolFig(ipf.Tree(), axes, model.Tree());
            return ipf.values();
        });
    }
    if (timings) {
        int n1, n, n2;
        GetEulerRangeInODFSpace(&n1, &n, &n2, 0, 5.0, 0);
        Grid3<double> model(Extent3{.phi1 = n1, .Phi = n, .phi2 = n2});
        odfengine::MakeModelODF(model.Tree(), 0, kLattice, 5.0, 0,
                                odfengine::DefaultRollingTexture(), 0.3);
        Row("GetMagneticEnergy + torque 5 deg", all, [&] {
            HODF e;
            e.SetRunOptions(gOptions);
            e.IniMeganitic(0, kLattice, 5.0, 0);
            Grid2<double> en(Extent2{.alpha = e.nAlpha, .beta = e.nBeta}), tq(en.extent());
            const double K[2] = {4.2e4, 1.5e4};
            e.GetMagneticEnergy(en.Tree(), model.Tree(), tq.Tree(), K);
            auto v = en.values();
            auto t = tq.values();
            v.insert(v.end(), t.begin(), t.end());
            return v;
        });
    }

    if (memory && !quick) {
        // The pole figures do not depend on the grid the model was made on;
        // the smaller sample-symmetric grid is quicker to fill.
        const auto files = ModelFiles(0.5, 1);
        gOptions.threads = all;
        const auto t0 = std::chrono::steady_clock::now();
        const long kb = PeakRssOfRun(files);
        const double s =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
        std::printf("\nGetODF 0.5 deg cubic without sample symmetry (max 15 loops): peak memory "
                    "%.0f MB, %.1f s (%d threads)\n",
                    kb / 1024.0, s, all);
    }

    if (validation) {
        std::printf("\nValidation: model rolling texture (Copper, Brass, S, Goss, Cube; 8-12 deg), "
                    "stop mode 2, tolerance 0.01, 15 loops\n");
        std::printf("%-48s %9s %6s %24s %10s %14s\n", "case", "deviation", "loops",
                    "RP {111} {200} {220} [%]", "ODF err[%]", "max model/ODF");
        for (double res : quick ? std::vector<double>{5} : std::vector<double>{5, 2})
            for (int ss : {1, 0})
                for (double alphaMax : {90.0, 75.0})
                    for (int mode : {2, 12}) {
                        if (alphaMax == 90.0 && mode == 12)
                            continue;
                        enginetest::ValidationCase c;
                        c.res = res;
                        c.sampleSym = ss;
                        c.alphaMax = alphaMax;
                        c.stopMode = mode;
                        c.threads = all;
                        const auto r = enginetest::RunValidation(c, gDir);
                        char name[96];
                        std::snprintf(name, sizeof name, "%g deg, %s, %s%s", res,
                                      ss ? "sample sym" : "no sample sym",
                                      alphaMax == 90 ? "complete" : "alpha <= 75",
                                      mode == 12 ? ", no smoothing" : "");
                        std::printf("%-48s %9.4f %6d %8.2f %6.2f %6.2f %12.2f %7.2f/%-6.2f\n", name,
                                    r.deviation, r.loops, r.rp.size() > 0 ? r.rp[0] : -1,
                                    r.rp.size() > 1 ? r.rp[1] : -1, r.rp.size() > 2 ? r.rp[2] : -1,
                                    r.odfError, r.modelMax, r.resultMax);
                        std::fflush(stdout);
                    }
    }
    std::error_code ec;
    std::filesystem::remove_all(gDir, ec);
    return 0;
}
