#pragma once
// One typed profile value: its section, key and default stated once, where
// the entry is defined, so every reader and writer agrees on them:
//
//   inline constexpr platform::ProfileEntry<int> kInputDataFormat{"ODFCalculation", "IDFS", 0};
//   int idfs = platform::ReadProfile(kInputDataFormat);
//
// Text entries use std::string_view for the default so that entries can be
// constexpr; they read back as std::string (UTF-8).
#include <string>
#include <string_view>

namespace platform {

template <class T> struct ProfileEntry {
    const char* section;
    const char* key;
    T defaultValue;
};

using ProfileInt = ProfileEntry<int>;
using ProfileText = ProfileEntry<std::string_view>;

int ReadProfile(const ProfileInt& entry);
std::string ReadProfile(const ProfileText& entry);

// true when the value reached the profile file.
bool WriteProfile(const ProfileInt& entry, int value);
bool WriteProfile(const ProfileText& entry, std::string_view value);

} // namespace platform
