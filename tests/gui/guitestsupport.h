// Helpers of the GUI tests: a small engine on the headless video backend whose frame function
// feeds synthetic input and runs the GUI's update pass, a control that records its handlers, and
// pixel reading from textures.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "engine/tq2dapi.h"
#include "engine/tq2dtexture.h"
#include "gui/tq2dguiobject.h"

// One frame of input: what to feed before the frame, and the mouse position handed to UpdateGUI.
struct GuiStep {
    std::function<void()> input;
    float x;
    float y;
};

class GuiToolkitTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Feeds each step's input and runs root.UpdateGUI on it in the following frame.
    void Run(TQ2DGUIObject& root, const std::vector<GuiStep>& steps, float delta = 0.01f);

    // Replaces the clock with the platform's test clock (restored in TearDown); each frame then
    // takes 1 ms.
    void UseTestClock(DWORD start);

    // Inputs (posted to the device window; the frame after sees them).
    std::function<void()> Press(int x, int y) const;
    std::function<void()> Release(int x, int y) const;
    std::function<void()> Wheel(int notches) const;
    std::function<void()> KeyDown(int key) const;
    static std::function<void()> Nothing();

    // The steps of a click at (x, y): hover, press, release, one more frame.
    std::vector<GuiStep> Click(float x, float y) const;

    HWND window = nullptr;

private:
    bool m_bTestClock = false;
};

// Clears the GUI's class-wide state (focus, capture, modal, input control, active ID).
void ResetGuiStatics();

// A control that records its handlers as "<id>:<handler>" into a shared log.
class Probe : public TQ2DGUIObject {
public:
    explicit Probe(DWORD id, float x = 0, float y = 0, float w = 0, float h = 0);
    static std::vector<std::string>& Log();
    // The log lines containing what.
    static std::vector<std::string> Only(const std::string& what);

    void OnUpdate(float, float, float) override;
    void OnCommand(TQ2DGUIObject* sender, DWORD code) override;
    void OnSetFocusControl(int focus) override;
    void OnMouseEnter() override;
    void OnMouseLeave() override;
    void OnMouseLButton(int n) override;
    void OnMouseWheel(int n) override;
    void OnSetStatus(int n) override;
    int OnCheckGroup() override { return groupExclusion; }

    int groupExclusion = 0;

private:
    void Record(const std::string& what);
};

// A texel of a locked texture (surface coordinates).
DWORD Texel(TQ2DTexture& tex, DWORD x, DWORD y);
// The number of texels in the rectangle inked in rgb: a glyph's edge is rgb with its coverage as
// alpha; other ink is opaque and counts when it lies on the way from 0x010101 to rgb. Either counts
// from a quarter of the way on. Black ink counts opaque texels whose channels are all at most 1.
int CountInk(TQ2DTexture& tex, DWORD rgb, DWORD x = 0, DWORD y = 0, DWORD w = 0, DWORD h = 0);
// The number of texels in the rectangle whose colour (low 24 bits) is rgb and whose alpha is alpha.
int CountTexels(TQ2DTexture& tex, DWORD rgb, DWORD alpha, DWORD x = 0, DWORD y = 0, DWORD w = 0, DWORD h = 0);

// A fresh folder below the test program's folder (where relative resource names resolve), removed
// with its content.
class GuiAssets {
public:
    GuiAssets();
    ~GuiAssets();
    GuiAssets(const GuiAssets&) = delete;
    GuiAssets& operator=(const GuiAssets&) = delete;

    // Writes a text file; returns its resource name (relative to the program's folder).
    std::string Text(const std::string& name, const std::string& text) const;
    // A horizontal strip of frames, each w x h in one solid colour (0xAARRGGBB) from colours.
    std::string Strip(const std::string& name, int w, int h, const std::vector<unsigned>& colours) const;
    // An animation description over a strip (hot spot at the top-left corner): its resource name.
    std::string Animation(const std::string& name, int w, int h, const std::vector<unsigned>& colours,
                          const std::string& extra = "") const;

private:
    std::string m_relative;
    std::string m_root;
};
