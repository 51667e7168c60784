#include "platform/msvc_rand.h"

#include <atomic>

namespace platform {
namespace {
std::atomic<uint32_t> g_state{1};
}

void MsvcSrand(uint32_t seed) {
    g_state.store(seed, std::memory_order_relaxed);
}

int MsvcRand() {
    uint32_t old = g_state.load(std::memory_order_relaxed);
    uint32_t next;
    do {
        next = old * 214013u + 2531011u;
    } while (!g_state.compare_exchange_weak(old, next, std::memory_order_relaxed));
    return static_cast<int>((next >> 16) & 0x7fff);
}

} // namespace platform
