// Shared set-up of the device tests: a headless window, the test clock, a temporary folder with
// the device log, and a frame function the test supplies as a lambda.
#pragma once

#include "device/tqgfxdevice.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// The frame function the device calls: runs DeviceTest::frame.
bool DeviceTestFrame();

class DeviceTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Windowed, 64 × 48, no sound, log file in the folder, then System_Initiate.
    bool Initiate(int width = 64, int height = 48);
    // Runs System_Start with a frame function; the test clock moves stepMs before every frame.
    bool Run(std::function<bool()> body, DWORD stepMs = 10);

    std::string Path(const std::string& name) const { return m_folder + "/" + name; }
    std::vector<std::string> LogLines() const;
    bool LogContains(const std::string& text) const;
    void WriteFile(const std::string& name, const std::string& contents) const;
    std::string ReadFile(const std::string& name) const;

    // The last frame presented to the device window (0xAARRGGBB), and one pixel of it (RGB only).
    std::vector<uint32_t> LastFrame(int* width = nullptr, int* height = nullptr);
    uint32_t PixelRgb(int x, int y);

    TQGfxDevice* dev = nullptr;
    std::string m_folder;
};

extern std::function<bool()> g_frameBody;

// Appends value as `bytes` little-endian bytes (at most 8).
void PutLittleEndian(std::string* out, uint64_t value, int bytes);

// An untextured quad covering [x0, x1) × [y0, y1) in one colour.
TQ2D_QUAD_tag MakeQuad(float x0, float y0, float x1, float y1, DWORD color, DWORD tex = 0,
                       int blend = TQ2D_BLEND_DEFAULT);
