#pragma once
// How the last operation of an engine ended, handed back as a value so that
// callers need not read the status texts to learn why it failed.
#include <string>

// How the last operation of an engine ended.
enum class EngineStatus {
    kOk,
    kFailed,    // message says why (the text also sent as a status line)
    kCancelled, // the cancel token was set; nothing usable was produced
};

struct EngineResult {
    EngineStatus status = EngineStatus::kOk;
    std::string message; // empty when kOk
    // What the engine's input said about the failure, when it said more than
    // the message: for an unreadable pole figure "<file>: <the reader's
    // reason>" ("a.HPF: line 5: ring 3 of 4: expected 13 numbers, found 5").
    std::string detail;
    bool ok() const { return status == EngineStatus::kOk; }
    bool cancelled() const { return status == EngineStatus::kCancelled; }
};

// Status text of a cancelled operation.
inline constexpr const char* kCancelledText = "Calculation cancelled";
