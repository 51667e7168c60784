#pragma once
// One-line summary of an ODF description, as the ODF input panels of the
// pole figure, inverse pole figure, GBCD and magnetic commands show it:
// "ODF Info.: Cubic, a = 1.00, b = 1.00, c = 1.00, alfa = 90.00, beta = 90.00,
// gama = 90.00 Resolution = 5.0 degree, No Sample Symmetry, No Fiber Averaging, "
#include <string>

#include "dataformats/odf.h"

namespace calcjobs {

std::string FormatODFInfoLine(const RawHODFInfo& info);

} // namespace calcjobs
