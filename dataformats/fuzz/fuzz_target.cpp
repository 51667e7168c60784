// libFuzzer target; the entry point is chosen at build time by
// DFFUZZ_TARGET (one executable per file family).
#include <cstddef>
#include <cstdint>

#include "fuzz_entries.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const dffuzz::Entry entry = dffuzz::EntryByName(DFFUZZ_TARGET);
    entry(data, size);
    return 0;
}
