// Backend selection, presentation with the last frame of every window, the IME composition and
// which windows take text input.
#include "platform/win32/video/tqvideo.h"

#include "platform/codepage/tqcodepage.h"
#include "platform/win32/tqplatformlog.h"
#include "platform/win32/tquser32.h"
#include "platform/win32/tqwindowregistry.h"
#include "platform/win32/video/tqvideodriver.h"

#include <cstdlib>
#include <cstring>
#include <map>
#include <mutex>
#include <set>

namespace tqplat {
namespace {

// Largest frame accepted, in pixels per side.
const int kMaxFrameSide = 16384;

struct Frame {
    std::vector<uint32_t> pixels;
    int width = 0;
    int height = 0;
    bool waited = false;
};

struct PresentationState {
    std::mutex mutex;
    std::map<HWND, Frame> lastFrames;
    std::string composition; // GBK
    bool composing = false;
    std::set<HWND> withoutTextInput;
    std::map<HWND, RECT> textInputAreas;
};

PresentationState& State() {
    static PresentationState state;
    return state;
}

bool DisplayPresent() {
    return getenv("DISPLAY") != nullptr || getenv("WAYLAND_DISPLAY") != nullptr;
}

const VideoDriver* ChooseDriver() {
    const char* wanted = getenv("TQ_VIDEO");
    if (wanted != nullptr && strcmp(wanted, "headless") == 0)
        return &g_headlessVideoDriver;
    if (wanted != nullptr && strcmp(wanted, "sdl") != 0)
        PlatformLog("TQ_VIDEO=%s is not a video backend; choosing one", wanted);
    bool trySdl = (wanted != nullptr && strcmp(wanted, "sdl") == 0) || DisplayPresent();
    if (trySdl && g_sdlVideoDriver.init())
        return &g_sdlVideoDriver;
    if (trySdl)
        PlatformLog("SDL video cannot start; using the headless backend");
    else
        PlatformLog("no display: running headless, nothing is shown; set DISPLAY (or use Xvfb) for a window");
    g_headlessVideoDriver.init();
    return &g_headlessVideoDriver;
}

bool ValidSize(int width, int height) {
    return width > 0 && height > 0 && width <= kMaxFrameSide && height <= kMaxFrameSide;
}

bool ValidFrame(const uint32_t* pixels, int width, int height, int pitch) {
    return pixels != nullptr && ValidSize(width, height) && pitch >= width * 4;
}

// The window's client area in the client coordinates of its top-level window.
RECT AreaInTopLevel(HWND window, HWND topLevel) {
    WindowRegistry& registry = WindowRegistry::Instance();
    POINT origin = registry.ClientOrigin(window);
    POINT topOrigin = registry.ClientOrigin(topLevel);
    SIZE size = registry.ClientSize(window);
    LONG left = origin.x - topOrigin.x;
    LONG top = origin.y - topOrigin.y;
    return RECT{left, top, left + size.cx, top + size.cy};
}

// The last character of a GBK text, as a composition message's wParam carries it.
WPARAM LastCharacter(const std::string& gbk) {
    WPARAM last = 0;
    for (size_t i = 0; i < gbk.size();) {
        size_t n = GbkCharLength(reinterpret_cast<const unsigned char*>(gbk.data() + i), gbk.size() - i);
        last = n == 2 ? (static_cast<unsigned char>(gbk[i]) << 8) | static_cast<unsigned char>(gbk[i + 1])
                      : static_cast<unsigned char>(gbk[i]);
        i += n;
    }
    return last;
}

} // namespace

const VideoDriver& ActiveVideoDriver() {
    static const VideoDriver* driver = ChooseDriver();
    return *driver;
}

void VideoPresent(HWND window, const uint32_t* pixels, int width, int height, int pitch, bool vsync) {
    if (!IsWindow(window) || !ValidFrame(pixels, width, height, pitch)) {
        PlatformLog("VideoPresent: frame refused (%dx%d, pitch %d)", width, height, pitch);
        return;
    }
    uint32_t* kept = VideoFrameToKeep(window, width, height);
    for (int y = 0; y < height; ++y)
        memcpy(kept + static_cast<size_t>(y) * width,
               reinterpret_cast<const uint8_t*>(pixels) + static_cast<size_t>(y) * pitch,
               width * sizeof(uint32_t));
    VideoPresentKept(window, vsync);
}

uint32_t* VideoFrameToKeep(HWND window, int width, int height) {
    if (!IsWindow(window) || !ValidSize(width, height)) {
        PlatformLog("VideoFrameToKeep: frame refused (%dx%d)", width, height);
        return nullptr;
    }
    std::lock_guard<std::mutex> lock(State().mutex);
    // The window's kept frame: its memory serves every frame of the same size.
    Frame& frame = State().lastFrames[window];
    frame.width = width;
    frame.height = height;
    frame.pixels.resize(static_cast<size_t>(width) * height);
    return frame.pixels.data();
}

void VideoPresentKept(HWND window, bool vsync) {
    const uint32_t* pixels;
    int width, height;
    {
        std::lock_guard<std::mutex> lock(State().mutex);
        auto it = State().lastFrames.find(window);
        if (it == State().lastFrames.end())
            return;
        pixels = it->second.pixels.data();
        width = it->second.width;
        height = it->second.height;
        it->second.waited = vsync;
    }
    WindowRegistry& registry = WindowRegistry::Instance();
    if (!registry.VisibleChain(window))
        return;
    HWND topLevel = registry.TopLevelOf(window);
    ActiveVideoDriver().present(topLevel, AreaInTopLevel(window, topLevel), pixels, width, height, width * 4,
                                vsync);
}

bool VideoLastFrame(HWND window, std::vector<uint32_t>* pixels, int* width, int* height) {
    std::lock_guard<std::mutex> lock(State().mutex);
    auto it = State().lastFrames.find(window);
    if (it == State().lastFrames.end())
        return false;
    *pixels = it->second.pixels;
    *width = it->second.width;
    *height = it->second.height;
    return true;
}

bool VideoLastFramePixel(HWND window, int x, int y, uint32_t* pixel) {
    std::lock_guard<std::mutex> lock(State().mutex);
    auto it = State().lastFrames.find(window);
    if (it == State().lastFrames.end())
        return false;
    const Frame& frame = it->second;
    if (x < 0 || y < 0 || x >= frame.width || y >= frame.height)
        return false;
    *pixel = frame.pixels[static_cast<size_t>(y) * frame.width + x];
    return true;
}

bool VideoLastPresentWaited(HWND window) {
    std::lock_guard<std::mutex> lock(State().mutex);
    auto it = State().lastFrames.find(window);
    return it != State().lastFrames.end() && it->second.waited;
}

void VideoForgetWindow(HWND window) {
    std::lock_guard<std::mutex> lock(State().mutex);
    State().lastFrames.erase(window);
    State().withoutTextInput.erase(window);
    State().textInputAreas.erase(window);
}

void VideoSetTextInput(HWND window, bool on) {
    std::lock_guard<std::mutex> lock(State().mutex);
    if (on)
        State().withoutTextInput.erase(window);
    else
        State().withoutTextInput.insert(window);
}

bool VideoTextInputOn(HWND window) {
    std::lock_guard<std::mutex> lock(State().mutex);
    return State().withoutTextInput.count(window) == 0;
}

void VideoSetTextInputArea(HWND window, const RECT& area) {
    std::lock_guard<std::mutex> lock(State().mutex);
    State().textInputAreas[window] = area;
}

bool VideoTextInputArea(HWND window, RECT* area) {
    std::lock_guard<std::mutex> lock(State().mutex);
    auto it = State().textInputAreas.find(window);
    if (it == State().textInputAreas.end())
        return false;
    *area = it->second;
    return true;
}

std::string VideoCompositionText() {
    std::lock_guard<std::mutex> lock(State().mutex);
    return State().composition;
}

void VideoSetCompositionText(HWND window, const char* utf8) {
    std::string gbk = utf8 == nullptr ? std::string() : Utf8ToGbk(utf8);
    bool starting = false;
    bool ending = false;
    {
        std::lock_guard<std::mutex> lock(State().mutex);
        PresentationState& state = State();
        starting = !gbk.empty() && !state.composing;
        ending = gbk.empty() && state.composing;
        state.composing = !gbk.empty();
        state.composition = gbk;
    }
    if (starting)
        PostMessageA(window, WM_IME_STARTCOMPOSITION, 0, 0);
    if (!gbk.empty())
        PostMessageA(window, WM_IME_COMPOSITION, LastCharacter(gbk), GCS_COMPSTR);
    if (ending)
        PostMessageA(window, WM_IME_ENDCOMPOSITION, 0, 0);
}

} // namespace tqplat
