#pragma once
// Symbol visibility of the shared library's public functions.
#if defined(_WIN32)
#if defined(DATAFORMATS_BUILDING)
#define DATAFORMATS_EXPORT __declspec(dllexport)
#else
#define DATAFORMATS_EXPORT __declspec(dllimport)
#endif
#else
#define DATAFORMATS_EXPORT __attribute__((visibility("default")))
#endif
