#include "platform_profile/profile.h"
#include "platform_profile/profile_entry.h"

#include "profile_settings.h"

#include <QVariant>

using platform::profile_detail::Flush;
using platform::profile_detail::kApplication;
using platform::profile_detail::kOrganisation;
using platform::profile_detail::SettingsKey;

int GetProfileInt(const char* section, const char* key, int defaultValue) {
    QSettings settings(kOrganisation, kApplication);
    const QVariant value = settings.value(SettingsKey(section, key));
    if (!value.isValid())
        return defaultValue;
    // The file stores text; a hand-edited or string-written value that is
    // not an integer reads as the default rather than as 0.
    bool ok = false;
    const int parsed = value.toString().trimmed().toInt(&ok);
    return ok ? parsed : defaultValue;
}

std::string GetProfileString(const char* section, const char* key, const char* defaultValue) {
    QSettings settings(kOrganisation, kApplication);
    const QVariant value = settings.value(SettingsKey(section, key));
    if (!value.isValid())
        return defaultValue ? defaultValue : "";
    // Our writer quotes text with commas, but a hand-edited line such as
    // "Name=a,b" reads back as a list, which would convert to "".
    if (value.userType() == QMetaType::QStringList)
        return value.toStringList().join(QLatin1Char(',')).toStdString();
    return value.toString().toStdString();
}

int WriteProfileInt(const char* section, const char* key, int value) {
    QSettings settings(kOrganisation, kApplication);
    settings.setValue(SettingsKey(section, key), value);
    return Flush(settings) ? 1 : 0;
}

int WriteProfileString(const char* section, const char* key, const char* value) {
    QSettings settings(kOrganisation, kApplication);
    settings.setValue(SettingsKey(section, key), QString::fromUtf8(value ? value : ""));
    return Flush(settings) ? 1 : 0;
}

namespace platform {

std::string ProfileFilePath() {
    const QSettings settings(profile_detail::kOrganisation, profile_detail::kApplication);
    return settings.fileName().toStdString();
}

int ReadProfile(const ProfileInt& entry) {
    return GetProfileInt(entry.section, entry.key, entry.defaultValue);
}

std::string ReadProfile(const ProfileText& entry) {
    const std::string fallback(entry.defaultValue);
    return GetProfileString(entry.section, entry.key, fallback.c_str());
}

bool WriteProfile(const ProfileInt& entry, int value) {
    return WriteProfileInt(entry.section, entry.key, value) == 1;
}

bool WriteProfile(const ProfileText& entry, std::string_view value) {
    const std::string text(value);
    return WriteProfileString(entry.section, entry.key, text.c_str()) == 1;
}

} // namespace platform
