// CODFlib::GetODF on the fixed 5 degree grid with half-cell integration.
//
// Every ODF cell (phi2 k2, Phi o, phi1 t) is represented by the four 2.5
// degree half-cells around it in Phi and phi2; the pole table holds, per
// half-cell centre and pole, the pole figure cell of phi1 = 0, and phi1 moves
// the pole by t beta steps.
#include <omp.h>

#include <cstdio>
#include <cstring>
#include <numbers>

#include "engine_common.h"
#include "odfengine/codflib.h"
#include "parallel.h"

using namespace odfengine;

int CODFlib::PPrepPoles() {
    for (int j = 0; j < nPF; ++j)
        if (const char* failure = PolesOfPlane(hklInput[j], crystalType, lattice, poleVectors[j],
                                               &poleCount[j], "Can not calculate normal vector(s)"))
            return Fail(failure);
    return 1;
}

void CODFlib::PTranMat() {
    poleTable.assign((size_t)6 * kHalfPhi * kHalfPhi2 * 24 * 2, 0);
    using std::numbers::pi;
    const int rows = nPF * kHalfPhi;
    const platform::CancelToken* cancel = CurrentCancel();
#pragma omp parallel for schedule(static) num_threads(TeamFor(200LL * rows * kHalfPhi2))
    for (int r = 0; r < rows; ++r) {
        if (CancelRequested(cancel))
            continue; // the caller sees the token and drops the table
        const int j = r / kHalfPhi, i = r % kHalfPhi;
        const double Phi = (2.5 * i + 1.25) * pi / 180.0;
        for (int l = 0; l < kHalfPhi2; ++l) {
            const double phi2 = (2.5 * l + 1.25) * pi / 180.0;
            for (int k = 0; k < poleCount[j]; ++k) {
                double alpha, beta;
                PoleDirection(poleVectors[j][k], Phi, phi2, &alpha, &beta);
                const double aDeg = alpha * 180.0 / pi, bDeg = beta * 180.0 / pi;
                int a = std::min((int)(aDeg / 5.0 + 0.5), kA - 1);
                int b = ((int)(bDeg / 5.0 + 72 + 0.5) + 72) % 72;
                if (a == 0)
                    b = 0;
                int16_t* cell =
                    &poleTable[((((size_t)j * kHalfPhi + i) * kHalfPhi2 + l) * 24 + k) * 2];
                cell[0] = (int16_t)a;
                cell[1] = (int16_t)b;
            }
        }
    }
}

namespace {

// The four half-cells of grid point (phi2 k2, Phi o) and the beta shift of
// phi1 index t. At Phi = 0 and 180 the half-cells outside the grid are
// replaced by the mirrored ones 180 degrees away in phi1 and phi2.
struct HalfCells {
    int v, w, u, n, shift;
};

inline HalfCells HalfCellsOf(int k2, int o, int t) {
    HalfCells h{2 * o - 1, 2 * o, 2 * k2, (2 * k2 + 143) % 144, t};
    auto move = [&] {
        h.u = (h.u + 72) % 144;
        h.n = (h.n + 72) % 144;
        h.shift = (h.shift + 36) % 72;
    };
    if (h.v < 0) {
        h.v = 0;
        move();
    }
    if (h.w > 71) {
        h.w = 71;
        move();
    }
    return h;
}

// The harmonic mean over the pole figures j < nPF of the per-pole means of
// num/den, where terms(j, k, num, den) adds up pole k of figure j; poles
// with num or den not above 0, and figures without such a pole, are left
// out. Returns false when no figure is left (or the sum is not above 0),
// else true with the number of figures used over their sum in *factor.
template <typename PoleTerms>
inline bool HarmonicFactor(int nPF, const int poleCount[6], const PoleTerms& terms,
                           double* factor) {
    int used = 0;
    double sum = 0.0;
    for (int j = 0; j < nPF; ++j) {
        int poles = 0;
        double s = 0.0;
        for (int k = 0; k < poleCount[j]; ++k) {
            double num = 0.0, den = 0.0;
            terms(j, k, num, den);
            if (num > 0.0 && den > 0.0) {
                s += num / den;
                ++poles;
            }
        }
        if (poles > 0) {
            sum += s / poles;
            ++used;
        }
    }
    if (used > 0 && sum > 0.0) {
        *factor = used / sum;
        return true;
    }
    return false;
}

// Work of one pass over the cells, for the choice of the team size.
long long CellWork(const int poleCount[6]) {
    return 72LL * 37 * 72 * 4 *
           (poleCount[0] + poleCount[1] + poleCount[2] + poleCount[3] + poleCount[4] +
            poleCount[5]);
}

} // namespace

void CODFlib::PInitialODF(double odf[73][37][73]) {
    auto slice = [&](int k2) {
        for (int o = 0; o <= 36; ++o)
            for (int t = 0; t < 72; ++t) {
                const HalfCells hc = HalfCellsOf(k2, o, t);
                const int phiHalf[4] = {hc.v, hc.v, hc.w, hc.w};
                const int phi2Half[4] = {hc.n, hc.u, hc.n, hc.u};
                // Per pole the volume of its measured half-cells over their
                // volume-weighted intensity.
                double factor = 0.0;
                const bool any = HarmonicFactor(
                    nPF, poleCount,
                    [&](int j, int k, double& V, double& D) {
                        const double* pf = &measured[(size_t)j * kA * kB];
                        for (int q = 0; q < 4; ++q) {
                            const int16_t* c = Cell(j, phiHalf[q], phi2Half[q], k);
                            const double P = pf[c[0] * kB + (c[1] + hc.shift + 72) % 72];
                            const double w = vol2[phiHalf[q]];
                            if (P > 1e-6)
                                V += w;
                            D += w * P;
                        }
                    },
                    &factor);
                odf[k2][o][t] = any ? factor : 0.0;
            }
    };
    RunSlices(72, CellWork(poleCount), slice, [&](int k2) { Report("", Percent(k2, 72)); });
}

void CODFlib::PCorrection(double odf[73][37][73]) {
    // The recalculation inside the iteration follows the first pole of each
    // figure only, so a cell whose first pole falls where nothing was
    // measured never shows in a recalculated value that the correction
    // compares: corrected through its other poles it would grow without
    // bound. With masked input such a figure is left out of the cell's
    // correction (the cell keeps what the other figures say).
    const bool masked = AnyMeasuredMask(measuredMask, nPF);
    auto slice = [&](int k2) {
        for (int o = 0; o <= 36; ++o)
            for (int t = 0; t < 72; ++t) {
                const HalfCells hc = HalfCellsOf(k2, o, t);
                const int phiHalf[4] = {hc.v, hc.v, hc.w, hc.w};
                const int phi2Half[4] = {hc.n, hc.u, hc.n, hc.u};
                // Per pole the volume of its usable half-cells over their
                // volume-weighted measured/recalculated ratio.
                double factor = 0.0;
                const bool any = HarmonicFactor(
                    nPF, poleCount,
                    [&](int j, int k, double& U, double& T) {
                        const double* pf = &measured[(size_t)j * kA * kB];
                        const double* rc = &recalculated[(size_t)j * kA * kB];
                        if (masked && !FirstPoleMeasured(j, phiHalf, phi2Half, hc.shift))
                            return;
                        for (int q = 0; q < 4; ++q) {
                            const int16_t* c = Cell(j, phiHalf[q], phi2Half[q], k);
                            const int at = c[0] * kB + (c[1] + hc.shift + 72) % 72;
                            const double P = pf[at], R = rc[at];
                            // A recalculated 0 carries no ratio (P/0): skip it.
                            if (P > 1e-6 && R > 0.0) {
                                const double w = vol2[phiHalf[q]];
                                U += w;
                                T += w * P / R;
                            }
                        }
                    },
                    &factor);
                if (any) {
                    const double v = odf[k2][o][t] * factor;
                    if (std::isfinite(v))
                        odf[k2][o][t] = v;
                }
            }
    };
    RunSlices(72, CellWork(poleCount), slice, [&](int k2) { Report("", Percent(k2, 72)); });
}

bool CODFlib::FirstPoleMeasured(int j, const int phiHalf[4], const int phi2Half[4],
                                int shift) const {
    const double* pf = &measured[(size_t)j * kA * kB];
    for (int q = 0; q < 4; ++q) {
        const int16_t* c = Cell(j, phiHalf[q], phi2Half[q], 0);
        if (pf[c[0] * kB + (c[1] + shift + 72) % 72] > 1e-6)
            return true;
    }
    return false;
}

double CODFlib::pDeviation(int* stop) {
    const double dev = MeanDeviation(measured.data(), recalculated.data(), (size_t)nPF * kA * kB);
    const bool incomplete = CountEmptyRim() > 50;
    *stop =
        !StopRule::Test(dev, incomplete, &previousDeviation, &latestDeviation, &acceptedIterations);
    if (*stop)
        Report(kDeviationStopText, kProgressStatus);
    return dev;
}

int CODFlib::GetODF(double odf[73][37][73], double* deviation, int* loops) {
    Begin();
    if (!odf)
        return Fail("Invalid data");
    RunScope run(options);
    if (!setupOk)
        return Fail("Invalid number of pole figures");
    // Releases the working arrays; 0 for the failure returns.
    auto fail = [&] {
        std::vector<double>().swap(measured);
        std::vector<double>().swap(recalculated);
        std::vector<int16_t>().swap(poleTable);
        return 0;
    };
    // Every phase ends with a look at the cancel token; the long loops
    // inside the phases look at it themselves.
    auto cancelled = [&] {
        fail();
        return Cancelled();
    };
    try {
        effectiveStopMode = stopMode >= 10 ? stopMode - 10 : stopMode;
        std::memset(odf, 0, sizeof(double) * 73 * 37 * 73);
        Report("Allocating memory for ODF calculation", kProgressStatus);
        measured.assign((size_t)6 * kA * kB, 0.0);
        recalculated.assign((size_t)6 * kA * kB, 0.0);
        if (!dataPreloaded && !POpenInputPolFig())
            return fail();
        if (CancelSeen())
            return cancelled();
        if (!PPrepPoles())
            return fail();
        PTranMat();
        if (CancelSeen())
            return cancelled();

        // The pole figures of the current ODF, for the next correction.
        auto recalculate = [&] {
            for (int j = 0; j < nPF; ++j) {
                double pf[19][73];
                PGeneration(j, 1, pf, odf);
                std::memcpy(&recalculated[(size_t)j * kA * kB], pf, sizeof pf);
            }
        };
        Report("Initializing ODF", kProgressStatus);
        PInitialODF(odf);
        if (CancelSeen())
            return cancelled();
        recalculate();
        if (CancelSeen())
            return cancelled();

        int iteration = 0;
        double dev = 0.0;
        for (;;) {
            ++iteration;
            char text[32];
            std::snprintf(text, sizeof text, "Loop: %d", iteration);
            Report(text, kProgressStatus);
            PCorrection(odf);
            if (CancelSeen())
                return cancelled();
            recalculate();
            if (CancelSeen())
                return cancelled();
            int stop = 0;
            dev = pDeviation(&stop);
            std::snprintf(text, sizeof text, "%.3f", dev);
            Report(text, kProgressDeviation);
            if (stop)
                break;
            if (StopRule::LimitReached(effectiveStopMode, iteration, maxLoops, dev, tolerance))
                break;
        }
        std::vector<int16_t>().swap(poleTable);
        if (fibre)
            for (int k2 = 0; k2 < 73; ++k2)
                for (int o = 0; o < 37; ++o)
                    for (int t = 1; t < 73; ++t)
                        odf[k2][o][t] = odf[k2][o][0];
        if (deviation)
            *deviation = dev;
        if (loops)
            *loops = iteration;
        if (!dataPreloaded) {
            Report("Normalizing ODF", kProgressStatus);
            PNormodf(odf);
            if (CancelSeen())
                return cancelled();
            Report("Calculation finished", kProgressStatus);
        }
        fail(); // releases the working arrays
        return 1;
    } catch (const std::exception&) {
        fail();
        return Fail(kNoMemoryText);
    }
}
