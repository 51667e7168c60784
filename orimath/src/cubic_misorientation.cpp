// Cubic misorientation angle and CSL classification.
//
// The misorientation of two grains has 1152 equivalent descriptions
// Sa*dg*Sb and Sa*dg^T*Sb (24 cubic operators on each side, and the exchange
// of the grains). Two facts keep this cheap:
// - The angle is invariant under conjugation, so the smallest angle over
//   all 1152 is the smallest over dg*S for the 24 operators S.
// - The closeness of an equivalent to a table rotation R, |<q(Sa dg Sb), q(R)>|,
//   equals |<q(dg), q(Sa^-1 R Sb^-1)>|; so each table entry's equivalents are
//   generated once (duplicates dropped) and dg is compared with them.
// And an entry can only match when the two smallest angles differ by at most
// its Brandon tolerance (the angle is a metric on rotations), which rules out
// most entries before any product is taken.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "orimath/misorientation.h"
#include "quat_ops.h"

namespace orimath {
namespace {

// 15 degrees in the library's radians: the Brandon criterion allows a
// deviation of 15 / sqrt(Sigma) degrees.
constexpr double kBrandonRad = 0.26179938783333334;

struct CslReference {
    double threshold = 1; // cos(deviation/2) the closeness must reach
    double omegaDeg = 0;  // smallest angle of the entry's rotation
    double tolDeg = 0;    // largest deviation in degrees
    std::vector<Quat> equivalents;
};

Quat CanonicalSign(Quat q) {
    const double c[4] = {q.w, q.x, q.y, q.z};
    for (double v : c) {
        if (std::fabs(v) > 1e-9) {
            if (v < 0)
                q = {-q.w, -q.x, -q.y, -q.z};
            break;
        }
    }
    return q;
}

CslReference BuildReference(int index, const OperatorQuats& ops) {
    const CubicCSLEntry& e = *GetCubicCSLEntry(index);
    const double len =
        std::sqrt(double(e.axis[0] * e.axis[0] + e.axis[1] * e.axis[1] + e.axis[2] * e.axis[2]));
    const double axis[3] = {e.axis[0] / len, e.axis[1] / len, e.axis[2] / len};
    double m[3][3];
    AxisAngleMatrix(axis, e.angleDeg * kDegToRad, m);
    const Quat r = QuatFromMatrix(m);

    CslReference ref;
    const double sigma = CubicCSLSigma(index);
    ref.threshold = std::cos(kBrandonRad / (2.0 * std::sqrt(sigma)));
    ref.tolDeg = 2.0 * std::acos(ref.threshold) * kRadToDeg;
    ref.omegaDeg = HalfCosToDeg(MaxAbsDot(r, ops));

    struct Key {
        int64_t k[4];
        Quat q;
    };
    std::vector<Key> keys;
    keys.reserve(2 * ops.n * ops.n);
    for (const Quat& base : {r, Conj(r)})
        for (int a = 0; a < ops.n; ++a)
            for (int b = 0; b < ops.n; ++b) {
                const Quat q = CanonicalSign(Mul(Mul(ops.q[a], base), ops.q[b]));
                keys.push_back({{std::llround(q.w * 1e8), std::llround(q.x * 1e8),
                                 std::llround(q.y * 1e8), std::llround(q.z * 1e8)},
                                q});
            }
    auto less = [](const Key& x, const Key& y) {
        return std::lexicographical_compare(x.k, x.k + 4, y.k, y.k + 4);
    };
    auto same = [](const Key& x, const Key& y) { return std::equal(x.k, x.k + 4, y.k); };
    std::sort(keys.begin(), keys.end(), less);
    keys.erase(std::unique(keys.begin(), keys.end(), same), keys.end());
    for (const Key& k : keys)
        ref.equivalents.push_back(k.q);
    return ref;
}

const CslReference* References() {
    // Built on first use; a function-local static is initialised once even
    // when several threads call at the same time.
    static const std::vector<CslReference> refs = [] {
        std::vector<CslReference> v;
        const OperatorQuats& ops = IdealOperatorQuats(kCubic);
        for (int i = 0; i < kCubicCSLCount; ++i)
            v.push_back(BuildReference(i, ops));
        return v;
    }();
    return refs.data();
}

} // namespace
} // namespace orimath

void GetMisOri(const double e1[3], const double e2[3], double* angle, int* sigmaIndex) {
    using namespace orimath;
    int limit = *sigmaIndex;
    if (limit > kCubicCSLCount - 1)
        limit = kCubicCSLCount - 1;
    if (!AllFinite(e1, 3) || !AllFinite(e2, 3)) {
        *angle = 0;
        *sigmaIndex = kNotCSL;
        return;
    }
    double g1[3][3], g2[3][3];
    Gmatrix(e1, g1);
    Gmatrix(e2, g2);
    const Quat d = Mul(QuatFromMatrix(g2), Conj(QuatFromMatrix(g1))); // q(g2 g1^T)
    const OperatorQuats& ops = IdealOperatorQuats(kCubic);
    int best = 0;
    MaxAbsDot(d, ops, &best);
    const double omega = AngleRad(Mul(d, Conj(ops.q[best]))) * kRadToDeg;
    *angle = omega;

    int result = kNotCSL;
    const CslReference* refs = References();
    for (int k = 0; k <= limit && result == kNotCSL; ++k) {
        const CslReference& ref = refs[k];
        // 1e-6 degree of slack covers rounding in both angles.
        if (std::fabs(omega - ref.omegaDeg) > ref.tolDeg + 1e-6)
            continue;
        for (const Quat& q : ref.equivalents) {
            if (std::fabs(Dot(d, q)) >= ref.threshold) {
                result = k;
                break;
            }
        }
    }
    *sigmaIndex = result;
}
