#pragma once
// Building file contents in memory and replacing files atomically.
#include <cstddef>
#include <string>
#include <string_view>

namespace dataformats {

// Output text with the printf conversions the layouts use; "%.Nf" through
// std::to_chars, which rounds exactly as printf does.
class TextBuffer {
  public:
    void Reserve(std::size_t n) { text_.reserve(n); }
    TextBuffer& Put(std::string_view s) {
        text_.append(s);
        return *this;
    }
    TextBuffer& Put(char c) {
        text_.push_back(c);
        return *this;
    }
    TextBuffer& Fixed(double v, int precision); // "%.<precision>f"
    TextBuffer& Int(long long v);               // "%d"
    // printf-style formatting for header lines.
    TextBuffer& Format(const char* format, ...) __attribute__((format(printf, 2, 3)));
    const std::string& Text() const { return text_; }
    std::string& Text() { return text_; }

  private:
    std::string text_;
};

// How a writer tells the user about a failure.
enum class WriteMessage { kNone, kCannotWriteFile, kErrorInWriting };

// Writes data to a temporary file in the target's folder and renames it over
// the target only when everything was written, so a failed save never
// destroys the file that was there. Returns 1/0; on failure shows the
// message chosen (none, "Cannot write file", "Error in writing").
int WriteFileAtomically(const char* path, std::string_view data, WriteMessage message);

// Streaming form of the same, for binary writers that produce data in parts.
class AtomicFile {
  public:
    AtomicFile() = default;
    ~AtomicFile();
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;

    bool Create(const char* path);
    bool Write(const void* data, std::size_t n);
    bool Commit(); // closes and renames; false on any earlier or present failure
    void Abandon();

  private:
    std::string target_;
    std::string temp_;
    int fd_ = -1;
    bool failed_ = false;
};

} // namespace dataformats
