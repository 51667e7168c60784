#include "calcjobs/odf_info.h"

#include <cstdio>

#include "orimath/symmetry.h"

namespace calcjobs {

std::string FormatODFInfoLine(const RawHODFInfo& info) {
    char name[32] = "Unknown";
    Get_Crystal_Type_Name(name, info.crystalType);
    char text[512];
    std::snprintf(
        text, sizeof text,
        "ODF Info.: %s, a = %.2f, b = %.2f, c = %.2f, alfa = %.2f, beta = %.2f, gama = %.2f "
        "Resolution = %.1f degree, %s%s",
        name, info.lattice[0], info.lattice[1], info.lattice[2], info.lattice[3], info.lattice[4],
        info.lattice[5], info.resolution,
        info.sampleSymmetry ? "Sample Symmetry, " : "No Sample Symmetry, ",
        info.fibreAverage ? "Fiber Averaged, " : "No Fiber Averaging, ");
    return text;
}

} // namespace calcjobs
