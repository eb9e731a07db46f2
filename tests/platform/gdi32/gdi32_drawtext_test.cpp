// DrawTextA: alignment in the rectangle, several lines, clipping and the result.
#include "gdisurface.h"

#include <gtest/gtest.h>

namespace {

class DrawTextTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_font = MakeFont(-12, "Times New Roman");
        SelectObject(m_surface.dc(), m_font);
        SetBkMode(m_surface.dc(), TRANSPARENT);
    }
    void TearDown() override { DeleteObject(m_font); }

    RECT Draw(const char* text, RECT rect, UINT format, int* result = nullptr) {
        m_surface.fill(0x010101);
        int r = DrawTextA(m_surface.dc(), text, -1, &rect, format);
        if (result != nullptr)
            *result = r;
        return m_surface.ink();
    }

    GdiSurface m_surface{120, 80, 0x010101};
    HFONT m_font = nullptr;
};

} // namespace

TEST_F(DrawTextTest, SingleLineAlignsInBothDirections) {
    const RECT rect = {10, 10, 110, 70};
    RECT left = Draw("Hm", rect, DT_LEFT | DT_TOP | DT_SINGLELINE);
    RECT center = Draw("Hm", rect, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    RECT right = Draw("Hm", rect, DT_RIGHT | DT_BOTTOM | DT_SINGLELINE);
    int width = left.right - left.left;
    ASSERT_GT(width, 5);
    EXPECT_EQ(center.right - center.left, width);

    EXPECT_LE(left.left - rect.left, 1);
    EXPECT_LE(rect.right - right.right, 1);
    int centreX = (center.left + center.right) / 2;
    EXPECT_NEAR(centreX, (rect.left + rect.right) / 2, 2);

    // The 14-pixel cell sits at the top, 23 pixels lower in the middle and 46 lower at the bottom.
    EXPECT_GE(left.top, 10);
    EXPECT_LT(left.bottom, 10 + 14);
    EXPECT_EQ(center.top - left.top, (60 - 14) / 2);
    EXPECT_EQ(right.top - left.top, 60 - 14);

    int result = 0;
    Draw("Hm", rect, DT_CENTER | DT_VCENTER | DT_SINGLELINE, &result);
    EXPECT_EQ(result, 23 + 14); // offset from the top to the bottom of the text
    Draw("Hm", rect, DT_SINGLELINE, &result);
    EXPECT_EQ(result, 14);
}

TEST_F(DrawTextTest, SeveralLinesStackAndAlignOneByOne) {
    const RECT rect = {0, 0, 120, 80};
    int result = 0;
    RECT one = Draw("H", rect, DT_LEFT);
    RECT three = Draw("H\nH\r\nH", rect, DT_LEFT, &result);
    EXPECT_EQ(result, 3 * 14);
    EXPECT_EQ(three.bottom - one.bottom, 2 * 14);
    EXPECT_EQ(three.left, one.left);

    // Right alignment places each line's own end at the right edge.
    RECT rightShort = Draw("wide line\nx", rect, DT_RIGHT);
    EXPECT_GE(rightShort.right, 119);
    m_surface.fill(0x010101);
    RECT r = rect;
    DrawTextA(m_surface.dc(), "wide line\nx", -1, &r, DT_RIGHT);
    int xRowInk = 0; // the "x" of the second line lies at the right edge too
    for (int y = 15; y < 28; ++y)
        for (int x = 110; x < 120; ++x)
            xRowInk += m_surface.at(x, y) != 0x010101;
    EXPECT_GT(xRowInk, 0);

    // Vertical centring applies to single lines only.
    RECT multi = Draw("H\nH", rect, DT_VCENTER);
    EXPECT_EQ(multi.top, Draw("H\nH", rect, DT_TOP).top);
    // On a single line, a line break is just another character.
    RECT single = Draw("H\nH", rect, DT_SINGLELINE);
    EXPECT_LT(single.bottom, 14);
}

TEST_F(DrawTextTest, TextIsClippedToTheRectangle) {
    RECT rect = {20, 20, 40, 28};
    RECT ink = Draw("Clipped text", rect, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    EXPECT_GE(ink.left, 20);
    EXPECT_GE(ink.top, 20);
    EXPECT_LE(ink.right, 40);
    EXPECT_LE(ink.bottom, 28);
    EXPECT_GT(m_surface.inkCount(), 0);

    RECT free = Draw("Clipped text", rect, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOCLIP);
    EXPECT_LT(free.left, 20);
    EXPECT_GT(free.right, 40);

    // A rectangle far outside the bitmap draws nothing and touches nothing.
    RECT away = {-100000, -100000, -99000, -99990};
    EXPECT_EQ(Draw("far", away, DT_LEFT).right, 0);
    RECT huge = {INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX};
    Draw("edge", huge, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    Draw("edge", huge, DT_RIGHT | DT_BOTTOM | DT_SINGLELINE);
}

TEST_F(DrawTextTest, BadArgumentsReturnZero) {
    RECT rect = {0, 0, 50, 20};
    EXPECT_EQ(DrawTextA(m_surface.dc(), "x", 1, nullptr, 0), 0);
    EXPECT_EQ(DrawTextA(m_surface.dc(), nullptr, 4, &rect, 0), 0);
    EXPECT_EQ(DrawTextA(m_surface.dc(), "x", -7, &rect, 0), 0);
    EXPECT_EQ(DrawTextA(nullptr, "x", 1, &rect, 0), 0);
    EXPECT_EQ(DrawTextA(m_surface.dc(), "", -1, &rect, 0), 0);
    EXPECT_EQ(m_surface.inkCount(), 0);
}
