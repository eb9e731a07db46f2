// TQ2DGUIObject: the base of the GUI controls. For now it holds what the engine's window-procedure
// hook needs: the GUI's current input control and the hook through which that control sees the
// device window's messages before the device does.
#pragma once

#include "platform/win32/tqwintypes.h"

class TQ2DGUIObject {
public:
    TQ2DGUIObject() = default;
    virtual ~TQ2DGUIObject() = default;

    // A window message offered to the input control. The control may change wParam and lParam
    // before they go on to the device; a nonzero result is returned to the system at once and the
    // device never sees the message. The base handles nothing (0).
    virtual LRESULT OnWndProc(HWND hWnd, DWORD dwMsg, WPARAM& wParam, LPARAM& lParam);

    // The control that receives keyboard and IME messages (NULL when none).
    static TQ2DGUIObject* GetInputControl() { return m_pInputControl; }
    // Only stores the control.
    static void SetInputControl(TQ2DGUIObject* control) { m_pInputControl = control; }

private:
    static TQ2DGUIObject* m_pInputControl;
};
