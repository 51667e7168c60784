#include "platform_qt/qt_dc.h"

#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include "platform_qt/fonts.h"

namespace {

QGuiApplication& App() {
    static int argc = 1;
    static char name[] = "platform_qt_tests";
    static char* argv[] = {name, nullptr};
    // Headless whatever the environment says.
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    static QGuiApplication* app =
        QGuiApplication::instance() ? nullptr : new QGuiApplication(argc, argv);
    return app ? *app : *static_cast<QGuiApplication*>(QGuiApplication::instance());
}

QImage White(int w, int h) {
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(Qt::white);
    return img;
}

bool Dark(const QImage& img, int x, int y) {
    return qGray(img.pixel(x, y)) < 128;
}

TEST(QtDC, LinesLandOnTheirPixelsWithoutAntialiasing) {
    App();
    QImage img = White(40, 40);
    {
        QPainter p(&img);
        CQtDC dc(&p, QtDCOptions{false, 24, 96, false});
        CPen pen(PS_SOLID, 1, RGB(0, 0, 0));
        CPen* old = dc.SelectObject(&pen);
        dc.MoveTo(5, 10);
        dc.LineTo(30, 10);
        dc.MoveTo(20, 2);
        dc.LineTo(20, 35);
        dc.SelectObject(old);
        dc.FillSolidRect(0, 30, 4, 4, RGB(255, 0, 0));
    }
    EXPECT_TRUE(Dark(img, 5, 10));
    EXPECT_TRUE(Dark(img, 29, 10));
    EXPECT_FALSE(Dark(img, 15, 9));
    EXPECT_FALSE(Dark(img, 15, 11));
    EXPECT_TRUE(Dark(img, 20, 20));
    EXPECT_FALSE(Dark(img, 19, 20));
    EXPECT_EQ(img.pixelColor(1, 31), QColor(255, 0, 0));
    EXPECT_EQ(img.pixelColor(5, 31), QColor(255, 255, 255));
}

TEST(QtDC, FontCellHeightAndSymbolFace) {
    App();
    QImage img = White(200, 60);
    QPainter p(&img);
    CQtDC dc(&p);
    CFont f;
    f.CreateSimple(20, "Arial");
    CFont* old = dc.SelectObject(&f);
    CSize ext = dc.GetTextExtent("SD");
    EXPECT_NEAR(ext.cy, 20, 1);
    EXPECT_GT(ext.cx, 10);
    dc.SelectObject(old);
    EXPECT_EQ(platform::SymbolToUnicode("jF a=1"), QString::fromUtf8("φΦ α=1"));
    EXPECT_EQ(platform::FontFamilyFor("Times New Roman"), "Liberation Serif");
    EXPECT_EQ(platform::FontFamilyFor("Arial"), "Liberation Sans");
    auto names = GetAvailableFontName();
    EXPECT_NE(std::find(names.begin(), names.end(), "Arial"), names.end());
}

TEST(QtDC, TextIsDrawnBelowItsTopLeftCorner) {
    App();
    QImage img = White(100, 60);
    {
        QPainter p(&img);
        CQtDC dc(&p);
        CFont f;
        f.CreateSimple(30, "Arial");
        CFont* old = dc.SelectObject(&f);
        dc.SetBkMode(TRANSPARENT);
        dc.TextOut(10, 20, "H");
        dc.SelectObject(old);
    }
    int top = 100, bottom = -1;
    for (int y = 0; y < 60; ++y)
        for (int x = 0; x < 100; ++x)
            if (Dark(img, x, y))
                top = std::min(top, y), bottom = std::max(bottom, y);
    EXPECT_GE(top, 20);
    EXPECT_LE(bottom, 50);
}

} // namespace
