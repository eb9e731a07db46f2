// The distortion mesh: node layout and texture coordinates, displacement modes, colours and depths,
// the quads it draws and their draw calls, deep copies, and grids it cannot hold.
#include "devicetestsupport.h"

#include "base/tqlog.h"
#include "device/tqgfxdistortionmesh.h"

namespace {

class DistortionMeshTest : public DeviceTest {
protected:
    void SetUp() override {
        DeviceTest::SetUp();
        dev->System_SetState(TQGFX_TEXTUREFILTER, false);
        ASSERT_TRUE(Initiate(64, 64));
    }

    // Draws the mesh in one scene on black; returns the draw calls it took.
    unsigned RenderScene(TQGfxDistortionMesh& mesh, float x = 0, float y = 0) {
        const unsigned before = dev->DrawCallCount();
        EXPECT_TRUE(dev->Gfx_BeginScene(0));
        dev->Gfx_Clear(0xFF000000);
        mesh.Render(x, y);
        dev->Gfx_EndScene();
        return dev->DrawCallCount() - before;
    }

    // 64 × 64: the left half red, the right half blue.
    DWORD HalvesTexture() {
        DWORD texture = dev->Texture_Create(64, 64);
        DWORD* pixels = dev->Texture_Lock(texture, false, 0, 0, 0, 0);
        if (!pixels)
            return texture;
        for (int i = 0; i < 64 * 64; ++i)
            pixels[i] = i % 64 < 32 ? 0xFFFF0000 : 0xFF0000FF;
        dev->Texture_Unlock(texture);
        return texture;
    }
};

void ExpectDisplacement(const TQGfxDistortionMesh& mesh, int column, int row, int mode, float dx, float dy) {
    float x = -999, y = -999;
    mesh.GetDisplacement(column, row, &x, &y, mode);
    EXPECT_FLOAT_EQ(x, dx) << "mode " << mode;
    EXPECT_FLOAT_EQ(y, dy) << "mode " << mode;
}

} // namespace

TEST_F(DistortionMeshTest, NewMeshAndNodesOutsideTheGrid) {
    TQGfxDistortionMesh mesh(3, 3);
    EXPECT_EQ(mesh.GetTexture(), 0u);
    EXPECT_EQ(mesh.GetBlendMode(), TQ2D_BLEND_ALPHABLEND | TQ2D_BLEND_ZWRITE);
    EXPECT_FLOAT_EQ(mesh.GetZ(2, 2), 0.5f);
    EXPECT_EQ(mesh.GetColor(1, 2), 0xFFFFFFFFu);
    ExpectDisplacement(mesh, 2, 2, TQGfxDistortionMesh::kAbsolute, 0, 0);

    mesh.SetColor(3, 0, 0xFF00FF00);
    mesh.SetZ(0, 3, 0.1f);
    mesh.SetColor(-1, 0, 0xFF00FF00);
    EXPECT_EQ(mesh.GetColor(3, 0), 0u);
    EXPECT_EQ(mesh.GetZ(0, 3), 0.0f);
    EXPECT_EQ(mesh.GetColor(0, 0), 0xFFFFFFFFu);
    float x = 7, y = 7;
    mesh.SetDisplacement(0, -1, 5, 5, TQGfxDistortionMesh::kAbsolute);
    mesh.GetDisplacement(3, 3, &x, &y, TQGfxDistortionMesh::kAbsolute);
    EXPECT_EQ(x, 7.0f);
    mesh.GetDisplacement(0, 0, nullptr, &y, TQGfxDistortionMesh::kAbsolute);
    EXPECT_EQ(y, 7.0f);
}

TEST_F(DistortionMeshTest, GridLayoutAndDisplacementModes) {
    TQGfxDistortionMesh mesh(3, 3);
    mesh.SetTextureRect(0, 0, 100, 50);
    ExpectDisplacement(mesh, 2, 2, TQGfxDistortionMesh::kAbsolute, 100, 50);
    ExpectDisplacement(mesh, 1, 0, TQGfxDistortionMesh::kAbsolute, 50, 0);

    mesh.SetDisplacement(1, 1, 5, 0, TQGfxDistortionMesh::kRelativeToNode);
    ExpectDisplacement(mesh, 1, 1, TQGfxDistortionMesh::kRelativeToNode, 5, 0);
    ExpectDisplacement(mesh, 1, 1, TQGfxDistortionMesh::kAbsolute, 55, 25);
    ExpectDisplacement(mesh, 1, 1, TQGfxDistortionMesh::kRelativeToCentre, 5, 0);

    mesh.SetDisplacement(0, 0, 0, 0, TQGfxDistortionMesh::kRelativeToCentre);
    ExpectDisplacement(mesh, 0, 0, TQGfxDistortionMesh::kAbsolute, 50, 25);
    // Unknown modes set absolutely and read nothing.
    mesh.SetDisplacement(2, 0, 3, 4, 9);
    ExpectDisplacement(mesh, 2, 0, TQGfxDistortionMesh::kAbsolute, 3, 4);
    ExpectDisplacement(mesh, 2, 0, 9, -999, -999);

    // Clear undoes displacements, colours and depths.
    mesh.SetColor(1, 1, 0x80102030);
    mesh.SetZ(1, 1, 0.9f);
    mesh.Clear(0xFFFFFFFF, 0.5f);
    ExpectDisplacement(mesh, 1, 1, TQGfxDistortionMesh::kRelativeToNode, 0, 0);
    ExpectDisplacement(mesh, 2, 0, TQGfxDistortionMesh::kAbsolute, 100, 0);
    EXPECT_EQ(mesh.GetColor(1, 1), 0xFFFFFFFFu);
    EXPECT_FLOAT_EQ(mesh.GetZ(1, 1), 0.5f);

    float x, y, w, h;
    mesh.GetTextureRect(&x, &y, &w, &h);
    EXPECT_EQ(w, 100.0f);
    EXPECT_EQ(h, 50.0f);
}

TEST_F(DistortionMeshTest, CellsDrawTheTextureRectangleInOneDrawCall) {
    TQGfxDistortionMesh mesh(5, 4);
    mesh.SetTexture(HalvesTexture());
    mesh.SetTextureRect(0, 0, 64, 64);
    EXPECT_EQ(RenderScene(mesh), 1u);
    EXPECT_EQ(PixelRgb(5, 5), 0xFF0000u);
    EXPECT_EQ(PixelRgb(31, 60), 0xFF0000u);
    EXPECT_EQ(PixelRgb(32, 3), 0x0000FFu);
    EXPECT_EQ(PixelRgb(63, 63), 0x0000FFu);

    // The right half of the texture stretched over the grid; Clear keeps the coordinates.
    mesh.SetTextureRect(32, 0, 32, 64);
    mesh.Clear(0xFFFFFFFF, 0.5f);
    EXPECT_EQ(RenderScene(mesh, 10, 0), 1u);
    EXPECT_EQ(PixelRgb(9, 10), 0x000000u);
    EXPECT_EQ(PixelRgb(10, 10), 0x0000FFu);
    EXPECT_EQ(PixelRgb(41, 63), 0x0000FFu);
    EXPECT_EQ(PixelRgb(42, 10), 0x000000u);
}

TEST_F(DistortionMeshTest, NodeColoursAndDisplacementsShapeThePicture) {
    // Untextured: the nodes' colours alone, over a 2 × 2 grid of 32-pixel cells.
    TQGfxDistortionMesh mesh(3, 3);
    mesh.SetTextureRect(0, 0, 64, 64);
    mesh.Clear(0xFF00FF00, 0.5f);
    EXPECT_EQ(RenderScene(mesh), 1u);
    EXPECT_EQ(PixelRgb(1, 1), 0x00FF00u);
    EXPECT_EQ(PixelRgb(62, 62), 0x00FF00u);

    // Pull the bottom-right corner in: the bottom-right cell loses its far corner.
    mesh.SetDisplacement(2, 2, -16, -16, TQGfxDistortionMesh::kRelativeToNode);
    RenderScene(mesh);
    EXPECT_EQ(PixelRgb(60, 60), 0x000000u);
    EXPECT_EQ(PixelRgb(40, 40), 0x00FF00u);
    EXPECT_EQ(PixelRgb(20, 60), 0x00FF00u);

    // A node's colour only reaches the cells around it, blended towards the others.
    mesh.Clear(0xFF000000, 0.5f);
    mesh.SetColor(0, 0, 0xFFFFFFFF);
    RenderScene(mesh);
    EXPECT_NE(PixelRgb(2, 2), 0x000000u);
    EXPECT_EQ(PixelRgb(50, 50), 0x000000u);
}

TEST_F(DistortionMeshTest, CopiesAreDeep) {
    TQGfxDistortionMesh mesh(3, 2);
    mesh.SetTextureRect(0, 0, 20, 10);
    mesh.SetColor(1, 1, 0xFF123456);

    TQGfxDistortionMesh copy(mesh);
    copy.SetColor(1, 1, 0xFF000000);
    copy.SetDisplacement(0, 0, 7, 7, TQGfxDistortionMesh::kAbsolute);
    EXPECT_EQ(mesh.GetColor(1, 1), 0xFF123456u);
    ExpectDisplacement(mesh, 0, 0, TQGfxDistortionMesh::kAbsolute, 0, 0);
    ExpectDisplacement(copy, 2, 1, TQGfxDistortionMesh::kAbsolute, 20, 10);

    TQGfxDistortionMesh other(8, 8);
    other = copy;
    EXPECT_EQ(other.GetColumns(), 3);
    EXPECT_EQ(other.GetRows(), 2);
    EXPECT_EQ(other.GetColor(1, 1), 0xFF000000u);
    TQGfxDistortionMesh& same = other;
    other = same;
    EXPECT_EQ(other.GetColor(1, 1), 0xFF000000u);
    EXPECT_EQ(RenderScene(other), 1u);
}

TEST_F(DistortionMeshTest, GridsWithoutCellsDrawNothing) {
    TQGfxDistortionMesh line(1, 4);
    line.SetTextureRect(0, 0, 64, 64);
    ExpectDisplacement(line, 0, 3, TQGfxDistortionMesh::kAbsolute, 0, 64);
    EXPECT_EQ(RenderScene(line), 0u);

    TQLogCapture errors(g_tqLogError);
    for (int size : {0, -3, 65536}) {
        TQGfxDistortionMesh mesh(size, size);
        mesh.SetTextureRect(0, 0, 64, 64);
        mesh.Clear(0xFFFFFFFF, 0.5f);
        mesh.SetColor(0, 0, 0xFF000000);
        EXPECT_EQ(mesh.GetColor(0, 0), 0u);
        EXPECT_EQ(RenderScene(mesh), 0u);
        TQGfxDistortionMesh copy(mesh);
        EXPECT_EQ(copy.GetColumns(), 0);
    }
    EXPECT_TRUE(errors.Contains("Invalid mesh size. [columns=65536, rows=65536]"));
}
