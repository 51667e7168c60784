#include "platform/thread_choice.h"

#include <sched.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>

namespace platform {

int UsableProcessors() {
    cpu_set_t set;
    CPU_ZERO(&set);
    if (sched_getaffinity(0, sizeof set, &set) == 0) {
        const int n = CPU_COUNT(&set);
        if (n > 0)
            return n;
    }
    return std::max(1u, std::thread::hardware_concurrency());
}

int AutomaticThreads() {
    const int usable = UsableProcessors();
    int fewest = -1;
    for (int k = 0; k < 3; ++k) {
        if (k > 0)
            std::this_thread::sleep_for(std::chrono::microseconds(300));
        std::FILE* f = std::fopen("/proc/loadavg", "r");
        if (!f)
            return usable;
        double l1, l5, l15;
        int runnable = 0, total = 0;
        const int n = std::fscanf(f, "%lf %lf %lf %d/%d", &l1, &l5, &l15, &runnable, &total);
        std::fclose(f);
        if (n != 5 || runnable < 1)
            return usable;
        fewest = fewest < 0 ? runnable : std::min(fewest, runnable);
    }
    return std::clamp(usable - (fewest - 1), 1, usable);
}

bool ParseThreadCount(const std::string& text, int* threads) {
    std::string lower;
    for (char c : text)
        lower += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (lower == "auto") {
        *threads = kAutomaticThreads;
        return true;
    }
    if (text.empty() || text.size() > 4)
        return false;
    int value = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            return false;
        value = value * 10 + (c - '0');
    }
    if (value < 1 || value > kMaxThreads)
        return false;
    *threads = value;
    return true;
}

int ThreadsFromEnvironment() {
    const char* text = std::getenv("QUELTA_THREADS");
    int threads = kAutomaticThreads;
    if (text && ParseThreadCount(text, &threads))
        return threads;
    return kAutomaticThreads;
}

} // namespace platform
