#include "devicetestsupport.h"

#include "platform/win32/tqplatformtest.h"
#include "platform/win32/tquser32.h"
#include "platform/win32/tqwinmm.h"
#include "platform/win32/video/tqvideo.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace {

const bool kHeadless = setenv("TQ_VIDEO", "headless", 0) == 0;

} // namespace

std::function<bool()> g_frameBody;

bool DeviceTestFrame() {
    return g_frameBody ? g_frameBody() : true;
}

void DeviceTest::SetUp() {
    ASSERT_TRUE(kHeadless);
    char pattern[] = "/tmp/tqdevice_XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    m_folder = pattern;
    tqplat::TestClockEnable(true, 1000);
    // A quit message an earlier test's window left behind would end this test's loop at once.
    MSG stale;
    while (PeekMessageA(&stale, nullptr, 0, 0, PM_REMOVE)) {
    }
    dev = TQGfxCreate(16);
    ASSERT_NE(dev, nullptr);
    dev->System_SetState(TQGFX_LOGFILE, Path("device.log").c_str());
}

void DeviceTest::TearDown() {
    g_frameBody = nullptr;
    if (dev)
        dev->Release();
    tqplat::TestClockEnable(false);
    std::error_code ignored;
    std::filesystem::remove_all(m_folder, ignored);
}

bool DeviceTest::Initiate(int width, int height) {
    dev->System_SetState(TQGFX_WINDOWED, true);
    dev->System_SetState(TQGFX_SCREENWIDTH, width);
    dev->System_SetState(TQGFX_SCREENHEIGHT, height);
    dev->System_SetState(TQGFX_USESOUND, false);
    dev->System_SetState(TQGFX_FRAMEFUNC, DeviceTestFrame);
    return dev->System_Initiate();
}

bool DeviceTest::Run(std::function<bool()> body, DWORD stepMs) {
    g_frameBody = [body, stepMs]() {
        bool done = body();
        tqplat::TestClockAdvance(stepMs);
        return done;
    };
    tqplat::TestClockAdvance(stepMs);
    return dev->System_Start();
}

std::vector<std::string> DeviceTest::LogLines() const {
    std::vector<std::string> lines;
    std::istringstream in(ReadFile("device.log"));
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

bool DeviceTest::LogContains(const std::string& text) const {
    return ReadFile("device.log").find(text) != std::string::npos;
}

void DeviceTest::WriteFile(const std::string& name, const std::string& contents) const {
    std::filesystem::create_directories(std::filesystem::path(Path(name)).parent_path());
    std::ofstream(Path(name), std::ios::binary) << contents;
}

std::string DeviceTest::ReadFile(const std::string& name) const {
    std::ifstream in(Path(name), std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::vector<uint32_t> DeviceTest::LastFrame(int* width, int* height) {
    std::vector<uint32_t> pixels;
    int w = 0, h = 0;
    HWND window = reinterpret_cast<HWND>(dev->System_GetState(TQGFX_HWND).nValue);
    tqplat::VideoLastFrame(window, &pixels, &w, &h);
    if (width)
        *width = w;
    if (height)
        *height = h;
    return pixels;
}

uint32_t DeviceTest::PixelRgb(int x, int y) {
    int width = 0, height = 0;
    std::vector<uint32_t> pixels = LastFrame(&width, &height);
    if (x < 0 || y < 0 || x >= width || y >= height)
        return 0xDEADBEEF;
    return pixels[static_cast<size_t>(y) * width + x] & 0xFFFFFF;
}

TQ2D_QUAD_tag MakeQuad(float x0, float y0, float x1, float y1, DWORD color, DWORD tex, int blend) {
    TQ2D_QUAD_tag quad{};
    quad.v[0] = {x0, y0, 0.5f, color, 0.0f, 0.0f};
    quad.v[1] = {x1, y0, 0.5f, color, 1.0f, 0.0f};
    quad.v[2] = {x1, y1, 0.5f, color, 1.0f, 1.0f};
    quad.v[3] = {x0, y1, 0.5f, color, 0.0f, 1.0f};
    quad.tex = tex;
    quad.blend = blend;
    return quad;
}

void PutLittleEndian(std::string* out, uint64_t value, int bytes) {
    for (int i = 0; i < bytes; ++i)
        out->push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}
