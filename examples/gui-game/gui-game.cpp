// gui-game: the GUI toolkit over a world. A window built from a window description file holds a
// panel, texts and two buttons; clicking "Click" counts, "Reset" starts again. A press on the world
// around the window leaves a mark there and the wheel over the world sizes the marks; presses and
// the wheel over the window stay the window's. Escape quits.
//
// usage: gui-game [FRAMES SCREENSHOT]
//   runs FRAMES fixed steps of 1/60 s, saves the last frame to SCREENSHOT (BMP) and quits.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

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

struct Mark {
    float x, y;
};

struct Game {
    TQ2DGUIObject root; // no size of its own: only its windows take the mouse
    MainWindow window;  // a member, not allocated on its own: GUI classes come from class pools
    std::vector<Mark> marks;
    float markSize = 4;
    int framesLeft = 0; // 0: run until Escape
    std::string screenshot;
};

Game* g_game = nullptr;

std::string BesideProgram(const char* name) {
    return (std::filesystem::read_symlink("/proc/self/exe").parent_path() / name).string();
}

// True when a shown window of root lies under the pointer (after root.UpdateGUI).
bool PointerOverWindow(TQ2DGUIObject& root) {
    for (auto* element = root.GetControlList().GetHeadPosition(); element; element = element->GetNext())
        if (element->GetData()->GetShowMode() && element->GetData()->GetMouseEnter())
            return true;
    return false;
}

// The GUI takes its presses and the wheel first; the world gets the rest. A press that closes an
// open list or popup belongs to the GUI too, though nothing is modal any more after UpdateGUI.
bool UpdateGUIAndWorld(Game& game, float dt) {
    const bool modalBefore = TQ2DGUIObject::GetModalControl() != nullptr;
    float mouseX, mouseY;
    TQ2DGetMousePos(&mouseX, &mouseY);
    game.root.UpdateGUI(dt, mouseX, mouseY);
    const bool guiHasMouse =
        modalBefore || TQ2DGUIObject::GetModalControl() != nullptr || PointerOverWindow(game.root);
    TQ2D_INPUT_EVENT_tag event;
    while (TQ2DGetKeyEvent(&event)) {
        if (event.type == TQ2D_INPUT_KEYDOWN && event.key == VK_ESCAPE)
            return true;
        if (event.type == TQ2D_INPUT_MBUTTONDOWN && event.key == 1 && !guiHasMouse)
            game.marks.push_back({event.x, event.y});
    }
    if (!guiHasMouse)
        game.markSize = std::clamp(game.markSize + TQ2DGetMouseWheel(), 2.0f, 12.0f);
    return false;
}

void DrawMark(const Mark& mark, float size) {
    const unsigned long yellow = 0xFFFFD040;
    TQ2DGfx_RenderLine(mark.x - size, mark.y, mark.x + size, mark.y, yellow, 0);
    TQ2DGfx_RenderLine(mark.x, mark.y - size, mark.x, mark.y + size, yellow, 0);
}

bool Frame() {
    Game& game = *g_game;
    const float dt = game.framesLeft ? 1.0f / 60.0f : TQ2DGetDeltaTime();
    if (UpdateGUIAndWorld(game, dt))
        return true;
    if (TQ2DGfx_BeginScene(0)) {
        TQ2DGfx_Clear(0xFF204030);
        for (const Mark& mark : game.marks)
            DrawMark(mark, game.markSize);
        game.root.RenderGUI(0, 0);
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
    game->window.SetPos(40, 30);
    game->root.AddControl(&game->window, 0);
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
