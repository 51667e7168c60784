#pragma once
// Which family of texture file a path holds (pole figure, ODF, inverse pole
// figure, GBCD) and in which layout, for info and convert. Every family's
// detector runs; when several accept the file, the extension decides (".HPF"
// is a pole figure even if another detector also reads it), otherwise the
// more specific detectors win over the loose ones (inverse pole figure, ODF,
// GBCD, then pole figure, and the cubic 19 x 19 x 19 ODF text last).
#include <string>

namespace quelta_cli {

enum class FileFamily { kNone, kPoleFigure, kODF, kInversePoleFigure, kGBCD };

// ODF layout code for TTO files, which the ODF layout detection does not
// report (they are read by their extension).
inline constexpr int kTTOLayout = 100;

struct FileKind {
    FileFamily family = FileFamily::kNone;
    int layout = -1; // the family's layout code
};

FileKind DetectFileKind(const std::string& path);

const char* FamilyName(FileFamily family);
// Human-readable name of a layout code of a family.
const char* LayoutName(FileFamily family, int layout);

} // namespace quelta_cli
