// The measured cells a layout reports with its data: tilt limits of the
// header, rings and azimuths a file does not hold, the keyword tilt range.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "dataformats/file_layouts.h"
#include "test_support.h"

using namespace dataformats;

namespace {

// A four-line-ring file: header line 2 as given, `rings` rings of value 7.
std::string RingsFile(const std::string& header, int rings) {
    std::string text = "title\n" + header + "\n";
    for (int r = 0; r < rings; ++r)
        for (int line = 0; line < 4; ++line) {
            text += ' ';
            for (int f = 0; f < 18; ++f)
                text += "   7";
            text += '\n';
        }
    return text;
}

// Two rings at tilt 0 and 30 (30 degree steps); the second lacks azimuth 90.
std::string UxdFile() {
    std::string text;
    for (int khi : {0, 30}) {
        text += "_2THETA=40\n_KHI=" + std::to_string(khi) + "\n_2THETACPS\n";
        for (int az = 0; az < 360; az += 30)
            if (!(khi == 30 && az == 90))
                text += std::to_string(az) + " 5\n";
    }
    return text;
}

// Keyword file on a 30 degree grid: rings at 90 and 60 degrees from the rim
// (tilt 0 and 30), the measured tilt range 60 to 90 from the rim.
std::string KeywordFile() {
    std::string text = "*LATT_CONS\t=  0, Cubic, x\n*INDEX\t=  1, 1, 1\n*STEP\t=  30\n"
                       "*PF_PCOUNT\t=  0, 0\n*PF_PCOUNT\t=  1, 2\n*PF_ASTART\t=  0, 15\n"
                       "*PF_ASTART\t=  1, 60\n*PF_ASTOP\t=  0, 80\n*PF_ASTOP\t=  1, 90\n"
                       "*PF_BANGLE\t=  0\n";
    for (int a : {90, 60}) {
        text += "*PF_AANGLE\t=  " + std::to_string(a) + "\n*COUNT\t=  12\n";
        for (int j = 0; j < 12; ++j)
            text += "3, ";
        text += "\n";
    }
    return text;
}

struct MeasuredCase {
    const char* name;
    const char* file;
    std::string text;
    int lastMeasuredRow; // -1: no mask (every cell measured)
    long long cells;     // measured cells when there is a mask
};

TEST(MeasuredCells, LayoutsReportWhatTheyMeasured) {
    const MeasuredCase cases[] = {
        {"header tilt limit", "a.epf", RingsFile("(100)  5.0 60.0  5.0360.0 1 1", 19), 12, 13 * 73},
        {"rings absent", "b.epf", RingsFile("(100)  5.0 80.0  5.0360.0 1 1", 10), 9, 10 * 73},
        {"complete rings", "c.epf", RingsFile("(100)  5.0 90.0  5.0360.0 1 1", 19), -1, 0},
        {"no header range", "d.epf", RingsFile("(100) free text", 19), -1, 0},
        // Rows 0 and 1 of 4; row 1 without azimuth 90 (column 3).
        {"uxd rings and azimuths", "e.UXD", UxdFile(), 1, 2 * 13 - 1},
        {"keyword tilt range", "f.txt", KeywordFile(), 1, 2 * 13},
    };
    dftest::TempDir dir;
    for (const MeasuredCase& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = dftest::Write(dir.File(c.file), c.text);
        auto data = ReadAnyFile(path);
        ASSERT_TRUE(data) << data.error().Text();
        if (c.lastMeasuredRow < 0) {
            EXPECT_TRUE(data->measured.empty());
            continue;
        }
        ASSERT_EQ(data->measured.extent(), data->grid2.extent());
        long long cells = 0;
        int last = -1;
        for (int i = 0; i < data->measured.alphaCount(); ++i)
            for (int j = 0; j < data->measured.betaCount(); ++j)
                if (data->measured[i][j]) {
                    ++cells;
                    last = i;
                }
        EXPECT_EQ(last, c.lastMeasuredRow);
        EXPECT_EQ(cells, c.cells);
    }
}

} // namespace
