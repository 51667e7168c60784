#pragma once
// The base of every item the viewer places on a page. The viewer keeps base
// pointers and reaches each object through these twelve operations; the type
// code lets it cast back for the class's own record and data. Libraries that
// define display classes include this one definition.
//
// Units: the origin passed to Draw and every pixel argument are device
// pixels; start positions are drawing units of 279.4/200 mm, and scale says
// how many device pixels make one drawing unit.
#include <string>

#include "platform/dc.h"
#include "platform/gdi_types.h"

// Display type codes returned by GetType.
enum DisplayType : int {
    kDisplayText = 0,
    kDisplayODF = 1,
    kDisplayPF = 2,
    kDisplayIPF = 3,
    kDisplayGBCD = 4,
    kDisplayLine = 5,
    kDisplayLegend = 6,
    kDisplayHODF = 7,
    kDisplayHPF = 8,
    kDisplayHIPF = 9,
};

class CDisplayStructure {
  public:
    // Non-zero: every line and text is drawn in black.
    int bBlackWhite = 0;

    CDisplayStructure() = default;
    virtual ~CDisplayStructure() = default;

    // The 10 contour levels (the last `count` are in use), the count and the
    // contour line width in mm.
    virtual void GetContourInfo(double levels[10], int& count, double& lineWidth) {
        (void)levels, (void)count, (void)lineWidth;
    }
    virtual void SetContourInfo(double levels[10], int& count, double& lineWidth) {
        (void)levels, (void)count, (void)lineWidth;
    }
    virtual int GetType() = 0;
    // Modal format dialog; 1 when closed with OK (record kept), else 0
    // (record restored).
    virtual int OnFormat() { return 0; }
    virtual CPoint GetStartPos() { return CPoint{0, 0}; }
    virtual int GetSelection() { return 0; }
    virtual void SetSelection(int selected) { (void)selected; }
    virtual void SetStartPos(CPoint pos) { (void)pos; }
    // Position (out[0]) and value (out[1]) texts of the data under a device
    // pixel; 1 when the pixel lies on the data.
    virtual int ReadValuePos(CPoint pixel, std::string out[2]) {
        out[0].clear();
        out[1].clear();
        (void)pixel;
        return 0;
    }
    // Strict hit test on the bounding rectangle; on a hit *distance gets the
    // distance to its centre.
    virtual int IsIn(CPoint pixel, int* distance) {
        (void)pixel, (void)distance;
        return 0;
    }
    // Bounding rectangle of the last Draw (grown by the selection marks).
    virtual RECT GetRect() { return RECT{}; }
    virtual void Draw(CDC* dc, CPoint origin, int scale, const COLORREF colours[10]) {
        (void)dc, (void)origin, (void)scale, (void)colours;
    }
};
