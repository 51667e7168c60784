// GBCD text files (extension TGB): a four-line header, the misorientation
// angle distribution (180 one-degree classes) and, for cubic crystals, the
// distribution over the 51 CSL classes.
#include <cmath>
#include <string>

#include "common/text_stream.h"
#include "common/text_util.h"
#include "common/text_writer.h"
#include "dataformats/gbcd.h"
#include "gbcd_internal.h"
#include "orimath/symmetry.h"

using namespace dataformats;

const char* const kCSLClassLabels[kCSLClassCount] = {
    "1",   "3",   "5",   "7",   "9",   "11",  "13a", "13b", "15",  "17a", "17b", "19a",   "19b",
    "21a", "21b", "23",  "25a", "25b", "27a", "27b", "29a", "29b", "31a", "31b", "33a",   "33b",
    "33c", "35a", "35b", "37a", "37b", "37c", "39a", "39b", "41a", "41b", "41c", "43a",   "43b",
    "43c", "45a", "45b", "45c", "47a", "47b", "49a", "49b", "49c", "51a", "51b", "Random"};

namespace {

constexpr const char* kCalculated = "CSL grain boundary distribution is calculated";
constexpr const char* kNotCalculated = "CSL grain boundary distribution is not calculated";

int CrystalCode(std::string_view name) {
    name = TrimLeft(name);
    static const char* const kPrefixes[] = {"cu", "he", "te", "or", "mo", "rh", "tr"};
    for (int i = 0; i < 7; ++i)
        if (StartsWithNoCase(name, kPrefixes[i]))
            return i;
    return -1;
}

} // namespace

namespace dataformats::gbcd {

// Lines 1 to 4: description, flag, and what the header says of the crystal,
// lattice and grain pairs.
bool ReadHeader(TextStream& t, GBCDFileInfo* info, std::size_t lineBuffer) {
    std::string_view line1, line2, line3, line4;
    if (!t.GetLine(&line1, lineBuffer) || !t.GetLineCut(&line2, lineBuffer) ||
        !t.GetLineCut(&line3, lineBuffer) || !t.GetLine(&line4, lineBuffer))
        return t.Fail("the four header lines are incomplete");
    info->description = std::string(line2) + ", " + std::string(line3);
    info->cslCalculated = (Contains(line4, "not") || Contains(line4, "Not")) ? 0 : 1;
    int code = CrystalCode(line2);
    if (code >= 0)
        info->crystalType = code;
    std::size_t open = line2.find('('), close = line2.find(')', open);
    if (open != line2.npos && close != line2.npos) {
        TextStream lattice{std::string(line2.substr(open + 1, close - open - 1))};
        double v[6];
        int n = 0;
        while (n < 6 && lattice.ScanDouble(&v[n]) == kConverted)
            ++n;
        if (n == 6)
            for (int i = 0; i < 6; ++i)
                info->lattice[i] = v[i];
    }
    std::size_t eq = line3.find('=');
    int pairs;
    if (eq != line3.npos && ParseIntPrefix(line3.substr(eq + 1), &pairs) != 0)
        info->grainPairs = pairs;
    return true;
}

bool IsGBCD(TextStream& t) {
    t.Rewind();
    if (!t.SkipLines(5))
        return false;
    int a, b;
    float x, y;
    if (t.ScanInt(&a) != kConverted || t.ScanFloat(&x) != kConverted ||
        t.ScanInt(&b) != kConverted || t.ScanFloat(&y) != kConverted)
        return false;
    return a == 0 && b == 1;
}

bool ReadDistributions(TextStream& t, GBCDFileInfo* info, double angle[kGBCDAngleCount],
                       double csl[kCSLClassCount]) {
    t.Rewind();
    GBCDFileInfo r = *info;
    if (!ReadHeader(t, &r, 256))
        return false;
    if (!t.SkipLines(1, 256))
        return t.Fail("the angle table is missing");
    double a[kGBCDAngleCount] = {};
    for (int i = 0; i < kGBCDFileAngles; ++i) {
        int index;
        float v;
        if (t.ScanInt(&index) != kConverted || t.ScanFloat(&v) != kConverted)
            return t.Fail("expected " + std::to_string(kGBCDFileAngles) + " angle rows, found " +
                          std::to_string(i) + (t.AtEnd() ? " (the file ends here)" : ""));
        a[i] = v;
    }
    double c[kCSLClassCount] = {};
    if (r.cslCalculated == 1) {
        if (!t.SkipLines(2, 256))
            return t.Fail("the CSL table is missing"); // rest of the last angle line, "Sigma" line
        for (int k = 0; k < kCSLClassCount; ++k) {
            std::string label;
            float v;
            if (t.ScanWord(&label, 63) != kConverted || t.ScanFloat(&v) != kConverted)
                return t.Fail("expected " + std::to_string(kCSLClassCount) + " CSL rows, found " +
                              std::to_string(k) + (t.AtEnd() ? " (the file ends here)" : ""));
            c[k] = v;
        }
        for (int k = 0; k < kCSLClassCount; ++k)
            csl[k] = c[k];
    }
    for (int i = 0; i < kGBCDAngleCount; ++i)
        angle[i] = a[i];
    *info = r;
    return true;
}

} // namespace dataformats::gbcd

int SaveGBCDFile(GBCDFileInfo* info, const double angle[kGBCDAngleCount],
                 const double csl[kCSLClassCount]) {
    if (info == nullptr || angle == nullptr)
        return 0;
    double lattice[6];
    for (int i = 0; i < 6; ++i) {
        double v = info->lattice[i];
        lattice[i] = (!(v > 0) || v > 3600) ? 90.0 : v;
    }
    // The CSL table exists only for cubic crystals; any other file says it
    // is not calculated, so that its own reader accepts it.
    const bool withCsl = info->crystalType == 0 && info->cslCalculated == 1 && csl != nullptr;
    if (!withCsl)
        info->cslCalculated = 0;
    const std::string name = orimath::CrystalName(info->crystalType);
    TextBuffer out;
    out.Put("This GBCD file is created by Quelta software\n");
    out.Format("%s, (%.2f %.2f %.2f %.2f %.2f %.2f)\nNumber of grain pairs = %d\n%s", name.c_str(),
               lattice[0], lattice[1], lattice[2], lattice[3], lattice[4], lattice[5],
               info->grainPairs, withCsl ? kCalculated : kNotCalculated);
    out.Put("\nAngle\t\tPercentage\n");
    for (int i = 0; i < kGBCDFileAngles; ++i)
        out.Int(i).Put("\t\t").Fixed(angle[i], 4).Put('\n');
    if (withCsl) {
        out.Put("Sigma\t\tPercentage\n");
        for (int k = 0; k < kCSLClassCount; ++k)
            out.Put(kCSLClassLabels[k]).Put("\t\t").Fixed(csl[k], 4).Put('\n');
    }
    return WriteFileAtomically(info->fileName.c_str(), out.Text(), WriteMessage::kCannotWriteFile);
}

int Save_GBCD_File(const char* fileName, GBCDFileInfo* info, const double angle[kGBCDAngleCount],
                   const double csl[kCSLClassCount]) {
    if (fileName == nullptr || info == nullptr)
        return 0;
    info->fileName = fileName;
    return SaveGBCDFile(info, angle, csl);
}
