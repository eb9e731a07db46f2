// tq2d-demo: the engine's tour, one scene for each part of it. F1-F6 choose the scene, Escape quits
// (in the GUI scene it first closes an open popup), F12 writes a numbered screenshot into the current
// folder and prints its path. The caption names the scene and its keys.
//
// usage: tq2d-demo [--scene NAME|all] [--frames N] [--screenshot FILE]
//   --scene NAME       starts in that scene: sprites, animations, particles, mesh, gui or helpers
//   --scene all        with --frames: runs every scene in turn, each writing its own screenshot
//   --frames N         runs exactly N frames with a fixed time step of 1/60 s (deterministic), then quits
//   --screenshot FILE  writes the last frame to FILE (BMP) before quitting; with --scene all the
//                      scene's name goes before the extension (shot.bmp: shot-sprites.bmp, ...)
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "animationscene.h"
#include "democaption.h"
#include "demoscene.h"
#include "device/tqgfxdevice.h"
#include "engine/tq2dapi.h"
#include "engine/tq2dpack.h"
#include "guiscene.h"
#include "helperscene.h"
#include "meshscene.h"
#include "particlescene.h"
#include "spritescene.h"

namespace {

const float kFixedStep = 1.0f / 60.0f;
const int kVirtualKeyEscape = 0x1B;
const int kVirtualKeyF1 = 0x70;
const int kVirtualKeyF12 = 0x7B;
const unsigned long kBackground = 0xFF203050;
// The random seed of a deterministic run, set anew whenever a scene starts.
const DWORD kFixedSeed = 20261207u;

struct SceneEntry {
    const char* name;
    const char* title;
    const char* keys;
    std::unique_ptr<DemoScene> (*make)();
};

template <class Scene> std::unique_ptr<DemoScene> Make() {
    return std::unique_ptr<DemoScene>(new Scene);
}

const SceneEntry kScenes[] = {
    {"sprites", "Sprites", "click: sound", Make<SpriteScene>},
    {"animations", "Animations", "click: replay all", Make<AnimationScene>},
    {"particles", "Particles", "click: effect at the mouse, right click: next effect", Make<ParticleScene>},
    {"mesh", "Distortion mesh", "mouse: ripple centre", Make<MeshScene>},
    {"gui", "GUI toolkit", "drag the title, type in the edit, Escape closes the popup", Make<GuiScene>},
    {"helpers", "Helpers", "arrows: move the focus, mouse: buttons and slider", Make<HelperScene>},
};
const int kSceneCount = sizeof(kScenes) / sizeof(kScenes[0]);

struct Options {
    int scene = 0;
    bool allScenes = false;
    int frames = 0; // 0: run until Escape
    std::string screenshot;
};

class DemoHost {
public:
    explicit DemoHost(const Options& options) : m_options(options) {}
    bool Start();
    bool Frame();
    void Stop();
    // False when a scene could not load or a screenshot could not be written.
    bool Succeeded() const { return m_succeeded; }

private:
    float Step() const { return m_options.frames ? kFixedStep : TQ2DGetDeltaTime(); }
    bool Enter(int scene);
    // True when the demo should quit.
    bool HandleInput();
    bool FinishFixedRun();
    std::string ScreenshotName() const;
    void WriteNumberedScreenshot();

    Options m_options;
    DemoCaption m_caption;
    std::unique_ptr<DemoScene> m_scene;
    int m_current = -1;
    int m_frame = 0;
    bool m_succeeded = true;
};

bool DemoHost::Start() {
    return m_caption.Load() && Enter(m_options.scene);
}

// Replaces the running scene; a fixed run seeds the random numbers so that every run is alike.
bool DemoHost::Enter(int scene) {
    m_scene.reset();
    if (m_options.frames) {
        TQGfxDevice* device = TQGfxCreate(16);
        device->Random_Seed(kFixedSeed);
        device->Release();
    }
    m_current = scene;
    m_frame = 0;
    const SceneEntry& entry = kScenes[scene];
    m_caption.SetText(std::string("$C#FFD060F") + std::to_string(scene + 1) + " " + entry.title +
                      "$C#A0B0D0  |  " + entry.keys + "  |  F1-F6 scenes, F12 screenshot, Escape quits");
    m_scene = entry.make();
    if (m_scene->Load())
        return true;
    std::fprintf(stderr, "tq2d-demo: the %s scene cannot load its assets\n", entry.name);
    m_succeeded = false;
    return false;
}

bool DemoHost::HandleInput() {
    TQ2D_INPUT_EVENT_tag event;
    while (TQ2DGetKeyEvent(&event)) {
        const bool keyDown = event.type == TQ2D_INPUT_KEYDOWN;
        if (keyDown && event.key == kVirtualKeyEscape) {
            if (!m_scene->OnEscape())
                return true;
        } else if (keyDown && event.key >= kVirtualKeyF1 && event.key < kVirtualKeyF1 + kSceneCount) {
            if (!Enter(event.key - kVirtualKeyF1))
                return true;
        } else if (keyDown && event.key == kVirtualKeyF12) {
            WriteNumberedScreenshot();
        } else {
            m_scene->OnEvent(event);
        }
    }
    return false;
}

// Writes the frame to the first tq2d-demo-shot-NNN.bmp of the current folder that does not exist
// yet, and says where.
void DemoHost::WriteNumberedScreenshot() {
    std::string name;
    for (int number = 1; name.empty() || std::filesystem::exists(name); ++number) {
        char buffer[32];
        std::snprintf(buffer, sizeof buffer, "tq2d-demo-shot-%03d.bmp", number);
        name = buffer;
    }
    const std::string path = std::filesystem::absolute(name).string();
    if (TQ2DMakeScreenShot(D3DXIFF_BMP, name.c_str()))
        std::printf("tq2d-demo: screenshot written to %s\n", path.c_str());
    else
        std::fprintf(stderr, "tq2d-demo: cannot write %s\n", path.c_str());
    std::fflush(stdout);
}

std::string DemoHost::ScreenshotName() const {
    if (!m_options.allScenes)
        return m_options.screenshot;
    const std::filesystem::path path(m_options.screenshot);
    std::filesystem::path named = path.parent_path() / path.stem();
    named += std::string("-") + kScenes[m_current].name;
    named += path.extension();
    return named.string();
}

// After the last fixed frame of a scene: writes its screenshot, then goes on to the next scene of
// --scene all. True when the demo should quit.
bool DemoHost::FinishFixedRun() {
    const std::string shot = ScreenshotName();
    if (!shot.empty() && !TQ2DMakeScreenShot(D3DXIFF_BMP, shot.c_str())) {
        std::fprintf(stderr, "tq2d-demo: cannot write %s\n", shot.c_str());
        m_succeeded = false;
    }
    if (!m_options.allScenes || m_current + 1 == kSceneCount)
        return true;
    return !Enter(m_current + 1);
}

bool DemoHost::Frame() {
    if (HandleInput())
        return true;
    m_scene->Update(Step());
    if (TQ2DGfx_BeginScene(0)) {
        TQ2DGfx_Clear(kBackground);
        m_scene->Render();
        m_caption.Render(m_options.frames ? 60 : TQ2DGetFPS());
        TQ2DGfx_EndScene();
    }
    ++m_frame;
    if (m_options.frames == 0 || m_frame < m_options.frames)
        return false;
    return FinishFixedRun();
}

void DemoHost::Stop() {
    m_scene.reset();
}

DemoHost* g_host = nullptr;

bool FrameFunction() {
    return g_host->Frame();
}

int SceneIndex(const std::string& name) {
    for (int i = 0; i < kSceneCount; ++i)
        if (name == kScenes[i].name)
            return i;
    return -1;
}

bool ParseOptions(int argc, char** argv, Options* options) {
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--frames" && i + 1 < argc) {
            options->frames = std::atoi(argv[++i]);
            if (options->frames <= 0)
                return false;
        } else if (arg == "--screenshot" && i + 1 < argc) {
            options->screenshot = argv[++i];
        } else if (arg == "--scene" && i + 1 < argc) {
            const std::string name = argv[++i];
            options->allScenes = name == "all";
            options->scene = options->allScenes ? 0 : SceneIndex(name);
            if (options->scene < 0)
                return false;
        } else {
            return false;
        }
    }
    return !options->allScenes || options->frames > 0;
}

std::string ProgramFolder() {
    std::error_code error;
    const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
    return program.parent_path().string();
}

} // namespace

int main(int argc, char** argv) {
    Options options;
    if (!ParseOptions(argc, argv, &options)) {
        std::fprintf(stderr, "usage: tq2d-demo [--scene sprites|animations|particles|mesh|gui|helpers|all] "
                             "[--frames N] [--screenshot FILE]\n"
                             "  --scene all needs --frames\n");
        return 2;
    }
    const std::string pack = ProgramFolder() + "/tq2d-demo.pak";
    if (!TQ2DPackAdd(pack.c_str())) {
        std::fprintf(stderr, "tq2d-demo: cannot open %s\n", pack.c_str());
        return 1;
    }
    TQ2D_INIT_INFO_tag info{};
    info.pfnFrame = FrameFunction;
    info.szTitle = "TQ2D demo";
    info.nWidth = kDemoWidth;
    info.nHeight = kDemoHeight;
    info.bRunInactive = TRUE;
    info.bShowCursor = TRUE;
    info.nFPS = options.frames ? 0 : 60;
    if (!TQ2DInit(&info, nullptr)) {
        std::fprintf(stderr, "tq2d-demo: the engine cannot start\n");
        TQ2DPackRemoveAll();
        return 1;
    }
    // The helper library reads its files through the device, which takes zip packs.
    const std::string helpers = ProgramFolder() + "/tq2d-demo-helpers.zip";
    TQGfxDevice* device = TQGfxCreate(16);
    if (!device->Resource_AttachPack(helpers.c_str(), nullptr))
        std::fprintf(stderr, "tq2d-demo: cannot open %s\n", helpers.c_str());
    device->Release();
    DemoHost host(options);
    g_host = &host;
    const bool started = host.Start();
    if (started)
        TQ2DLoop();
    host.Stop();
    TQ2DClose();
    TQ2DPackRemoveAll();
    return started && host.Succeeded() ? 0 : 1;
}
