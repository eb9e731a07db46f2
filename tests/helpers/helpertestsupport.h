// Shared set-up of the helper-library tests: a headless device with point sampling, generated
// bitmaps, one-frame drawing and the lines of the device log.
#pragma once

#include "device/devicetestsupport.h"

#include <functional>
#include <string>

// A 24-bit bottom-up BMP of width × height whose pixel (x, y) is colour(x, y) (0xRRGGBB).
std::string MakeBmp(int width, int height, const std::function<uint32_t(int, int)>& colour);

class HelperTest : public DeviceTest {
protected:
    // Starts the device headless at width × height with point sampling.
    void StartDevice(int width = 64, int height = 48);
    // Draws one frame on black: `draw` runs between BeginScene and EndScene.
    void DrawFrame(const std::function<void()>& draw);
    // Number of log lines containing `text`.
    int LogCount(const std::string& text) const;
};
