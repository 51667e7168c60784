#include "platform_suitelink/single_instance.h"

#include "platform_suitelink/suite_link_client.h"

namespace platform {

InstanceRole ClaimSingleInstance(SuiteLinkServer& server, const QString& suiteName, int timeoutMs) {
    if (server.Listen(suiteName))
        return InstanceRole::First;
    if (SendToSuite(suiteName, SuiteMessage::Restore(), timeoutMs))
        return InstanceRole::Second;
    // Refusing to start because an instance we cannot reach holds the name
    // would lock the user out; run, only without the link.
    return InstanceRole::Alone;
}

} // namespace platform
