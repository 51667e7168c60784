#pragma once
// Where the profile lives and how a section/key pair names a QSettings key.
#include <QSettings>
#include <QString>

namespace platform::profile_detail {

// The registry key and application name the programs have always used; the
// viewer opens the same pair, which is what lets the two programs talk.
inline constexpr char kOrganisation[] = "Corvan";
inline constexpr char kApplication[] = "Quelta";

inline QString SettingsKey(const char* section, const char* key) {
    return QString::fromUtf8(section) + QLatin1Char('/') + QString::fromUtf8(key);
}

// Flushes pending writes and reports whether the file took them.
inline bool Flush(QSettings& settings) {
    settings.sync();
    return settings.status() == QSettings::NoError;
}

} // namespace platform::profile_detail
