#pragma once
// Process-wide pseudo-random generator with the classic MSVC runtime
// semantics: a 32-bit linear congruential generator whose values are
// 0..32767. Stored files and random ODF/PF tools were produced with this
// sequence, so we reproduce it exactly instead of using the C library's
// rand() (glibc returns 0..2^31-1 and a different sequence).
// Safe to call from several threads: each call advances the one shared state
// atomically.
#include <cstdint>

namespace platform {

inline constexpr int kMsvcRandMax = 32767;

// Seeds the shared generator (srand semantics; the default seed is 1).
void MsvcSrand(uint32_t seed);

// Next value in 0..kMsvcRandMax (rand semantics).
int MsvcRand();

} // namespace platform
