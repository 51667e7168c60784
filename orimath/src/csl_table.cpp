// The cubic coincidence site lattice table and its names.
#include <cstdlib>

#include "orimath/misorientation.h"

namespace orimath {
namespace {

// Sigma 1 to 51, Brandon-criterion classes. Angle in degrees about <uvw>.
// Each row obeys Sigma = n^2 + N m^2 (halved until odd) with
// tan(angle/2) = (m/n) sqrt(N), N = u^2 + v^2 + w^2; the tests check this.
constexpr CubicCSLEntry kTable[kCubicCSLCount] = {
    {"1", 0.0, {1, 1, 1}},
    {"3", 60.0, {1, 1, 1}},
    {"5", 36.87, {1, 0, 0}},
    {"7", 38.21, {1, 1, 1}},
    {"9", 38.94, {1, 1, 0}},
    {"11", 50.48, {1, 1, 0}},
    {"13a", 22.62, {1, 0, 0}},
    {"13b", 27.8, {1, 1, 1}},
    {"15", 48.19, {2, 1, 0}},
    {"17a", 28.07, {1, 0, 0}},
    {"17b", 61.93, {2, 2, 1}},
    {"19a", 26.53, {1, 1, 0}},
    {"19b", 46.83, {1, 1, 1}},
    {"21a", 21.79, {1, 1, 1}},
    {"21b", 44.4, {2, 1, 1}},
    {"23", 40.45, {3, 1, 1}},
    {"25a", 16.26, {1, 0, 0}},
    {"25b", 51.68, {3, 3, 1}},
    {"27a", 31.59, {1, 1, 0}},
    {"27b", 35.43, {2, 1, 0}},
    {"29a", 43.6, {1, 0, 0}},
    {"29b", 46.39, {2, 2, 1}},
    {"31a", 17.9, {1, 1, 1}},
    {"31b", 52.2, {2, 1, 1}},
    {"33a", 20.05, {1, 1, 0}},
    // 33b and 41a: the axes <311> and <100> satisfy the Sigma rule; the
    // <211> and <110> of older tables give Sigma 33 and 41 for no integer
    // pair (m, n).
    {"33b", 33.55, {3, 1, 1}},
    {"33c", 58.98, {1, 1, 0}},
    {"35a", 34.04, {2, 1, 1}},
    {"35b", 43.23, {3, 3, 1}},
    {"37a", 18.92, {1, 0, 0}},
    {"37b", 43.14, {3, 1, 0}},
    {"37c", 50.57, {1, 1, 1}},
    {"39a", 32.21, {1, 1, 1}},
    {"39b", 50.13, {3, 2, 1}},
    {"41a", 12.68, {1, 0, 0}},
    {"41b", 40.88, {2, 1, 0}},
    {"41c", 55.88, {1, 1, 0}},
    {"43a", 15.18, {1, 1, 1}},
    {"43b", 27.91, {2, 1, 0}},
    {"43c", 60.77, {3, 3, 2}},
    {"45a", 28.62, {3, 1, 1}},
    {"45b", 36.87, {2, 2, 1}},
    {"45c", 53.13, {2, 2, 1}},
    {"47a", 37.07, {3, 3, 1}},
    {"47b", 43.66, {3, 2, 0}},
    {"49a", 43.58, {1, 1, 1}},
    {"49b", 43.58, {5, 1, 1}},
    {"49c", 49.22, {3, 2, 2}},
    {"51a", 16.1, {1, 1, 0}},
    {"51b", 22.84, {1, 1, 0}},
};

} // namespace

const CubicCSLEntry* GetCubicCSLEntry(int index) {
    return index >= 0 && index < kCubicCSLCount ? &kTable[index] : nullptr;
}

int CubicCSLSigma(int index) {
    return index >= 0 && index < kCubicCSLCount ? std::atoi(kTable[index].name) : 0;
}

} // namespace orimath

void InitCubicCSLName(std::string names[51]) {
    for (int i = 0; i < orimath::kCubicCSLCount; ++i)
        names[i] = orimath::kTable[i].name;
    names[orimath::kNotCSL] = "Not CSL";
}
