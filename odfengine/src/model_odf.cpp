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
#include "parallel.h"

namespace odfengine {

namespace {

struct Quat {
    double w, x, y, z;
};

// Unit quaternion of a rotation matrix (Shepperd's method); an improper
// matrix is replaced by its negative first.
Quat QuatOf(const double in[3][3]) {
    double m[3][3];
    const double det = in[0][0] * (in[1][1] * in[2][2] - in[1][2] * in[2][1]) -
                       in[0][1] * (in[1][0] * in[2][2] - in[1][2] * in[2][0]) +
                       in[0][2] * (in[1][0] * in[2][1] - in[1][1] * in[2][0]);
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c)
            m[r][c] = det < 0 ? -in[r][c] : in[r][c];
    Quat q;
    const double tr = m[0][0] + m[1][1] + m[2][2];
    if (tr > 0) {
        const double s = std::sqrt(tr + 1.0) * 2;
        q = {s / 4, (m[2][1] - m[1][2]) / s, (m[0][2] - m[2][0]) / s, (m[1][0] - m[0][1]) / s};
    } else if (m[0][0] > m[1][1] && m[0][0] > m[2][2]) {
        const double s = std::sqrt(1.0 + m[0][0] - m[1][1] - m[2][2]) * 2;
        q = {(m[2][1] - m[1][2]) / s, s / 4, (m[0][1] + m[1][0]) / s, (m[0][2] + m[2][0]) / s};
    } else if (m[1][1] > m[2][2]) {
        const double s = std::sqrt(1.0 + m[1][1] - m[0][0] - m[2][2]) * 2;
        q = {(m[0][2] - m[2][0]) / s, (m[0][1] + m[1][0]) / s, s / 4, (m[1][2] + m[2][1]) / s};
    } else {
        const double s = std::sqrt(1.0 + m[2][2] - m[0][0] - m[1][1]) * 2;
        q = {(m[1][0] - m[0][1]) / s, (m[0][2] + m[2][0]) / s, (m[1][2] + m[2][1]) / s, s / 4};
    }
    const double n = std::sqrt(q.w * q.w + q.x * q.x + q.y * q.y + q.z * q.z);
    return {q.w / n, q.x / n, q.y / n, q.z / n};
}

} // namespace

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
    } kParts[] = {{"Copper", 10.0, 6.0},
                  {"Brass", 9.0, 5.0},
                  {"S", 11.0, 4.0},
                  {"Goss", 8.0, 3.0},
                  {"Cube", 12.0, 4.0}};
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
    if (!odf || !ResolutionUsable(res) || !orimath::IsValidCrystalType(crystalType))
        return 0;
    double axis[3][3];
    if (!CrystalAxis(axis, crystalType, lattice))
        return 0;
    int n1, nP, n2;
    GetEulerRangeInODFSpace(&n1, &nP, &n2, crystalType, res, sampleSym);

    double ops[7][24][3][3];
    int nOps = 0;
    Symmdata(ops, &nOps, 1, crystalType, lattice);
    double sam[4][3][3];
    SamSymData(sam);

    // Every equivalent S_c g S_s of each component as a unit quaternion; the
    // rotation angle omega between g and an equivalent E follows from
    // cos(omega/2) = |q(g) . q(E)|. An improper equivalent (the trigonal
    // table lists operators of determinant -1) is taken with the inversion,
    // which the Laue group contains.
    struct Equivalents {
        std::vector<Quat> q;
        double k; // 4 ln2 / b² (radians)
        double weight;
    };
    std::vector<Equivalents> eq;
    for (const ModelComponent& c : components) {
        const double e[3] = {c.phi1, c.Phi, c.phi2};
        double g[3][3];
        Gmatrix(e, g);
        Equivalents q;
        const double b = c.halfWidth * kDegToRad;
        if (!(b > 0.0))
            return 0;
        q.k = 4.0 * std::log(2.0) / (b * b);
        q.weight = c.weight;
        for (int i = 0; i < nOps; ++i)
            for (int s = 0; s < 4; ++s) {
                double t[3][3], G[3][3];
                MulMatrix(ops[crystalType][i], g, t);
                MulMatrix(t, sam[s], G);
                q.q.push_back(QuatOf(G));
            }
        eq.push_back(std::move(q));
    }

    ThreadScope team;
    long long equivalents = 0;
    for (const Equivalents& q : eq)
        equivalents += (long long)q.q.size();
#pragma omp parallel for schedule(dynamic, 1)                                                      \
    num_threads(TeamFor(4LL * n1 * nP * n2 * (equivalents + 10)))
    for (int l = 0; l < n2; ++l)
        for (int i = 0; i < nP; ++i)
            for (int t = 0; t < n1; ++t) {
                const double e[3] = {t * res, i * res, l * res};
                double g[3][3];
                Gmatrix(e, g);
                const Quat qg = QuatOf(g);
                double v = background;
                for (const Equivalents& q : eq) {
                    double best = 0.0;
                    for (const Quat& r : q.q)
                        best = std::max(
                            best, std::fabs(qg.w * r.w + qg.x * r.x + qg.y * r.y + qg.z * r.z));
                    const double omega = 2.0 * std::acos(std::min(1.0, best));
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
    if (!(integral > 0.0))
        return 0;
    const double scale = uniform / integral;
    for (int l = 0; l < n2; ++l)
        for (int i = 0; i < nP; ++i)
            for (int t = 0; t < n1; ++t)
                odf[l][i][t] *= scale;
    return 1;
}

int WriteModelPoleFigures(double*** odf, int crystalType, const double lattice[6], double res,
                          int sampleSym, const double hkl[][3], int nPF, const std::string paths[],
                          double alphaMax) {
    if (!odf || !hkl || !paths || nPF < 1)
        return 0;
    int ok = 1;
    for (int j = 0; j < nPF; ++j) {
        HODF engine;
        if (!engine.IniPolFigCal(crystalType, lattice, hkl[j], res, sampleSym, 0))
            return 0;
        double** pf = AllocMem2D(engine.nAlpha, engine.nBeta);
        if (!pf)
            return 0;
        if (!engine.GetPolFig(pf, odf)) {
            FreeMem2D(pf, engine.nAlpha, engine.nBeta);
            return 0;
        }
        for (int a = 0; a < engine.nAlpha; ++a)
            if (a * res > alphaMax + 1e-9)
                for (int b = 0; b < engine.nBeta; ++b)
                    pf[a][b] = 0.0;
        PFFileInfo info = DescribePoleFigure(paths[j], crystalType, hkl[j], lattice, res, "Model");
        if (!SaveHPFFile(paths[j].c_str(), &info, engine.nAlpha, engine.nBeta, pf))
            ok = 0;
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

} // namespace odfengine
