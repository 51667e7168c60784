#pragma once
// In-memory text reader with the conventions of the C stream functions the
// file layouts were defined with: fgets-style lines of bounded length and
// scanf-style "%f" / "%lf" / "%d" / "%s" conversions. The whole file is read
// at once and CR LF is turned into LF (as a text-mode stream does), so every
// reader accepts both line-end conventions.
#include <cstddef>
#include <string>
#include <string_view>

#include "dataformats/file_error.h"

namespace dataformats {

// Scan results, as the scanf family returns them for one conversion.
inline constexpr int kConverted = 1;
inline constexpr int kNoMatch = 0;
inline constexpr int kEndOfInput = -1;

class TextStream {
  public:
    TextStream() = default;
    explicit TextStream(std::string text) { SetText(std::move(text)); }

    // Loads a file; false when it cannot be opened or read, or exceeds maxBytes.
    bool Open(const char* path, std::size_t maxBytes = std::size_t(1) << 30);
    void SetText(std::string text);

    bool AtEnd() const { return pos_ >= text_.size(); }
    std::size_t Position() const { return pos_; }
    void Seek(std::size_t pos) { pos_ = pos < text_.size() ? pos : text_.size(); }
    void Rewind() { pos_ = 0; }
    std::size_t Size() const { return text_.size(); }
    const std::string& Text() const { return text_; }

    // fgets(buffer, bufferSize): at most bufferSize - 1 characters, up to and
    // including the line end. False at end of input (nothing read).
    bool GetLine(std::string_view* line, std::size_t bufferSize = 512);
    // As GetLine, with the line end removed ("cut at its first line end").
    bool GetLineCut(std::string_view* line, std::size_t bufferSize = 512);
    // Skips n lines of at most bufferSize - 1 characters; false at end of input.
    bool SkipLines(int n, std::size_t bufferSize = 512);

    void SkipSpace();
    // "%f": single precision, as the C library converts it.
    int ScanFloat(float* value);
    // "%lf".
    int ScanDouble(double* value);
    // "%d" (values beyond the int range are clamped).
    int ScanInt(int* value);
    // "%<width>s": a run of non-blank characters, at most width of them.
    int ScanWord(std::string* word, std::size_t width);
    // A literal character of a format: consumed when it is next.
    bool Match(char c);

    // 1-based line of a position. A position at the very end of a text that
    // ends with a line end counts to the last line, which is where a reader
    // that ran out of input stopped.
    int LineAt(std::size_t pos) const;
    // "line N" of the current position.
    std::string Where() const;

    // Notes why reading stopped ("line N: what", N of the current position)
    // and returns false, so that a reader can `return text.Fail(...)`. The
    // note is kept until the next one or ClearFailure; readers still return
    // their plain result and the caller takes the reason from here.
    bool Fail(std::string what);
    bool FailAtLine(int line, std::string what);
    const FileError* Failure() const { return failed_ ? &failure_ : nullptr; }
    void ClearFailure() { failed_ = false; }

  private:
    std::string text_;
    std::size_t pos_ = 0;
    FileError failure_;
    bool failed_ = false;
};

// Parses a "%f" number at the start of text (blanks skipped). Returns the
// number of characters used, 0 when nothing converts.
std::size_t ParseFloatPrefix(std::string_view text, float* value);
std::size_t ParseDoublePrefix(std::string_view text, double* value);
std::size_t ParseIntPrefix(std::string_view text, int* value);

} // namespace dataformats
