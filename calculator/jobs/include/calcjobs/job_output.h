#pragma once
// Writing a job's result file so that a cancelled job leaves nothing behind.
#include <functional>
#include <string>

#include "platform/cancel_token.h"

namespace calcjobs {

enum class SaveOutcome { kSaved, kFailed, kCancelled };

// Calls save(path) with a hidden path in the folder of target, and renames
// that file over target unless the token was set meanwhile (the writers
// cannot be interrupted, so a cancel that comes while one runs is honoured
// when it returns). A failed or cancelled save removes the hidden file and
// leaves target as it was; a token set before the start writes nothing.
SaveOutcome SaveBeside(const std::string& target, const platform::CancelToken& cancel,
                       const std::function<int(const char* path)>& save);

// The hidden file name SaveBeside uses for target (unique in this process).
std::string HiddenPathBeside(const std::string& target);

} // namespace calcjobs
