#pragma once
// The per-user profile both programs share: QSettings("Corvan", "Quelta"),
// which on Linux is the text file $XDG_CONFIG_HOME/Corvan/Quelta.conf
// (~/.config when XDG_CONFIG_HOME is unset). A section is a group, a key a
// value inside it. Every call opens the file afresh, so a value written by
// the other program is seen at the next read.
//
// Section and key names are plain ASCII without '/' or '\' (QSettings reads
// those as group separators). Strings are UTF-8 at this interface.
#include <string>

// The profile int under section/key; defaultValue when the key is absent or
// does not hold an integer.
int GetProfileInt(const char* section, const char* key, int defaultValue);

// The profile text under section/key; defaultValue when the key is absent.
std::string GetProfileString(const char* section, const char* key, const char* defaultValue);

// Store a value and flush it to disk. 1 on success, 0 when the profile file
// could not be written (read-only folder, full disk).
int WriteProfileInt(const char* section, const char* key, int value);
int WriteProfileString(const char* section, const char* key, const char* value);

namespace platform {

// Absolute path of the profile file (it need not exist yet).
std::string ProfileFilePath();

} // namespace platform
