#pragma once
// Pens, fonts and brushes as plain descriptions. A drawing routine creates
// one, selects it into a CDC, draws, selects the previous object back and
// lets it go out of scope; the device context copies the description when it
// is selected, so it never reads an object after it has been deselected.
#include <string>

#include "platform/gdi_types.h"

inline constexpr int PS_SOLID = 0;
inline constexpr int PS_DASH = 1;
inline constexpr int PS_DOT = 2;
inline constexpr int PS_NULL = 5;

inline constexpr int FW_NORMAL = 400;
inline constexpr int FW_BOLD = 700;
inline constexpr int DEFAULT_CHARSET = 1;

inline constexpr int TRANSPARENT = 1;
inline constexpr int OPAQUE = 2;

// GetDeviceCaps indices.
inline constexpr int HORZRES = 8;
inline constexpr int VERTRES = 10;
inline constexpr int BITSPIXEL = 12;
inline constexpr int PLANES = 14;
inline constexpr int RASTERCAPS = 38;
inline constexpr int LOGPIXELSX = 88;
inline constexpr int LOGPIXELSY = 90;
inline constexpr int RC_PALETTE = 0x0100;

struct PenDesc {
    int style = PS_SOLID;
    int width = 1; // pixels; 0 draws one pixel wide
    COLORREF color = 0;
    friend bool operator==(const PenDesc&, const PenDesc&) = default;
};

struct FontDesc {
    int height = 16; // >0: cell height in pixels; <0: character height
    int width = 0;
    int escapement = 0; // tenths of a degree, counter-clockwise
    int weight = FW_NORMAL;
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;
    int charSet = DEFAULT_CHARSET;
    std::string face = "System";
    friend bool operator==(const FontDesc&, const FontDesc&) = default;
};

struct BrushDesc {
    bool hollow = false;
    COLORREF color = 0xFFFFFF;
    friend bool operator==(const BrushDesc&, const BrushDesc&) = default;
};

class CPen {
  public:
    CPen() = default;
    CPen(int style, int width, COLORREF color) { CreatePen(style, width, color); }
    bool CreatePen(int style, int width, COLORREF color) {
        desc_ = {style, width < 0 ? 0 : width, color};
        return true;
    }
    const PenDesc& Desc() const { return desc_; }

  private:
    PenDesc desc_;
};

class CFont {
  public:
    // The arguments the display code passes; output precision, clipping,
    // quality and pitch have no counterpart here and are left out.
    bool CreateFont(int height, int width, int escapement, int orientation, int weight, bool italic,
                    bool underline, bool strikeOut, int charSet, const char* face) {
        (void)orientation;
        desc_ = FontDesc{height,    width,     escapement, weight,          italic,
                         underline, strikeOut, charSet,    face ? face : ""};
        return true;
    }
    // Height in pixels, normal weight, upright: the form every display uses.
    bool CreateSimple(int height, const std::string& face) {
        return CreateFont(height, 0, 0, 0, FW_NORMAL, false, false, false, DEFAULT_CHARSET,
                          face.c_str());
    }
    const FontDesc& Desc() const { return desc_; }

  private:
    FontDesc desc_;
};

class CBrush {
  public:
    CBrush() = default;
    explicit CBrush(COLORREF color) { CreateSolidBrush(color); }
    bool CreateSolidBrush(COLORREF color) {
        desc_ = {false, color};
        return true;
    }
    // A brush that fills nothing (outlines only).
    bool CreateHollowBrush() {
        desc_ = {true, 0};
        return true;
    }
    const BrushDesc& Desc() const { return desc_; }

  private:
    BrushDesc desc_;
};
