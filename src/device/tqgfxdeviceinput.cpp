// TQGfxDevice: input events, the per-frame input summary, key states and key names.
#include "device/tqgfxdevice.h"

#include "platform/win32/tquser32.h"

const char* const g_tqGfxKeyNames[256] = {
    "?",
    "Left Mouse Button",
    "Right Mouse Button",
    "?",
    "Middle Mouse Button",
    "?",
    "?",
    "?",
    "Backspace",
    "Tab",
    "?",
    "?",
    "?",
    "Enter",
    "?",
    "?",
    "Shift",
    "Ctrl",
    "Alt",
    "Pause",
    "Caps Lock",
    "?",
    "?",
    "?",
    "?",
    "?",
    "?",
    "Escape",
    "?",
    "?",
    "?",
    "?",
    "Space",
    "Page Up",
    "Page Down",
    "End",
    "Home",
    "Left Arrow",
    "Up Arrow",
    "Right Arrow",
    "Down Arrow",
    "?",
    "?",
    "?",
    "?",
    "Insert",
    "Delete",
    "?",
    "0",
    "1",
    "2",
    "3",
    "4",
    "5",
    "6",
    "7",
    "8",
    "9",
    "?",
    "?",
    "?",
    "?",
    "?",
    "?",
    "?",
    "A",
    "B",
    "C",
    "D",
    "E",
    "F",
    "G",
    "H",
    "I",
    "J",
    "K",
    "L",
    "M",
    "N",
    "O",
    "P",
    "Q",
    "R",
    "S",
    "T",
    "U",
    "V",
    "W",
    "X",
    "Y",
    "Z",
    "Left Win",
    "Right Win",
    "Application",
    "?",
    "?",
    "NumPad 0",
    "NumPad 1",
    "NumPad 2",
    "NumPad 3",
    "NumPad 4",
    "NumPad 5",
    "NumPad 6",
    "NumPad 7",
    "NumPad 8",
    "NumPad 9",
    "Multiply",
    "Add",
    "?",
    "Subtract",
    "Decimal",
    "Divide",
    "F1",
    "F2",
    "F3",
    "F4",
    "F5",
    "F6",
    "F7",
    "F8",
    "F9",
    "F10",
    "F11",
    "F12",
    "?",
    "?",
    "?",
    "?",
    "?",
    "?",
    "?",
    "?",
    "?",
    "?",
    "?",
    "?",
    "?",
    "?",
    "?",
    "?",
    "?",
    "?",
    "?",
    "?",
    "Num Lock",
    "Scroll Lock",
    "?",
    "?",
    "?",
    "?",
    "?",
    "?",
    "?",
    "?",
    "?",
    "?",
    "?",
    "?",
    "?",
    "?",
    "?",
    "?",
    "?",
    "?",
    "?",
    "?",
    "?",
    "?",
    "?",
    "?",
    "?",
    "?",
    "?",
    "?",
    "?",
    "?",
    "?",
    "?",
    "?",
    "?",
    "?",
    "?",
    "?",
    "?",
    "?",
    "?",
    "Semicolon",
    "Equals",
    "Comma",
    "Minus",
    "Period",
    "Slash",
    "Grave",
    "?",
    "?",
    "?",
    "?",
    "?",
    "?",
    "?",
    "?",
    "?",
    "?",
    "?",
    "?",
    "?",
    "?",
    "?",
    "?",
    "?",
    "?",
    "?",
    "?",
    "?",
    "?",
    "?",
    "?",
    "?",
    "?",
    "Left bracket",
    "Backslash",
    "Right bracket",
    "Apostrophe",
    "?",
    "?",
    "?",
    "?",
    "?",
    "?",
    "?",
    "?",
    "?",
    "?",
    "?",
    "?",
    "?",
    "?",
    "?",
    "?",
    "?",
    "?",
    "?",
    "?",
    "?",
    "?",
    "?",
    "?",
    "?",
    "?",
    "?",
    "?",
    "?",
    "?",
    "?",
    "?",
    "?",
};

namespace {

// True for a key code the pressed-this-frame record can hold.
bool IsKeyCode(int key) {
    return key >= 0 && key < 256;
}

bool IsDown(const BYTE* keys, int vk) {
    return (keys[vk] & 0x80) != 0;
}

bool IsToggled(const BYTE* keys, int vk) {
    return (keys[vk] & 0x01) != 0;
}

// Modifier bits of a keyboard state.
int ModifierFlags(const BYTE* keys) {
    int flags = 0;
    if (IsDown(keys, VK_SHIFT))
        flags |= TQ2D_INPUTFLAG_SHIFT;
    if (IsDown(keys, VK_CONTROL))
        flags |= TQ2D_INPUTFLAG_CTRL;
    if (IsDown(keys, VK_MENU))
        flags |= TQ2D_INPUTFLAG_ALT;
    if (IsToggled(keys, VK_CAPITAL))
        flags |= TQ2D_INPUTFLAG_CAPSLOCK;
    if (IsToggled(keys, VK_SCROLL))
        flags |= TQ2D_INPUTFLAG_SCROLLLOCK;
    if (IsToggled(keys, VK_NUMLOCK))
        flags |= TQ2D_INPUTFLAG_NUMLOCK;
    return flags;
}

} // namespace

void TQGfxDevice::BuildEvent(int type, int key, int scan, int flags, int x, int y) {
    TQ2D_INPUT_EVENT_tag event{};
    event.type = type;
    BYTE keys[256] = {};
    GetKeyboardState(keys);
    if (type == TQ2D_INPUT_KEYDOWN || type == TQ2D_INPUT_KEYUP) {
        WORD chr = 0;
        ToAscii(static_cast<UINT>(key), static_cast<UINT>(scan), keys, &chr, 0);
        event.chr = chr;
    }
    if (type == TQ2D_INPUT_MOUSEWHEEL) {
        event.wheel = key;
        POINT point{x, y};
        ScreenToClient(m_hWnd, &point);
        x = point.x;
        y = point.y;
    } else {
        event.key = key;
    }
    event.flags = flags | ModifierFlags(keys);
    event.x = static_cast<float>(x);
    event.y = static_cast<float>(y);
    if (x == -1) {
        event.x = m_fXPos;
        event.y = m_fYPos;
    }
    m_events.push_back(event);

    switch (type) {
    case TQ2D_INPUT_KEYDOWN:
    case TQ2D_INPUT_MBUTTONDOWN:
        m_nVKey = event.key;
        m_nChar = event.chr;
        if (IsKeyCode(event.key))
            m_pressedThisFrame.set(static_cast<size_t>(event.key));
        break;
    case TQ2D_INPUT_MOUSEMOVE:
        m_fXPos = event.x;
        m_fYPos = event.y;
        break;
    case TQ2D_INPUT_MOUSEWHEEL:
        m_nZPos += event.wheel;
        break;
    default:
        break;
    }
}

void TQGfxDevice::ClearQueue() {
    m_events.clear();
    m_nVKey = 0;
    m_nChar = 0;
    m_nZPos = 0;
    m_pressedThisFrame.reset();
}

void TQGfxDevice::Input_GetMousePos(float* x, float* y) {
    if (x)
        *x = m_fXPos;
    if (y)
        *y = m_fYPos;
}

void TQGfxDevice::Input_SetMousePos(float x, float y) {
    POINT point{static_cast<LONG>(x), static_cast<LONG>(y)};
    ClientToScreen(m_hWnd, &point);
    SetCursorPos(point.x, point.y);
}

int TQGfxDevice::Input_GetMouseWheel() {
    return m_nZPos;
}

bool TQGfxDevice::Input_GetKeyState(int key) {
    if (!m_bActive)
        return false;
    bool pressedThisFrame = IsKeyCode(key) && m_pressedThisFrame.test(static_cast<size_t>(key));
    return pressedThisFrame || (GetAsyncKeyState(key) & 0x8000) != 0;
}

const char* TQGfxDevice::Input_GetKeyName(int key) {
    if (key < 0 || key > 255)
        return "?";
    return g_tqGfxKeyNames[key];
}

int TQGfxDevice::Input_GetKey() {
    return m_nVKey;
}

int TQGfxDevice::Input_GetChar() {
    return m_nChar;
}

bool TQGfxDevice::Input_GetEvent(TQ2D_INPUT_EVENT_tag* event) {
    if (m_events.empty())
        return false;
    if (event)
        *event = m_events.front();
    m_events.pop_front();
    return true;
}
