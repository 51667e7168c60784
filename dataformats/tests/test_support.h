#pragma once
// Helpers shared by the file tests: a private temporary folder, files
// written from text, and a recorder of user messages.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/message_sink.h"

namespace dftest {

class TempDir {
  public:
    TempDir() {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "dataformats-XXXXXX").string();
        path_ = ::mkdtemp(pattern.data());
    }
    ~TempDir() {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    std::string File(const std::string& name) const { return (path_ / name).string(); }
    const std::filesystem::path& Path() const { return path_; }

  private:
    std::filesystem::path path_;
};

inline std::string Write(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
    return path;
}

inline std::string Read(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// Replaces every "\n" by "\r\n".
inline std::string ToCrLf(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '\n')
            out += '\r';
        out += c;
    }
    return out;
}

class MessageRecorder {
  public:
    MessageRecorder() : scope_([this](const std::string& text) { messages.push_back(text); }) {}
    std::vector<std::string> messages;

  private:
    platform::ScopedMessageHandler scope_;
};

inline std::filesystem::path RealWorld(const std::string& relative) {
    return std::filesystem::path(QUELTA_REALWORLD_DIR) / relative;
}

#define SKIP_WITHOUT_REALWORLD(path)                                                               \
    do {                                                                                           \
        if (!std::filesystem::exists(path)) {                                                      \
            GTEST_SKIP() << "real files absent: " << (path);                                       \
        }                                                                                          \
    } while (0)

} // namespace dftest
