#pragma once
// Import of Siemens ".cor" pole figure measurements: each reflection in the
// file ("Intensity values for <hkl>") is a set of rings ("PHI-circle at
// CHI=<chi>", 72 intensities from beta 355 down to 0 after one skipped line)
// measured from CHI 0 to 80 in 5 degree steps. Every complete reflection is
// written as a 19 x 73 high-resolution pole figure file (rows for alpha 85
// and 90 stay zero) named base + hkl text + ".HPF". At most six reflections
// are imported; further ones in the file are ignored.
#include <string>
#include <vector>

#include "calcjobs/validation.h"

namespace calcjobs {

struct CorImportResult {
    // Empty on success; otherwise "Can not open <file>", "Can not read data"
    // or "Can not save pole figure file". Pole figures written before the
    // failure stay on disk and are listed below.
    std::string message;
    std::vector<PoleFigureInput> poleFigures; // files written, with their indices
    std::vector<std::string> warnings;        // rings that were skipped, and why
};

// Output base name of a .cor path: the path with its file name cut at the
// first "." of the file name (dots in folder names are kept).
std::string CorBaseName(const std::string& corPath);

// Parses the reflection text of a ring header: each index is one character,
// or two when it starts with "-" ("1-10" gives 1, -1, 0). Missing indices are 0.
void ParseCorHkl(const std::string& text, double hkl[3]);

// Imports corPath. outputBase replaces CorBaseName(corPath) when not empty.
// crystalType and lattice (a, b, c, alpha, beta, gamma) go into the
// description line of the written files.
CorImportResult ImportCorFile(const std::string& corPath, const std::string& outputBase,
                              int crystalType, const double lattice[6]);

} // namespace calcjobs
