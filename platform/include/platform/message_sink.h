#pragma once
// The one place where libraries tell the user something (a failed write, an
// engine error). By default the text goes to stderr; a GUI program installs a
// handler that shows a message box, and tests install a recording handler.
#include <functional>
#include <string>

namespace platform {

using MessageHandler = std::function<void(const std::string& text)>;

// Shows text through the current handler. Thread-safe; the handler is called
// on the caller's thread (GUI handlers marshal to their UI thread).
void ShowMessage(const std::string& text);

// Installs a handler (an empty one restores stderr) and returns the previous.
MessageHandler SetMessageHandler(MessageHandler handler);

// Installs a handler for the lifetime of a scope, then restores the previous.
class ScopedMessageHandler {
  public:
    explicit ScopedMessageHandler(MessageHandler handler)
        : previous_(SetMessageHandler(std::move(handler))) {}
    ~ScopedMessageHandler() { SetMessageHandler(std::move(previous_)); }
    ScopedMessageHandler(const ScopedMessageHandler&) = delete;
    ScopedMessageHandler& operator=(const ScopedMessageHandler&) = delete;

  private:
    MessageHandler previous_;
};

} // namespace platform
