#include "gui/tq2dguistatic.h"

TQ_IMPLEMENT_MEMORY_POOL(TQ2DGUIStatic)

TQ2DGUIStatic::TQ2DGUIStatic() {
    SetBkMode(m_GDI.GetHDC(), TRANSPARENT);
}

void TQ2DGUIStatic::SetText(const char* sz) {
    m_strText = sz;
    m_strText.StrReplace("\\r", "\r", 0);
    m_strText.StrReplace("\\n", "\n", 0);
    m_strText.StrReplace("\\t", "\t", 0);
    BuildTexture();
}

void TQ2DGUIStatic::BuildTexture() {
    const DWORD width = TQ2DGUIPixelExtent(GetSize().x);
    const DWORD height = TQ2DGUIPixelExtent(GetSize().y);
    if (!m_GDI.CreateBitmap(width, height) || !m_Sprite.Create(width, height)) {
        m_Sprite.Delete();
        return;
    }
    RECT rect = {0, 0, static_cast<LONG>(width), static_cast<LONG>(height)};
    DrawTextA(m_GDI.GetHDC(), m_strText, -1, &rect, m_dwAlign);
    m_GDI.UpdateTexture(m_Sprite.GetTQ2DTexture(), 0, 0, 0, 0, 0, 0);
}

void TQ2DGUIStatic::OnRender(float x, float y) {
    m_Sprite.Render(x, y);
}

void TQ2DGUIStatic::OnSetSize(float, float) {
    BuildTexture();
}

int TQ2DGUIStatic::OnHitTest(float, float) {
    return 0;
}
