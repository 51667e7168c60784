#pragma once
// Every function of the texture data file library.
#include "dataformats/gbcd.h"
#include "dataformats/inversepf.h"
#include "dataformats/odf.h"
#include "dataformats/polefigure.h"
