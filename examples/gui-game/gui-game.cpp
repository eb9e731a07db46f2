// gui-game: the GUI toolkit. A window built from a window description file holds a panel, texts
// and two buttons; clicking "Click" counts, "Reset" starts again. Escape quits.
//
// usage: gui-game [FRAMES SCREENSHOT]
//   runs FRAMES fixed steps of 1/60 s, saves the last frame to SCREENSHOT (BMP) and quits.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "engine/tq2dapi.h"
#include "engine/tq2dpack.h"
#include "gui/tq2dguistatic.h"
#include "gui/tq2dguiwindow.h"
#include "platform/win32/tquser32.h"

namespace {

const int kWidth = 240;
const int kHeight = 180;
const DWORD kCount = 10;
const DWORD kClick = 11;
const DWORD kReset = 12;

// The game's window: names in its description file become control IDs, and the buttons' clicks
// arrive as commands.
class MainWindow : public TQ2DGUIWindow {
public:
    DWORD OnGetControlID(const char* name) override {
        const std::string key = name; // trimmed and upper-cased by the reader
        return key == "COUNT" ? kCount : key == "CLICK" ? kClick : key == "RESET" ? kReset : 0;
    }

    void OnCommand(TQ2DGUIObject* sender, DWORD command) override {
        if (command != TQ2DGUI_COMMAND_CLICK)
            return;
        m_clicks = sender->GetControlID() == kClick ? m_clicks + 1 : 0;
        ShowCount();
    }

    void ShowCount() {
        static_cast<TQ2DGUIStatic*>(GetControl(kCount))->SetText(std::to_string(m_clicks).c_str());
    }

private:
    int m_clicks = 0;
};

struct Game {
    MainWindow window;  // a member, not allocated on its own: GUI classes come from class pools
    int framesLeft = 0; // 0: run until Escape
    std::string screenshot;
};

Game* g_game = nullptr;

std::string BesideProgram(const char* name) {
    return (std::filesystem::read_symlink("/proc/self/exe").parent_path() / name).string();
}

bool Frame() {
    Game& game = *g_game;
    if (TQ2DGetKey() == VK_ESCAPE)
        return true;
    const float dt = game.framesLeft ? 1.0f / 60.0f : TQ2DGetDeltaTime();
    float mouseX, mouseY;
    TQ2DGetMousePos(&mouseX, &mouseY);
    game.window.UpdateGUI(dt, mouseX, mouseY);
    if (TQ2DGfx_BeginScene(0)) {
        TQ2DGfx_Clear(0xFF204030);
        game.window.RenderGUI(0, 0);
        TQ2DGfx_EndScene();
    }
    if (game.framesLeft == 0 || --game.framesLeft > 0)
        return false;
    TQ2DMakeScreenShot(D3DXIFF_BMP, game.screenshot.c_str());
    return true;
}

} // namespace

int main(int argc, char** argv) {
    const bool fixedFrames = argc == 3;
    if (!TQ2DPackAdd(BesideProgram("gui-game.pak").c_str())) {
        std::fprintf(stderr, "gui-game: no gui-game.pak beside the program\n");
        return 1;
    }
    TQ2D_INIT_INFO_tag info{};
    info.pfnFrame = Frame;
    info.szTitle = "GUI game";
    info.nWidth = kWidth;
    info.nHeight = kHeight;
    info.nFPS = fixedFrames ? 0 : 60;
    if (!TQ2DInit(&info, nullptr)) {
        std::fprintf(stderr, "gui-game: the engine cannot start\n");
        return 1;
    }
    Game* game = new Game;
    if (fixedFrames) {
        game->framesLeft = std::atoi(argv[1]);
        game->screenshot = argv[2];
    }
    g_game = game;
    // The description file, and the animation files and textures it names, come from the pack.
    game->window.InitFromConfig("gui/main.wnd");
    const bool loaded = game->window.GetControl(kCount) != nullptr;
    if (loaded) {
        game->window.ShowCount();
        TQ2DLoop();
    } else {
        std::fprintf(stderr, "gui-game: gui/main.wnd is missing or incomplete\n");
    }
    delete game;
    TQ2DClose();
    TQ2DPackRemoveAll();
    return loaded ? 0 : 1;
}
