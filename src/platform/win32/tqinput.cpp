// Keyboard state, key-to-character translation and the cursor position.
#include "platform/win32/tqcursorstate.h"
#include "platform/win32/tqkeyboardstate.h"
#include "platform/win32/tquser32.h"
#include "platform/win32/video/tqvideodriver.h"

namespace {

bool Down(const BYTE* keys, int key) {
    return (keys[key] & 0x80) != 0;
}

// Characters of the punctuation keys of a US layout: plain, with Shift, with Ctrl (0: none).
struct PunctuationKey {
    BYTE key;
    char plain, shifted, control;
};

const PunctuationKey kPunctuation[] = {
    {VK_OEM_1, ';', ':', 0},       {VK_OEM_PLUS, '=', '+', 0},    {VK_OEM_COMMA, ',', '<', 0},
    {VK_OEM_MINUS, '-', '_', 0},   {VK_OEM_PERIOD, '.', '>', 0},  {VK_OEM_2, '/', '?', 0},
    {VK_OEM_3, '`', '~', 0},       {VK_OEM_4, '[', '{', 0x1B},    {VK_OEM_5, '\\', '|', 0x1C},
    {VK_OEM_6, ']', '}', 0x1D},    {VK_OEM_7, '\'', '"', 0},      {VK_OEM_102, '\\', '|', 0x1C},
    {VK_MULTIPLY, '*', '*', 0},    {VK_ADD, '+', '+', 0},         {VK_SUBTRACT, '-', '-', 0},
    {VK_DECIMAL, '.', '.', 0},     {VK_DIVIDE, '/', '/', 0},      {VK_SPACE, ' ', ' ', ' '},
    {VK_TAB, '\t', '\t', 0},       {VK_ESCAPE, 0x1B, 0x1B, 0x1B}, {VK_BACK, 0x08, 0x08, 0x7F},
    {VK_RETURN, '\r', '\r', '\n'},
};

const char kShiftedDigits[] = ")!@#$%^&*(";

int CharacterOf(UINT key, const BYTE* keys) {
    bool shift = Down(keys, VK_SHIFT);
    bool control = Down(keys, VK_CONTROL);
    bool altGraph = control && Down(keys, VK_MENU);
    if (altGraph)
        return 0;
    if (key >= 'A' && key <= 'Z') {
        if (control)
            return static_cast<int>(key - 'A' + 1);
        bool upper = shift != ((keys[VK_CAPITAL] & 0x01) != 0);
        return upper ? static_cast<int>(key) : static_cast<int>(key - 'A' + 'a');
    }
    if (key >= '0' && key <= '9')
        return control ? 0 : shift ? kShiftedDigits[key - '0'] : static_cast<int>(key);
    if (key >= VK_NUMPAD0 && key <= VK_NUMPAD9)
        return static_cast<int>('0' + key - VK_NUMPAD0);
    for (const PunctuationKey& entry : kPunctuation) {
        if (entry.key == key)
            return control ? entry.control : shift ? entry.shifted : entry.plain;
    }
    return 0;
}

} // namespace

SHORT GetKeyState(int virtualKey) {
    if (virtualKey < 0 || virtualKey > 255)
        return 0;
    BYTE state = tqplat::KeyboardState::Instance().Retrieved(static_cast<BYTE>(virtualKey));
    return static_cast<SHORT>(((state & 0x80) ? 0xFF80 : 0) | (state & 0x01));
}

SHORT GetAsyncKeyState(int virtualKey) {
    if (virtualKey < 0 || virtualKey > 255)
        return 0;
    BYTE state = tqplat::KeyboardState::Instance().Async(static_cast<BYTE>(virtualKey));
    return static_cast<SHORT>((state & 0x80) ? 0x8000 : 0);
}

BOOL GetKeyboardState(BYTE* keyState) {
    if (keyState == nullptr)
        return FALSE;
    tqplat::KeyboardState::Instance().CopyRetrieved(keyState);
    return TRUE;
}

int ToAscii(UINT virtualKey, UINT scanCode, const BYTE* keyState, WORD* chars, UINT) {
    // Bit 15 of the scan code marks a key release, which gives no character.
    if (keyState == nullptr || chars == nullptr || (scanCode & 0x8000) != 0 || virtualKey > 255)
        return 0;
    int character = CharacterOf(virtualKey, keyState);
    if (character == 0)
        return 0;
    *chars = static_cast<WORD>(character & 0xFF);
    return 1;
}

BOOL GetCursorPos(LPPOINT point) {
    if (point == nullptr)
        return FALSE;
    *point = tqplat::CursorState::Instance().Position();
    return TRUE;
}

BOOL SetCursorPos(int x, int y) {
    tqplat::CursorState::Instance().SetPosition(POINT{x, y});
    tqplat::ActiveVideoDriver().warpCursor(x, y);
    return TRUE;
}
