#pragma once
#include "platform_suitelink/suite_link_server.h"

#include <QString>

namespace platform {

enum class InstanceRole {
    First,  // this process owns suiteName; server is listening
    Second, // another instance runs and was asked to restore its window: exit
    Alone,  // neither claimed nor answered (say a hung owner): run without the link
};

// Start-up check of a program that runs once per user: claim the name, or
// ask the instance that owns it to show itself.
InstanceRole ClaimSingleInstance(SuiteLinkServer& server, const QString& suiteName,
                                 int timeoutMs = 2000);

} // namespace platform
