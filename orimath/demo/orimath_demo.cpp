// Prints the named texture components of cubic metals: Euler angles, Miller
// indices, number of symmetric equivalents, and the misorientation and CSL
// class of a few pairs of them.
#include <cmath>
#include <cstdio>
#include <string>

#include "orimath/orimath.h"

namespace {

const double kCubic[6] = {1, 1, 1, 90, 90, 90};

struct Component {
    const char* name;
    double euler[3]; // Bunge, degrees
};

const Component kComponents[] = {
    {"Cube", {0, 0, 0}},         {"Goss", {0, 45, 0}},         {"Brass", {35.26, 45, 0}},
    {"Copper", {90, 35.26, 45}}, {"S", {58.98, 36.70, 63.43}},
};

std::string Indices(const int v[3], char open, char close) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%c%d%s%d%s%d%c", open, v[0], " ", v[1], " ", v[2], close);
    return buf;
}

int DistinctCount(const double eq[][3], int n) {
    int distinct = 0;
    for (int i = 0; i < n; ++i) {
        double gi[3][3];
        Gmatrix(eq[i], gi);
        bool seen = false;
        for (int j = 0; j < i && !seen; ++j) {
            double gj[3][3], d = 0;
            Gmatrix(eq[j], gj);
            for (int r = 0; r < 3; ++r)
                for (int c = 0; c < 3; ++c)
                    d = std::fmax(d, std::fabs(gi[r][c] - gj[r][c]));
            seen = d < 2e-3; // the 0.001 degree nudge moves coinciding equivalents apart slightly
        }
        if (!seen)
            ++distinct;
    }
    return distinct;
}

const Component* Find(const char* name) {
    for (const Component& c : kComponents)
        if (std::string(c.name) == name)
            return &c;
    return nullptr;
}

void PrintPair(const char* label, const double a[3], const double b[3],
               const std::string names[51]) {
    double angle = 0, axisAngle = 0, axis[3] = {0, 0, 1};
    int index = 49;
    GetMisOri(a, b, &angle, &index);
    GetMisOriAxis_AllCrystalSym(a, b, 0, kCubic, &axisAngle, axis);
    int uvw[3];
    GetNiceVector(axis, uvw);
    const std::string cls = index == orimath::kNotCSL ? names[index] : "Sigma" + names[index];
    std::printf("  %-30s %7.2f deg about %-9s (%.3f %.3f %.3f)  %s\n", label, angle,
                Indices(uvw, '<', '>').c_str(), axis[0], axis[1], axis[2], cls.c_str());
}

} // namespace

int main() {
    std::printf("Named texture components of cubic crystals (Bunge Euler angles in degrees)\n\n");
    std::printf("  %-8s %22s   %-22s %s\n", "name", "phi1    Phi   phi2", "{hkl}<uvw>",
                "equivalents");
    for (const Component& c : kComponents) {
        double m[6];
        if (!Euler2Miller(c.euler, 0, kCubic, m))
            return 1;
        int hkl[3], uvw[3];
        GetNiceVector(m, hkl);
        GetNiceVector(m + 3, uvw);
        double e[3] = {c.euler[0], c.euler[1], c.euler[2]}, eq[96][3];
        int n = 0;
        if (!GetSO(e, eq, &n, 0, kCubic, 1))
            return 1;
        const std::string miller = Indices(hkl, '{', '}') + Indices(uvw, '<', '>');
        std::printf("  %-8s %6.2f %6.2f %6.2f   %-22s %d (%d distinct)\n", c.name, c.euler[0],
                    c.euler[1], c.euler[2], miller.c_str(), n, DistinctCount(eq, n));
    }

    std::string names[51];
    InitCubicCSLName(names);
    std::printf("\nMisorientation (cubic symmetry), axis and CSL class (Brandon criterion)\n\n");
    const char* pairs[][2] = {
        {"Cube", "Goss"}, {"Copper", "S"}, {"Brass", "Goss"}, {"Brass", "Copper"}};
    for (const auto& p : pairs) {
        const std::string label = std::string(p[0]) + " - " + p[1];
        PrintPair(label.c_str(), Find(p[0])->euler, Find(p[1])->euler, names);
    }

    // The annealing twin of Copper: 60 degrees about <111>.
    const double* cu = Find("Copper")->euler;
    const double n = 1 / std::sqrt(3.0), t = 60 * orimath::kDegToRad, c = std::cos(t),
                 s = std::sin(t), u = 1 - c;
    const double R[3][3] = {{c + u * n * n, u * n * n - s * n, u * n * n + s * n},
                            {u * n * n + s * n, c + u * n * n, u * n * n - s * n},
                            {u * n * n - s * n, u * n * n + s * n, c + u * n * n}};
    double g[3][3], twin[3][3], r[3];
    Gmatrix(cu, g);
    MulMatrix(R, g, twin);
    if (!Eulerangle(twin, r))
        return 1;
    const double twinEuler[3] = {r[0] * orimath::kRadToDeg, r[1] * orimath::kRadToDeg,
                                 r[2] * orimath::kRadToDeg};
    char label[64];
    std::snprintf(label, sizeof label, "Copper - twin (%.0f %.0f %.0f)", twinEuler[0], twinEuler[1],
                  twinEuler[2]);
    PrintPair(label, cu, twinEuler, names);
    return 0;
}
