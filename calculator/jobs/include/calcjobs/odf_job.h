#pragma once
// The ODF calculation job: ODF from up to six pole figures, written as a
// first-generation HODF file.
//
// The parameter block is the ODF description record that is also written as
// the file's header: pole figure names and Miller indices, their count,
// crystal system and lattice, normalisation, fibre and sample-symmetry flags,
// resolution, the iteration settings maxLoops / stopMode / tolerance, and the
// output path in info.path. The engine follows context.odfEngine: by default
// a resolution within 0.0001 of 5 degrees runs the classic 5 degree engine,
// any other the arbitrary-resolution engine. Both write the same layout.
//
// Every job owns its engine (with its own stop-rule counter), its ODF buffer
// and its copy of the block, so ODF jobs may run side by side.
#include "calcjobs/job_common.h"
#include "dataformats/odf.h"

namespace calcjobs {

// Fills the iteration settings of the ODF command (15 loops, stop mode 2,
// tolerance 0.01) and forces sample symmetry when the fibre flag is set.
void ApplyODFCommandSettings(RawHODFInfo* info);

// Runs the calculation and saves info.path. Progress: the engine's messages,
// then "Please wait ... while saving ODF file" and "Calculation finished"
// (kStatusPosition). On success calls context.launchViewer(kResultODF,
// path); result.deviation and result.loops hold the engine's final mean
// deviation and iteration count. Failures: kInvalidInput (resolution 0.1 to
// 45 degrees, counts, or a grid too large for the memory available, with the
// estimate; kClassicEngineResolutionText when the classic engine was chosen
// for another resolution than 5 degrees), kEngineFailed with the engine's reason (for example "Can
// not read pole figure file" or "File resolution incorrect"), kSaveFailed with "Can not save odf
// file", kCancelled when context.cancel was set (nothing written).
JobResult ODFJob(RawHODFInfo info, const JobContext& context);

inline constexpr char kClassicEngineResolutionText[] =
    "The classic engine computes 5 degree ODFs only";

// The engine that computes an ODF of resolution res (degrees) when `choice`
// was asked for: kClassic or kArbitrary, never kAuto. A classic choice is
// returned as asked; the caller refuses it when res is not 5 degrees
// (ClassicEngineFits).
ODFEngine ResolveODFEngine(ODFEngine choice, double res);
// True when res is the classic engine's 5 degrees (within 0.0001).
bool ClassicEngineFits(double res);
// The same without a cancel token, with the automatic thread count.
JobResult ODFJob(RawHODFInfo info, const ProgressFn& progress, const LaunchViewerFn& launchViewer);

} // namespace calcjobs
