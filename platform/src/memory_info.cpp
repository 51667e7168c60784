#include "platform/memory_info.h"

#include <cstdio>
#include <cstring>

namespace platform {

uint64_t AvailablePhysicalMemory() {
    std::FILE* f = std::fopen("/proc/meminfo", "r");
    if (!f)
        return 0;
    char line[256];
    uint64_t bytes = 0;
    while (std::fgets(line, sizeof line, f)) {
        unsigned long long kb = 0;
        if (std::strncmp(line, "MemAvailable:", 13) == 0 &&
            std::sscanf(line + 13, "%llu", &kb) == 1) {
            bytes = static_cast<uint64_t>(kb) * 1024;
            break;
        }
    }
    std::fclose(f);
    return bytes;
}

} // namespace platform
