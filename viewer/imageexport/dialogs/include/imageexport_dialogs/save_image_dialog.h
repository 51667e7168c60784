#pragma once
// The save dialog in front of SaveImageFile, kept apart from the image
// export itself so that programs without windows need no Qt Widgets.
#include <QImage>
#include <functional>

class QWidget;

// SaveImageFile behind the save dialog ("Image Files(*.JPG; *.bmp)", default
// extension JPG, overwrite prompt). Cancel writes nothing and returns 0;
// failures are reported through the message sink.
int SaveImageFileDialog(QWidget* parent, const std::function<QImage()>& render, int dpi = 72);
