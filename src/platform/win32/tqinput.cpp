// Keyboard state, key-to-character translation and the cursor position.
#include "platform/win32/tqcursorstate.h"
#include "platform/win32/tqkeyboardlayout.h"
#include "platform/win32/tqkeyboardstate.h"
#include "platform/win32/tquser32.h"
#include "platform/win32/video/tqvideodriver.h"

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
    BYTE character = tqplat::MeaningOfKey(virtualKey, scanCode & 0xFF, keyState).character;
    if (character == 0)
        return 0;
    *chars = character;
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
