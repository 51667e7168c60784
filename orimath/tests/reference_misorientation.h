#pragma once
// A direct implementation of the cubic misorientation and CSL test: every
// one of the 1152 equivalent descriptions of the misorientation is built as
// a matrix, turned into Euler angles and a quaternion, and compared with
// each table entry in table order. Slow on purpose; the library's fast
// routine is checked against it (tests) and timed against it (benchmark).
namespace orimath_reference {

struct CubicResult {
    double angleDeg = 0;
    int index = 50;
    int tested = 0;            // entries 0..tested-1 were examined
    double closeness[50] = {}; // largest |cos(deviation/2)| of each tested entry
    double threshold[50] = {}; // Brandon threshold of each entry
};

void CubicMisorientation(const double e1[3], const double e2[3], int limit, CubicResult* out);

} // namespace orimath_reference
