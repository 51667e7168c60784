#pragma once
// Everything the orientation mathematics library exports.
#include "orimath/arrays.h"
#include "orimath/constants.h"
#include "orimath/grainmap.h"
#include "orimath/misorientation.h"
#include "orimath/orientation.h"
#include "orimath/projection.h"
#include "orimath/random_orientation.h"
#include "orimath/ranges.h"
#include "orimath/symmetry.h"
