#pragma once
// Progress reporting of the engines.
//
// The engine calls the registered function synchronously from the thread
// that called the operation (never from a worker thread), in this protocol:
//   kProgressStarting (-1)   a calculation starts ("Calculation starting ...")
//   kProgressStatus (-2)     a status line ("Loop: %d", "Calculation
//                            finished", error texts)
//   kProgressDeviation (-3)  the mean deviation after an iteration ("%.3f")
//   0..100                   percentage of the current stage, empty text
// A plain function converts to this type, so callers may register either a
// plain function or a lambda that carries its own context. The callback may
// be called while the engine's worker threads run: it must return normally
// (not throw) and should be quick.
#include <functional>
#include <string>

enum ProgressCode : int {
    kProgressStarting = -1,
    kProgressStatus = -2,
    kProgressDeviation = -3,
};

using ProgressCallback = std::function<void(std::string text, int code)>;
