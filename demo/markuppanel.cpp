#include "markuppanel.h"

bool MarkupPanel::Create(int width, int height, const char* text) {
    if (!m_label.Create(width, height))
        return false;
    m_label.SetText(text);
    SetSize(static_cast<float>(width), static_cast<float>(height));
    SetEnableMode(0);
    return true;
}
