// Text export of one phi2 section of a 5-degree ODF.
#include "common/text_writer.h"
#include "dataformats/odf.h"

using namespace dataformats;

int SaveTextODFFile(const int range[4], int phi2Index, const char* fileName,
                    const double section[37][73]) {
    if (range == nullptr || fileName == nullptr || section == nullptr)
        return 0;
    // The index range must lie inside the section array.
    if (range[0] < 0 || range[1] > 72 || range[2] < 0 || range[3] > 36)
        return 0;
    TextBuffer out;
    out.Put("This text ODF file is created by Quelta software\n");
    out.Format("Fi2 = %d, Fi1 = %d to %d and Fi = %d to %d\n", 5 * phi2Index, 5 * range[0],
               5 * range[1], 5 * range[2], 5 * range[3]);
    for (int p = range[2]; p <= range[3]; ++p) {
        for (int q = range[0]; q <= range[1]; ++q)
            out.Fixed(section[p][q], 4).Put('\t');
        out.Put('\n');
    }
    return WriteFileAtomically(fileName, out.Text(), WriteMessage::kCannotWriteFile);
}
