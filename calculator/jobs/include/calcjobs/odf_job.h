#pragma once
// The ODF calculation job: ODF from up to six pole figures, written as a
// first-generation HODF file.
//
// The parameter block is the ODF description record that is also written as
// the file's header: pole figure names and Miller indices, their count,
// crystal system and lattice, normalisation, fibre and sample-symmetry flags,
// resolution, the iteration settings maxLoops / stopMode / tolerance, and the
// output path in info.path. A resolution within 0.0001 of 5 degrees runs the
// classic 5 degree engine, any other the arbitrary-resolution engine.
//
// Every job owns its engine, its ODF buffer and its copy of the block, so
// jobs may overlap (the engines' stop rule keeps one process-wide counter,
// so concurrent ODF iterations still should not be started).
#include "calcjobs/job_common.h"
#include "dataformats/odf.h"

namespace calcjobs {

// Fills the iteration settings of the ODF command (15 loops, stop mode 2,
// tolerance 0.01) and forces sample symmetry when the fibre flag is set.
void ApplyODFCommandSettings(RawHODFInfo* info);

// Runs the calculation and saves info.path. Progress: the engine's messages,
// then "Please wait ... while saving ODF file" and "Calculation finished"
// (position -2). On success calls launchViewer(kResultODF, path); result.deviation
// and result.loops hold the engine's final mean deviation and iteration count.
// Failures: kInvalidInput (resolution, counts), kEngineFailed with the
// engine's last status text (for example "Can not read pole figure file" or
// "File resolution incorrect"), kSaveFailed with "Can not save odf file".
JobResult ODFJob(RawHODFInfo info, const ProgressFn& progress, const LaunchViewerFn& launchViewer);

} // namespace calcjobs
