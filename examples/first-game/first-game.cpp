// first-game: the first game of the guide. Steer the blue box with the arrow keys; the balls
// bounce off the edges and click when they hit the box. Escape or closing the window quits.
//
// usage: first-game [FRAMES SCREENSHOT]
//   runs FRAMES fixed steps of 1/60 s, saves the last frame to SCREENSHOT (BMP) and quits.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "engine/tq2dapi.h"
#include "engine/tq2dpack.h"
#include "engine/tq2dsound.h"
#include "engine/tq2dsprite.h"
#include "platform/win32/tquser32.h" // virtual-key codes (VK_ESCAPE, VK_LEFT, ...)

namespace {

const int kWidth = 240;
const int kHeight = 180;
const int kBalls = 3;

struct Ball {
    float x, y, vx, vy;
};

// What the game keeps between frames. Engine objects are made after TQ2DInit and go before
// TQ2DClose.
struct Game {
    TQ2DSprite box, ball;
    TQ2DSound click;
    float boxX = kWidth / 2.0f, boxY = kHeight - 30.0f;
    Ball balls[kBalls] = {{30, 30, 70, 50}, {120, 60, -60, 80}, {200, 40, 50, -70}};
    int framesLeft = 0; // 0: run until Escape
    std::string screenshot;
};

Game* g_game = nullptr;

// Relative names given to TQ2DPackAdd start at the working folder, so the pack is named by its
// full path: it lies beside the program.
std::string BesideProgram(const char* name) {
    return (std::filesystem::read_symlink("/proc/self/exe").parent_path() / name).string();
}

void MoveBox(Game& game, float dt) {
    const float speed = 120.0f * dt;
    if (TQ2DGetKeyState(VK_LEFT))
        game.boxX -= speed;
    if (TQ2DGetKeyState(VK_RIGHT))
        game.boxX += speed;
    if (TQ2DGetKeyState(VK_UP))
        game.boxY -= speed;
    if (TQ2DGetKeyState(VK_DOWN))
        game.boxY += speed;
}

void MoveBall(Game& game, Ball& ball, float dt) {
    ball.x += ball.vx * dt;
    ball.y += ball.vy * dt;
    if (ball.x < 16 || ball.x > kWidth - 16)
        ball.vx = -ball.vx;
    if (ball.y < 16 || ball.y > kHeight - 16)
        ball.vy = -ball.vy;
    if (std::abs(ball.x - game.boxX) < 32 && std::abs(ball.y - game.boxY) < 32) {
        ball.vy = -std::abs(ball.vy);
        game.click.Play();
    }
}

void Render(Game& game) {
    if (!TQ2DGfx_BeginScene(0)) // 0 while the window is inactive
        return;
    TQ2DGfx_Clear(0xFF203050);
    game.box.Render(game.boxX, game.boxY);
    for (const Ball& ball : game.balls)
        game.ball.Render(ball.x, ball.y);
    TQ2DGfx_EndScene();
}

// Called once per frame by TQ2DLoop; returning true ends the loop.
bool Frame() {
    Game& game = *g_game;
    TQ2D_INPUT_EVENT_tag event;
    while (TQ2DGetKeyEvent(&event))
        if (event.type == TQ2D_INPUT_KEYDOWN && event.key == VK_ESCAPE)
            return true;
    const float dt = game.framesLeft ? 1.0f / 60.0f : TQ2DGetDeltaTime();
    MoveBox(game, dt);
    for (Ball& ball : game.balls)
        MoveBall(game, ball, dt);
    Render(game);
    if (game.framesLeft == 0 || --game.framesLeft > 0)
        return false;
    // A relative screenshot name starts at the working folder.
    TQ2DMakeScreenShot(D3DXIFF_BMP, game.screenshot.c_str());
    return true;
}

bool Load(Game& game) {
    // Sprite description files come from the pack; the sprites' texture too.
    return game.box.CreateFromConfig("box.txt") && game.ball.CreateFromConfig("ball.txt") &&
           game.click.Create("click.wav", 0);
}

} // namespace

int main(int argc, char** argv) {
    if (!TQ2DPackAdd(BesideProgram("first-game.pak").c_str())) {
        std::fprintf(stderr, "first-game: no first-game.pak beside the program\n");
        return 1;
    }
    const bool fixedFrames = argc == 3;
    TQ2D_INIT_INFO_tag info{};
    info.pfnFrame = Frame;
    info.szTitle = "First game";
    info.nWidth = kWidth;
    info.nHeight = kHeight;
    info.nFPS = fixedFrames ? 0 : 60; // fixed frames run as fast as they can
    if (!TQ2DInit(&info, nullptr)) {
        std::fprintf(stderr, "first-game: the engine cannot start\n");
        return 1;
    }
    Game* game = new Game;
    if (fixedFrames) {
        game->framesLeft = std::atoi(argv[1]);
        game->screenshot = argv[2];
    }
    g_game = game;
    const bool loaded = Load(*game);
    if (loaded)
        TQ2DLoop();
    delete game;
    TQ2DClose();
    TQ2DPackRemoveAll();
    return loaded ? 0 : 1;
}
