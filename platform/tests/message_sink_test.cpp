#include "platform/message_sink.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

TEST(MessageSink, ScopedHandlerRecordsAndRestores) {
    std::vector<std::string> outer, inner;
    platform::ScopedMessageHandler a([&](const std::string& t) { outer.push_back(t); });
    {
        platform::ScopedMessageHandler b([&](const std::string& t) { inner.push_back(t); });
        platform::ShowMessage("Cannot write file");
    }
    platform::ShowMessage("Error in writing");
    EXPECT_EQ(inner, std::vector<std::string>{"Cannot write file"});
    EXPECT_EQ(outer, std::vector<std::string>{"Error in writing"});
}
