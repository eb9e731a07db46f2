// script-game: a host written against the device directly, with the helper library: a resource
// manager reading a resource script, a bitmap font, and the small GUI manager with a toggle
// button (pause), a slider (speed) and a text. Escape quits.
//
// usage: script-game [FRAMES SCREENSHOT]
//   runs FRAMES fixed steps of 1/60 s, saves the last frame to SCREENSHOT (BMP) and quits.
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "device/tqgfxdevice.h"
#include "device/tqgfxsprite.h"
#include "helpers/tqgfxfont.h"
#include "helpers/tqgfxgui.h"
#include "helpers/tqgfxguibutton.h"
#include "helpers/tqgfxguislider.h"
#include "helpers/tqgfxguitext.h"
#include "helpers/tqgfxresourcemanager.h"
#include "platform/win32/tquser32.h"

namespace {

const int kWidth = 240;
const int kHeight = 180;
const int kStars = 8;
enum { kPauseButton = 1, kSpeedSlider = 2, kSpeedText = 3 };

TQGfxDevice* g_device = nullptr;

struct Game {
    // Relative script names start at the program's folder, where the build copies the assets.
    TQGfxResourceManager resources{"script-game.res"};
    TQGfxGUI gui;
    TQGfxSprite* star = nullptr;
    TQGfxSprite* ball = nullptr;
    TQGfxFont* font = nullptr;
    float angle = 0.0f;
    int framesLeft = 0; // 0: run until Escape
    std::string screenshot;

    bool Load();
    bool Frame();
    void Render();
};

Game* g_game = nullptr;

bool Game::Load() {
    // Precache creates every declared resource; it is true for an empty manager too, so the
    // getters' results are checked as well.
    if (!resources.Precache())
        return false;
    star = resources.GetSprite("star");
    ball = resources.GetSprite("ball");
    font = resources.GetFont("digits");
    const DWORD buttons = resources.GetTexture("buttons");
    if (!star || !ball || !font || !buttons)
        return false;
    TQGfxGUIButton* pause = new TQGfxGUIButton(kPauseButton, 8, 152, 32, 16, buttons, 0, 0);
    pause->SetMode(true); // a toggle: each click flips it
    gui.AddCtrl(pause);
    TQGfxGUISlider* speed = new TQGfxGUISlider(kSpeedSlider, 56, 156, 100, 8, buttons, 32, 4, 32, 8);
    speed->SetMode(0, 100, TQGFX_SLIDER_BAR);
    speed->SetValue(40);
    gui.AddCtrl(speed);
    gui.AddCtrl(new TQGfxGUIText(kSpeedText, 8, 8, 224, 12, font));
    gui.Enter();
    return true;
}

void Game::Render() {
    if (!g_device->Gfx_BeginScene(0))
        return;
    g_device->Gfx_Clear(0xFF302040);
    for (int i = 0; i < kStars; ++i) {
        const float a = angle + i * 6.2832f / kStars;
        (i % 2 ? star : ball)->RenderEx(120 + 60 * std::cos(a), 84 + 50 * std::sin(a), a);
    }
    gui.Render();
    g_device->Gfx_EndScene();
}

bool Game::Frame() {
    if (g_device->Input_GetKey() == VK_ESCAPE)
        return true;
    const float dt = framesLeft ? 1.0f / 60.0f : g_device->Timer_GetDelta();
    gui.Update(dt);
    const auto* pause = static_cast<TQGfxGUIButton*>(gui.GetCtrl(kPauseButton));
    const float speed = static_cast<TQGfxGUISlider*>(gui.GetCtrl(kSpeedSlider))->GetValue();
    static_cast<TQGfxGUIText*>(gui.GetCtrl(kSpeedText))->printf("SPEED %d", static_cast<int>(speed));
    if (!pause->GetState())
        angle += speed / 40.0f * dt;
    Render();
    if (framesLeft == 0 || --framesLeft > 0)
        return false;
    g_device->System_Snapshot(screenshot.c_str()); // relative to the working folder
    return true;
}

bool FrameFunction() {
    return g_game->Frame();
}

} // namespace

int main(int argc, char** argv) {
    const bool fixedFrames = argc == 3;
    g_device = TQGfxCreate(TQGfxDevice::kVersion);
    g_device->System_SetState(TQGFX_FRAMEFUNC, FrameFunction);
    g_device->System_SetState(TQGFX_TITLE, "Script game");
    g_device->System_SetState(TQGFX_SCREENWIDTH, kWidth);
    g_device->System_SetState(TQGFX_SCREENHEIGHT, kHeight);
    g_device->System_SetState(TQGFX_WINDOWED, true);
    g_device->System_SetState(TQGFX_USESOUND, false);
    g_device->System_SetState(TQGFX_FPS, fixedFrames ? TQGFX_FPS_UNLIMITED : 60);
    if (!g_device->System_Initiate()) {
        std::fprintf(stderr, "script-game: %s\n", g_device->System_GetErrorMessage());
        g_device->Release();
        return 1;
    }
    Game* game = new Game;
    if (fixedFrames) {
        game->framesLeft = std::atoi(argv[1]);
        game->screenshot = argv[2];
    }
    g_game = game;
    const bool loaded = game->Load();
    if (loaded)
        g_device->System_Start();
    else
        std::fprintf(stderr, "script-game: resources missing (see the log)\n");
    delete game;
    g_device->System_Shutdown();
    g_device->Release();
    return loaded ? 0 : 1;
}
