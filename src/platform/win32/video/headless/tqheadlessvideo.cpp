// The headless backend: windows exist only as records; frames are kept as each window's last frame
// by the common presentation code. The screen is 1920 x 1080.
#include "platform/win32/video/tqvideodriver.h"

namespace tqplat {
namespace {

bool HeadlessInit() {
    return true;
}

void HeadlessScreenSize(int* width, int* height) {
    *width = 1920;
    *height = 1080;
}

void HeadlessWindowChange(HWND) {}

void HeadlessPresent(HWND, const RECT&, const uint32_t*, int, int, int, bool) {}

void HeadlessPump() {}

void HeadlessCursorVisible(bool) {}

void HeadlessWarp(int, int) {}

int HeadlessWaitEvents(int) {
    return -1;
}

} // namespace

const VideoDriver g_headlessVideoDriver = {"headless",           HeadlessInit,         HeadlessScreenSize,
                                           HeadlessWindowChange, HeadlessWindowChange, HeadlessWindowChange,
                                           HeadlessPresent,      HeadlessPump,         HeadlessCursorVisible,
                                           HeadlessWarp,         HeadlessWaitEvents,   nullptr};

} // namespace tqplat
