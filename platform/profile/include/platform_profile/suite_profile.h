#pragma once
// Profile entries through which the calculation program and the viewer meet.
#include "platform_profile/profile_entry.h"

namespace platform {

// Pending result kind for the viewer: positive opens a new viewer document,
// negative adds the result to the open one, 0 means nothing is pending. The
// file name stands under the key that belongs to the kind.
inline constexpr ProfileInt kAutoLoadKind{"AutoLoad", "AutoLoad", 0};

// 1 while a viewer runs (written 1 at its start and 0 at its exit; a crashed
// viewer leaves 1 behind, so readers confirm through the suite link).
inline constexpr ProfileInt kViewerRunning{"AutoLoad", "Running", 0};

} // namespace platform
