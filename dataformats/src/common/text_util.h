#pragma once
// Small text and path helpers shared by the readers.
#include <string>
#include <string_view>

namespace dataformats {

// The file name part of a path (after the last '/' or '\\').
std::string_view FileNamePart(std::string_view path);
// The extension of the file name (after its last '.'), "" when none.
std::string_view FileExtension(std::string_view path);
bool EqualsNoCase(std::string_view a, std::string_view b);
bool EndsWithNoCase(std::string_view text, std::string_view suffix);
bool StartsWithNoCase(std::string_view text, std::string_view prefix);
bool Contains(std::string_view text, std::string_view part);
std::string_view TrimLeft(std::string_view s);
std::string_view Trim(std::string_view s);
// Copies text into a fixed buffer of size bytes, always terminated.
void CopyBounded(char* dest, std::size_t size, std::string_view text);
// The text of a fixed buffer up to its terminator or its size.
std::string_view BoundedView(const char* buffer, std::size_t size);
// The text up to the first CR or LF.
std::string_view CutAtLineEnd(std::string_view s);

} // namespace dataformats
