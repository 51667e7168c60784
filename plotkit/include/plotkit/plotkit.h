#pragma once
// Display objects for 5 degree data.
#include "plotkit/display_common.h"
#include "plotkit/display_structure.h"
#include "plotkit/format_dialog_registry.h"
#include "plotkit/gbcd_structure.h"
#include "plotkit/ipf_structure.h"
#include "plotkit/legend_map.h"
#include "plotkit/odf_structure.h"
#include "plotkit/pf_structure.h"
#include "plotkit/scan_line.h"
