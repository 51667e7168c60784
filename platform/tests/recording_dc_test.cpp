#include "platform/recording_dc.h"

#include <gtest/gtest.h>

TEST(RecordingDC, SelectObjectReturnsPreviousAndRecordsPenState) {
    CRecordingDC dc;
    EXPECT_TRUE(dc.StockObjectsSelected());
    CPen red(PS_SOLID, 3, RGB(255, 0, 0));
    CPen* old = dc.SelectObject(&red);
    dc.MoveTo(1, 2);
    dc.LineTo(10, 20);
    EXPECT_FALSE(dc.StockObjectsSelected());
    dc.SelectObject(old);
    EXPECT_TRUE(dc.StockObjectsSelected());
    dc.LineTo(0, 0);

    auto lines = dc.Lines();
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].points[0], (CPoint{1, 2}));
    EXPECT_EQ(lines[0].points[1], (CPoint{10, 20}));
    EXPECT_EQ(lines[0].pen, (PenDesc{PS_SOLID, 3, 0x0000FF}));
    EXPECT_EQ(lines[1].points[0], (CPoint{10, 20}));
    EXPECT_EQ(lines[1].pen.width, 1);
}

TEST(RecordingDC, TextExtentFollowsSelectedFontAndFillSetsBackground) {
    CRecordingDC dc;
    CFont f;
    f.CreateSimple(20, "Arial");
    CFont* old = dc.SelectObject(&f);
    EXPECT_EQ(dc.GetTextExtent("SD"), (CSize{20, 20}));
    dc.TextOut(3, 4, "SD");
    dc.SelectObject(old);
    EXPECT_EQ(dc.GetTextExtent("SD"), (CSize{16, 16}));
    ASSERT_NE(dc.FindText("SD"), nullptr);
    EXPECT_EQ(dc.FindText("SD")->font.face, "Arial");

    dc.FillSolidRect(0, 0, 5, 5, RGB(1, 2, 3));
    EXPECT_EQ(dc.GetBkColor(), RGB(1, 2, 3));
    EXPECT_EQ(dc.OfKind(DrawRecord::Kind::FillRect)[0].rect, (RECT{0, 0, 5, 5}));
}

TEST(RecordingDC, DeviceCapsAndPrintingFlag) {
    CRecordingDC mono(true, 1);
    EXPECT_TRUE(mono.IsPrinting());
    EXPECT_EQ(mono.GetDeviceCaps(BITSPIXEL), 1);
    EXPECT_EQ(mono.GetDeviceCaps(RASTERCAPS) & RC_PALETTE, RC_PALETTE);
    CRecordingDC screen;
    EXPECT_FALSE(screen.IsPrinting());
    EXPECT_EQ(screen.GetDeviceCaps(BITSPIXEL), 24);
}
