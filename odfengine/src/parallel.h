#pragma once
// Parallel loops whose results do not depend on the number of threads, with
// progress reported from the calling thread in slice order.
//
// Each heavy stage is one OpenMP parallel region (a machine shared with other
// work makes every extra barrier expensive). Inside it the calling thread is
// OpenMP's master thread; it reports the completed prefix of slices as it
// goes, and whatever is left after the region.
//
// Sums over slices use a fixed number of partial accumulators assigned by
// slice index, never by thread, and are combined in index order afterwards,
// so the floating-point result is the same for any thread count.
//
// Once the cancel token of the call is set, the loops skip every slice not
// yet started; bodies that run long check it themselves (CancelRequested).
#include <omp.h>

#include <algorithm>
#include <atomic>
#include <memory>

#include "odfengine/run_options.h"

namespace odfengine {

// Threads for the parallel regions of the current engine call (see
// RunScope); regions with fewer elementary steps than MinParallelWork()
// (default 1e6) run on the calling thread alone, where starting and joining
// threads would cost more than it saves (and much more on a machine busy with
// other work).
int CurrentTeam();
long long MinParallelWork();
void SetMinParallelWork(long long steps); // tests: 0 runs every region in parallel
inline int TeamFor(long long work) {
    return work < MinParallelWork() ? 1 : CurrentTeam();
}

// The run options of one public engine call on the calling thread: the team
// size (an exact count, or automatic: platform::AutomaticThreads() capped at
// omp_get_max_threads(), decided by the first loop large enough to need it)
// and the cancel token that the parallel loops below check. Restores the
// previous scope on exit.
class RunScope {
  public:
    explicit RunScope(const EngineRunOptions& options);
    ~RunScope();
    RunScope(const RunScope&) = delete;
    RunScope& operator=(const RunScope&) = delete;

  private:
    int previousTeam_;
    const platform::CancelToken* previousCancel_;
};

// The cancel token of the current call on this thread (null outside a call).
// The loops read it on the calling thread and hand it to their workers.
const platform::CancelToken* CurrentCancel();
inline bool CancelRequested(const platform::CancelToken* cancel) {
    return cancel && cancel->Cancelled();
}

inline constexpr int kBlocks = 16;     // accumulators of a blocked reduction
inline constexpr int kPartialSums = 8; // accumulators of PGeneration

// work: elementary steps of the whole loop (decides the team size).
// Slices [0, n) are cut into `blocks` contiguous blocks; a block runs on one
// thread in slice order (body(block, slice)), blocks are handed out
// dynamically. done(slice) is called on the calling thread, in slice order,
// once the slice and all before it are finished. Slices of different blocks
// must write disjoint outputs. Neither body nor done may throw.
template <class Body, class Done>
void RunBlocks(int n, int blocks, long long work, Body&& body, Done&& done) {
    if (n <= 0)
        return;
    const int team = TeamFor(work);
    const platform::CancelToken* cancel = CurrentCancel();
    blocks = std::clamp(blocks, 1, n);
    std::unique_ptr<std::atomic<char>[]> finished(new std::atomic<char>[n]);
    for (int s = 0; s < n; ++s)
        finished[s].store(0, std::memory_order_relaxed);
    std::atomic<int> next{0};
    int reported = 0; // touched by the calling thread only
    auto report = [&] {
        while (reported < n && finished[reported].load(std::memory_order_acquire))
            done(reported++);
    };
#pragma omp parallel num_threads(team)
    {
        const bool caller = omp_get_thread_num() == 0;
        for (;;) {
            const int b = next.fetch_add(1, std::memory_order_relaxed);
            if (b >= blocks)
                break;
            const int s0 = (int)((long long)n * b / blocks),
                      s1 = (int)((long long)n * (b + 1) / blocks);
            for (int s = s0; s < s1; ++s) {
                // A cancelled run skips the remaining slices (their
                // results are not used) and still marks them finished.
                if (!CancelRequested(cancel))
                    body(b, s);
                finished[s].store(1, std::memory_order_release);
                if (caller)
                    report();
            }
        }
    }
    report();
}

// Every slice its own block.
template <class Body, class Done> void RunSlices(int n, long long work, Body&& body, Done&& done) {
    RunBlocks(
        n, n, work, [&](int, int s) { body(s); }, done);
}

// For `items` outer items (poles) in order, body(item, part, begin, end) runs
// for kPartialSums contiguous parts of [0, n). A part always runs on the same
// thread (static schedule), so its accumulator is never shared; done(item) is
// called on the calling thread in item order once every part has finished it.
template <class Body, class Done>
void RunPartsPerItem(int items, int n, long long work, Body&& body, Done&& done) {
    if (items <= 0)
        return;
    const int team = TeamFor(work);
    const platform::CancelToken* cancel = CurrentCancel();
    std::unique_ptr<std::atomic<int>[]> parts(new std::atomic<int>[items]);
    for (int k = 0; k < items; ++k)
        parts[k].store(0, std::memory_order_relaxed);
    int reported = 0;
    auto report = [&] {
        while (reported < items && parts[reported].load(std::memory_order_acquire) == kPartialSums)
            done(reported++);
    };
#pragma omp parallel num_threads(team)
    {
        const bool caller = omp_get_thread_num() == 0;
        for (int k = 0; k < items; ++k) {
#pragma omp for schedule(static) nowait
            for (int p = 0; p < kPartialSums; ++p) {
                const int b = (int)((long long)n * p / kPartialSums);
                const int e = (int)((long long)n * (p + 1) / kPartialSums);
                if (b < e && !CancelRequested(cancel))
                    body(k, p, b, e);
                parts[k].fetch_add(1, std::memory_order_acq_rel);
            }
            if (caller)
                report();
        }
    }
    report();
}

} // namespace odfengine
