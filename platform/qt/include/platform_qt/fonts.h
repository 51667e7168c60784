#pragma once
// Font faces of stored documents mapped onto the fonts this platform has.
#include <string>
#include <vector>

#include <QFont>
#include <QString>

#include "platform/gdi_objects.h"

// Installed font family names, sorted, for the font boxes of the format
// dialogs.
std::vector<std::string> GetAvailableFontName();

namespace platform {

// Family used for a document face: "Arial" -> "Liberation Sans", "Times New
// Roman" -> "Liberation Serif", "Courier New" -> "Liberation Mono", "Symbol"
// -> a serif family with Greek glyphs; other faces as they are.
QString FontFamilyFor(const std::string& face);
// True for the face whose Latin letters stand for Greek ones.
bool IsSymbolFace(const std::string& face);
// Text in the Symbol face as Unicode: Latin letters become the Greek letters
// they show in that face ("j" phi, "F" capital Phi, "a" alpha, ...); other
// characters are kept.
QString SymbolToUnicode(const std::string& text);
// The text as drawn in a face (Symbol mapping applied where needed).
QString DisplayText(const std::string& face, const std::string& text);
// A QFont whose cell height (ascent + descent) is the description's height
// in pixels (negative heights give the character height), with its weight,
// slant, underline and strike-out.
QFont MakeQFont(const FontDesc& desc);

} // namespace platform
