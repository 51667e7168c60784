#include "text_stream.h"

#include <algorithm>
#include <charconv>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sys/stat.h>

namespace dataformats {
namespace {

bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

const char* SkipBlanks(const char* p, const char* end) {
    while (p < end && IsSpace(*p))
        ++p;
    return p;
}

bool IsHexPrefix(const char* p, const char* end) {
    return end - p >= 2 && p[0] == '0' && (p[1] == 'x' || p[1] == 'X');
}

// The C library's own conversion on a bounded copy; used only for the rare
// forms std::from_chars does not take as scanf does (hexadecimal, out of range).
template <typename T> const char* ConvertWithLibc(const char* start, const char* end, T* value) {
    const char* p = start;
    std::size_t len = 0;
    while (p + len < end && len < 128 && !IsSpace(p[len]))
        ++len;
    char buf[130];
    std::memcpy(buf, p, len);
    buf[len] = '\0';
    char* stop = nullptr;
    T v;
    if constexpr (sizeof(T) == sizeof(float))
        v = std::strtof(buf, &stop);
    else
        v = std::strtod(buf, &stop);
    if (stop == buf)
        return nullptr;
    *value = v;
    return p + (stop - buf);
}

// Parses a real number at p (no blanks skipped); returns the end or null.
template <typename T> const char* ParseReal(const char* p, const char* end, T* value) {
    const char* start = p;
    const char* q = p;
    if (q < end && (*q == '+' || *q == '-'))
        ++q;
    if (IsHexPrefix(q, end))
        return ConvertWithLibc(start, end, value);
    // from_chars takes '-' but not '+'.
    const char* first = p;
    if (*p == '+') {
        first = p + 1;
        if (first < end && (*first == '-' || *first == '+'))
            return nullptr;
    }
    T v{};
    auto [ptr, ec] = std::from_chars(first, end, v, std::chars_format::general);
    if (ec == std::errc()) {
        *value = v;
        return ptr;
    }
    if (ec == std::errc::result_out_of_range)
        return ConvertWithLibc(start, end, value);
    return nullptr;
}

const char* ParseInteger(const char* p, const char* end, int* value) {
    const char* first = p;
    if (p < end && *p == '+') {
        first = p + 1;
        if (first < end && (*first == '-' || *first == '+'))
            return nullptr;
    }
    long long v = 0;
    auto [ptr, ec] = std::from_chars(first, end, v);
    if (ec == std::errc::invalid_argument)
        return nullptr;
    if (ec == std::errc::result_out_of_range)
        v = (*first == '-') ? LLONG_MIN : LLONG_MAX;
    *value = static_cast<int>(std::clamp<long long>(v, INT_MIN, INT_MAX));
    return ptr;
}

// One number at text[*pos] (blanks already skipped) read by `parse`; *pos
// moves past it only when it converts.
template <typename T>
int ScanNumber(const std::string& text, std::size_t* pos, T* value,
               const char* (*parse)(const char*, const char*, T*)) {
    if (*pos >= text.size())
        return kEndOfInput;
    const char* p = text.data() + *pos;
    const char* e = parse(p, text.data() + text.size(), value);
    if (e == nullptr)
        return kNoMatch;
    *pos += e - p;
    return kConverted;
}

// Characters of text up to the end of one number after leading blanks,
// read by `parse`; 0 when there is no number.
template <typename T>
std::size_t ParsePrefix(std::string_view text, T* value,
                        const char* (*parse)(const char*, const char*, T*)) {
    const char* b = text.data();
    const char* e = b + text.size();
    const char* p = SkipBlanks(b, e);
    if (p == e)
        return 0;
    const char* q = parse(p, e, value);
    return q ? static_cast<std::size_t>(q - b) : 0;
}

} // namespace

bool TextStream::Open(const char* path, std::size_t maxBytes) {
    text_.clear();
    pos_ = 0;
    if (path == nullptr)
        return false;
    std::FILE* f = std::fopen(path, "rb");
    if (f == nullptr)
        return false;
    struct stat st {};
    if (fstat(fileno(f), &st) != 0 || !S_ISREG(st.st_mode) ||
        static_cast<unsigned long long>(st.st_size) > maxBytes) {
        std::fclose(f);
        return false;
    }
    std::string text(static_cast<std::size_t>(st.st_size), '\0');
    std::size_t got = text.empty() ? 0 : std::fread(text.data(), 1, text.size(), f);
    std::fclose(f);
    if (got != text.size())
        return false;
    SetText(std::move(text));
    return true;
}

void TextStream::SetText(std::string text) {
    pos_ = 0;
    // CR LF -> LF, in place.
    std::size_t first = text.find("\r\n");
    if (first != std::string::npos) {
        std::size_t out = first;
        for (std::size_t in = first; in < text.size(); ++in) {
            if (text[in] == '\r' && in + 1 < text.size() && text[in + 1] == '\n')
                continue;
            text[out++] = text[in];
        }
        text.resize(out);
    }
    text_ = std::move(text);
}

bool TextStream::GetLine(std::string_view* line, std::size_t bufferSize) {
    if (pos_ >= text_.size() || bufferSize < 2)
        return false;
    std::size_t maxChars = bufferSize - 1;
    std::size_t avail = std::min(maxChars, text_.size() - pos_);
    const char* start = text_.data() + pos_;
    const void* nl = std::memchr(start, '\n', avail);
    std::size_t len = nl ? static_cast<const char*>(nl) - start + 1 : avail;
    *line = std::string_view(start, len);
    pos_ += len;
    return true;
}

bool TextStream::GetLineCut(std::string_view* line, std::size_t bufferSize) {
    if (!GetLine(line, bufferSize))
        return false;
    std::size_t cut = line->find_first_of("\r\n");
    if (cut != std::string_view::npos)
        *line = line->substr(0, cut);
    return true;
}

bool TextStream::SkipLines(int n, std::size_t bufferSize) {
    std::string_view line;
    for (int i = 0; i < n; ++i)
        if (!GetLine(&line, bufferSize))
            return false;
    return true;
}

void TextStream::SkipSpace() {
    const char* p = text_.data() + pos_;
    pos_ = SkipBlanks(p, text_.data() + text_.size()) - text_.data();
}

int TextStream::ScanFloat(float* value) {
    SkipSpace();
    return ScanNumber(text_, &pos_, value, ParseReal<float>);
}

int TextStream::ScanDouble(double* value) {
    SkipSpace();
    return ScanNumber(text_, &pos_, value, ParseReal<double>);
}

int TextStream::ScanInt(int* value) {
    SkipSpace();
    return ScanNumber(text_, &pos_, value, ParseInteger);
}

int TextStream::ScanWord(std::string* word, std::size_t width) {
    SkipSpace();
    if (pos_ >= text_.size())
        return kEndOfInput;
    std::size_t start = pos_;
    while (pos_ < text_.size() && pos_ - start < width && !IsSpace(text_[pos_]))
        ++pos_;
    word->assign(text_, start, pos_ - start);
    return kConverted;
}

bool TextStream::Match(char c) {
    if (pos_ < text_.size() && text_[pos_] == c) {
        ++pos_;
        return true;
    }
    return false;
}

int TextStream::LineAt(std::size_t pos) const {
    pos = std::min(pos, text_.size());
    if (pos == text_.size() && pos > 0 && text_[pos - 1] == '\n')
        --pos;
    return 1 + static_cast<int>(std::count(text_.begin(), text_.begin() + pos, '\n'));
}

std::string TextStream::Where() const {
    return "line " + std::to_string(LineAt(pos_));
}

bool TextStream::Fail(std::string what) {
    return FailAtLine(LineAt(pos_), std::move(what));
}

bool TextStream::FailAtLine(int line, std::string what) {
    failure_ = FileError{"line " + std::to_string(line), std::move(what)};
    failed_ = true;
    return false;
}

std::size_t ParseFloatPrefix(std::string_view text, float* value) {
    return ParsePrefix(text, value, ParseReal<float>);
}

std::size_t ParseDoublePrefix(std::string_view text, double* value) {
    return ParsePrefix(text, value, ParseReal<double>);
}

std::size_t ParseIntPrefix(std::string_view text, int* value) {
    return ParsePrefix(text, value, ParseInteger);
}

} // namespace dataformats
