#include "platform_suitelink/suite_name.h"

#include <QDir>
#include <QFileInfo>

#include <unistd.h>

namespace platform {

QString SuiteSocketPath(const QString& suiteName) {
    // The user id keeps two users of one machine apart even in the shared
    // temporary folder, where the socket's permissions already keep others
    // from connecting.
    const QString name = suiteName + QLatin1Char('-') + QString::number(::getuid());
    const QString runtimeDir = qEnvironmentVariable("XDG_RUNTIME_DIR");
    const QString folder =
        !runtimeDir.isEmpty() && QFileInfo(runtimeDir).isDir() ? runtimeDir : QDir::tempPath();
    return QDir(folder).absoluteFilePath(name);
}

} // namespace platform
