#pragma once
// Everything the ODF calculation engine library exports.
#include "odfengine/codflib.h"
#include "odfengine/hodf.h"
#include "odfengine/model_odf.h"
#include "odfengine/progress.h"
