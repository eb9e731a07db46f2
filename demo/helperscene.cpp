#include "helperscene.h"

#include <cmath>

#include "device/tqgfxanimation.h"
#include "device/tqgfxdistortionmesh.h"
#include "device/tqgfxparticlesystem.h"
#include "device/tqgfxsprite.h"
#include "helpers/tqgfxfont.h"
#include "helpers/tqgfxguibutton.h"
#include "helpers/tqgfxguislider.h"
#include "helpers/tqgfxguitext.h"
#include "demodraw.h"

namespace {

enum ControlID { kStatus = 1, kPlay, kFaster, kSlower, kSlider };
const char* const kButtonNames[3] = {"Play", "Faster", "Slower"};
const float kButtonY = 420.0f;
const float kSliderY = 470.0f;
const int kWaveNodes = 17;
const float kWaveX = 470.0f;
const float kWaveY = 250.0f;
const int kVirtualKeyReturn = 0x0D;
// Navigation: left/right (1) and up/down (2) arrows, wrapping at the ends (4).
const int kNavigation = 1 | 2 | 4;

} // namespace

bool HelperScene::Load() {
    m_resources.reset(new TQGfxResourceManager("helpers/demo.res"));
    m_font = m_resources->GetFont("mono");
    m_ball = m_resources->GetSprite("ball");
    m_star = m_resources->GetSprite("star");
    m_track = m_resources->GetSprite("track");
    m_gem = m_resources->GetAnimation("gem");
    m_sparks = m_resources->GetParticleSystem("sparks");
    m_wave = m_resources->GetDistortionMesh("wave");
    if (!m_font || !m_ball || !m_star || !m_track || !m_gem || !m_sparks || !m_wave ||
        !m_resources->GetTexture("gui"))
        return false;
    m_gem->Play();
    BuildGui();
    return true;
}

void HelperScene::BuildGui() {
    m_gui.reset(new TQGfxGUI);
    m_status = new TQGfxGUIText(kStatus, 40, 380, 380, 24, m_font);
    m_gui->AddCtrl(m_status);
    const DWORD faces = m_resources->GetTexture("gui");
    for (int i = 0; i < 3; ++i) {
        TQGfxGUIButton* button =
            new TQGfxGUIButton(kPlay + i, 40.0f + 110.0f * i, kButtonY, 100, 24, faces, 0, 24.0f * i);
        button->SetMode(i == 0);
        button->SetState(i == 0);
        m_gui->AddCtrl(button);
    }
    m_slider = new TQGfxGUISlider(kSlider, 40, kSliderY, 200, 12, faces, 200, 72, 12, 28);
    m_slider->SetMode(0, 100, 2);
    m_slider->SetValue(50);
    m_gui->AddCtrl(m_slider);
    m_gui->SetNavMode(kNavigation);
    m_gui->SetFocus(kPlay);
    m_gui->Enter();
}

// A push button acts when it is let go; the trigger button acts on each change.
void HelperScene::UpdateButtons() {
    for (int i = 0; i < 3; ++i) {
        TQGfxGUIButton* button = static_cast<TQGfxGUIButton*>(m_gui->GetCtrl(kPlay + i));
        const bool pressed = button->GetState();
        if (i == 0 ? pressed != m_pressed[i] : m_pressed[i] && !pressed)
            Press(kPlay + i);
        m_pressed[i] = pressed;
    }
    if (TQ2DGetKey() == kVirtualKeyReturn) {
        const int focus = m_gui->GetFocus();
        if (focus == kPlay) {
            TQGfxGUIButton* play = static_cast<TQGfxGUIButton*>(m_gui->GetCtrl(kPlay));
            play->SetState(!play->GetState());
            m_pressed[0] = play->GetState();
        }
        if (focus >= kPlay && focus <= kSlower)
            Press(focus);
    }
}

void HelperScene::Press(int id) {
    if (id == kPlay)
        m_playing = static_cast<TQGfxGUIButton*>(m_gui->GetCtrl(kPlay))->GetState();
    if (id == kFaster)
        m_gem->SetSpeed(std::fmin(60.0f, m_gem->GetSpeed() + 4.0f));
    if (id == kSlower)
        m_gem->SetSpeed(std::fmax(2.0f, m_gem->GetSpeed() - 4.0f));
}

// The mesh waves across, as high as the slider says.
void HelperScene::Wave() {
    const float height = m_slider->GetValue() * 0.2f;
    for (int row = 0; row < kWaveNodes; ++row)
        for (int column = 0; column < kWaveNodes; ++column) {
            const float phase = m_time * 3.0f + column * 0.6f + row * 0.3f;
            m_wave->SetDisplacement(column, row, 0, height * std::sin(phase), 0);
        }
}

void HelperScene::Update(float dt) {
    m_gui->Update(dt);
    UpdateButtons();
    if (m_playing) {
        m_time += dt;
        m_gem->Update(dt);
        if (m_time >= m_nextBurst) {
            m_sparks->FireAt(330, 230);
            m_nextBurst += 1.2f;
        }
    }
    m_sparks->Update(dt);
    Wave();
    const int focus = m_gui->GetFocus();
    m_status->printf("focus: %s  gem %.0f fps  wave %.0f",
                     focus == kSlider ? "slider"
                     : focus >= kPlay ? kButtonNames[focus - kPlay]
                                      : "none",
                     m_gem->GetSpeed(), m_slider->GetValue());
}

// Left, centred and right-aligned text, each over a marker at its x.
void HelperScene::RenderAlignments() {
    const float xs[3] = {40.0f, kDemoWidth / 2.0f, kDemoWidth - 40.0f};
    const int aligns[3] = {TQGFX_TEXT_LEFT, TQGFX_TEXT_CENTER, TQGFX_TEXT_RIGHT};
    const char* const texts[3] = {"left aligned\nat x", "centred\non x", "right aligned\nends at x"};
    for (int i = 0; i < 3; ++i) {
        TQ2DGfx_RenderLine(xs[i], 96, xs[i], 150, 0xFFFFD060, 0.5f);
        m_font->SetColor(0xFFFFFFFF);
        m_font->Render(xs[i], 100, texts[i], aligns[i]);
    }
    m_font->SetColor(0xFFFFD060);
    m_font->SetScale(1.5f);
    m_font->SetTracking(2.0f);
    m_font->Render(kDemoWidth / 2.0f, 40, "Bitmap font: scale 1.5, tracking 2", TQGFX_TEXT_CENTER);
    m_font->SetScale(1.0f);
    m_font->SetTracking(0.0f);
    m_font->SetColor(0xFFA0B0D0);
    m_font->Render(40, 200, "From the resource script:", TQGFX_TEXT_LEFT);
    m_font->Render(kWaveX, 220, "Distortion: wave", TQGFX_TEXT_LEFT);
    m_font->Render(40, 350, "GUI manager (arrows, Enter, mouse):", TQGFX_TEXT_LEFT);
}

// A frame round the control that has the focus.
void HelperScene::RenderFocus() {
    const int focus = m_gui->GetFocus();
    if (focus < kPlay)
        return;
    const bool slider = focus == kSlider;
    const float x = slider ? 40.0f : 40.0f + 110.0f * (focus - kPlay), y = slider ? kSliderY - 8 : kButtonY;
    const float w = slider ? 212.0f : 100.0f, h = slider ? 28.0f : 24.0f;
    DrawFrame(x - 2, y - 2, w + 4, h + 4, 0xFFFFD060);
}

void HelperScene::Render() {
    RenderAlignments();
    m_ball->RenderEx(80, 260, m_time, 1.5f);
    m_star->RenderEx(150, 260, -m_time * 2.0f, 1.5f);
    m_gem->RenderEx(220, 260, 0.0f, 1.5f);
    m_sparks->Render();
    m_wave->Render(kWaveX, kWaveY);
    m_track->Render(40, kSliderY);
    m_gui->Render();
    RenderFocus();
}
