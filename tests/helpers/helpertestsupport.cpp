#include "helpertestsupport.h"

namespace {

void PutLe(std::string* out, uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i)
        out->push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}

} // namespace

std::string MakeBmp(int width, int height, const std::function<uint32_t(int, int)>& colour) {
    const int rowBytes = (width * 3 + 3) & ~3;
    std::string bmp = "BM";
    PutLe(&bmp, 54 + rowBytes * height, 4);
    PutLe(&bmp, 0, 4);
    PutLe(&bmp, 54, 4);
    PutLe(&bmp, 40, 4);
    PutLe(&bmp, width, 4);
    PutLe(&bmp, height, 4);
    PutLe(&bmp, 1, 2);
    PutLe(&bmp, 24, 2);
    for (int i = 0; i < 6; ++i)
        PutLe(&bmp, 0, 4);
    for (int y = height - 1; y >= 0; --y) {
        for (int x = 0; x < width; ++x)
            PutLe(&bmp, colour(x, y), 3);
        bmp.append(static_cast<size_t>(rowBytes - width * 3), '\0');
    }
    return bmp;
}

void HelperTest::StartDevice(int width, int height) {
    dev->System_SetState(TQGFX_TEXTUREFILTER, false);
    ASSERT_TRUE(Initiate(width, height));
}

void HelperTest::DrawFrame(const std::function<void()>& draw) {
    Run([&] {
        EXPECT_TRUE(dev->Gfx_BeginScene(0));
        dev->Gfx_Clear(0xFF000000);
        draw();
        dev->Gfx_EndScene();
        return true;
    });
}

int HelperTest::LogCount(const std::string& text) const {
    int count = 0;
    for (const std::string& line : LogLines())
        if (line.find(text) != std::string::npos)
            ++count;
    return count;
}
