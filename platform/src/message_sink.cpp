#include "platform/message_sink.h"

#include <cstdio>
#include <mutex>

namespace platform {
namespace {
std::mutex g_mutex;
MessageHandler g_handler;
} // namespace

void ShowMessage(const std::string& text) {
    MessageHandler handler;
    {
        std::lock_guard lock(g_mutex);
        handler = g_handler;
    }
    if (handler) {
        handler(text);
    } else {
        std::fprintf(stderr, "%s\n", text.c_str());
    }
}

MessageHandler SetMessageHandler(MessageHandler handler) {
    std::lock_guard lock(g_mutex);
    MessageHandler previous = std::move(g_handler);
    g_handler = std::move(handler);
    return previous;
}

} // namespace platform
