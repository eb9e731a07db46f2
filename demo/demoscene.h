// DemoScene: one scene of the demo. The host creates a scene when it is entered, calls Load once,
// then every frame hands it the input events it did not use itself, Update and, inside the frame's
// scene, Render; it deletes the scene when another one is chosen.
#pragma once

#include "engine/tq2dapi.h"

// The size of the demo's window.
const int kDemoWidth = 800;
const int kDemoHeight = 600;
// The height of the caption line at the top of the window.
const int kCaptionHeight = 18;

class DemoScene {
public:
    virtual ~DemoScene() = default;
    // Loads what the scene shows; false when something it cannot do without is missing.
    virtual bool Load() = 0;
    // An input event (key, mouse) that the host did not take.
    virtual void OnEvent(const TQ2D_INPUT_EVENT_tag&) {}
    // Escape was pressed: true when the scene used it, so that the demo does not quit.
    virtual bool OnEscape() { return false; }
    // Advances the scene by dt seconds. Drawing into render targets happens here, before the
    // frame's scene begins.
    virtual void Update(float dt) = 0;
    // Draws the scene into the window (the frame's scene has begun and the window is cleared).
    virtual void Render() = 0;
};
