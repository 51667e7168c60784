#pragma once
// HODF: the arbitrary-resolution ODF engine.
//
// Conventions: Euler angles (phi1, Phi, phi2) in the Bunge convention, in
// degrees; an ODF is double[nPhi2][nPhi][nPhi1] made by AllocMem3D (grid point
// (i1, iPhi, i2) is the orientation (i1*res, iPhi*res, i2*res)); a pole figure
// is double[nAlpha][nBeta] (alpha from the centre 0..90, beta 0..360 with the
// last column repeating beta 0), in multiples of a random distribution.
//
// Use: construct, SetCallBack or SetRunOptions (optional; without them
// nothing is reported, nothing cancels and the thread count is automatic),
// one Ini... operation, then the matching Get... operation. Results are 1 on
// success and 0 on failure; the reason of a failure is sent through the
// callback with code kProgressStatus, and LastResult() tells it as a value,
// together with whether the operation was cancelled. Nothing throws.
//
// Each object keeps its own stop-rule state, so several objects may compute
// side by side on different threads. One object is used by one thread at a
// time. Heavy loops run on OpenMP threads; the results do not depend on the
// number of threads and progress is reported from the calling thread.
#include <cstdint>
#include <string>
#include <vector>

#include "odfengine/engine_result.h"
#include "odfengine/export.h"
#include "odfengine/progress.h"
#include "odfengine/run_options.h"

class ODFENGINE_EXPORT HODF {
  public:
    HODF();
    HODF(const HODF& other);            // deep copy
    HODF& operator=(const HODF& other); // deep copy
    virtual ~HODF();

    // Replaces the progress function of the run options.
    void SetCallBack(ProgressCallback callback);
    // Progress, cancel token and thread count for the following operations.
    void SetRunOptions(EngineRunOptions options);
    // How the last Ini... or Get... operation ended.
    const EngineResult& LastResult() const { return lastResult; }

    // ODF calculation from nPF (1..6) pole figure files with Miller indices
    // hkl[i]. stopMode 0: stop after maxLoops; 1: when the mean deviation is
    // below tolerance; 2: whichever comes first; 10 and above: the same rules
    // (mode - 10) without smoothing of incomplete data. fibre forces a fibre
    // texture about ND (and sample symmetry). res in degrees. Returns 0 (and
    // reports "Invalid resolution" or "Invalid number of pole figures") when
    // res is not in [0.1, 45] or nPF is not in 1..6; GetODF then fails too.
    int IniODFCal(const std::string files[], int crystalType, int maxLoops, double tolerance,
                  int stopMode, const double lattice[6], const double hkl[][3], int nPF,
                  int normalizePF, int fibre, int sampleSym, double res);
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
    // Pole figure {hkl} recalculation (nPF = 1).
    int IniPolFigCal(int crystalType, const double lattice[6], const double hkl[3], double res,
                     int sampleSym, int fibre);
    // Inverse pole figure of the sample direction (x = RD, y = TD, z = ND).
    int IniInvPolFigCal(int crystalType, const double lattice[6], const double sampleDirection[3],
                        double res, int sampleSym);
    int IniEulerMiller(int crystalType, const double lattice[6]);
    int IniSO(int crystalType, const double lattice[6]);
    // Magnetic anisotropy energy; the ODF grid is the one without sample
    // symmetry (sampleSym only folds the indices and halves the work).
    int IniMeganitic(int crystalType, const double lattice[6], double res, int sampleSym);

    // Fills odf (nPhi2 x nPhi x nPhi1 from the Ini call) from the pole
    // figures; deviation receives the last mean deviation (a fraction), loops
    // the number of iterations.
    int GetODF(double*** odf, double* deviation, int* loops);
    // pf: caller-allocated double[nAlpha][nBeta].
    int GetPolFig(double** pf, double*** odf);
    // ipf: double[nAlpha][nBeta] in crystal coordinates (alpha from the
    // crystal z axis, beta from x); axes receives the crystal axis matrix
    // (columns: unit lattice axes a, b, c in the Cartesian crystal frame).
    int GetInvPolFig(double** ipf, double axes[3][3], double*** odf);
    // Symmetrically equivalent orientations (degrees); equivalents must hold
    // 96 triples. No angle nudge.
    int GetSO(const double euler[3], double equivalents[][3], int* count, int sampleSym);
    // miller = h, k, l, u, v, w (integers); euler in degrees.
    int GetEuler(const int miller[6], double euler[3]);
    int GetMiller(const double euler[3], double miller[6]);

    // Texture-averaged cubic magnetocrystalline anisotropy energy for every
    // field direction of a pole figure grid: energy[i][j] for the field at
    // alpha = i*res from ND and azimuth beta = j*res from RD towards TD, in
    // the unit of K = {K1, K2}; a uniform ODF of 1 gives the orientation
    // average of E = K1 (l1²l2² + l2²l3² + l3²l1²) + K2 l1²l2²l3².
    int GetMagneticEnergy(double** energy, double*** odf, const double K[2]);
    // The same and the torque map: torque[i][j] = -dE/dbeta, the derivative
    // of the averaged energy with respect to the field azimuth (radians) at
    // fixed alpha, in the unit of K per radian. Positive torque turns the
    // field towards larger beta (it points downhill in energy).
    int GetMagneticEnergy(double** energy, double*** odf, double** torque, const double K[2]);

    // Grid counts set by the Ini operations: ODF grid and pole figure grid.
    int nPhi1 = 0, nPhi = 0, nPhi2 = 0;
    int nAlpha = 0, nBeta = 0;

    double GetOdfMax() const { return odfMax; }
    double GetResolution() const { return res; }
    int GetSampleSym() const { return sampleSym; }

  protected:
    int pIniRanges(int rangeSampleSym);
    int pIniMem_ODF();
    void pFreeMem_ODF();
    int POpenInputPolFig();
    void PNormPol(int i);
    void pSymmetrizePF();
    void pFiberForcing();
    int PNormalofhkl();
    int PSymVetor();
    void PTranMat();
    std::vector<double> PVolume(int count) const;
    void PGeneration(const std::vector<double>& vol, int j, int poles, double* out, double*** odf);
    double pDeviation(int* stop);
    void PNormodf(double*** odf);
    void pGetODFMax(double*** odf);
    int pMeganeticMap(double** energy, double** torque, double*** odf, const double K[2]);
    static double pMeganetic(double l1, double l2, double l3, double K1, double K2);

    void Report(const std::string& text, int code) const;
    // Outcome bookkeeping of the public operations: Begin clears the last
    // result; Fail records and reports a failure, Cancelled a cancellation;
    // Finish takes a long helper's failure text (null: success; a failure
    // while the cancel token is set counts as cancelled). All but Begin
    // return the operation's int result.
    void Begin();
    int Fail(const char* text);
    int Cancelled();
    int Finish(const char* failure);
    bool CancelSeen() const { return options.cancel.Cancelled(); }
    int CountEmptyRim() const;
    int ValidSetup();

    // Settings.
    int sampleSym = 0;
    double res = 5.0;
    int fibre = 0;
    int maxSymVectors = 0;
    int dataPreloaded = 0;
    int stopMode = 0;
    double tolerance = 0.0;
    double previousDeviation = 0.0;
    double latestDeviation = 1.0e7;
    int acceptedIterations = 0; // the stop rule's count, one per engine
    double lattice[6] = {1, 1, 1, 90, 90, 90};
    int16_t crystalType = 0;
    int nPF = 0;
    std::string fileNames[6];
    int maxLoops = 0;
    double odfMax = 0.0;
    int normalizePF = 0;
    int effectiveStopMode = 0;
    int setupOk = 0; // the last Ini call accepted its settings
    const char* setupError = nullptr;

    // Miller indices (or the sample direction) as entered, and per pole
    // figure its symmetrically distinct unit poles.
    double hklInput[6][3] = {};
    double poleVectors[6][24][3] = {};
    int poleCount[6] = {};

    // Measured and recalculated pole figures, [nPF][nAlpha][nBeta] each,
    // contiguous; empty when not allocated.
    std::vector<double> measured;
    std::vector<double> recalculated;
    // Pole table: per (pole figure, Phi index, phi2 index, pole) the alpha and
    // beta index of the pole of phi1 = 0, as int16 pairs.
    std::vector<int16_t> poleTable;
    // Weight sums of PGeneration per pole figure (they do not depend on the
    // ODF), filled on first use in a GetODF run.
    std::vector<std::vector<double>> weightCache;

    // Measured-cell masks per input pole figure (empty: all measured).
    std::vector<uint8_t> measuredMask[6];
    int maskRows[6] = {}, maskCols[6] = {};
    EngineRunOptions options;
    EngineResult lastResult;
};
