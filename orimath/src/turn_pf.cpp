// A pole figure turned by 90 degrees about the sample y axis.
#include <cmath>
#include <numbers>

#include "orimath/projection.h"
#include "orimath/ranges.h"

int TurnY90(double** in, double** out, double res) {
    int nA = 0, nB = 0;
    Get_AB_Range_In_Full_PF_Space(&nA, &nB, res);
    if (!in || !out || in == out || nA < 2 || nB < 2)
        return 0;
    const double d2r = std::numbers::pi / 180.0;
    const int nCols = nB - 1; // the last column repeats beta 0
    for (int i = 0; i < nA; ++i) {
        for (int j = 0; j < nCols; ++j) {
            const double a = i * res * d2r, b = j * res * d2r;
            const double d[3] = {std::sin(a) * std::cos(b), std::sin(a) * std::sin(b), std::cos(a)};
            // The turn takes x to -z and z to x, so the value at d comes from
            // the direction (-dz, dy, dx) of the input; a pole figure does not
            // tell a direction from its opposite.
            double s[3] = {-d[2], d[1], d[0]};
            if (s[2] < 0)
                for (double& c : s)
                    c = -c;
            const double alpha = std::acos(std::fmin(1.0, s[2])) / d2r;
            double beta = std::atan2(s[1], s[0]) / d2r;
            if (beta < 0)
                beta += 360;
            double fa = alpha / res, fb = beta / res;
            if (fa > nA - 1)
                fa = nA - 1;
            int ia = static_cast<int>(fa), ib = static_cast<int>(fb);
            if (ia >= nA - 1)
                ia = nA - 2;
            if (ib >= nCols)
                ib -= nCols;
            const double ta = fa - ia, tb = fb - static_cast<int>(fb);
            const int ib1 = ib + 1; // column nCols exists and repeats column 0
            out[i][j] = (1 - ta) * ((1 - tb) * in[ia][ib] + tb * in[ia][ib1]) +
                        ta * ((1 - tb) * in[ia + 1][ib] + tb * in[ia + 1][ib1]);
        }
        out[i][nCols] = out[i][0];
    }
    return 1;
}
