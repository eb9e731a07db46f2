#include "guitestsupport.h"

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <unistd.h>

#define STB_IMAGE_WRITE_STATIC
#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb/stb_image_write.h>

#include <SDL.h>

#include "platform/win32/tqplatformtest.h"
#include "platform/win32/tquser32.h"

namespace {

std::function<bool()> g_frame;

bool RunFrame() {
    return g_frame();
}

SDL_Event ButtonEvent(bool down, int x, int y) {
    SDL_Event event = {};
    event.type = down ? SDL_MOUSEBUTTONDOWN : SDL_MOUSEBUTTONUP;
    event.button.button = SDL_BUTTON_LEFT;
    event.button.state = down ? SDL_PRESSED : SDL_RELEASED;
    event.button.clicks = 1;
    event.button.x = x;
    event.button.y = y;
    return event;
}

} // namespace

void ResetGuiStatics() {
    TQ2DGUIObject::SetFocusControl(nullptr);
    TQ2DGUIObject::SetMouseCapture(nullptr);
    TQ2DGUIObject::SetInputControl(nullptr);
    TQ2DGUIObject::SetActiveControlID(0);
    while (TQ2DGUIObject::GetModalControl())
        TQ2DGUIObject::ClearModalControl(nullptr);
}

void GuiToolkitTest::SetUp() {
    setenv("TQ_VIDEO", "headless", 1);
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    // Relative resource names start at the current folder: the program's, where assets are written.
    std::filesystem::current_path(std::filesystem::read_symlink("/proc/self/exe").parent_path());
    TQ2D_INIT_INFO_tag info{};
    info.pfnFrame = RunFrame;
    info.nWidth = 320;
    info.nHeight = 240;
    info.bRunInactive = TRUE;
    window = TQ2DInit(&info, nullptr);
    ASSERT_NE(window, nullptr);
    ResetGuiStatics();
    Probe::Log().clear();
}

void GuiToolkitTest::TearDown() {
    if (m_bTestClock)
        tqplat::TestClockEnable(false);
    ResetGuiStatics();
    TQ2DClose();
}

void GuiToolkitTest::Run(TQ2DGUIObject& root, const std::vector<GuiStep>& steps, float delta) {
    size_t frame = 0;
    g_frame = [&] {
        if (frame > 0)
            root.UpdateGUI(delta, steps[frame - 1].x, steps[frame - 1].y);
        if (frame < steps.size() && steps[frame].input)
            steps[frame].input();
        if (m_bTestClock)
            tqplat::TestClockAdvance(1); // the loop waits for the clock to move between frames
        return ++frame > steps.size();
    };
    TQ2DLoop();
    g_frame = nullptr;
}

void GuiToolkitTest::UseTestClock(DWORD start) {
    tqplat::TestClockEnable(true, start);
    m_bTestClock = true;
}

std::function<void()> GuiToolkitTest::Press(int x, int y) const {
    HWND target = window;
    return [target, x, y] { tqplat::TestFeedSdlEvent(target, ButtonEvent(true, x, y)); };
}

std::function<void()> GuiToolkitTest::Release(int x, int y) const {
    HWND target = window;
    return [target, x, y] { tqplat::TestFeedSdlEvent(target, ButtonEvent(false, x, y)); };
}

std::function<void()> GuiToolkitTest::Wheel(int notches) const {
    HWND target = window;
    return [target, notches] {
        SDL_Event event = {};
        event.type = SDL_MOUSEWHEEL;
        event.wheel.y = notches;
        tqplat::TestFeedSdlEvent(target, event);
    };
}

std::function<void()> GuiToolkitTest::KeyDown(int key) const {
    HWND target = window;
    return [target, key] { PostMessageA(target, WM_KEYDOWN, static_cast<WPARAM>(key), 0); };
}

std::function<void()> GuiToolkitTest::Nothing() {
    return [] {};
}

std::vector<GuiStep> GuiToolkitTest::Click(float x, float y) const {
    const int ix = static_cast<int>(x);
    const int iy = static_cast<int>(y);
    return {{Nothing(), x, y}, {Press(ix, iy), x, y}, {Release(ix, iy), x, y}, {Nothing(), x, y}};
}

Probe::Probe(DWORD id, float x, float y, float w, float h) {
    SetControlID(id);
    SetPos(x, y);
    SetSize(w, h);
}

std::vector<std::string>& Probe::Log() {
    static std::vector<std::string> log;
    return log;
}

std::vector<std::string> Probe::Only(const std::string& what) {
    std::vector<std::string> found;
    for (const std::string& line : Log())
        if (line.find(what) != std::string::npos)
            found.push_back(line);
    return found;
}

void Probe::Record(const std::string& what) {
    Log().push_back(std::to_string(GetControlID()) + ":" + what);
}

void Probe::OnUpdate(float, float, float) {
    Record("update");
}

void Probe::OnCommand(TQ2DGUIObject* sender, DWORD code) {
    Record("command " + std::to_string(sender ? sender->GetControlID() : 0) + "," +
           std::to_string(static_cast<int>(code)));
}

void Probe::OnSetFocusControl(int focus) {
    Record(focus ? "focus" : "blur");
}

void Probe::OnMouseEnter() {
    Record("enter");
}

void Probe::OnMouseLeave() {
    Record("leave");
}

void Probe::OnMouseLButton(int n) {
    Record(n ? "lbutton 1" : "lbutton 0");
}

void Probe::OnMouseWheel(int n) {
    Record("wheel " + std::to_string(n));
}

void Probe::OnSetStatus(int n) {
    Record("status " + std::to_string(n));
}

DWORD Texel(TQ2DTexture& tex, DWORD x, DWORD y) {
    DWORD* texels = tex.Lock(true);
    if (!texels)
        return 0xDEADBEEF;
    const DWORD value = texels[static_cast<size_t>(y) * tex.GetWidth(false) + x];
    tex.UnLock();
    return value;
}

namespace {

bool IsInkOf(DWORD texel, DWORD rgb) {
    if ((texel & 0xFFFFFF) == rgb && (texel >> 24) != 0)
        return (texel >> 24) >= 64; // a glyph's edge: the text colour with its coverage
    if ((texel >> 24) != 0xFF)
        return false;
    const int shifts[3] = {16, 8, 0};
    int strongest = 0;
    for (int i = 1; i < 3; ++i)
        if (((rgb >> shifts[i]) & 0xFF) > ((rgb >> shifts[strongest]) & 0xFF))
            strongest = i;
    const int top = static_cast<int>((rgb >> shifts[strongest]) & 0xFF);
    if (top <= 1) {
        for (int shift : shifts)
            if (((texel >> shift) & 0xFF) > 1)
                return false;
        return true;
    }
    const double t = (static_cast<int>((texel >> shifts[strongest]) & 0xFF) - 1) / double(top - 1);
    if (t < 0.25)
        return false;
    for (int shift : shifts) {
        const double expected = 1 + t * (static_cast<int>((rgb >> shift) & 0xFF) - 1);
        if (std::abs(static_cast<int>((texel >> shift) & 0xFF) - expected) > 3.0)
            return false;
    }
    return true;
}

template <class Pred> int CountWhere(TQ2DTexture& tex, DWORD x, DWORD y, DWORD w, DWORD h, Pred pred) {
    DWORD* texels = tex.Lock(true);
    if (!texels)
        return -1;
    const DWORD tw = tex.GetWidth(false);
    const DWORD th = tex.GetHeight(false);
    if (w == 0)
        w = tw - x;
    if (h == 0)
        h = th - y;
    int count = 0;
    for (DWORD row = y; row < y + h && row < th; ++row)
        for (DWORD col = x; col < x + w && col < tw; ++col)
            count += pred(texels[static_cast<size_t>(row) * tw + col]) ? 1 : 0;
    tex.UnLock();
    return count;
}

} // namespace

int CountInk(TQ2DTexture& tex, DWORD rgb, DWORD x, DWORD y, DWORD w, DWORD h) {
    return CountWhere(tex, x, y, w, h, [rgb](DWORD texel) { return IsInkOf(texel, rgb); });
}

int CountTexels(TQ2DTexture& tex, DWORD rgb, DWORD alpha, DWORD x, DWORD y, DWORD w, DWORD h) {
    return CountWhere(tex, x, y, w, h, [rgb, alpha](DWORD texel) {
        return (texel & 0xFFFFFF) == rgb && (texel >> 24) == alpha;
    });
}

GuiAssets::GuiAssets() {
    static int serial = 0;
    m_relative = "GuiTest_" + std::to_string(getpid()) + "_" + std::to_string(++serial);
    m_root = std::filesystem::read_symlink("/proc/self/exe").parent_path().string() + "/" + m_relative;
    std::filesystem::create_directories(m_root);
}

GuiAssets::~GuiAssets() {
    std::error_code ignored;
    std::filesystem::remove_all(m_root, ignored);
}

std::string GuiAssets::Text(const std::string& name, const std::string& text) const {
    std::ofstream out(m_root + "/" + name, std::ios::binary);
    out << text;
    return m_relative + "/" + name;
}

std::string GuiAssets::Strip(const std::string& name, int w, int h,
                             const std::vector<unsigned>& colours) const {
    const int frames = static_cast<int>(colours.size());
    std::vector<unsigned char> rgba;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w * frames; ++x) {
            const unsigned pixel = colours[static_cast<size_t>(x / w)];
            for (int shift : {16, 8, 0, 24})
                rgba.push_back(static_cast<unsigned char>(pixel >> shift));
        }
    stbi_write_png((m_root + "/" + name).c_str(), w * frames, h, 4, rgba.data(), w * frames * 4);
    return m_relative + "/" + name;
}

std::string GuiAssets::Animation(const std::string& name, int w, int h, const std::vector<unsigned>& colours,
                                 const std::string& extra) const {
    Strip(name + ".png", w, h, colours);
    return Text(name, "TEX=" + name + ".png\nCOUNT=" + std::to_string(colours.size()) +
                          "\nW=" + std::to_string(w) + "\nH=" + std::to_string(h) +
                          "\nFPS=10\nHOT_SPOT_X=0\nHOT_SPOT_Y=0\n" + extra);
}
