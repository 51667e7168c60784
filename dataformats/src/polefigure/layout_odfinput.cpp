// Layout 5: fixed-column input of an ODF program; the data follow a marker
// line, one ring after another, 72 azimuths each at 5 degrees.
#include "common/text_util.h"
#include "pf_internal.h"

namespace dataformats::pf {

bool IsODFInput(TextStream& text) {
    text.Rewind();
    std::string_view line;
    return text.GetLine(&line) && Contains(line, "O.D.F. CALCULATION");
}

int InfoODFInput(PFFileInfo* info) {
    return InfoPolCon(info);
}

int ReadODFInput(TextStream& text, double** grid, int nA, int nB) {
    if (nA < 1 || nB < 2)
        return text.FailAtLine(1, "the grid size is not usable");
    ClearGrid(grid, nA, nB);
    text.Rewind();
    std::string_view line;
    bool found = false;
    while (!found && text.GetLine(&line))
        found = Contains(line, "THE INPUT DATA OF FIRST POLE FIGURE BACK REFLECTION(14I5)");
    if (!found) // no data block: not readable
        return text.Fail("no line \"THE INPUT DATA OF FIRST POLE FIGURE BACK REFLECTION(14I5)\"");
    for (int i = 0; i < nA; ++i) {
        for (int j = 0; j < nB - 1; ++j) {
            float v;
            if (text.ScanFloat(&v) != kConverted)
                return text.Fail("ring " + std::to_string(i + 1) + " of " + std::to_string(nA) +
                                 ": expected " + std::to_string(nB - 1) + " numbers, found " +
                                 std::to_string(j) + (text.AtEnd() ? " (the file ends here)" : ""));
            grid[i][j] = v;
        }
        grid[i][nB - 1] = grid[i][0];
    }
    CentreRowToMean(grid, nB, nB - 1);
    return 1;
}

} // namespace dataformats::pf
