// HelperScene: the helper library. A resource script (with an included one) declares textures,
// sprites, an animation, a bitmap font, a particle system and a distortion mesh, which the resource
// manager creates on first use; text is drawn in the bitmap font with each alignment; and the small
// GUI manager runs a text, three buttons and a slider, its focus moved by the arrow keys (Enter
// presses the focused button).
#pragma once

#include <memory>

#include "demoscene.h"
#include "helpers/tqgfxgui.h"
#include "helpers/tqgfxresourcemanager.h"

class TQGfxGUIButton;
class TQGfxGUISlider;
class TQGfxGUIText;

class HelperScene : public DemoScene {
public:
    bool Load() override;
    void Update(float dt) override;
    void Render() override;

private:
    void BuildGui();
    void UpdateButtons();
    void Press(int id);
    void Wave();
    void RenderAlignments();
    void RenderFocus();

    // Declared before the GUI manager, which draws with its font and textures.
    std::unique_ptr<TQGfxResourceManager> m_resources;
    std::unique_ptr<TQGfxGUI> m_gui;
    TQGfxFont* m_font = nullptr;
    TQGfxSprite* m_ball = nullptr;
    TQGfxSprite* m_star = nullptr;
    TQGfxSprite* m_track = nullptr;
    TQGfxAnimation* m_gem = nullptr;
    TQGfxParticleSystem* m_sparks = nullptr;
    TQGfxDistortionMesh* m_wave = nullptr;
    TQGfxGUIText* m_status = nullptr;
    TQGfxGUISlider* m_slider = nullptr;
    bool m_pressed[3] = {false, false, false};
    bool m_playing = true;
    float m_time = 0.0f;
    float m_nextBurst = 0.0f;
};
