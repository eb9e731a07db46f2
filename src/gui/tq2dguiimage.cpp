#include "gui/tq2dguiimage.h"

TQ_IMPLEMENT_MEMORY_POOL(TQ2DGUIImage)

int TQ2DGUIImage::SetTexture(const char* szFile) {
    if (!m_Picture.CreateFromConfig(szFile))
        return 0;
    if (GetPos().x == 0.0f && GetPos().y == 0.0f)
        SetPos(m_Picture.GetRenderPos().x, m_Picture.GetRenderPos().y);
    if (GetSize().x == 0.0f && GetSize().y == 0.0f)
        SetSize(m_Picture.GetWidth(), m_Picture.GetHeight());
    m_Picture.Play(1);
    SetEnableMode(0);
    return 1;
}

void TQ2DGUIImage::OnRender(float x, float y) {
    m_Picture.Render(x, y);
}

void TQ2DGUIImage::OnUpdate(float fDelta, float, float) {
    m_Picture.Update(fDelta);
}
