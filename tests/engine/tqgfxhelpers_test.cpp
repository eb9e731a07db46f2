// The device's geometry and colour helpers and the sprite helper's texture coordinates.
#include <cmath>

#include <gtest/gtest.h>

#include "device/tqgfxcolor.h"
#include "device/tqgfxrect.h"
#include "device/tqgfxsprite.h"
#include "device/tqgfxvector.h"

TEST(GfxRectTest, GrowsHitsAndIntersects) {
    TQGfxRect rect;
    rect.AddPoint(5, 6);
    EXPECT_EQ(rect.x1, 5.0f);
    EXPECT_EQ(rect.y2, 6.0f);
    rect.AddPoint(-1, 10);
    EXPECT_EQ(rect.x1, -1.0f);
    EXPECT_EQ(rect.x2, 5.0f);
    EXPECT_EQ(rect.y2, 10.0f);
    rect.Clear();
    rect.AddPoint(0, 0);
    EXPECT_EQ(rect.x2, 0.0f);

    const TQGfxRect box(0, 0, 10, 10);
    EXPECT_TRUE(box.HitTest(0, 0));
    EXPECT_FALSE(box.HitTest(10, 5));
    EXPECT_FALSE(box.HitTest(5, 10));
    EXPECT_FALSE(box.Intersect(TQGfxRect(10, 0, 20, 10)));
    EXPECT_TRUE(box.Intersect(TQGfxRect(9, 0, 20, 10)));
}

TEST(GfxVectorTest, NormalizeAngleRotate) {
    TQGfxVector v(3, 4);
    v.Normalize();
    EXPECT_NEAR(v.x, 0.6f, 0.002f);
    EXPECT_NEAR(v.y, 0.8f, 0.002f);
    TQGfxVector zero;
    zero.Normalize();
    EXPECT_EQ(zero.x, 0.0f);
    EXPECT_NEAR(TQGfxVector(0, 1).Angle(), M_PI / 2, 1e-6);
    const TQGfxVector a(0.3f, 0.7f);
    EXPECT_EQ(a.Angle(&a), 0.0f);
    const TQGfxVector opposite(-0.3f, -0.7f);
    EXPECT_NEAR(a.Angle(&opposite), M_PI, 1e-3);
    EXPECT_FALSE(std::isnan(a.Angle(&zero)));
    TQGfxVector r(1, 0);
    r.Rotate(static_cast<float>(M_PI / 2));
    EXPECT_NEAR(r.x, 0.0f, 1e-6);
    EXPECT_NEAR(r.y, 1.0f, 1e-6);
    EXPECT_NEAR(InvSqrt(4.0f), 0.5f, 0.001f);
}

TEST(GfxColorTest, PacksAndClampsChannels) {
    EXPECT_EQ(TQGfxColor(1, 1, 1, 1).GetARGB(), 0xFFFFFFFFu);
    EXPECT_EQ(TQGfxColor(1, 0, 0, 0.5f).GetARGB(), 0x7FFF0000u);
    EXPECT_EQ(TQGfxColor(2, -1, 0, 1.5f).GetARGB(), 0xFFFF0000u);
    TQGfxColor c;
    c.SetARGB(0xFF00FF00);
    EXPECT_EQ(c.a, 1.0f);
    EXPECT_EQ(c.r, 0.0f);
    EXPECT_EQ(c.GetARGB(), 0xFF00FF00u);
    c += TQGfxColor(1, 0, 0, 0);
    EXPECT_EQ((c * 0.5f).GetARGB(), 0x7F7F7F00u);
}

TEST(GfxSpriteTest, TextureCoordinatesFlipsAndCorners) {
    TQGfxSprite sprite(0, 0, 0, 32, 32); // no texture: a size of 1 x 1
    float x, y, w, h;
    sprite.GetTextureRect(&x, &y, &w, &h);
    EXPECT_EQ(w, 32.0f);
    sprite.SetFlip(true, false);
    sprite.SetFlip(true, false);
    bool fx = false, fy = true;
    sprite.GetFlip(&fx, &fy);
    EXPECT_TRUE(fx);
    EXPECT_FALSE(fy);
    sprite.SetTextureRect(0, 0, 16, 16);
    sprite.GetFlip(&fx, &fy);
    EXPECT_TRUE(fx);
    sprite.SetColor(0xFFFF0000, 2);
    sprite.SetColor(0x12345678, 4);
    sprite.SetZ(0.25f, -2);
    EXPECT_EQ(sprite.GetColor(2), 0xFFFF0000u);
    EXPECT_EQ(sprite.GetColor(0), 0xFFFFFFFFu);
    EXPECT_EQ(sprite.GetColor(9), 0u);
    EXPECT_EQ(sprite.GetZ(1), 0.5f);
    TQGfxSprite copy(sprite);
    EXPECT_EQ(copy.GetColor(2), 0xFFFF0000u);
    TQGfxRect box;
    sprite.SetHotSpot(8, 8);
    sprite.GetBoundingBoxEx(100, 100, 0, 2, 2, &box);
    EXPECT_EQ(box.x1, 84.0f);
    EXPECT_EQ(box.y2, 116.0f);
}
