#pragma once
#include "platform_suitelink/suite_message.h"

#include <QString>

namespace platform {

// Sends one message to the program listening as suiteName for this user
// and waits for its acknowledgement. true only when a server answered "ok"
// within timeoutMs; false at once when nobody listens. Blocks the calling
// thread, so it must not be the thread that runs the receiving server.
bool SendToSuite(const QString& suiteName, const SuiteMessage& message, int timeoutMs);

} // namespace platform
