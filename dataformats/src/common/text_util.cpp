#include "text_util.h"

#include <cstring>

namespace dataformats {
namespace {
char Lower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}
} // namespace

std::string_view FileNamePart(std::string_view path) {
    std::size_t slash = path.find_last_of("/\\");
    return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

std::string_view FileExtension(std::string_view path) {
    std::string_view name = FileNamePart(path);
    std::size_t dot = name.find_last_of('.');
    return dot == std::string_view::npos ? std::string_view() : name.substr(dot + 1);
}

bool EqualsNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (Lower(a[i]) != Lower(b[i]))
            return false;
    return true;
}

bool EndsWithNoCase(std::string_view text, std::string_view suffix) {
    return text.size() >= suffix.size() &&
           EqualsNoCase(text.substr(text.size() - suffix.size()), suffix);
}

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() && EqualsNoCase(text.substr(0, prefix.size()), prefix);
}

bool Contains(std::string_view text, std::string_view part) {
    return text.find(part) != std::string_view::npos;
}

std::string_view TrimLeft(std::string_view s) {
    std::size_t i = 0;
    while (i < s.size() && (s[i] == ' ' || s[i] == '\t'))
        ++i;
    return s.substr(i);
}

std::string_view Trim(std::string_view s) {
    std::size_t b = 0, e = s.size();
    while (b < e && (s[b] == ' ' || s[b] == '\t' || s[b] == '\r' || s[b] == '\n'))
        ++b;
    while (e > b && (s[e - 1] == ' ' || s[e - 1] == '\t' || s[e - 1] == '\r' || s[e - 1] == '\n'))
        --e;
    return s.substr(b, e - b);
}

void CopyBounded(char* dest, std::size_t size, std::string_view text) {
    if (dest == nullptr || size == 0)
        return;
    std::size_t n = text.size() < size ? text.size() : size - 1;
    std::memcpy(dest, text.data(), n);
    dest[n] = '\0';
}

std::string_view BoundedView(const char* buffer, std::size_t size) {
    const void* z = std::memchr(buffer, '\0', size);
    return std::string_view(buffer, z ? static_cast<const char*>(z) - buffer : size);
}

std::string_view CutAtLineEnd(std::string_view s) {
    std::size_t cut = s.find_first_of("\r\n");
    return cut == std::string_view::npos ? s : s.substr(0, cut);
}

} // namespace dataformats
