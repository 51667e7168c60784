#pragma once
// CODFlib: the classic ODF engine on the fixed 5 degree grid.
//
// The ODF always covers the whole Euler space: double[73][37][73] indexed
// [phi2][Phi][phi1] with phi1, phi2 = 0..360 and Phi = 0..180 degrees in 5
// degree steps (index 72 of phi1 and phi2 repeats 0). Pole figures are
// double[19][73] (alpha 0..90, beta 0..360). Every ODF cell is integrated
// over 2.5 degree half-cells in Phi and phi2.
//
// Settings, messages, run options, results and the callback protocol are
// those of HODF (see hodf.h); the resolution is always 5 degrees. Each object keeps its own
// stop-rule state. The object holds several megabytes: create it on the heap.
#include <cstdint>
#include <string>
#include <vector>

#include "odfengine/engine_result.h"
#include "odfengine/export.h"
#include "odfengine/progress.h"
#include "odfengine/run_options.h"

class ODFENGINE_EXPORT CODFlib {
  public:
    CODFlib();
    virtual ~CODFlib();
    CODFlib(const CODFlib&) = default; // deep: every array is a container
    CODFlib& operator=(const CODFlib&) = default;

    void SetCallBack(ProgressCallback callback);
    void SetRunOptions(EngineRunOptions options);
    const EngineResult& LastResult() const { return lastResult; }

    int IniODFCal(const std::string files[], int crystalType, int maxLoops, double tolerance,
                  int stopMode, const double lattice[6], const double hkl[][3], int nPF,
                  int normalizePF, int fibre, int sampleSym);
    // Which cells of input pole figure `index` (0-based, in the order of
    // IniODFCal) were measured: measured[a * cols + b] != 0 for alpha row a
    // and beta column b of a rows x cols grid (the pole figure's grid, beta
    // 0..360 inclusive); null clears the mask. Cells that were not measured
    // are left out of the normalisation, the sample-symmetry and fibre
    // means, the initial ODF, the correction and the deviation (whole rows
    // beyond the measured tilt are the case the engine also recognises by
    // itself). Without a mask every cell counts as measured. IniODFCal
    // clears every mask, so set them after it and before GetODF; GetODF
    // fails with "File resolution incorrect" when a mask's grid differs from
    // its pole figure's. Returns 0 (and keeps nothing) for an index outside
    // 0..5 or non-positive counts.
    int SetMeasuredMask(int index, const uint8_t* measured, int rows, int cols);
    int IniPolFigCal(int crystalType, const double lattice[6], const double hkl[3]);
    int IniInvPolFigCal(int crystalType, const double lattice[6], const double direction[3]);
    int IniEulerMiller(int crystalType, const double lattice[6]);
    int IniSO(int crystalType, const double lattice[6]);

    int GetODF(double odf[73][37][73], double* deviation, int* loops);
    int GetPolFig(double pf[19][73], double odf[73][37][73]);
    int GetInvPolFig(double ipf[19][73], double axes[3][3], double odf[73][37][73]);
    int GetSO(const double euler[3], double equivalents[][3], int* count, int sampleSym);
    int GetEuler(const int miller[6], double euler[3]);
    int GetMiller(const double euler[3], double miller[6]);

  protected:
    static constexpr int kA = 19;         // alpha rows
    static constexpr int kB = 73;         // beta columns
    static constexpr int kHalfPhi = 72;   // Phi half-cells of 2.5 degrees
    static constexpr int kHalfPhi2 = 144; // phi2 half-cells of 2.5 degrees

    int POpenInputPolFig();
    int PPrepPoles();
    void PTranMat();
    void PInitialODF(double odf[73][37][73]);
    void PCorrection(double odf[73][37][73]);
    void PGeneration(int j, int poles, double out[19][73], double odf[73][37][73]);
    double pDeviation(int* stop);
    void PNormodf(double odf[73][37][73]);
    void Report(const std::string& text, int code) const;
    void Begin();
    int Fail(const char* text);
    int Cancelled();
    int Finish(const char* failure);
    bool CancelSeen() const { return options.cancel.Cancelled(); }
    int CountEmptyRim() const;
    // Whether any of the four half-cells of the first pole of figure j has
    // a measured value (the correction's test for masked input).
    bool FirstPoleMeasured(int j, const int phiHalf[4], const int phi2Half[4], int shift) const;
    const int16_t* Cell(int j, int halfPhi, int halfPhi2, int pole) const {
        return &poleTable[((((size_t)j * kHalfPhi + halfPhi) * kHalfPhi2 + halfPhi2) * 24 + pole) *
                          2];
    }

    int sampleSym = 0;
    int fibre = 0;
    int stopMode = 0;
    int effectiveStopMode = 0;
    double tolerance = 0.0;
    double previousDeviation = 0.0;
    double latestDeviation = 1.0e7;
    int acceptedIterations = 0;
    double lattice[6] = {1, 1, 1, 90, 90, 90};
    int16_t crystalType = 0;
    int nPF = 0;
    std::string fileNames[6];
    int maxLoops = 0;
    int normalizePF = 0;
    int dataPreloaded = 0;
    int setupOk = 0;
    double hklInput[6][3] = {};
    double poleVectors[6][24][3] = {};
    int poleCount[6] = {};
    double vol2[73] = {};

    std::vector<double> measured;     // [6][19][73]
    std::vector<double> recalculated; // [6][19][73]
    std::vector<int16_t> poleTable;   // [6][72][144][24][2]

    // Measured-cell masks per input pole figure (empty: all measured).
    std::vector<uint8_t> measuredMask[6];
    int maskRows[6] = {}, maskCols[6] = {};
    EngineRunOptions options;
    EngineResult lastResult;
};
