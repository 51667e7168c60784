#pragma once
// Symbol visibility of the engine library's public classes and functions.
#if defined(_WIN32)
#if defined(ODFENGINE_BUILDING)
#define ODFENGINE_EXPORT __declspec(dllexport)
#else
#define ODFENGINE_EXPORT __declspec(dllimport)
#endif
#else
#define ODFENGINE_EXPORT __attribute__((visibility("default")))
#endif
