// Texture loading from files in memory (fixtures written here), BMP saving read back, and matrices.
#include "d3d9testdevice.h"
#include "support/scarcememory.h"

#include "platform/d3dx9/tqd3dx9.h"

#include <gtest/gtest.h>
#include <stb_image_write.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <unistd.h>

namespace {

void AppendBytes(void* context, void* data, int size) {
    auto* out = static_cast<std::string*>(context);
    out->append(static_cast<const char*>(data), size);
}

// RGBA bytes of a w x h image whose pixel (x, y) is (x * 40, y * 50, 200, alpha).
std::vector<unsigned char> Rgba(int w, int h, unsigned char alpha) {
    std::vector<unsigned char> rgba;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            rgba.insert(rgba.end(),
                        {static_cast<unsigned char>(x * 40), static_cast<unsigned char>(y * 50), 200, alpha});
    return rgba;
}

uint32_t ExpectedArgb(int x, int y, unsigned alpha) {
    return (alpha << 24) | (x * 40 << 16) | (y * 50 << 8) | 200;
}

void Put32(std::string* out, uint32_t v) {
    for (int i = 0; i < 4; ++i)
        out->push_back(static_cast<char>(v >> (8 * i)));
}

// A DDS header for a w x h image: fourCC (0 for RGB) or 32-bit RGB masks with alpha.
std::string DdsHeader(uint32_t w, uint32_t h, uint32_t fourCC) {
    std::string out = "DDS ";
    Put32(&out, 124);
    Put32(&out, 0x1007);
    Put32(&out, h);
    Put32(&out, w);
    for (int i = 0; i < 2 + 11 + 1; ++i) // pitch, depth, mip count, reserved
        Put32(&out, 0);
    Put32(&out, 32);
    if (fourCC) {
        Put32(&out, 0x4);
        Put32(&out, fourCC);
        for (int i = 0; i < 5; ++i)
            Put32(&out, 0);
    } else {
        Put32(&out, 0x41);
        Put32(&out, 0);
        Put32(&out, 32);
        Put32(&out, 0xFF0000);
        Put32(&out, 0xFF00);
        Put32(&out, 0xFF);
        Put32(&out, 0xFF000000u);
    }
    for (int i = 0; i < 5; ++i) // caps
        Put32(&out, 0);
    return out;
}

class D3DXTest : public ::testing::Test {
protected:
    HRESULT Load(const std::string& file, D3DFORMAT format = D3DFMT_A8R8G8B8,
                 UINT width = D3DX_DEFAULT_NONPOW2, D3DCOLOR key = 0) {
        if (texture)
            texture->Release();
        texture = nullptr;
        info = D3DXIMAGE_INFO{};
        return D3DXCreateTextureFromFileInMemoryEx(
            t.Get(), file.data(), static_cast<UINT>(file.size()), width, width, 1, 0, format, D3DPOOL_MANAGED,
            D3DX_FILTER_NONE, D3DX_DEFAULT, key, &info, nullptr, &texture);
    }
    uint32_t Texel(UINT x, UINT y) {
        D3DLOCKED_RECT locked;
        EXPECT_EQ(D3D_OK, texture->LockRect(0, &locked, nullptr, D3DLOCK_READONLY));
        uint32_t value;
        std::memcpy(&value, static_cast<uint8_t*>(locked.pBits) + y * locked.Pitch + x * 4, 4);
        texture->UnlockRect(0);
        return value;
    }
    void TearDown() override {
        if (texture)
            texture->Release();
    }

    TestDevice t{16, 16};
    IDirect3DTexture9* texture = nullptr;
    D3DXIMAGE_INFO info{};
};

TEST_F(D3DXTest, PngTgaAndGifLoadExactlyWithTheirSize) {
    std::string png, tga;
    std::vector<unsigned char> rgba = Rgba(5, 3, 0x80);
    stbi_write_png_to_func(AppendBytes, &png, 5, 3, 4, rgba.data(), 5 * 4);
    ASSERT_EQ(D3D_OK, Load(png));
    EXPECT_EQ(5u, info.Width);
    EXPECT_EQ(3u, info.Height);
    EXPECT_EQ(D3DXIFF_PNG, info.ImageFileFormat);
    EXPECT_EQ(D3DFMT_A8R8G8B8, info.Format);
    D3DSURFACE_DESC desc;
    texture->GetLevelDesc(0, &desc);
    EXPECT_EQ(5u, desc.Width);
    EXPECT_EQ(ExpectedArgb(4, 2, 0x80), Texel(4, 2));
    EXPECT_EQ(ExpectedArgb(0, 1, 0x80), Texel(0, 1));

    stbi_write_tga_to_func(AppendBytes, &tga, 5, 3, 4, rgba.data());
    ASSERT_EQ(D3D_OK, Load(tga));
    EXPECT_EQ(D3DXIFF_TGA, info.ImageFileFormat);
    EXPECT_EQ(ExpectedArgb(3, 1, 0x80), Texel(3, 1));

    // 1 x 1 GIF with a two-colour palette (red, blue) showing colour 0.
    static const unsigned char gif[] = {'G', 'I',  'F', '8', '9', 'a', 1,    0,    1,    0, 0x80, 0,
                                        0,   0xFF, 0,   0,   0,   0,   0xFF, 0x2C, 0,    0, 0,    0,
                                        1,   0,    1,   0,   0,   2,   2,    0x44, 0x01, 0, 0x3B};
    ASSERT_EQ(D3D_OK, Load(std::string(reinterpret_cast<const char*>(gif), sizeof(gif))));
    EXPECT_EQ(0xFFFF0000u, Texel(0, 0));
}

TEST_F(D3DXTest, JpegLoadsOpaqueAndDefaultSizesRoundUpToPowersOfTwo) {
    std::string jpeg;
    std::vector<unsigned char> rgb(100 * 60 * 3, 0);
    for (size_t i = 0; i < rgb.size(); i += 3)
        rgb[i] = 200;
    stbi_write_jpg_to_func(AppendBytes, &jpeg, 100, 60, 3, rgb.data(), 95);
    ASSERT_EQ(D3D_OK, Load(jpeg, D3DFMT_UNKNOWN));
    EXPECT_EQ(D3DXIFF_JPG, info.ImageFileFormat);
    EXPECT_EQ(D3DFMT_X8R8G8B8, info.Format);
    D3DSURFACE_DESC desc;
    texture->GetLevelDesc(0, &desc);
    EXPECT_EQ(100u, desc.Width);
    EXPECT_EQ(60u, desc.Height);
    EXPECT_NEAR(200, static_cast<int>((Texel(50, 30) >> 16) & 0xFF), 3);

    ASSERT_EQ(D3D_OK, Load(jpeg, D3DFMT_A8R8G8B8, D3DX_DEFAULT));
    texture->GetLevelDesc(0, &desc);
    EXPECT_EQ(128u, desc.Width);
    EXPECT_EQ(64u, desc.Height);
    EXPECT_EQ(100u, info.Width);
    EXPECT_EQ(0u, Texel(120, 50)); // outside the image
    EXPECT_EQ(0u, Texel(50, 63));
    EXPECT_EQ(0xFFu, Texel(99, 59) >> 24);
}

TEST_F(D3DXTest, DdsKeepsItsFormatOrDecodesBlocks) {
    std::string argb = DdsHeader(2, 2, 0);
    for (uint32_t p : {0x80112233u, 0xFF445566u, 0x00778899u, 0xFFAABBCCu})
        Put32(&argb, p);
    ASSERT_EQ(D3D_OK, Load(argb, D3DFMT_UNKNOWN));
    EXPECT_EQ(D3DXIFF_DDS, info.ImageFileFormat);
    EXPECT_EQ(D3DFMT_A8R8G8B8, info.Format);
    EXPECT_EQ(0x00778899u, Texel(0, 1));

    // DXT1: colour 0 red, colour 1 blue; rows use indices 0, 1, 2 (2/3 red + 1/3 blue), 3.
    std::string dxt1 = DdsHeader(4, 4, TQ_MAKEFOURCC('D', 'X', 'T', '1'));
    dxt1 += std::string("\x00\xF8\x1F\x00\x00\x55\xAA\xFF", 8);
    ASSERT_EQ(D3D_OK, Load(dxt1, D3DFMT_UNKNOWN));
    D3DSURFACE_DESC desc;
    texture->GetLevelDesc(0, &desc);
    EXPECT_EQ(D3DFMT_DXT1, desc.Format);
    D3DLOCKED_RECT locked;
    EXPECT_EQ(D3DERR_INVALIDCALL, texture->LockRect(0, &locked, nullptr, D3DLOCK_READONLY));
    ASSERT_EQ(D3D_OK, Load(dxt1, D3DFMT_A8R8G8B8));
    EXPECT_EQ(0xFFFF0000u, Texel(0, 0));
    EXPECT_EQ(0xFF0000FFu, Texel(1, 1));
    EXPECT_EQ(0xFFAA0055u, Texel(2, 2)); // (2 * 255 + 0 + 1) / 3 = 170, (0 + 2 * 0 ... ) blue 85
    EXPECT_EQ(0xFF5500AAu, Texel(3, 3));

    // DXT5: alpha endpoints 255 and 0 with index 1 everywhere -> alpha 0; colour red.
    std::string dxt5 = DdsHeader(4, 4, TQ_MAKEFOURCC('D', 'X', 'T', '5'));
    dxt5 += std::string("\xFF\x00\x49\x92\x24\x49\x92\x24", 8);
    dxt5 += std::string("\x00\xF8\x00\xF8\x00\x00\x00\x00", 8);
    ASSERT_EQ(D3D_OK, Load(dxt5, D3DFMT_A8R8G8B8));
    EXPECT_EQ(0x00FF0000u, Texel(3, 2));
}

// Memory that runs out never escapes as an exception: a DDS image whose pixels get none fails and
// says so, and a DXT1 texture whose 0xAARRGGBB view gets none draws nothing until memory is there.
TEST_F(D3DXTest, ImagesWithoutMemoryFailOrDrawNothing) {
    const UINT side = 512;
    std::string dxt1 = DdsHeader(side, side, TQ_MAKEFOURCC('D', 'X', 'T', '1'));
    for (UINT i = 0; i < side * side / 16; ++i)
        dxt1 += std::string("\x00\xF8\x00\xF8\x00\x00\x00\x00", 8); // red
    {
        RunOutOfMemory scarce(side * side / 2);
        EXPECT_EQ(E_OUTOFMEMORY, Load(dxt1, D3DFMT_UNKNOWN));
    }
    EXPECT_STREQ("out of memory for a 512x512 image", TQ_D3DXGetLastLoadProblem());
    ASSERT_EQ(D3D_OK, Load(dxt1, D3DFMT_UNKNOWN));
    t.SetEngineStates();
    t.Get()->SetTexture(0, texture);
    for (bool scarce : {true, false}) {
        t.Get()->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000u, 1.0f, 0);
        {
            RunOutOfMemory runOut(scarce ? side * side * 4 : 0);
            t.DrawTriangles(QuadTriangles(0, 0, 16, 16, 0xFFFFFFFFu));
        }
        EXPECT_EQ(scarce ? 0xFF000000u : 0xFFFF0000u, t.Pixel(8, 8));
    }
    t.Get()->SetTexture(0, nullptr);
}

TEST_F(D3DXTest, CorruptTruncatedAndOversizedImagesFailCleanly) {
    std::string png;
    std::vector<unsigned char> rgba = Rgba(6, 6, 255);
    stbi_write_png_to_func(AppendBytes, &png, 6, 6, 4, rgba.data(), 6 * 4);
    std::string dds = DdsHeader(2, 2, 0) + std::string(16, '\0');
    std::string hugeDds = DdsHeader(100000, 4, 0) + std::string(64, '\0');
    std::string hugePng = png;
    hugePng[16] = hugePng[20] = 0x01; // IHDR width and height of 16 M pixels (CRC now wrong as well)
    const std::string bad[] = {png.substr(0, png.size() / 2),
                               std::string(200, '\x5A'),
                               dds.substr(0, dds.size() - 1),
                               hugeDds,
                               hugePng,
                               dds.substr(0, 60),
                               "BM"};
    for (const std::string& file : bad) {
        EXPECT_EQ(D3DXERR_INVALIDDATA, Load(file));
        EXPECT_EQ(nullptr, texture);
    }
    EXPECT_EQ(D3DERR_INVALIDCALL,
              D3DXCreateTextureFromFileInMemoryEx(t.Get(), png.data(), 0, 0, 0, 1, 0, D3DFMT_UNKNOWN,
                                                  D3DPOOL_MANAGED, 1, 0, 0, nullptr, nullptr, &texture));
}

TEST_F(D3DXTest, ColorKeyClearsMatchingPixels) {
    std::string png;
    std::vector<unsigned char> rgba = Rgba(3, 1, 255);
    stbi_write_png_to_func(AppendBytes, &png, 3, 1, 4, rgba.data(), 3 * 4);
    ASSERT_EQ(D3D_OK, Load(png, D3DFMT_A8R8G8B8, 0, ExpectedArgb(1, 0, 255)));
    EXPECT_EQ(0u, Texel(1, 0));
    EXPECT_EQ(ExpectedArgb(2, 0, 255), Texel(2, 0));
}

TEST_F(D3DXTest, SavedBmpReadsBackAsTheSurface) {
    t.Get()->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF102030u, 1.0f, 0);
    D3DRECT corner = {0, 0, 3, 2};
    t.Get()->Clear(1, &corner, D3DCLEAR_TARGET, 0xFFA0B0C0u, 1.0f, 0);
    IDirect3DSurface9* back = nullptr;
    t.Get()->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &back);
    char folder[] = "/tmp/tqd3dxXXXXXX";
    ASSERT_NE(nullptr, mkdtemp(folder));
    std::string path = std::string(folder) + "/shot000.bmp";
    ASSERT_EQ(D3D_OK, D3DXSaveSurfaceToFileA(path.c_str(), D3DXIFF_BMP, back, nullptr, nullptr));
    testing::internal::CaptureStderr();
    EXPECT_EQ(D3DERR_INVALIDCALL, D3DXSaveSurfaceToFileA(path.c_str(), D3DXIFF_PNG, back, nullptr, nullptr));
    EXPECT_NE(testing::internal::GetCapturedStderr().find("BMP only"), std::string::npos);
    back->Release();

    std::ifstream in(path, std::ios::binary);
    std::string bmp((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    ASSERT_EQ(54u + 16 * 16 * 3, bmp.size());
    EXPECT_EQ("BM", bmp.substr(0, 2));
    ASSERT_EQ(D3D_OK, Load(bmp, D3DFMT_UNKNOWN));
    EXPECT_EQ(D3DXIFF_BMP, info.ImageFileFormat);
    EXPECT_EQ(0xFFA0B0C0u, Texel(2, 1));
    EXPECT_EQ(0xFF102030u, Texel(3, 1));
    EXPECT_EQ(0xFF102030u, Texel(15, 15));
    std::remove(path.c_str());
    rmdir(folder);
}

TEST(D3DXMatrices, TransformsComposeAsRowVectors) {
    auto apply = [](const D3DXMATRIX& m, float x, float y) {
        return std::make_pair(x * m._11 + y * m._21 + m._41, x * m._12 + y * m._22 + m._42);
    };
    D3DXMATRIX t, s, r, m;
    D3DXMatrixTranslation(&t, 3, 4, 0);
    D3DXMatrixScaling(&s, 2, 10, 1);
    D3DXMatrixMultiply(&m, &t, &s); // translate first, then scale
    auto p = apply(m, 1, 1);
    EXPECT_FLOAT_EQ(8.0f, p.first);
    EXPECT_FLOAT_EQ(50.0f, p.second);
    D3DXMatrixRotationZ(&r, static_cast<float>(M_PI / 2));
    p = apply(r, 1, 0);
    EXPECT_NEAR(0.0f, p.first, 1e-6);
    EXPECT_NEAR(1.0f, p.second, 1e-6);
    D3DXMatrixOrthoOffCenterLH(&m, 0, 800, 0, 600, 0, 1);
    p = apply(m, 800, 0);
    EXPECT_FLOAT_EQ(1.0f, p.first);
    EXPECT_FLOAT_EQ(-1.0f, p.second);
    EXPECT_FLOAT_EQ(1.0f, m._33);
    D3DXMatrixIdentity(&m);
    EXPECT_EQ(0, std::memcmp(&m, &(D3DXMatrixScaling(&s, 1, 1, 1), s), sizeof(m)));
}

} // namespace
