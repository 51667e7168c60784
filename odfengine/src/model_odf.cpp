// Model ODFs made of Gaussian components, their pole figures, and the error
// measures used to validate the engine against them.
#include "odfengine/model_odf.h"

#include <cmath>

#include "dataformats/polefigure.h"
#include "engine_common.h"
#include "odfengine/hodf.h"
#include "orimath/arrays.h"
#include "orimath/orientation.h"
#include "orimath/ranges.h"
#include "orimath/symmetry.h"

namespace odfengine {

int GetStandardComponent(const std::string& name, double halfWidth, double weight,
                         ModelComponent* out) {
    struct Ideal {
        const char* name;
        double e[3];
    };
    static const Ideal kIdeal[] = {{"Copper", {90.0, 35.26, 45.0}},
                                   {"Brass", {35.26, 45.0, 0.0}},
                                   {"S", {58.98, 36.7, 63.43}},
                                   {"Goss", {0.0, 45.0, 0.0}},
                                   {"Cube", {0.0, 0.0, 0.0}}};
    for (const Ideal& c : kIdeal)
        if (name == c.name) {
            out->name = c.name;
            out->phi1 = c.e[0];
            out->Phi = c.e[1];
            out->phi2 = c.e[2];
            out->halfWidth = halfWidth;
            out->weight = weight;
            return 1;
        }
    return 0;
}

std::vector<ModelComponent> DefaultRollingTexture() {
    const struct {
        const char* name;
        double halfWidth, weight;
    } kParts[] = {{"Copper", 10.0, 6.0}, {"Brass", 9.0, 5.0}, {"S", 11.0, 4.0},
                  {"Goss", 8.0, 3.0},    {"Cube", 12.0, 4.0}};
    std::vector<ModelComponent> out;
    for (const auto& p : kParts) {
        ModelComponent c;
        GetStandardComponent(p.name, p.halfWidth, p.weight, &c);
        out.push_back(c);
    }
    return out;
}

int MakeModelODF(double*** odf, int crystalType, const double lattice[6], double res, int sampleSym,
                 const std::vector<ModelComponent>& components, double background) {
    if (!odf || !ResolutionUsable(res) || crystalType < 0 || crystalType > 6) return 0;
    double axis[3][3];
    if (!CrystalAxis(axis, crystalType, lattice)) return 0;
    int n1, nP, n2;
    GetEulerRangeInODFSpace(&n1, &nP, &n2, crystalType, res, sampleSym);

    double ops[7][24][3][3];
    int nOps = 0;
    Symmdata(ops, &nOps, 1, crystalType, lattice);
    double sam[4][3][3];
    SamSymData(sam);

    // Every equivalent S_c g S_s of each component; the rotation angle
    // between g and one of them follows from the trace of g E^T.
    struct Equivalents {
        std::vector<double> m;  // 9 per equivalent
        double k;               // 4 ln2 / b² (radians)
        double weight;
    };
    std::vector<Equivalents> eq;
    for (const ModelComponent& c : components) {
        const double e[3] = {c.phi1, c.Phi, c.phi2};
        double g[3][3];
        Gmatrix(e, g);
        Equivalents q;
        const double b = c.halfWidth * kDegToRad;
        q.k = 4.0 * std::log(2.0) / (b * b);
        q.weight = c.weight;
        for (int i = 0; i < nOps; ++i)
            for (int s = 0; s < 4; ++s) {
                double t[3][3], G[3][3];
                MulMatrix(ops[crystalType][i], g, t);
                MulMatrix(t, sam[s], G);
                for (int r = 0; r < 3; ++r)
                    for (int col = 0; col < 3; ++col) q.m.push_back(G[r][col]);
            }
        eq.push_back(std::move(q));
    }

#pragma omp parallel for schedule(static)
    for (int l = 0; l < n2; ++l)
        for (int i = 0; i < nP; ++i)
            for (int t = 0; t < n1; ++t) {
                const double e[3] = {t * res, i * res, l * res};
                double g[3][3];
                Gmatrix(e, g);
                double v = background;
                for (const Equivalents& q : eq) {
                    double best = -1.0;
                    for (size_t m = 0; m + 9 <= q.m.size(); m += 9) {
                        double tr = 0.0;
                        for (int r = 0; r < 9; ++r) tr += (&g[0][0])[r] * q.m[m + r];
                        best = std::max(best, tr);
                    }
                    const double c = std::clamp((best - 1.0) / 2.0, -1.0, 1.0);
                    const double omega = std::acos(c);
                    v += q.weight * std::exp(-q.k * omega * omega);
                }
                odf[l][i][t] = v;
            }

    // Scale to an orientation average of 1 with the engine's weights.
    const std::vector<double> vol = PhiVolumes(nP, res, kDegToRad);
    double integral = 0.0, uniform = 0.0;
    for (int l = 0; l < n2; ++l) {
        const double w2 = (l == 0 || l == n2 - 1) ? 0.5 : 1.0;
        for (int i = 0; i < nP; ++i)
            for (int t = 0; t < n1; ++t) {
                const double w = w2 * ((t == 0 || t == n1 - 1) ? 0.5 : 1.0) * vol[i];
                integral += w * odf[l][i][t];
                uniform += w;
            }
    }
    if (!(integral > 0.0)) return 0;
    const double scale = uniform / integral;
    for (int l = 0; l < n2; ++l)
        for (int i = 0; i < nP; ++i)
            for (int t = 0; t < n1; ++t) odf[l][i][t] *= scale;
    return 1;
}

int WriteModelPoleFigures(double*** odf, int crystalType, const double lattice[6], double res,
                          int sampleSym, const double hkl[][3], int nPF, const std::string paths[],
                          double alphaMax) {
    if (!odf || !hkl || !paths || nPF < 1) return 0;
    int ok = 1;
    for (int j = 0; j < nPF; ++j) {
        HODF engine;
        if (!engine.IniPolFigCal(crystalType, lattice, hkl[j], res, sampleSym, 0)) return 0;
        double** pf = AllocMem2D(engine.nAlpha, engine.nBeta);
        if (!pf) return 0;
        if (!engine.GetPolFig(pf, odf)) {
            FreeMem2D(pf, engine.nAlpha, engine.nBeta);
            return 0;
        }
        for (int a = 0; a < engine.nAlpha; ++a)
            if (a * res > alphaMax + 1e-9)
                for (int b = 0; b < engine.nBeta; ++b) pf[a][b] = 0.0;
        PFFileInfo info;
        info.fileName = paths[j];
        info.crystalType = crystalType;
        info.h = hkl[j][0];
        info.k = hkl[j][1];
        info.l = hkl[j][2];
        info.a = lattice[0];
        info.b = lattice[1];
        info.c = lattice[2];
        info.alpha = lattice[3];
        info.beta = lattice[4];
        info.gamma = lattice[5];
        info.resolution = res;
        info.comment = "Model";
        if (!SaveHPFFile(paths[j].c_str(), &info, engine.nAlpha, engine.nBeta, pf)) ok = 0;
        FreeMem2D(pf, engine.nAlpha, engine.nBeta);
    }
    return ok;
}

double PoleFigureRpError(double** p, double** q, int nAlpha, int nBeta) {
    double sum = 0.0;
    long long n = 0;
    for (int a = 0; a < nAlpha; ++a)
        for (int b = 0; b < nBeta; ++b)
            if (p[a][b] > 0.9) {
                sum += std::fabs(p[a][b] - q[a][b]) / p[a][b];
                ++n;
            }
    return n > 0 ? 100.0 * sum / (double)n : 0.0;
}

double OdfRelativeError(double*** f, double*** m, int nPhi1, int nPhi, int nPhi2, double res) {
    const std::vector<double> vol = PhiVolumes(nPhi, res, kDegToRad);
    double num = 0.0, den = 0.0;
    for (int l = 0; l < nPhi2; ++l) {
        const double w2 = (l == 0 || l == nPhi2 - 1) ? 0.5 : 1.0;
        for (int i = 0; i < nPhi; ++i)
            for (int t = 0; t < nPhi1; ++t) {
                const double w = w2 * ((t == 0 || t == nPhi1 - 1) ? 0.5 : 1.0) * vol[i];
                num += w * std::fabs(f[l][i][t] - m[l][i][t]);
                den += w * std::fabs(m[l][i][t]);
            }
    }
    return den > 0.0 ? 100.0 * num / den : 0.0;
}

}  // namespace odfengine
