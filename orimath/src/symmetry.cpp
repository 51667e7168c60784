// Crystal and sample symmetry operators.
#include "orimath/symmetry.h"

#include <cmath>
#include <cstring>
#include <initializer_list>

#include "internal.h"
#include "orimath/orientation.h"

namespace orimath {

const int kSymOpCount[kCrystalTypeCount] = {24, 12, 8, 4, 2, 6, 1};

namespace {

// The crystal operators of every type, in the lattice basis, row by row, in
// the order the ODF grids and stored files were produced with. This is the
// only literal copy; the Cartesian forms and the equivalents derive from it.
constexpr signed char kOps[24 + 12 + 8 + 4 + 2 + 6 + 1][3][3] = {
    // Cubic (24)
    {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}},
    {{0, 1, 0}, {-1, 0, 0}, {0, 0, 1}},
    {{-1, 0, 0}, {0, -1, 0}, {0, 0, 1}},
    {{0, -1, 0}, {1, 0, 0}, {0, 0, 1}},
    {{0, 1, 0}, {1, 0, 0}, {0, 0, -1}},
    {{-1, 0, 0}, {0, 1, 0}, {0, 0, -1}},
    {{0, -1, 0}, {-1, 0, 0}, {0, 0, -1}},
    {{1, 0, 0}, {0, -1, 0}, {0, 0, -1}},
    {{0, 1, 0}, {0, 0, 1}, {1, 0, 0}},
    {{0, 0, 1}, {0, -1, 0}, {1, 0, 0}},
    {{0, -1, 0}, {0, 0, -1}, {1, 0, 0}},
    {{0, 0, -1}, {0, 1, 0}, {1, 0, 0}},
    {{0, -1, 0}, {0, 0, 1}, {-1, 0, 0}},
    {{0, 0, -1}, {0, -1, 0}, {-1, 0, 0}},
    {{0, 1, 0}, {0, 0, -1}, {-1, 0, 0}},
    {{0, 0, 1}, {0, 1, 0}, {-1, 0, 0}},
    {{-1, 0, 0}, {0, 0, 1}, {0, 1, 0}},
    {{0, 0, 1}, {1, 0, 0}, {0, 1, 0}},
    {{1, 0, 0}, {0, 0, -1}, {0, 1, 0}},
    {{0, 0, -1}, {-1, 0, 0}, {0, 1, 0}},
    {{-1, 0, 0}, {0, 0, -1}, {0, -1, 0}},
    {{0, 0, -1}, {1, 0, 0}, {0, -1, 0}},
    {{1, 0, 0}, {0, 0, 1}, {0, -1, 0}},
    {{0, 0, 1}, {-1, 0, 0}, {0, -1, 0}},
    // Hexagonal (12), basis a1, a2, c
    {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}},
    {{0, 1, 0}, {-1, 1, 0}, {0, 0, 1}},
    {{-1, 1, 0}, {-1, 0, 0}, {0, 0, 1}},
    {{-1, 0, 0}, {0, -1, 0}, {0, 0, 1}},
    {{0, -1, 0}, {1, -1, 0}, {0, 0, 1}},
    {{1, -1, 0}, {1, 0, 0}, {0, 0, 1}},
    {{0, 1, 0}, {1, 0, 0}, {0, 0, -1}},
    {{1, 0, 0}, {1, -1, 0}, {0, 0, -1}},
    {{1, -1, 0}, {0, -1, 0}, {0, 0, -1}},
    {{0, -1, 0}, {-1, 0, 0}, {0, 0, -1}},
    {{-1, 0, 0}, {-1, 1, 0}, {0, 0, -1}},
    {{-1, 1, 0}, {0, 1, 0}, {0, 0, -1}},
    // Tetragonal (8)
    {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}},
    {{0, -1, 0}, {1, 0, 0}, {0, 0, 1}},
    {{-1, 0, 0}, {0, -1, 0}, {0, 0, 1}},
    {{0, 1, 0}, {-1, 0, 0}, {0, 0, 1}},
    {{1, 0, 0}, {0, -1, 0}, {0, 0, -1}},
    {{0, 1, 0}, {1, 0, 0}, {0, 0, -1}},
    {{-1, 0, 0}, {0, 1, 0}, {0, 0, -1}},
    {{0, -1, 0}, {-1, 0, 0}, {0, 0, -1}},
    // Orthorhombic (4)
    {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}},
    {{-1, 0, 0}, {0, -1, 0}, {0, 0, 1}},
    {{1, 0, 0}, {0, -1, 0}, {0, 0, -1}},
    {{-1, 0, 0}, {0, 1, 0}, {0, 0, -1}},
    // Monoclinic (2), unique axis b
    {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}},
    {{-1, 0, 0}, {0, 1, 0}, {0, 0, -1}},
    // Rhombohedral/trigonal (6), rhombohedral axes; the last three have
    // determinant -1 and are kept as the stored data were made with them.
    {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}},
    {{0, 0, 1}, {1, 0, 0}, {0, 1, 0}},
    {{0, 1, 0}, {0, 0, 1}, {1, 0, 0}},
    {{-1, 0, 0}, {0, -1, 0}, {0, 0, -1}},
    {{0, 0, -1}, {-1, 0, 0}, {0, -1, 0}},
    {{0, -1, 0}, {0, 0, -1}, {-1, 0, 0}},
    // Triclinic (1)
    {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}},
};

constexpr int kFirstOp[kCrystalTypeCount] = {0, 24, 36, 44, 48, 50, 56};

constexpr const char* kNames[kCrystalTypeCount] = {
    "Cubic",    "Hexagonal", "Tetragonal", "Orthorhombic", "Monoclinic", "Rhombohedral/Trigoanl",
    "Triclinic"};

} // namespace

const signed char (*LatticeOperator(int type, int op))[3] {
    return kOps[kFirstOp[type] + op];
}

int CartesianOperators(int type, const double lattice[6], double ops[24][3][3]) {
    double A[3][3], Ai[3][3];
    const bool cart = CrystalAxis(A, type, lattice) != 0;
    if (cart)
        Inverse(A, Ai);
    const int n = kSymOpCount[type];
    for (int k = 0; k < n; ++k) {
        const signed char(*s)[3] = LatticeOperator(type, k);
        double S[3][3];
        for (int i = 0; i < 3; ++i)
            for (int j = 0; j < 3; ++j)
                S[i][j] = s[i][j];
        if (cart) {
            double AS[3][3];
            MulMatrix(A, S, AS);
            MulMatrix(AS, Ai, ops[k]);
        } else {
            std::memcpy(ops[k], S, sizeof S);
        }
    }
    return n;
}

} // namespace orimath

void Symmdata(double ops[7][24][3][3], int* count, int toCartesian, int crystalType,
              const double lattice[6]) {
    if (!orimath::IsValidCrystalType(crystalType))
        return;
    *count = orimath::kSymOpCount[crystalType];
    if (toCartesian) {
        // A lattice that fails CrystalAxis leaves the lattice-basis operators.
        orimath::CartesianOperators(crystalType, lattice, ops[crystalType]);
        return;
    }
    for (int k = 0; k < *count; ++k) {
        const signed char(*s)[3] = orimath::LatticeOperator(crystalType, k);
        for (int i = 0; i < 3; ++i)
            for (int j = 0; j < 3; ++j)
                ops[crystalType][k][i][j] = s[i][j];
    }
}

void SamSymData(double ops[4][3][3]) {
    static const double kSample[4][3] = {{1, 1, 1}, {-1, -1, 1}, {-1, 1, -1}, {1, -1, -1}};
    for (int k = 0; k < 4; ++k)
        for (int i = 0; i < 3; ++i)
            for (int j = 0; j < 3; ++j)
                ops[k][i][j] = i == j ? kSample[k][i] : 0.0;
}

void Get_Crystal_Type_Name(char* buffer, int crystalType) {
    if (!orimath::IsValidCrystalType(crystalType))
        return;
    std::strcpy(buffer, orimath::kNames[crystalType]);
}

std::string orimath::CrystalName(int crystalType) {
    return IsValidCrystalType(crystalType) ? kNames[crystalType] : "Unknown";
}

int GetSymmetricPoles(const double h[3], int crystalType, const double lattice[6],
                      double poles[24][3], int* count) {
    if (!orimath::IsValidCrystalType(crystalType) || !orimath::AllFinite(h, 3))
        return 0;
    double A[3][3];
    if (!CrystalAxis(A, crystalType, lattice))
        return 0;
    double ops[24][3][3];
    const int n = orimath::CartesianOperators(crystalType, lattice, ops);
    int m = 0;
    for (int k = 0; k < n; ++k) {
        double v[3];
        for (int i = 0; i < 3; ++i) {
            v[i] = ops[k][i][0] * h[0] + ops[k][i][1] * h[1] + ops[k][i][2] * h[2];
            if (std::fabs(v[i]) < 1e-6)
                v[i] = 0.0;
        }
        bool dup = false;
        for (int p = 0; p < m && !dup; ++p) {
            for (double sgn : {1.0, -1.0}) {
                if (std::fabs(poles[p][2] - sgn * v[2]) < 1e-5 &&
                    std::fabs(poles[p][0] - sgn * v[0]) < 1e-4 &&
                    std::fabs(poles[p][1] - sgn * v[1]) < 1e-4)
                    dup = true;
            }
        }
        if (dup)
            continue;
        if (v[1] < 0) {
            v[0] = -v[0];
            v[1] = -v[1];
            v[2] = -v[2];
        } else if (v[1] == 0 && v[0] < 0) {
            v[0] = -v[0];
            v[2] = -v[2];
        }
        for (int i = 0; i < 3; ++i)
            poles[m][i] = v[i] == 0.0 ? 0.0 : v[i];
        ++m;
    }
    *count = m;
    return 1;
}
