// Test helper: appends COUNT pending results tagged TAG ("TAG entry 1", ...),
// used to run two writers against one profile at the same time.
#include "platform_profile/pending_results.h"

#include <cstdio>
#include <cstdlib>
#include <string>

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s COUNT TAG\n", argv[0]);
        return 2;
    }
    const int count = std::atoi(argv[1]);
    for (int i = 1; i <= count; ++i) {
        if (!platform::AppendPendingResult(
                {i, std::string(argv[2]) + " entry " + std::to_string(i)})) {
            std::fprintf(stderr, "append %d failed\n", i);
            return 1;
        }
    }
    return 0;
}
