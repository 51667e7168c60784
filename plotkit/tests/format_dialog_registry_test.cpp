#include <gtest/gtest.h>

#include <cstring>

#include "plotkit/plotkit.h"

namespace {

// The registry is process-wide; every test leaves it empty.
class FormatDialogRegistry : public testing::Test {
  protected:
    void TearDown() override {
        for (int type = kDisplayText; type <= kDisplayHIPF; ++type)
            plotkit::RegisterFormatDialog(type, plotkit::FormatDialogFn{});
    }
};

TEST_F(FormatDialogRegistry, WithoutADialogOnFormatKeepsTheRecordAndGivesZero) {
    CPFStructure pf("a.pf");
    const PFInfo before = pf.GetInfo();
    EXPECT_EQ(pf.OnFormat(), 0);
    const PFInfo after = pf.GetInfo();
    EXPECT_EQ(std::memcmp(&before, &after, sizeof before), 0);
    const double lattice[6] = {1, 1, 1, 90, 90, 90};
    CODFStructure odf(0, lattice);
    EXPECT_EQ(odf.OnFormat(), 0);
}

TEST_F(FormatDialogRegistry, OnFormatRunsTheDialogOfItsTypeOnItself) {
    static CPFStructure* seen = nullptr;
    int (*dialog)(CPFStructure&) = [](CPFStructure& pf) {
        seen = &pf;
        pf.InfoRef().radius = 12.5;
        return 1;
    };
    plotkit::RegisterFormatDialog(kDisplayPF, dialog);
    CPFStructure pf("a.pf");
    EXPECT_EQ(pf.OnFormat(), 1);
    EXPECT_EQ(seen, &pf);
    EXPECT_EQ(pf.GetInfo().radius, 12.5);

    // Another type's object does not reach the pole figure dialog.
    const double levels[10] = {};
    CLegendMap legend(1, 2, levels, 0.2);
    seen = nullptr;
    EXPECT_EQ(legend.OnFormat(), 0);
    EXPECT_EQ(seen, nullptr);

    // An empty function removes the dialog again.
    plotkit::RegisterFormatDialog(kDisplayPF, plotkit::FormatDialogFn{});
    EXPECT_EQ(pf.OnFormat(), 0);
    EXPECT_EQ(seen, nullptr);
}

TEST_F(FormatDialogRegistry, ADialogForAnotherClassIsNotCalledWithTheWrongObject) {
    static int calls = 0;
    int (*odfDialog)(CODFStructure&) = [](CODFStructure&) { return ++calls; };
    plotkit::RegisterFormatDialog(kDisplayPF, odfDialog);
    CPFStructure pf("a.pf");
    EXPECT_EQ(pf.OnFormat(), 0);
    EXPECT_EQ(calls, 0);
}

// The scan line dialog deletes lines at once and restores only the record
// when cancelled; OnFormat must give the data back then, and keep the
// deletion after OK.
TEST_F(FormatDialogRegistry, ScanLineDataComeBackOnlyWhenTheDialogIsCancelled) {
    static int answer = 0;
    int (*dialog)(CScanLine&) = [](CScanLine& line) {
        const ScanLineInfo saved = line.GetInfo();
        line.DeleteLine(0);
        if (answer == 0)
            line.SetInfo(saved);
        return answer;
    };
    plotkit::RegisterFormatDialog(kDisplayLine, dialog);
    CScanLine chart;
    double v[73];
    for (int k = 0; k < 2; ++k) {
        for (double& x : v)
            x = k + 1.0;
        ASSERT_EQ(chart.AddData(v, 90, 1, k == 0 ? "rd" : "td"), 1);
    }
    double got[10][73];
    int count = 0;

    answer = 0;
    EXPECT_EQ(chart.OnFormat(), 0);
    chart.GetData(got, count);
    ASSERT_EQ(count, 2);
    EXPECT_EQ(got[0][0], 1.0);
    EXPECT_EQ(got[1][72], 2.0);

    answer = 1;
    EXPECT_EQ(chart.OnFormat(), 1);
    chart.GetData(got, count);
    ASSERT_EQ(count, 1);
    EXPECT_EQ(got[0][0], 2.0);
}

} // namespace
