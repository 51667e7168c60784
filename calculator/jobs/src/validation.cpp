#include "calcjobs/validation.h"

#include <cmath>
#include <cstdio>

namespace calcjobs {

std::string ValidateResolution(double res) {
    if (!(std::isfinite(res) && res >= kMinResolution && res <= kMaxResolution)) {
        char text[160];
        std::snprintf(text, sizeof text,
                      "Invalid resolution: %g degrees (must be between %g and %g degrees)", res,
                      kMinResolution, kMaxResolution);
        return text;
    }
    return {};
}

std::string ValidateODFSetup(std::span<const PoleFigureInput> poleFigures,
                             const std::string& odfFile, double res) {
    if (poleFigures.empty())
        return "Input the file names of all pole figurrs";
    if (poleFigures.size() > static_cast<size_t>(kMaxPoleFigures))
        return "At most six pole figures can be used in one calculation";
    for (const PoleFigureInput& pf : poleFigures) {
        if (pf.file.empty())
            return "Input the file names of all pole figurrs";
        if (pf.h == 0 && pf.k == 0 && pf.l == 0)
            return "Invalid Miller indices";
    }
    if (odfFile.empty())
        return "Must give an ODF file name";
    return ValidateResolution(res);
}

std::string ValidatePFSetup(double h, double k, double l, const std::string& pfFile) {
    if (std::fabs(h) < 0.0001 && std::fabs(k) < 0.0001 && std::fabs(l) < 0.0001)
        return "Invalid h, k, l values";
    if (pfFile.empty())
        return "Must give an PF file name";
    return {};
}

std::string ValidateIPFSetup(const std::string& ipfFile) {
    if (ipfFile.empty())
        return "Must give an inverse pole figure file name";
    return {};
}

void ApplyCrystalSystemRule(int crystalType, const double current[6], double out[6]) {
    for (int i = 0; i < 6; ++i)
        out[i] = current[i];
    switch (crystalType) {
    case 0: // cubic
        out[0] = out[1] = out[2] = 1;
        out[3] = out[4] = out[5] = 90;
        break;
    case 1: // hexagonal: only c (in units of a) is free
        out[0] = out[1] = 1;
        out[3] = out[4] = 90;
        out[5] = 120;
        break;
    case 2: // tetragonal
        out[0] = out[1] = 1;
        out[3] = out[4] = out[5] = 90;
        break;
    case 3: // orthorhombic
        out[3] = out[4] = out[5] = 90;
        break;
    case 4: // monoclinic: beta free
        out[3] = out[5] = 90;
        break;
    case 5: // rhombohedral axes: a = b = c, alpha = beta = gamma
        out[0] = out[1] = out[2] = 1;
        out[3] = out[5] = out[4];
        break;
    default: // triclinic and unknown codes: everything as given
        break;
    }
}

} // namespace calcjobs
