#pragma once
// Readable test output for messages: the line they travel as.
#include "platform_suitelink/suite_message.h"

#include <ostream>

namespace platform {

inline void PrintTo(const SuiteMessage& message, std::ostream* os) {
    switch (message.type) {
    case SuiteMessage::Type::Restore:
        *os << "restore";
        break;
    case SuiteMessage::Type::Result:
        *os << "result " << message.kind << " \"" << message.path.toStdString() << '"';
        break;
    case SuiteMessage::Type::Open:
        *os << "open \"" << message.path.toStdString() << '"';
        break;
    }
}

} // namespace platform
