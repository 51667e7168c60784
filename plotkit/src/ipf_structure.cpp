#include "plotkit/ipf_structure.h"

#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "circle_figure_defaults.h"
#include "orimath/constants.h"
#include "orimath/orientation.h"
#include "orimath/projection.h"
#include "plotkit/display_common.h"
#include "plotkit/format_dialog_registry.h"
#include "plotkit/grid_contours.h"

using namespace plotkit;

namespace plotkit {

int IPFCrystalType(const std::string& description) {
    static const char* kPrefix[7] = {"cub", "hex", "tet", "ort", "mon", "rho", "tri"};
    std::string p;
    for (std::size_t i = 0; i < description.size() && p.size() < 3; ++i)
        p.push_back(static_cast<char>(std::tolower(static_cast<unsigned char>(description[i]))));
    for (int t = 0; t < 7; ++t)
        if (p == kPrefix[t])
            return t;
    return 0;
}

void IPFLattice(const std::string& d, double lattice[6]) {
    const int type = IPFCrystalType(d);
    double v[6] = {1, 1, 1, 90, 90, 90};
    if (type == 1)
        v[5] = 120;
    // Numbers that follow an "=" sign, in order.
    std::vector<double> nums;
    for (std::size_t pos = d.find('='); pos != std::string::npos; pos = d.find('=', pos + 1)) {
        const char* start = d.c_str() + pos + 1;
        char* end = nullptr;
        const double x = std::strtod(start, &end);
        if (end != start && std::isfinite(x))
            nums.push_back(x);
    }
    auto at = [&](std::size_t i, double fallback) { return i < nums.size() ? nums[i] : fallback; };
    switch (type) {
    case 1:
    case 2:
        v[2] = at(0, 1);
        break;
    case 3:
        v[0] = at(0, 1), v[1] = at(1, 1), v[2] = at(2, 1);
        break;
    case 4:
        v[0] = at(0, 1), v[1] = at(1, 1), v[2] = at(2, 1), v[4] = at(3, 90);
        break;
    case 5:
        v[3] = v[4] = v[5] = at(0, 90);
        break;
    case 6:
        for (int i = 0; i < 6; ++i)
            v[i] = at(i, v[i]);
        break;
    default:
        break;
    }
    for (int i = 0; i < 6; ++i)
        lattice[i] = (v[i] > 0 && std::isfinite(v[i])) ? v[i] : (i < 3 ? 1 : 90);
}

std::string IPFDescription(int type, const double lattice[6]) {
    // Lattices without lengths (files without a lattice line) read as unit cells.
    double l[6] = {1, 1, 1, 90, 90, type == 1 ? 120.0 : 90.0};
    if (lattice)
        for (int i = 0; i < 6; ++i)
            if (lattice[i] > 0 && std::isfinite(lattice[i]))
                l[i] = lattice[i];
    char buf[160];
    switch (type) {
    case 1:
        std::snprintf(buf, sizeof buf, "Hexagonal, c = %.2f", l[2] / l[0]);
        break;
    case 2:
        std::snprintf(buf, sizeof buf, "Tetragonal, c = %.2f", l[2] / l[0]);
        break;
    case 3:
        std::snprintf(buf, sizeof buf, "Orthorhombic, a = %.2f, b = %.2f, c = %.2f", l[0], l[1],
                      l[2]);
        break;
    case 4:
        std::snprintf(buf, sizeof buf, "Monoclinic, a = %.2f. b = %.2f, c = %.2f, beta = %.2f",
                      l[0], l[1], l[2], l[4]);
        break;
    case 5:
        std::snprintf(buf, sizeof buf, "Rhombohedral, alfa = beta = gama = %.2f", l[3]);
        break;
    case 6:
        std::snprintf(
            buf, sizeof buf,
            "Triclinic, a = %.2f. b = %.2f, c = %.2f, alfa = %.2f, beta = %.2f, gama = %.2f", l[0],
            l[1], l[2], l[3], l[4], l[5]);
        break;
    default:
        return "Cubic";
    }
    return buf;
}

void IPFSector(int crystalType, double& from, double& to) {
    static const double kSector[7][2] = {{270, 315}, {270, 300}, {270, 315}, {270, 360},
                                         {180, 360}, {240, 300}, {0, 360}};
    const int t = orimath::IsValidCrystalType(crystalType) ? crystalType : 0;
    from = kSector[t][0];
    to = kSector[t][1];
}

} // namespace plotkit

CIPFStructure::CIPFStructure(const std::string texts[5]) {
    std::memset(&info_, 0, sizeof(info_));
    CopyText(info_.crystal, texts[0]);
    CopyText(info_.text2, texts[1]);
    CopyText(info_.xAxis, texts[2]);
    CopyText(info_.yAxis, texts[3]);
    CopyText(info_.centre, texts[4]);
    info_.form = 1;
    info_.triangleSize = 60.0;
    SetCircleFigureDefaults(info_);
}

void CIPFStructure::SetData(const double data[19][73]) {
    const double m = FindMaximum(&data[0][0], 19 * 73);
    info_.maximum = m;
    SetDefaultLevels(info_.levels, m);
    std::memcpy(data_, data, sizeof(data_));
}

void CIPFStructure::GetData(double data[19][73]) const {
    std::memcpy(data, data_, sizeof(data_));
}

void CIPFStructure::SetInfo(const IPFInfo& info) {
    info_ = info;
    CheckRecord(info_);
}

void CIPFStructure::GetContourInfo(double levels[10], int& count, double& lineWidth) {
    GetContourFields(info_, levels, count, lineWidth);
}

void CIPFStructure::SetContourInfo(double levels[10], int& count, double& lineWidth) {
    SetContourFields(info_, levels, count, lineWidth);
}

CIPFStructure::Form CIPFStructure::DrawnForm() const {
    if (info_.form == 0)
        return Form::Complete;
    const int type = IPFCrystalType(TextOf(info_.crystal));
    if (type == 0)
        return Form::Triangle;
    if (type == 6)
        return Form::Complete;
    return Form::Sector;
}

void CIPFStructure::PixelToPos(CPoint p, double& alpha, double& beta) const {
    StereoPosition(p.x, p.y, centre_.x, centre_.y, R_, alpha, beta);
}

std::string CIPFStructure::Value(double alpha, double beta) const {
    int i = static_cast<int>(alpha * 0.2 + 0.5);
    int j = static_cast<int>(beta * 0.2 + 0.5);
    i = i < 0 ? 0 : (i > 18 ? 18 : i);
    j = j < 0 ? 0 : (j > 72 ? 72 : j);
    char buf[48];
    std::snprintf(buf, sizeof buf, "%.3f", data_[i][j]);
    return buf;
}

int CIPFStructure::ReadValuePos(CPoint pixel, std::string out[2]) {
    if (R_ <= 0)
        return 0;
    double alpha = 0, beta = 0;
    char buf[96];
    switch (DrawnForm()) {
    case Form::Complete: {
        const double cx = (square_.left + square_.right) * 0.5;
        const double cy = (square_.top + square_.bottom) * 0.5;
        const double r = std::hypot(pixel.x - cx, pixel.y - cy);
        if (r > (square_.right - square_.left) * 0.5)
            return 0;
        if (r < 1.0) {
            out[0] = "(0, 0)";
            out[1] = Value(0, 0);
            return 1;
        }
        StereoPosition(pixel.x, pixel.y, cx, cy, R_, alpha, beta);
        const int A = static_cast<int>(alpha + 0.5), B = static_cast<int>(beta + 0.5);
        std::snprintf(buf, sizeof buf, "(%d, %d)", A, B);
        out[0] = buf;
        out[1] = Value(A, B);
        return 1;
    }
    case Form::Triangle: {
        if (!InTriangle(pixel.x, pixel.y))
            return 0;
        PixelToPos(pixel, alpha, beta);
        double X[3], Y[3], Z[3];
        const bool ok = std::sscanf(info_.xAxis, "[%lf %lf %lf]", &X[0], &X[1], &X[2]) == 3 &&
                        std::sscanf(info_.yAxis, "[%lf %lf %lf]", &Y[0], &Y[1], &Y[2]) == 3 &&
                        std::sscanf(info_.centre, "[%lf %lf %lf]", &Z[0], &Z[1], &Z[2]) == 3;
        if (!ok) {
            out[0] = "Invalid axis vectors";
        } else {
            // The figure's x axis points right (data azimuth 270), its y
            // axis up; the centre is the projection centre.
            const double phi = (beta - 270.0) * orimath::kDegToRad, a = alpha * orimath::kDegToRad;
            double d[3];
            for (int i = 0; i < 3; ++i)
                d[i] = std::sin(a) * (std::cos(phi) * X[i] + std::sin(phi) * Y[i]) +
                       std::cos(a) * Z[i];
            int n[3];
            GetNiceVector(d, n);
            std::snprintf(buf, sizeof buf, "[%d %d %d]", n[0], n[1], n[2]);
            out[0] = buf;
        }
        out[1] = Value(alpha, beta);
        return 1;
    }
    case Form::Sector: {
        if (!InSector(pixel.x, pixel.y, alpha, beta))
            return 0;
        double lattice[6], uvw[3];
        const std::string desc = TextOf(info_.crystal);
        IPFLattice(desc, lattice);
        const double pos[2] = {alpha, beta};
        std::string label;
        if (IPF_From_Pos_To_Vec(pos, IPFCrystalType(desc), lattice, uvw, &label))
            out[0] = label;
        else
            out[0] = "Invalid axis vectors";
        out[1] = Value(alpha, beta);
        return 1;
    }
    }
    return 0;
}

int CIPFStructure::IsIn(CPoint pixel, int* distance) {
    return HitTestRect(rect_, pixel, distance);
}

int CIPFStructure::OnFormat() {
    return plotkit::OpenFormatDialog(*this);
}
