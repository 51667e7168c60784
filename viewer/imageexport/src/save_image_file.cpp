#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

#include "imageexport/dib_image.h"
#include "imageexport/image_export.h"

bool IsJpegPath(const std::string& path) {
    const QString suffix = QFileInfo(QString::fromStdString(path)).suffix().toLower();
    return suffix == "jpg" || suffix == "jpeg";
}

namespace {

// A unique, empty file beside the target (so renaming it over the target
// stays on one file system); its name, or empty on failure.
QString TempBeside(const QString& target, const char* suffix) {
    QFileInfo info(target);
    QTemporaryFile tmp(
        info.absoluteDir().filePath("." + info.completeBaseName() + ".XXXXXX" + suffix));
    tmp.setAutoRemove(false);
    if (!tmp.open())
        return {};
    return tmp.fileName();
}

int Fail(std::string* error, const std::string& text) {
    if (error)
        *error = text;
    return 0;
}

} // namespace

int SaveImageFile(const std::string& path, const std::function<QImage()>& render, int dpi,
                  std::string* error) {
    if (path.empty())
        return Fail(error, "No file name given");
    const QImage image = render ? render() : QImage();
    DibImage dib;
    if (!dib.Capture(image, dpi))
        return Fail(error, "Cannot capture the picture");
    const QString target = QString::fromStdString(path);

    if (!IsJpegPath(path)) {
        if (dib.WriteBmp(path) == 0)
            return Fail(error, "Cannot write file " + path);
        return 1;
    }
    // The BMP goes to its own unique name, never to the user's "name.bmp",
    // and the JPEG is written beside the target and renamed over it only when
    // complete.
    const QString bmp = TempBeside(target, ".bmp");
    const QString jpg = TempBeside(target, ".jpg");
    auto cleanup = [&] {
        if (!bmp.isEmpty())
            QFile::remove(bmp);
        if (!jpg.isEmpty())
            QFile::remove(jpg);
    };
    if (bmp.isEmpty() || jpg.isEmpty()) {
        cleanup();
        return Fail(error, "Cannot write file " + path);
    }
    if (dib.WriteBmp(bmp.toStdString()) == 0 ||
        !JPGCompression(QFile::encodeName(bmp).constData(), QFile::encodeName(jpg).constData())) {
        cleanup();
        return Fail(error, "Cannot write file " + path);
    }
    QFile::remove(bmp);
    if (QFile::exists(target) && !QFile::remove(target)) {
        cleanup();
        return Fail(error, "Cannot write file " + path);
    }
    if (!QFile::rename(jpg, target)) {
        cleanup();
        return Fail(error, "Cannot write file " + path);
    }
    return 1;
}
