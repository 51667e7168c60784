#pragma once
// Saving a rendered picture as BMP or JPEG, the routine every "save image"
// command uses.
#include <functional>
#include <string>

#include <QImage>

// Converts a BMP file (1, 4, 8 or 24 bits, as WriteBmp writes) into a JPEG
// file at quality 92 without chroma subsampling, so thin coloured lines stay
// sharp. Returns 1 on success, 0 on failure (no file left at jpegPath).
int JPGCompression(const char* bmpPath, const char* jpegPath);

// True when the path names a JPEG target (extension "jpg" or "jpeg", any case).
bool IsJpegPath(const std::string& path);

// Saves the image that render() returns at path: a BMP, or for a JPEG name a
// JPEG made through a uniquely named temporary BMP beside it, which is
// removed afterwards. The target is replaced only once the new file is
// complete. Returns 1 on success; 0 with *error set (and no partial file)
// on failure.
int SaveImageFile(const std::string& path, const std::function<QImage()>& render, int dpi = 72,
                  std::string* error = nullptr);
