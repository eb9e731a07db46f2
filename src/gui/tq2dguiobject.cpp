#include "gui/tq2dguiobject.h"

TQ2DGUIObject* TQ2DGUIObject::m_pInputControl = nullptr;

LRESULT TQ2DGUIObject::OnWndProc(HWND, DWORD, WPARAM&, LPARAM&) {
    return 0;
}
