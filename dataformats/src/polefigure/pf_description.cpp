// ParserPFInfo: the six comma-separated fields of a description line.
#include <cstdio>
#include <cstring>
#include <string>

#include "common/text_stream.h"
#include "common/text_util.h"
#include "dataformats/polefigure.h"

using namespace dataformats;

namespace {

int CrystalFromName(std::string_view field) {
    field = TrimLeft(field);
    static const char* const kPrefixes[] = {"cu", "he", "te", "or", "mo", "rh", "tr"};
    for (int i = 0; i < 7; ++i)
        if (StartsWithNoCase(field, kPrefixes[i]))
            return i;
    return 0;
}

std::string WithoutBrackets(std::string_view field) {
    std::string s(field);
    for (char& c : s)
        if (c == '(' || c == ')')
            c = ' ';
    return s;
}

} // namespace

void ParserPFInfo(const char* description, PFFileInfo* info) {
    if (description == nullptr || info == nullptr)
        return;
    std::string_view all = CutAtLineEnd(BoundedView(description, 511));
    std::string_view fields[6];
    int count = 0;
    std::size_t start = 0;
    while (count < 6) {
        std::size_t comma = all.find(',', start);
        fields[count++] =
            all.substr(start, comma == std::string_view::npos ? all.npos : comma - start);
        if (comma == std::string_view::npos)
            break;
        start = comma + 1;
    }
    if (count < 1 || fields[0].empty())
        return;
    info->crystalType = CrystalFromName(fields[0]);
    if (count < 2)
        return;
    {
        TextStream hkl(WithoutBrackets(fields[1]));
        int v;
        if (hkl.ScanInt(&v) == kConverted)
            info->h = v;
        if (hkl.ScanInt(&v) == kConverted)
            info->k = v;
        if (hkl.ScanInt(&v) == kConverted)
            info->l = v;
    }
    if (count < 3)
        return;
    double res;
    if (ParseDoublePrefix(fields[2], &res) != 0)
        info->resolution = res;
    if (count < 5)
        return;
    {
        TextStream lattice(WithoutBrackets(fields[4]));
        double* out[6] = {&info->a, &info->b, &info->c, &info->alpha, &info->beta, &info->gamma};
        for (double* p : out) {
            float v;
            if (lattice.ScanFloat(&v) != kConverted)
                break;
            *p = v;
        }
    }
    if (count < 6)
        return;
    info->comment = std::string(fields[5]);
}

PFFileInfo DescribePoleFigure(const std::string& fileName, int crystalType, const double hkl[3],
                              const double lattice[6], double resolution,
                              const std::string& comment) {
    PFFileInfo info;
    info.fileName = fileName;
    info.crystalType = crystalType;
    info.h = hkl[0];
    info.k = hkl[1];
    info.l = hkl[2];
    info.a = lattice[0];
    info.b = lattice[1];
    info.c = lattice[2];
    info.alpha = lattice[3];
    info.beta = lattice[4];
    info.gamma = lattice[5];
    info.resolution = resolution;
    info.comment = comment;
    return info;
}
