#include "guiscene.h"

#include "gui/tq2dguiedit.h"

namespace {

const float kWindowX = 40.0f;
const float kWindowY = 80.0f;
const DWORD kWindowID = 100;
const DWORD kEditID = 9;

} // namespace

GuiScene::GuiScene() {
    m_root.SetSize(kDemoWidth, kDemoHeight);
}

bool GuiScene::Load() {
    m_window = new DemoWindow;
    m_window->SetControlID(kWindowID);
    m_window->InitFromConfig("gui/window.txt");
    m_window->SetPos(kWindowX, kWindowY);
    m_window->SetMoveMode(1);
    m_window->SetMoveRange(0, kCaptionHeight, kDemoWidth, kDemoHeight - kCaptionHeight);
    if (!m_root.AddControl(m_window, 1))
        return false;
    TQ2DGUIObject* edit = m_window->GetControl(kEditID);
    if (edit)
        edit->SetFocus();
    return true;
}

// Escape closes an open popup or combo-box list (the GUI does that in its update) before it quits.
bool GuiScene::OnEscape() {
    return TQ2DGUIObject::GetModalControl() != nullptr;
}

void GuiScene::Update(float dt) {
    float x, y;
    TQ2DGetMousePos(&x, &y);
    m_root.UpdateGUI(dt, x, y);
}

void GuiScene::Render() {
    m_root.RenderGUI(0, 0);
}
