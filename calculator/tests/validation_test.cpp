// The checks of the calculation dialogs' OK step: exact texts and order.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "calcjobs/job_common.h"
#include "calcjobs/recalc_jobs.h"
#include "calcjobs/validation.h"

namespace calcjobs {
namespace {

struct OdfCase {
    const char* name;
    std::vector<PoleFigureInput> poleFigures;
    const char* odfFile;
    double res;
    const char* expected; // "" = accepted; otherwise the start of the message
};

TEST(ValidationTest, OdfSetupMessagesInDialogOrder) {
    const std::vector<OdfCase> cases = {
        {"valid", {{"a.HPF", 1, 1, 1}, {"b.HPF", 2, 0, 0}}, "o.HODF", 5, ""},
        {"no pole figure", {}, "o.HODF", 5, "Input the file names of all pole figurrs"},
        {"second name empty",
         {{"a.HPF", 1, 1, 1}, {"", 2, 0, 0}},
         "o.HODF",
         5,
         "Input the file names of all pole figurrs"},
        {"zero indices", {{"a.HPF", 0, 0, 0}}, "o.HODF", 5, "Invalid Miller indices"},
        // The file-name check of a pole figure comes before its index check.
        {"empty name and zero indices",
         {{"", 0, 0, 0}},
         "o.HODF",
         5,
         "Input the file names of all pole figurrs"},
        // Pole figures are checked before the output name.
        {"zero indices and no output", {{"a.HPF", 0, 0, 0}}, "", 5, "Invalid Miller indices"},
        {"no output", {{"a.HPF", 1, 1, 1}}, "", 5, "Must give an ODF file name"},
        {"seven pole figures", std::vector<PoleFigureInput>(7, {"a.HPF", 1, 1, 1}), "o.HODF", 5,
         "At most six"},
        {"resolution 0", {{"a.HPF", 1, 1, 1}}, "o.HODF", 0, "Invalid resolution"},
        {"negative resolution", {{"a.HPF", 1, 1, 1}}, "o.HODF", -5, "Invalid resolution"},
        {"too fine", {{"a.HPF", 1, 1, 1}}, "o.HODF", 0.09, "Invalid resolution"},
        {"too coarse", {{"a.HPF", 1, 1, 1}}, "o.HODF", 45.01, "Invalid resolution"},
        // The engine's own limits are accepted; memory is checked by the jobs.
        {"finest", {{"a.HPF", 1, 1, 1}}, "o.HODF", 0.1, ""},
        {"half a degree", {{"a.HPF", 1, 1, 1}}, "o.HODF", 0.5, ""},
        {"coarsest", {{"a.HPF", 1, 1, 1}}, "o.HODF", 45, ""},
        {"not a number",
         {{"a.HPF", 1, 1, 1}},
         "o.HODF",
         std::numeric_limits<double>::quiet_NaN(),
         "Invalid resolution"},
        {"2.5 degrees", {{"a.HPF", 1, 1, 1}}, "o.HODF", 2.5, ""},
        {"5.00001 degrees", {{"a.HPF", 1, 1, 1}}, "o.HODF", 5.00001, ""},
        {"negative indices", {{"a.HPF", 1, -1, 0}}, "o.HODF", 5, ""},
    };
    for (const OdfCase& c : cases) {
        std::string message = ValidateODFSetup(c.poleFigures, c.odfFile, c.res);
        if (*c.expected == '\0')
            EXPECT_EQ(message, "") << c.name;
        else
            EXPECT_EQ(message.rfind(c.expected, 0), 0u) << c.name << ": " << message;
    }
}

TEST(ValidationTest, RecalculationMessages) {
    struct Case {
        double h, k, l;
        const char* file;
        const char* expected;
    };
    const Case cases[] = {
        {0, 0, 0, "p.HPF", "Invalid h, k, l values"},
        {0.00005, 0, -0.00005, "p.HPF", "Invalid h, k, l values"}, // all below 0.0001
        {0, 0, 1, "p.HPF", ""},
        {0, 0, 0, "", "Invalid h, k, l values"}, // indices checked first
        {1, 1, 1, "", "Must give an PF file name"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ValidatePFSetup(c.h, c.k, c.l, c.file), c.expected) << c.h << c.k << c.l;
    EXPECT_EQ(ValidateIPFSetup(""), "Must give an inverse pole figure file name");
    EXPECT_EQ(ValidateIPFSetup("n.HIPF"), "");
}

TEST(ValidationTest, CrystalSystemRuleFixesConstrainedParameters) {
    const double current[6] = {3.2, 4.1, 5.2, 80, 100, 110};
    struct Case {
        int type;
        double expected[6];
    };
    const Case cases[] = {
        {0, {1, 1, 1, 90, 90, 90}},         {1, {1, 1, 5.2, 90, 90, 120}},
        {2, {1, 1, 5.2, 90, 90, 90}},       {3, {3.2, 4.1, 5.2, 90, 90, 90}},
        {4, {3.2, 4.1, 5.2, 90, 100, 90}},  {5, {1, 1, 1, 100, 100, 100}},
        {6, {3.2, 4.1, 5.2, 80, 100, 110}},
    };
    for (const Case& c : cases) {
        double out[6];
        ApplyCrystalSystemRule(c.type, current, out);
        for (int i = 0; i < 6; ++i)
            EXPECT_EQ(out[i], c.expected[i]) << "type " << c.type << " value " << i;
    }
}

TEST(ValidationTest, ResultKindsNameTheirProfileKeys) {
    EXPECT_STREQ(ResultProfileKey(kResultODF).section, "ODFCalculation");
    EXPECT_STREQ(ResultProfileKey(kResultODF).key, "ODFFileName");
    EXPECT_STREQ(ResultProfileKey(kResultPoleFigure).key, "PFFileName");
    EXPECT_STREQ(ResultProfileKey(kResultInversePoleFigure).section, "IPFCalculation");
    EXPECT_STREQ(ResultProfileKey(kResultGBCDFiber).section, "GBCDFiber");
    EXPECT_STREQ(ResultProfileKey(kResultGBCDInODF).key, "GBCDFileName");
    EXPECT_EQ(ResultProfileKey(5).section, nullptr);
    EXPECT_EQ(ResultProfileKey(13).section, nullptr);
}

TEST(ValidationTest, InversePoleFigureNameRule) {
    EXPECT_EQ(AdjustIPFFileName("out/nd.hip"), "out/nd.HIPF");
    EXPECT_EQ(AdjustIPFFileName("out/nd.HiP"), "out/nd.HIPF");
    EXPECT_EQ(AdjustIPFFileName("out/nd.HIPF.bak"), "out/nd.HIPF");
    EXPECT_EQ(AdjustIPFFileName("out.v2/nd.HIPF"), "out.v2/nd.HIPF"); // dots in folders are kept
    EXPECT_EQ(AdjustIPFFileName("nd"), "nd");
}

TEST(ValidationTest, SampleDirectionAngles) {
    double d[3];
    SampleDirection(0, 0, d); // ND
    EXPECT_NEAR(d[2], 1, 1e-9);
    SampleDirection(90, 0, d); // RD
    EXPECT_NEAR(d[0], 1, 1e-9);
    EXPECT_NEAR(d[2], 0, 1e-9);
    SampleDirection(90, 90, d); // TD
    EXPECT_NEAR(d[1], 1, 1e-9);
}

} // namespace
} // namespace calcjobs
