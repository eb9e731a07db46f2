// The frame animation: frame sequences of every mode, the frame clock, frame layout on the texture
// (read back from the pixels drawn and from screenshots), the first frame kept by the base sprite,
// flips, and frame rates and textures it cannot lay out.
#include "bmppixels.h"
#include "devicetestsupport.h"

#include "device/tqgfxanimation.h"

#include <limits>
#include <random>
#include <string>
#include <vector>

namespace {

const int kCell = 64;

// Colour of the left and right halves of cell c of the layout texture (cells of 64 × 64, numbered
// row by row, four to a row).
uint32_t LeftColour(int cell) {
    return static_cast<uint32_t>(10 + 20 * cell) << 16;
}
uint32_t RightColour(int cell) {
    return static_cast<uint32_t>(10 + 20 * cell) << 8;
}

class AnimationTest : public DeviceTest {
protected:
    void SetUp() override {
        DeviceTest::SetUp();
        dev->System_SetState(TQGFX_TEXTUREFILTER, false);
        ASSERT_TRUE(Initiate(kCell, kCell));
    }

    // 256 × 128: two rows of four cells, each split into a left and a right colour.
    DWORD LayoutTexture() {
        DWORD texture = dev->Texture_Create(4 * kCell, 2 * kCell);
        DWORD* pixels = dev->Texture_Lock(texture, false, 0, 0, 0, 0);
        if (!pixels)
            return texture;
        for (int y = 0; y < 2 * kCell; ++y) {
            for (int x = 0; x < 4 * kCell; ++x) {
                const int cell = (y / kCell) * 4 + x / kCell;
                const bool left = x % kCell < kCell / 2;
                pixels[y * 4 * kCell + x] = 0xFF000000 | (left ? LeftColour(cell) : RightColour(cell));
            }
        }
        dev->Texture_Unlock(texture);
        return texture;
    }

    // Up to 256 × 256: every texel encodes its own position, x in red and y in green.
    DWORD PositionTexture(DWORD width = 256, DWORD height = 256) {
        DWORD texture = dev->Texture_Create(width, height);
        DWORD* pixels = dev->Texture_Lock(texture, false, 0, 0, 0, 0);
        if (!pixels)
            return texture;
        for (DWORD y = 0; y < height; ++y)
            for (DWORD x = 0; x < width; ++x)
                pixels[y * width + x] = 0xFF00005A | x << 16 | y << 8;
        dev->Texture_Unlock(texture);
        return texture;
    }

    // The texel rectangle the animation is drawn from, as "x,y,w,h", decoded from the corners of
    // a screenshot of it drawn at (0, 0) over a position texture (wider frames wrap around the
    // texture); "?" for pixels of no texel.
    std::string DrawnRect(TQGfxAnimation& animation) {
        EXPECT_TRUE(dev->Gfx_BeginScene(0));
        dev->Gfx_Clear(0xFF000000);
        animation.Render(0, 0);
        dev->Gfx_EndScene();
        dev->System_Snapshot(Path("shot.bmp").c_str());
        int width = 0, height = 0;
        const std::vector<uint32_t> shot = BmpPixels(ReadBytes(Path("shot.bmp")), &width, &height);
        const int right = static_cast<int>(animation.GetWidth()) - 1;
        const int bottom = static_cast<int>(animation.GetHeight()) - 1;
        if (right >= width || bottom >= height)
            return "?";
        const uint32_t topLeft = shot[0];
        const uint32_t bottomRight = shot[static_cast<size_t>(bottom * width + right)];
        if ((topLeft & 0xFF) != 0x5A || (bottomRight & 0xFF) != 0x5A)
            return "?";
        const int x = static_cast<int>(topLeft >> 16), y = static_cast<int>(topLeft >> 8 & 0xFF);
        return std::to_string(x) + "," + std::to_string(y) + "," +
               std::to_string(static_cast<int>(bottomRight >> 16) - x + 1) + "," +
               std::to_string(static_cast<int>(bottomRight >> 8 & 0xFF) - y + 1);
    }

    // The cell the animation shows, from the colour drawn left of its centre; -1 when none matches.
    int ShownCell(TQGfxAnimation& animation) {
        EXPECT_TRUE(dev->Gfx_BeginScene(0));
        dev->Gfx_Clear(0xFF000000);
        animation.Render(0, 0);
        dev->Gfx_EndScene();
        const uint32_t colour = PixelRgb(kCell / 4, kCell / 2);
        for (int cell = 0; cell < 8; ++cell) {
            if (colour == LeftColour(cell))
                return cell;
            if (colour == RightColour(cell))
                return 100 + cell; // mirrored
        }
        return -1;
    }
};

// Frames shown by Play and then by each of `steps` whole frame periods; false marks a stop.
std::vector<int> Sequence(int mode, int frames, int steps) {
    TQGfxAnimation animation(0, frames, 10.0f, 0, 0, 8, 8);
    animation.SetMode(mode);
    animation.Play();
    animation.Update(0.0f);
    std::vector<int> shown{animation.GetFrame()};
    for (int i = 0; i < steps && animation.IsPlaying(); ++i) {
        animation.Update(0.1f);
        shown.push_back(animation.IsPlaying() ? animation.GetFrame() : -1 - animation.GetFrame());
    }
    return shown;
}

} // namespace

TEST_F(AnimationTest, FrameSequencesOfEveryMode) {
    // -1 - n: stopped on frame n.
    EXPECT_EQ(Sequence(0, 3, 8), (std::vector<int>{0, 1, 2, -3}));
    EXPECT_EQ(Sequence(TQGfxAnimation::kReverse, 3, 8), (std::vector<int>{2, 1, 0, -1}));
    EXPECT_EQ(Sequence(TQGfxAnimation::kPingPong, 3, 8), (std::vector<int>{0, 1, 2, 1, 0, -1}));
    EXPECT_EQ(Sequence(TQGfxAnimation::kReverse | TQGfxAnimation::kPingPong, 3, 8),
              (std::vector<int>{2, 1, 0, 1, 2, -3}));
    EXPECT_EQ(Sequence(TQGfxAnimation::kLoop, 3, 5), (std::vector<int>{0, 1, 2, 0, 1, 2}));
    EXPECT_EQ(Sequence(TQGfxAnimation::kLoop | TQGfxAnimation::kReverse, 3, 5),
              (std::vector<int>{2, 1, 0, 2, 1, 0}));
    EXPECT_EQ(Sequence(TQGfxAnimation::kLoop | TQGfxAnimation::kPingPong, 3, 6),
              (std::vector<int>{0, 1, 2, 1, 0, 1, 2}));
    EXPECT_EQ(Sequence(7, 3, 6), (std::vector<int>{2, 1, 0, 1, 2, 1, 0}));
    // Above 7 both ends wrap; bit 1 still starts it backwards.
    EXPECT_EQ(Sequence(9, 3, 4), (std::vector<int>{2, 1, 0, 2, 1}));
    // One frame in ping-pong turns on the spot.
    EXPECT_EQ(Sequence(TQGfxAnimation::kLoop | TQGfxAnimation::kPingPong, 1, 3),
              (std::vector<int>{0, 0, 0, 0}));
}

TEST_F(AnimationTest, ClockStartsOnTheFirstUpdateAndStepsOneFrameAtATime) {
    TQGfxAnimation animation(0, 4, 10.0f, 0, 0, 8, 8);
    EXPECT_FALSE(animation.IsPlaying());
    EXPECT_EQ(animation.GetMode(), TQGfxAnimation::kLoop);
    animation.Update(1.0f);
    EXPECT_EQ(animation.GetFrame(), 0);

    animation.Play();
    animation.Update(0.05f); // only starts the clock
    EXPECT_EQ(animation.GetFrame(), 0);
    animation.Update(0.1f);
    EXPECT_EQ(animation.GetFrame(), 1);
    animation.Update(0.35f); // one frame, 0.25 s carried over
    EXPECT_EQ(animation.GetFrame(), 2);
    animation.Update(0.0f);
    EXPECT_EQ(animation.GetFrame(), 3);
    animation.Update(0.0f);
    EXPECT_EQ(animation.GetFrame(), 0);
    animation.Update(0.0f);
    EXPECT_EQ(animation.GetFrame(), 0);

    // Stop keeps frame and clock; Resume goes on without restarting.
    animation.Stop();
    animation.Update(1.0f);
    EXPECT_EQ(animation.GetFrame(), 0);
    animation.Resume();
    animation.Update(0.1f);
    EXPECT_EQ(animation.GetFrame(), 1);
}

TEST_F(AnimationTest, ResumeAfterTheEndStopsAgainWithoutAnotherFrame) {
    TQGfxAnimation animation(0, 3, 10.0f, 0, 0, 8, 8);
    animation.SetMode(0);
    animation.Play();
    for (int i = 0; i < 4; ++i)
        animation.Update(i ? 0.1f : 0.0f);
    EXPECT_FALSE(animation.IsPlaying());
    EXPECT_EQ(animation.GetFrame(), 2);
    animation.Resume();
    animation.Update(0.1f);
    EXPECT_FALSE(animation.IsPlaying());
    EXPECT_EQ(animation.GetFrame(), 2);
}

TEST_F(AnimationTest, FrameRatesOfZeroOrBelowNeverAdvance) {
    TQGfxAnimation animation(0, 4, 0.0f, 0, 0, 8, 8);
    EXPECT_EQ(animation.GetSpeed(), 0.0f);
    animation.Play();
    for (int i = 0; i < 5; ++i)
        animation.Update(100.0f);
    EXPECT_EQ(animation.GetFrame(), 0);
    EXPECT_TRUE(animation.IsPlaying());

    animation.SetSpeed(-5.0f);
    EXPECT_EQ(animation.GetSpeed(), 0.0f);
    animation.Update(100.0f);
    EXPECT_EQ(animation.GetFrame(), 0);

    animation.SetSpeed(20.0f);
    EXPECT_FLOAT_EQ(animation.GetSpeed(), 20.0f);
    animation.Update(0.05f);
    EXPECT_EQ(animation.GetFrame(), 1);
}

TEST_F(AnimationTest, FrameNumbersWrapAndFrameCountsStayPositive) {
    TQGfxAnimation animation(0, 5, 10.0f, 0, 0, 8, 8);
    animation.SetFrame(-1);
    EXPECT_EQ(animation.GetFrame(), 4);
    animation.SetFrame(7);
    EXPECT_EQ(animation.GetFrame(), 2);
    animation.SetFrame(-11);
    EXPECT_EQ(animation.GetFrame(), 4);

    // SetFrames keeps the frame shown.
    animation.SetFrames(2);
    EXPECT_EQ(animation.GetFrames(), 2);
    EXPECT_EQ(animation.GetFrame(), 4);
    animation.SetFrames(0);
    EXPECT_EQ(animation.GetFrames(), 1);

    TQGfxAnimation none(0, 0, 10.0f, 0, 0, 8, 8);
    EXPECT_EQ(none.GetFrames(), 1);
    none.Play();
    none.Update(0.0f);
    none.Update(0.1f);
    EXPECT_EQ(none.GetFrame(), 0);
}

TEST_F(AnimationTest, FramesRunAlongTheRowThenFromTheLeftEdge) {
    DWORD texture = LayoutTexture();
    TQGfxAnimation fromCorner(texture, 8, 10.0f, 0, 0, kCell, kCell);
    const int expected[8] = {0, 1, 2, 3, 4, 5, 6, 7};
    for (int frame = 0; frame < 8; ++frame) {
        fromCorner.SetFrame(frame);
        EXPECT_EQ(ShownCell(fromCorner), expected[frame]) << "frame " << frame;
    }

    TQGfxAnimation fromMiddle(texture, 4, 10.0f, 2 * kCell, 0, kCell, kCell);
    const int expectedFromMiddle[4] = {2, 3, 4, 5};
    for (int frame = 0; frame < 4; ++frame) {
        fromMiddle.SetFrame(frame);
        EXPECT_EQ(ShownCell(fromMiddle), expectedFromMiddle[frame]) << "frame " << frame;
    }
    float x, y, w, h;
    fromMiddle.GetTextureRect(&x, &y, &w, &h);
    EXPECT_EQ(x, 2.0f * kCell);
    EXPECT_EQ(y, 0.0f);
    EXPECT_EQ(w, static_cast<float>(kCell));
}

TEST_F(AnimationTest, FlipsCarryOverToEveryFrame) {
    TQGfxAnimation animation(LayoutTexture(), 8, 10.0f, 0, 0, kCell, kCell);
    animation.SetFlip(true, false);
    EXPECT_EQ(ShownCell(animation), 100);
    animation.SetFrame(5);
    EXPECT_EQ(ShownCell(animation), 105);
    animation.SetMode(TQGfxAnimation::kReverse);
    EXPECT_EQ(ShownCell(animation), 107);
    animation.SetFlip(false, false);
    EXPECT_EQ(ShownCell(animation), 7);
}

std::string Rect(float x, float y, float w, float h) {
    return std::to_string(static_cast<int>(x)) + "," + std::to_string(static_cast<int>(y)) + "," +
           std::to_string(static_cast<int>(w)) + "," + std::to_string(static_cast<int>(h));
}

std::string BaseRect(TQGfxSprite& base) {
    float x, y, w, h;
    base.GetTextureRect(&x, &y, &w, &h);
    return Rect(x, y, w, h);
}

// Frame n's rectangle on a texture 256 texels wide: along the first frame's row while frames fit,
// then row after row from the texture's left edge.
std::string LaidOutFrame(int n, int x0, int y0, int size) {
    int left = x0 + n * size, top = y0;
    if (left > 256 - size) {
        const int m = n - (256 - x0) / size;
        left = size * (m % (256 / size));
        top = y0 + size * (1 + m / (256 / size));
    }
    return Rect(left, top, size, size);
}

// The base sprite's rectangle is the first frame's whatever frame is shown; setting it through the
// base moves the first frame, also to where the frame shown happens to be.
TEST_F(AnimationTest, BaseKeepsTheFirstFrameAndFramesAreDrawnFromItsLayout) {
    TQGfxAnimation animation(PositionTexture(), 64, 10.0f, 0, 0, kCell, kCell);
    TQGfxSprite& base = animation;
    animation.SetFrame(5);
    EXPECT_EQ(DrawnRect(animation), "64,64,64,64");
    EXPECT_EQ(BaseRect(base), "0,0,64,64");
    base.SetTextureRect(kCell, kCell, kCell, kCell);
    EXPECT_EQ(BaseRect(base), "64,64,64,64");
    animation.SetFrame(1);
    EXPECT_EQ(DrawnRect(animation), "128,64,64,64");

    // Random first frames and frames, against the layout; frames below the texture are not drawn.
    std::mt19937 random(2111);
    int x0 = kCell, y0 = kCell, size = kCell;
    for (int step = 0; step < 60; ++step) {
        std::string expected;
        if (random() % 3 == 0) {
            size = 16 << random() % 3;
            x0 = static_cast<int>(random() % (257 - size));
            y0 = static_cast<int>(random() % 64);
            base.SetTextureRect(static_cast<float>(x0), static_cast<float>(y0), static_cast<float>(size),
                                static_cast<float>(size));
            expected = Rect(x0, y0, size, size);
        } else {
            const int n = static_cast<int>(random() % 64);
            expected = LaidOutFrame(n, x0, y0, size);
            if (std::stoi(expected.substr(expected.find(',') + 1)) + size > 256)
                continue;
            animation.SetFrame(n);
        }
        SCOPED_TRACE("step " + std::to_string(step));
        EXPECT_EQ(DrawnRect(animation), expected);
        EXPECT_EQ(BaseRect(base), Rect(x0, y0, size, size));
    }
}

TEST_F(AnimationTest, TextureNarrowerThanAFrameKeepsTheFirstFrameAndStacksTheRest) {
    TQGfxAnimation animation(PositionTexture(16, 256), 3, 10.0f, 0, 0, 32, 32);
    TQGfxSprite& sprite = animation;
    EXPECT_EQ(DrawnRect(animation), "0,0,16,32");
    animation.SetFrame(2);
    EXPECT_EQ(DrawnRect(animation), "0,64,16,32");
    EXPECT_EQ(BaseRect(sprite), "0,0,32,32");

    // Frames narrower than a texel, and no texture at all.
    DWORD small = dev->Texture_Create(16, 16);
    TQGfxAnimation thin(small, 4, 10.0f, 0, 0, 0.5f, 4);
    thin.SetFrame(3);
    EXPECT_EQ(thin.GetFrame(), 3);
    TQGfxAnimation untextured(0, 4, 10.0f, 0, 0, 8, 8);
    untextured.SetFrame(3);
    EXPECT_EQ(untextured.GetFrame(), 3);
    // Widths and places no int holds, as a description file may give them (W=2147483647).
    for (float huge : {2147483647.0f, 3e38f, std::numeric_limits<float>::quiet_NaN()}) {
        TQGfxAnimation wide(small, 4, 10.0f, -huge, 0, huge, 4);
        wide.SetFrame(3);
        EXPECT_EQ(wide.GetFrame(), 3);
    }
}
