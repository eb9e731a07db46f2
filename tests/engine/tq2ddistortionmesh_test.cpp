// Distortion meshes: a texture drawn through a displaced grid, the empty wrapper, copies.
#include "enginetestutil.h"

#include "engine/tq2ddistortionmesh.h"
#include "engine/tq2dtexture.h"
#include "platform/win32/video/tqvideo.h"

namespace {

class MeshTest : public EngineTest {
protected:
    void SetUp() override {
        EngineTest::SetUp();
        StartEngine();
    }
    template <class Draw> void Frame(Draw draw) {
        ASSERT_EQ(TQ2DGfx_BeginScene(0), 1);
        TQ2DGfx_Clear(0xFF000000);
        draw();
        TQ2DGfx_EndScene();
        int height = 0;
        ASSERT_TRUE(tqplat::VideoLastFrame(TQ2DGetMsgWnd(), &pixels, &width, &height));
    }
    uint32_t At(int x, int y) const { return pixels[static_cast<size_t>(y * width + x)] & 0x00FFFFFF; }

    std::vector<uint32_t> pixels;
    int width = 0;
};

} // namespace

TEST_F(MeshTest, EmptyWrapperDoesNothing) {
    TQ2DDistortionMesh mesh;
    Frame([&] { mesh.Render(0, 0); });
    EXPECT_EQ(At(0, 0), 0u);
    mesh.SetTexture(5);
    mesh.SetZ(0, 0, 1.0f);
    mesh.SetDisplacement(0, 0, 1, 1, TQ2DDM_NODE);
    EXPECT_EQ(mesh.GetTexture(), 0ul);
    EXPECT_EQ(mesh.GetBlendMode(), 0);
    EXPECT_EQ(mesh.GetZ(0, 0), 0.0f);
    EXPECT_EQ(mesh.GetColor(0, 0), 0ul);
    float dx = 7, dy = 7;
    mesh.GetDisplacement(0, 0, &dx, &dy, TQ2DDM_NODE);
    EXPECT_EQ(dx, 7.0f);
    TQ2DDistortionMesh copy(mesh);
    EXPECT_EQ(copy.GetTexture(), 0ul);
}

TEST_F(MeshTest, TextureDrawnThroughADisplacedGrid) {
    TQ2DTexture texture;
    ASSERT_NE(texture.Create(8, 8), 0);
    texture.Clear(0xFF00FF00);
    TQ2DDistortionMesh mesh(3, 3);
    ASSERT_NE(mesh.Create(3, 3), 0); // again: one mesh
    mesh.SetTexture(texture.GetTexture());
    mesh.SetTextureRect(0, 0, 8, 8);
    mesh.SetBlendMode(2);
    Frame([&] { mesh.Render(10, 10); });
    EXPECT_EQ(At(10, 10), 0x00FF00u);
    EXPECT_EQ(At(17, 17), 0x00FF00u);
    EXPECT_EQ(At(19, 19), 0u);
    // The bottom-right corner node pulled out to (20, 20) from the mesh origin.
    mesh.SetDisplacement(2, 2, 20, 20, TQ2DDM_TOPLEFT);
    float dx = 0, dy = 0;
    mesh.GetDisplacement(2, 2, &dx, &dy, TQ2DDM_NODE);
    EXPECT_EQ(dx, 12.0f);
    Frame([&] { mesh.Render(10, 10); });
    EXPECT_EQ(At(10, 10), 0x00FF00u);
    EXPECT_NE(At(25, 25), 0u); // inside the stretched cell
    EXPECT_EQ(At(30, 12), 0u);
    // A black centre node darkens the picture towards it.
    mesh.SetColor(1, 1, 0xFF000000);
    EXPECT_EQ(mesh.GetColor(1, 1), 0xFF000000ul);
    Frame([&] { mesh.Render(10, 10); });
    EXPECT_LT(At(18, 18), 0x008000u);
    EXPECT_GT(At(10, 10), 0x00C000u);
    mesh.SetColor(1, 1, 0xFFFFFFFF);

    TQ2DDistortionMesh* original = new TQ2DDistortionMesh(mesh);
    TQ2DDistortionMesh copy;
    copy = *original;
    delete original;
    Frame([&] { copy.Render(10, 10); });
    EXPECT_NE(At(25, 25), 0u);
    float x = 1, y = 1, w = 1;
    copy.GetTextureRect(&x, &y, &w, nullptr);
    EXPECT_EQ(x, 1.0f);
    float h = 0;
    copy.GetTextureRect(&x, &y, &w, &h);
    EXPECT_EQ(w, 8.0f);
    EXPECT_EQ(h, 8.0f);
    EXPECT_EQ(copy.GetTexture(), texture.GetTexture());

    // Sizes and nodes beyond the device's int range stay outside the grid.
    TQ2DDistortionMesh huge(0x100000003ul, 3);
    huge.SetTexture(texture.GetTexture());
    Frame([&] { huge.Render(0, 0); });
    EXPECT_EQ(At(0, 0), 0u);
    mesh.SetZ(0x100000001ul, 1, 0.25f);
    EXPECT_EQ(mesh.GetZ(1, 1), 0.5f);
    EXPECT_EQ(mesh.GetZ(0x100000001ul, 1), 0.0f);
}
