#pragma once
// Names under which each program listens: one per program and user.
#include <QString>

namespace platform {

// The single-instance names of the calculation program and the viewer.
inline constexpr char kQueltaSuite[] = "QueltaSuite";
inline constexpr char kLumenoSuite[] = "LumenoSuite";

// Absolute path of the local socket for suiteName and the current user:
// "<suiteName>-<uid>" in $XDG_RUNTIME_DIR (private to the user) when that
// folder exists, else in the temporary folder. Both programs compute it
// the same way, so they find each other.
QString SuiteSocketPath(const QString& suiteName);

} // namespace platform
