#pragma once
// Physical memory that a new computation can use.
#include <cstdint>

namespace platform {

// Bytes of physical memory available without swapping (MemAvailable of
// /proc/meminfo); 0 when it cannot be told.
uint64_t AvailablePhysicalMemory();

} // namespace platform
