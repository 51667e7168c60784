#include "calcjobs/job_output.h"

#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <filesystem>

namespace calcjobs {

std::string HiddenPathBeside(const std::string& target) {
    static std::atomic<int> counter{0};
    const std::filesystem::path p(target);
    // Appended piecewise: GCC 12 warns wrongly about "literal" + std::string.
    std::string name = ".";
    name += p.filename().string();
    name += ".part";
    name += std::to_string(getpid());
    name += '-';
    name += std::to_string(counter.fetch_add(1));
    return (p.parent_path() / name).string();
}

SaveOutcome SaveBeside(const std::string& target, const platform::CancelToken& cancel,
                       const std::function<int(const char* path)>& save) {
    if (cancel.Cancelled())
        return SaveOutcome::kCancelled;
    const std::string hidden = HiddenPathBeside(target);
    const int saved = save(hidden.c_str());
    std::error_code ignored;
    if (!saved) {
        std::filesystem::remove(hidden, ignored);
        return SaveOutcome::kFailed;
    }
    if (cancel.Cancelled()) {
        std::filesystem::remove(hidden, ignored);
        return SaveOutcome::kCancelled;
    }
    if (std::rename(hidden.c_str(), target.c_str()) != 0) {
        std::filesystem::remove(hidden, ignored);
        return SaveOutcome::kFailed;
    }
    return SaveOutcome::kSaved;
}

} // namespace calcjobs
