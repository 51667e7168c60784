#include "platform_profile/pending_results.h"

#include "profile_settings.h"

#include <QDir>
#include <QFileInfo>
#include <QLockFile>

#include <algorithm>
#include <vector>

namespace platform {
namespace {

using profile_detail::kApplication;
using profile_detail::kOrganisation;

constexpr char kSection[] = "AutoLoad";
constexpr char kArray[] = "Queue";
constexpr char kKindKey[] = "Kind";
constexpr char kPathKey[] = "Path";

// Long enough to wait out another program's append (a few milliseconds),
// short enough that a stuck lock does not freeze a user interface.
constexpr int kLockTimeoutMs = 5000;

// The queue's own lock. QSettings locks "<file>.lock" while it writes; that
// lock is taken inside ours, so ours needs a name of its own.
QString LockPath(const QSettings& settings) {
    return settings.fileName() + QStringLiteral(".queue-lock");
}

bool Lock(QLockFile& lock, const QSettings& settings) {
    // The folder does not exist before the first write of the profile.
    QDir().mkpath(QFileInfo(settings.fileName()).absolutePath());
    return lock.tryLock(kLockTimeoutMs);
}

bool Usable(const PendingResult& r) {
    return r.kind != 0 && !r.path.empty();
}

std::vector<PendingResult> ReadQueue(QSettings& settings) {
    std::vector<PendingResult> queue;
    settings.beginGroup(kSection);
    // A damaged size must not make us walk millions of absent keys.
    const int size = std::min(settings.beginReadArray(kArray), kMaxPendingResults);
    for (int i = 0; i < size; ++i) {
        settings.setArrayIndex(i);
        bool ok = false;
        PendingResult r;
        r.kind = settings.value(kKindKey).toString().toInt(&ok);
        r.path = settings.value(kPathKey).toString().toStdString();
        if (ok && Usable(r))
            queue.push_back(std::move(r));
    }
    settings.endArray();
    settings.endGroup();
    return queue;
}

bool WriteQueue(QSettings& settings, const std::vector<PendingResult>& queue) {
    settings.beginGroup(kSection);
    settings.remove(kArray);
    if (!queue.empty()) {
        settings.beginWriteArray(kArray, static_cast<int>(queue.size()));
        for (int i = 0; i < static_cast<int>(queue.size()); ++i) {
            settings.setArrayIndex(i);
            settings.setValue(kKindKey, queue[i].kind);
            settings.setValue(kPathKey, QString::fromStdString(queue[i].path));
        }
        settings.endArray();
    }
    settings.endGroup();
    return profile_detail::Flush(settings);
}

} // namespace

bool AppendPendingResult(const PendingResult& result) {
    if (!Usable(result))
        return false;
    QSettings settings(kOrganisation, kApplication);
    QLockFile lock(LockPath(settings));
    if (!Lock(lock, settings))
        return false;
    // Constructed under the lock, so it holds what the last writer stored.
    QSettings locked(kOrganisation, kApplication);
    std::vector<PendingResult> queue = ReadQueue(locked);
    if (static_cast<int>(queue.size()) >= kMaxPendingResults)
        queue.erase(queue.begin(), queue.end() - (kMaxPendingResults - 1));
    queue.push_back(result);
    return WriteQueue(locked, queue);
}

std::optional<PendingResult> TakePendingResult() {
    QSettings settings(kOrganisation, kApplication);
    QLockFile lock(LockPath(settings));
    if (!Lock(lock, settings))
        return std::nullopt;
    QSettings locked(kOrganisation, kApplication);
    std::vector<PendingResult> queue = ReadQueue(locked);
    if (queue.empty()) {
        // Drop whatever unusable rows were there so they are not read again.
        if (locked.contains(QStringLiteral("AutoLoad/Queue/size")))
            WriteQueue(locked, queue);
        return std::nullopt;
    }
    PendingResult first = std::move(queue.front());
    queue.erase(queue.begin());
    // An entry that cannot be removed from the file would be taken again
    // by the next reader; report nothing rather than deliver it twice.
    if (!WriteQueue(locked, queue))
        return std::nullopt;
    return first;
}

} // namespace platform
