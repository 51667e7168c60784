#pragma once
// Display objects for 5 degree data.
#include "plotkit/display_common.h"
#include "plotkit/display_structure.h"
#include "plotkit/odf_structure.h"
#include "plotkit/pf_structure.h"
