#include "imageexport_dialogs/save_image_dialog.h"

#include <QFileDialog>
#include <QFileInfo>

#include "imageexport/image_export.h"
#include "platform/message_sink.h"

int SaveImageFileDialog(QWidget* parent, const std::function<QImage()>& render, int dpi) {
    QFileDialog dialog(parent, QObject::tr("Save As"));
    dialog.setObjectName("saveImageDialog");
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix("JPG");
    dialog.setNameFilters(
        {"Image Files(*.JPG; *.bmp) (*.jpg *.JPG *.bmp *.BMP)", "All Files (*.*) (*)"});
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return 0;
    const std::string path = dialog.selectedFiles().front().toStdString();
    std::string error;
    if (!SaveImageFile(path, render, dpi, &error)) {
        platform::ShowMessage(error);
        return 0;
    }
    return 1;
}
