#pragma once
// Recalculation jobs: one pole figure {hkl} or one inverse pole figure of a
// sample direction from an ODF file, written as .HPF / .HIPF.
//
// An ODF whose resolution is within 0.001 of 5 degrees is read onto the full
// 73 x 37 x 73 grid and recalculated by the classic 5 degree engine; any
// other resolution uses the arbitrary-resolution engine on the file's reduced
// grid, whose counts must match those of the file's crystal system, sample
// symmetry and resolution. context.odfEngine = kArbitrary recalculates a 5
// degree ODF with the arbitrary-resolution engine as well (the counterpart
// of an ODF computed by it); kClassic refuses any other resolution
// (kInvalidInput, kClassicEngineResolutionText).
#include <string>

#include "calcjobs/job_common.h"
#include "dataformats/odf.h"

namespace calcjobs {

struct PFJobParams {
    RawHODFInfo odfInfo{}; // description of the ODF file as read (LoadODFInfo)
    std::string odfFile;
    std::string pfFile;
    double h = 1, k = 0, l = 0;
};

struct IPFJobParams {
    RawHODFInfo odfInfo{};
    std::string odfFile;
    std::string ipfFile;
    // Sample direction: alpha is the tilt from the sample normal ND, beta the
    // azimuth from RD towards TD (degrees), so ND = (0, 0), RD = (90, 0),
    // TD = (90, 90).
    double alpha = 0, beta = 0;
};

// Reads the description of an ODF file (layout detected). Returns "" or
// "Can not open " followed by the file name.
std::string LoadODFInfo(const std::string& odfFile, RawHODFInfo* info);
// As above; on failure detail receives the reader's reason ("line 3: ...").
std::string LoadODFInfo(const std::string& odfFile, RawHODFInfo* info, std::string* detail);

// Unit sample direction of the angles of IPFJobParams.
void SampleDirection(double alpha, double beta, double direction[3]);

// Output name rule of the inverse pole figure dialog: the path is cut at a
// second "." of the file name, and a three-letter extension "hip" (any case)
// becomes "HIPF".
std::string AdjustIPFFileName(const std::string& path);

// Progress: "Openning ODF File", the engine's messages (inverse pole figure:
// "Calculating" first). Failures: kInvalidInput (also an ODF grid too large
// for the memory available, with the estimate), kOpenFailed ("Can not open
// ODF file", or the grid mismatch), kEngineFailed (the engine's reason),
// kSaveFailed ("Can not save file"; the viewer is not offered), kCancelled
// (nothing written). Success calls context.launchViewer(kResultPoleFigure /
// kResultInversePoleFigure, file).
JobResult PFJob(PFJobParams params, const JobContext& context);
JobResult IPFJob(IPFJobParams params, const JobContext& context);
// The same without a cancel token, with the automatic thread count.
JobResult PFJob(PFJobParams params, const ProgressFn& progress, const LaunchViewerFn& launchViewer);
JobResult IPFJob(IPFJobParams params, const ProgressFn& progress,
                 const LaunchViewerFn& launchViewer);

} // namespace calcjobs
