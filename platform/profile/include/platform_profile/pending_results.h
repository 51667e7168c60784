#pragma once
// A first-in first-out queue of results waiting for the viewer, kept in the
// profile section "AutoLoad" (array "Queue"). The calculation program
// appends when no viewer answers and then starts one; the viewer takes each
// entry once, oldest first. Unlike the one-slot key "AutoLoad"/"AutoLoad",
// two results finished before the viewer reads the first are both kept.
//
// Appends and takes of several processes are serialised by a lock file
// beside the profile file, so no entry is lost or taken twice.
#include <optional>
#include <string>

namespace platform {

struct PendingResult {
    int kind = 0;     // result kind as on the suite link (negative: add to open document)
    std::string path; // UTF-8 file name of the result
    bool operator==(const PendingResult&) const = default;
};

// The queue keeps at most this many entries; an append to a full queue
// drops the oldest, which a viewer that has not run for that long would
// only pile up.
inline constexpr int kMaxPendingResults = 100;

// Adds an entry at the end. false when the lock could not be taken within a
// few seconds or the profile could not be written; a kind of 0 or an empty
// path is refused (false) because the viewer could do nothing with it.
bool AppendPendingResult(const PendingResult& result);

// Removes and returns the oldest entry; nullopt when the queue is empty or
// the lock could not be taken (the entries then stay for the next take).
std::optional<PendingResult> TakePendingResult();

} // namespace platform
