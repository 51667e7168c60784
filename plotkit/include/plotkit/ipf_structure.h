#pragma once
// Inverse pole figure on the pole figure grid (19 x 73, alpha from the
// crystal z axis, beta from the crystal x axis) in one of three forms: the
// complete hemisphere, the cubic standard triangle, or the sector of the
// stereogram that the other crystal systems need. Type code 3.
#include <cstddef>
#include <cstdint>
#include <string>

#include "plotkit/display_structure.h"

// Format record stored raw in layout documents (624 bytes).
struct IPFInfo {
    char crystal[32]; // crystal system description; first three letters give the type
    char text2[32];
    char xAxis[32];  // crystal direction along the figure's x axis, "[u v w]"
    char yAxis[32];  // along the figure's y axis
    char centre[32]; // at the centre
    int32_t form;    // 0 complete, 1 triangle (cubic) or sector (others)
    int32_t reserved164;
    double triangleSize; // mm, the [001]-[101] edge
    double radius;       // mm, complete form
    int32_t showLabels;
    int32_t fontSize;
    char fontName[32];
    double levels[10];
    double maximum;
    double contourWidth; // mm
    double borderWidth;  // mm
    double axisWidth;    // mm
    int32_t showBorder;
    int32_t showAxes;
    int32_t startX, startY;
    int32_t count;
    int32_t selected;
    char reserved360[264];
};
static_assert(sizeof(IPFInfo) == 624);
static_assert(offsetof(IPFInfo, text2) == 32);
static_assert(offsetof(IPFInfo, xAxis) == 64);
static_assert(offsetof(IPFInfo, yAxis) == 96);
static_assert(offsetof(IPFInfo, centre) == 128);
static_assert(offsetof(IPFInfo, form) == 160);
static_assert(offsetof(IPFInfo, reserved164) == 164);
static_assert(offsetof(IPFInfo, triangleSize) == 168);
static_assert(offsetof(IPFInfo, radius) == 176);
static_assert(offsetof(IPFInfo, showLabels) == 184);
static_assert(offsetof(IPFInfo, fontSize) == 188);
static_assert(offsetof(IPFInfo, fontName) == 192);
static_assert(offsetof(IPFInfo, levels) == 224);
static_assert(offsetof(IPFInfo, maximum) == 304);
static_assert(offsetof(IPFInfo, contourWidth) == 312);
static_assert(offsetof(IPFInfo, borderWidth) == 320);
static_assert(offsetof(IPFInfo, axisWidth) == 328);
static_assert(offsetof(IPFInfo, showBorder) == 336);
static_assert(offsetof(IPFInfo, showAxes) == 340);
static_assert(offsetof(IPFInfo, startX) == 344);
static_assert(offsetof(IPFInfo, startY) == 348);
static_assert(offsetof(IPFInfo, count) == 352);
static_assert(offsetof(IPFInfo, selected) == 356);
static_assert(offsetof(IPFInfo, reserved360) == 360);

namespace plotkit {
void CheckRecord(IPFInfo& info);
// Crystal type from the first three letters of a description, ignoring
// case ("Cub" 0 .. "Tri" 6); anything else counts as cubic.
int IPFCrystalType(const std::string& description);
// Lattice a, b, c, alpha, beta, gamma from the description forms the suite
// writes ("Hexagonal, c = 1.62", ...); missing values keep the type's
// conventional ones.
void IPFLattice(const std::string& description, double lattice[6]);
// The description the suite writes for a crystal type and lattice
// ("Cubic", "Hexagonal, c = 1.62", ...).
std::string IPFDescription(int crystalType, const double lattice[6]);
// The data azimuth range (degrees) each crystal type's sector shows:
// cubic 270..315, hexagonal 270..300, tetragonal 270..315, orthorhombic
// 270..360, monoclinic 180..360, trigonal 240..300, triclinic 0..360.
void IPFSector(int crystalType, double& betaFrom, double& betaTo);
} // namespace plotkit

class CIPFStructure : public CDisplayStructure {
  public:
    // texts: crystal description, a second text, and the directions along
    // the figure's x axis, y axis and at the centre.
    explicit CIPFStructure(const std::string texts[5]);

    void SetData(const double data[19][73]);
    void GetData(double data[19][73]) const;
    IPFInfo GetInfo() const { return info_; }
    void SetInfo(const IPFInfo& info);

    void GetContourInfo(double levels[10], int& count, double& lineWidth) override;
    void SetContourInfo(double levels[10], int& count, double& lineWidth) override;
    int GetType() override { return kDisplayIPF; }
    int OnFormat() override;
    CPoint GetStartPos() override { return {info_.startX, info_.startY}; }
    int GetSelection() override { return info_.selected; }
    void SetSelection(int selected) override { info_.selected = selected; }
    void SetStartPos(CPoint pos) override {
        info_.startX = pos.x;
        info_.startY = pos.y;
    }
    int ReadValuePos(CPoint pixel, std::string out[2]) override;
    int IsIn(CPoint pixel, int* distance) override;
    RECT GetRect() override { return rect_; }
    void Draw(CDC* dc, CPoint origin, int scale, const COLORREF colours[10]) override;

    enum class Form { Complete, Triangle, Sector };
    Form DrawnForm() const;
    // Geometry of the last Draw: projection centre and radius (pixels); for
    // the triangle also its three corners (origin, right, upper).
    CPoint Centre() const { return centre_; }
    int ProjectionRadius() const { return R_; }
    CPoint Corner(int k) const { return corners_[k]; }
    IPFInfo& InfoRef() { return info_; }

  private:
    void DrawComplete(CDC* dc, int s);
    void DrawTriangle(CDC* dc, int s);
    void DrawSector(CDC* dc, int s);
    bool InTriangle(double x, double y) const;
    bool InSector(double x, double y, double& alpha, double& beta) const;
    // Position of a pixel relative to the projection centre, display azimuth.
    void PixelToPos(CPoint p, double& alpha, double& beta) const;
    std::string Value(double alpha, double beta) const;

    COLORREF colours_[10] = {};
    double data_[19][73] = {};
    IPFInfo info_{};
    CPoint origin_;
    CPoint centre_;
    int R_ = 0;
    CPoint corners_[3];
    RECT square_{};
    RECT rect_{};
};
