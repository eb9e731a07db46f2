// A small game for the real-window tests: a 320 x 240 window with a textured green target square
// and a bar that moves every drawn frame. It reports on stdout, one line each, what a game sees:
//   ready                       the loop runs
//   mouse X Y                   the mouse position changed (game coordinates)
//   press X Y hit|miss          the left button reads down (after reading up), on the target or not
//   release                     the left button reads up again
//   key A                       the A key reads down (after reading up)
//   key A up                    the A key reads up again
//   fps V frames M              the frame counter changed to V; M frames ran since its last change
//   windowed 0|1                F or the right button switched full screen on (0) or off (1)
//   focus lost|gained           the focus callbacks
//   inactive frames N           N frames ran inactive with nothing drawn (once, at 20)
//   first frame after focus drew|did-not-draw
//   frame N T                   frame N began, T microseconds after the program started (only
//                               with --report-frames)
//   edit XX XX ...              the text of the focused edit changed (only with --edit): its GBK
//                               bytes in hexadecimal
//   keydown VK CH               a key went down: its virtual key and character, in hexadecimal
//                               (only with --keys)
//   keychar CH                  the character of the frame's last key down (only with --keys)
//   loop runs                   the loop's first frame ran
//   exit                        the loop ended
// usage: tq-window-host [--fps N] [--report-frames] [--edit] [--keys] [--restart]
//   --restart   after the loop ends, closes the engine and starts it again once, in this process
#include "device/tqgfxdevice.h"
#include "engine/tq2dapi.h"
#include "engine/tq2dtexture.h"
#include "gui/tq2dguiedit.h"

#include <chrono>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

const int kWidth = 320;
const int kHeight = 240;
// The target square, in game coordinates.
const float kTargetLeft = 200, kTargetTop = 40, kTargetSize = 60;
const int kKeyLeftButton = 1;
const int kKeyRightButton = 2;
const int kKeyA = 'A';
const int kKeyF = 'F';
const int kInactiveReport = 20;

// Live until the program ends, after the engine has closed: the textures go in any order.
TQ2DTexture g_textures[3];

struct HostState {
    bool leftDown = false;
    bool keyDown = false;
    int mouseX = -100000, mouseY = -100000;
    int fps = -1;
    int framesSinceFps = 0;
    int inactiveFrames = 0;
    bool watchFirstFrame = false;
    bool reportFrames = false;
    bool reportKeys = false;
    unsigned long frame = 0;
};

HostState g_state;
const std::chrono::steady_clock::time_point g_start = std::chrono::steady_clock::now();

// The GUI of --edit: an edit with the focus, and the text last reported.
TQ2DGUIObject* g_gui = nullptr;
TQ2DGUIEdit* g_edit = nullptr;
std::string g_editText;

void Say(const char* format, ...) __attribute__((format(printf, 1, 2)));
void Say(const char* format, ...) {
    va_list args;
    va_start(args, format);
    vprintf(format, args);
    va_end(args);
    fputc('\n', stdout);
    fflush(stdout);
}

bool OnTarget(float x, float y) {
    return x >= kTargetLeft && x < kTargetLeft + kTargetSize && y >= kTargetTop &&
           y < kTargetTop + kTargetSize;
}

void ToggleFullScreen() {
    TQGfxDevice* device = TQGfxCreate(16);
    bool windowed = device->System_GetState(TQGFX_WINDOWED).bValue;
    device->System_SetState(TQGFX_WINDOWED, TQGfxStateValue(!windowed));
    Say("windowed %d", device->System_GetState(TQGFX_WINDOWED).bValue ? 1 : 0);
    device->Release();
}

void ReadInput() {
    TQ2D_INPUT_EVENT_tag event;
    bool keyWentDown = false;
    while (TQ2DGetKeyEvent(&event)) {
        if (event.type == TQ2D_INPUT_MBUTTONDOWN && event.key == kKeyRightButton)
            ToggleFullScreen();
        if (event.type != TQ2D_INPUT_KEYDOWN)
            continue;
        keyWentDown = true;
        if (g_state.reportKeys)
            Say("keydown %02X %02X", event.key, event.chr);
        else if (event.key == kKeyF && !(event.flags & TQ2D_INPUTFLAG_REPEAT))
            ToggleFullScreen();
    }
    if (keyWentDown && g_state.reportKeys)
        Say("keychar %02X", TQ2DGetKeyChar());
    float x = 0, y = 0;
    TQ2DGetMousePos(&x, &y);
    if (static_cast<int>(x) != g_state.mouseX || static_cast<int>(y) != g_state.mouseY) {
        g_state.mouseX = static_cast<int>(x);
        g_state.mouseY = static_cast<int>(y);
        Say("mouse %d %d", g_state.mouseX, g_state.mouseY);
    }
    bool left = TQ2DGetKeyState(kKeyLeftButton) != 0;
    if (left && !g_state.leftDown)
        Say("press %d %d %s", g_state.mouseX, g_state.mouseY, OnTarget(x, y) ? "hit" : "miss");
    if (!left && g_state.leftDown)
        Say("release");
    g_state.leftDown = left;
    bool key = TQ2DGetKeyState(kKeyA) != 0;
    if (key && !g_state.keyDown)
        Say("key A");
    if (!key && g_state.keyDown)
        Say("key A up");
    g_state.keyDown = key;
}

void CountFrame() {
    ++g_state.framesSinceFps;
    int fps = TQ2DGetFPS();
    if (fps != g_state.fps) {
        // The frame that changes the value opens the next window: it is not one of the M frames.
        Say("fps %d frames %d", fps, g_state.framesSinceFps - 1);
        g_state.fps = fps;
        g_state.framesSinceFps = 1;
    }
}

TQ2D_QUAD_tag Quad(float x0, float y0, float x1, float y1, DWORD color, DWORD texture) {
    TQ2D_QUAD_tag quad{};
    const float xs[4] = {x0, x1, x1, x0};
    const float ys[4] = {y0, y0, y1, y1};
    for (int i = 0; i < 4; ++i) {
        quad.v[i].x = xs[i];
        quad.v[i].y = ys[i];
        quad.v[i].z = 0.5f;
        quad.v[i].col = color;
        quad.v[i].tx = (i == 1 || i == 2) ? 1.0f : 0.0f;
        quad.v[i].ty = i >= 2 ? 1.0f : 0.0f;
    }
    quad.tex = texture;
    quad.blend = TQ2D_BLEND_DEFAULT;
    return quad;
}

// True when the frame was drawn.
bool Draw() {
    if (!TQ2DGfx_BeginScene(0))
        return false;
    TQ2DGfx_Clear(0xFF202040);
    TQ2D_QUAD_tag target = Quad(kTargetLeft, kTargetTop, kTargetLeft + kTargetSize, kTargetTop + kTargetSize,
                                0xFFFFFFFF, g_textures[0].GetTexture());
    TQ2DGfx_RenderQuad(&target);
    // The bar moves one step every drawn frame, along the bottom strip.
    float bar = static_cast<float>(g_state.frame % 40) * 8.0f;
    TQ2D_QUAD_tag strip = Quad(bar, kHeight - 20, bar + 8, kHeight, 0xFFFFFFFF, 0);
    TQ2DGfx_RenderQuad(&strip);
    if (g_gui)
        g_gui->RenderGUI(0, 0);
    TQ2DGfx_EndScene();
    return true;
}

void CreateEdit() {
    g_gui = new TQ2DGUIObject;
    g_edit = new TQ2DGUIEdit;
    g_edit->SetControlID(1);
    g_edit->SetPos(10, 130);
    g_edit->SetSize(180, 20);
    g_gui->AddControl(g_edit, 1);
    g_edit->SetFocus();
}

void UpdateEdit() {
    float x = 0, y = 0;
    TQ2DGetMousePos(&x, &y);
    g_gui->UpdateGUI(TQ2DGetDeltaTime(), x, y);
    std::string text = g_edit->GetText().GetString();
    if (text == g_editText)
        return;
    g_editText = text;
    std::string hex;
    for (unsigned char byte : text) {
        char digits[4];
        snprintf(digits, sizeof digits, " %02X", byte);
        hex += digits;
    }
    Say("edit%s", hex.c_str());
}

bool Frame() {
    if (++g_state.frame == 1)
        Say("loop runs");
    if (g_state.reportFrames)
        Say("frame %lu %lld", g_state.frame,
            static_cast<long long>(std::chrono::duration_cast<std::chrono::microseconds>(
                                       std::chrono::steady_clock::now() - g_start)
                                       .count()));
    CountFrame();
    ReadInput();
    if (g_gui)
        UpdateEdit();
    bool drew = Draw();
    if (g_state.watchFirstFrame) {
        g_state.watchFirstFrame = false;
        Say("first frame after focus %s", drew ? "drew" : "did-not-draw");
    }
    if (!TQ2DIsActive() && !drew && ++g_state.inactiveFrames == kInactiveReport)
        Say("inactive frames %d", kInactiveReport);
    return false;
}

bool FocusLost() {
    Say("focus lost");
    g_state.inactiveFrames = 0;
    return true;
}

bool FocusGained() {
    Say("focus gained");
    g_state.watchFirstFrame = true;
    return true;
}

void FillTexture(TQ2DTexture* texture, DWORD color) {
    if (!texture->Create(16, 16))
        return;
    texture->Clear(color);
}

// Starts the engine, runs its loop until it ends and closes it; false when it cannot start.
bool RunEngine(TQ2D_INIT_INFO_tag* info, bool edit) {
    if (!TQ2DInit(info, nullptr)) {
        fprintf(stderr, "tq-window-host: the engine cannot start\n");
        return false;
    }
    if (edit)
        CreateEdit();
    FillTexture(&g_textures[0], 0xFF00FF00);
    FillTexture(&g_textures[1], 0xFFFF0000);
    FillTexture(&g_textures[2], 0xFF0000FF);
    g_state.frame = 0;
    Say("ready");
    TQ2DLoop();
    Say("exit");
    delete g_gui;
    g_gui = nullptr;
    g_edit = nullptr;
    TQ2DClose();
    return true;
}

} // namespace

int main(int argc, char** argv) {
    int fps = 0;
    bool edit = false;
    int runs = 1;
    for (int i = 1; i < argc; ++i) {
        if (strcmp(argv[i], "--fps") == 0 && i + 1 < argc)
            fps = atoi(argv[++i]);
        else if (strcmp(argv[i], "--report-frames") == 0)
            g_state.reportFrames = true;
        else if (strcmp(argv[i], "--edit") == 0)
            edit = true;
        else if (strcmp(argv[i], "--keys") == 0)
            g_state.reportKeys = true;
        else if (strcmp(argv[i], "--restart") == 0)
            runs = 2;
    }
    TQ2D_INIT_INFO_tag info{};
    info.pfnFrame = Frame;
    info.pfnFocusLost = FocusLost;
    info.pfnFocusGain = FocusGained;
    info.szTitle = "tq-window-host";
    info.nWidth = kWidth;
    info.nHeight = kHeight;
    info.bRunInactive = TRUE;
    info.nFPS = fps;
    for (int run = 0; run < runs; ++run) {
        if (!RunEngine(&info, edit))
            return 1;
    }
    return 0;
}
