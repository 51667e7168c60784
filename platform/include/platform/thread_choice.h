#pragma once
// How many threads a computation uses: an exact count, or automatic (the
// processors that other runnable work leaves free). The count is chosen
// per run; results of the engines do not depend on it.
#include <string>

namespace platform {

// Thread count value meaning "choose automatically".
inline constexpr int kAutomaticThreads = 0;
// Largest count accepted from the environment or the command line.
inline constexpr int kMaxThreads = 256;

// Processors this process may run on (its CPU affinity), at least 1.
int UsableProcessors();

// The automatic rule: the usable processors minus the other runnable threads
// of the machine, between 1 and UsableProcessors(). On a machine shared with
// other work, a thread more than there are free processors makes every join
// of a parallel loop wait for a descheduled thread. /proc/loadavg's fourth
// field counts the runnable threads at this moment (the reading one
// included); the smallest of three readings 0.3 ms apart ignores a process
// that only passes by. Without /proc/loadavg: UsableProcessors().
int AutomaticThreads();

// Parses a thread count: "auto" (any case) gives kAutomaticThreads, a whole
// number 1..kMaxThreads gives itself. Returns false for anything else.
bool ParseThreadCount(const std::string& text, int* threads);

// The count set by the environment variable QUELTA_THREADS, or
// kAutomaticThreads when it is unset, empty or not a valid count.
int ThreadsFromEnvironment();

} // namespace platform
