#include "platform/win32/video/sdl/tqkeymap.h"

#include "platform/win32/tquser32.h"

#include <SDL_scancode.h>

namespace tqplat {
namespace {

struct Entry {
    int scancode;
    KeyMapping mapping;
};

// Set-1 codes of the letters A to Z and of the keypad digits 1 to 9 then 0.
const BYTE kLetterScan[26] = {0x1E, 0x30, 0x2E, 0x20, 0x12, 0x21, 0x22, 0x23, 0x17, 0x24, 0x25, 0x26, 0x32,
                              0x31, 0x18, 0x19, 0x10, 0x13, 0x1F, 0x14, 0x16, 0x2F, 0x11, 0x2D, 0x15, 0x2C};
const BYTE kKeypadScan[10] = {0x4F, 0x50, 0x51, 0x4B, 0x4C, 0x4D, 0x47, 0x48, 0x49, 0x52};
// Keys of the keypad digits 1 to 9 then 0 while Num Lock is off.
const BYTE kKeypadNavigation[10] = {VK_END,   VK_DOWN, VK_NEXT, VK_LEFT,  VK_CLEAR,
                                    VK_RIGHT, VK_HOME, VK_UP,   VK_PRIOR, VK_INSERT};

const Entry kKeys[] = {
    {SDL_SCANCODE_RETURN, {VK_RETURN, 0x1C, false}},
    {SDL_SCANCODE_ESCAPE, {VK_ESCAPE, 0x01, false}},
    {SDL_SCANCODE_BACKSPACE, {VK_BACK, 0x0E, false}},
    {SDL_SCANCODE_TAB, {VK_TAB, 0x0F, false}},
    {SDL_SCANCODE_SPACE, {VK_SPACE, 0x39, false}},
    {SDL_SCANCODE_MINUS, {VK_OEM_MINUS, 0x0C, false}},
    {SDL_SCANCODE_EQUALS, {VK_OEM_PLUS, 0x0D, false}},
    {SDL_SCANCODE_LEFTBRACKET, {VK_OEM_4, 0x1A, false}},
    {SDL_SCANCODE_RIGHTBRACKET, {VK_OEM_6, 0x1B, false}},
    {SDL_SCANCODE_BACKSLASH, {VK_OEM_5, 0x2B, false}},
    {SDL_SCANCODE_NONUSHASH, {VK_OEM_5, 0x2B, false}},
    {SDL_SCANCODE_SEMICOLON, {VK_OEM_1, 0x27, false}},
    {SDL_SCANCODE_APOSTROPHE, {VK_OEM_7, 0x28, false}},
    {SDL_SCANCODE_GRAVE, {VK_OEM_3, 0x29, false}},
    {SDL_SCANCODE_COMMA, {VK_OEM_COMMA, 0x33, false}},
    {SDL_SCANCODE_PERIOD, {VK_OEM_PERIOD, 0x34, false}},
    {SDL_SCANCODE_SLASH, {VK_OEM_2, 0x35, false}},
    {SDL_SCANCODE_CAPSLOCK, {VK_CAPITAL, 0x3A, false}},
    {SDL_SCANCODE_F11, {VK_F1 + 10, 0x57, false}},
    {SDL_SCANCODE_F12, {VK_F12, 0x58, false}},
    {SDL_SCANCODE_PRINTSCREEN, {VK_SNAPSHOT, 0x37, true}},
    {SDL_SCANCODE_SCROLLLOCK, {VK_SCROLL, 0x46, false}},
    {SDL_SCANCODE_PAUSE, {VK_PAUSE, 0x45, false}},
    {SDL_SCANCODE_INSERT, {VK_INSERT, 0x52, true}},
    {SDL_SCANCODE_HOME, {VK_HOME, 0x47, true}},
    {SDL_SCANCODE_PAGEUP, {VK_PRIOR, 0x49, true}},
    {SDL_SCANCODE_DELETE, {VK_DELETE, 0x53, true}},
    {SDL_SCANCODE_END, {VK_END, 0x4F, true}},
    {SDL_SCANCODE_PAGEDOWN, {VK_NEXT, 0x51, true}},
    {SDL_SCANCODE_RIGHT, {VK_RIGHT, 0x4D, true}},
    {SDL_SCANCODE_LEFT, {VK_LEFT, 0x4B, true}},
    {SDL_SCANCODE_DOWN, {VK_DOWN, 0x50, true}},
    {SDL_SCANCODE_UP, {VK_UP, 0x48, true}},
    {SDL_SCANCODE_NUMLOCKCLEAR, {VK_NUMLOCK, 0x45, true}},
    {SDL_SCANCODE_KP_DIVIDE, {VK_DIVIDE, 0x35, true}},
    {SDL_SCANCODE_KP_MULTIPLY, {VK_MULTIPLY, 0x37, false}},
    {SDL_SCANCODE_KP_MINUS, {VK_SUBTRACT, 0x4A, false}},
    {SDL_SCANCODE_KP_PLUS, {VK_ADD, 0x4E, false}},
    {SDL_SCANCODE_KP_ENTER, {VK_RETURN, 0x1C, true}},
    {SDL_SCANCODE_NONUSBACKSLASH, {VK_OEM_102, 0x56, false}},
    // Keys of a Japanese keyboard: their virtual keys come from their scan codes (MeaningOfKey).
    {SDL_SCANCODE_INTERNATIONAL1, {0, 0x73, false}}, // ro
    {SDL_SCANCODE_INTERNATIONAL3, {0, 0x7D, false}}, // yen
    {SDL_SCANCODE_INTERNATIONAL4, {0, 0x79, false}}, // henkan
    {SDL_SCANCODE_INTERNATIONAL5, {0, 0x7B, false}}, // muhenkan
    {SDL_SCANCODE_INTERNATIONAL2, {0, 0x70, false}}, // katakana/hiragana
    {SDL_SCANCODE_APPLICATION, {VK_APPS, 0x5D, true}},
    {SDL_SCANCODE_LCTRL, {VK_LCONTROL, 0x1D, false}},
    {SDL_SCANCODE_LSHIFT, {VK_LSHIFT, 0x2A, false}},
    {SDL_SCANCODE_LALT, {VK_LMENU, 0x38, false}},
    {SDL_SCANCODE_LGUI, {VK_LWIN, 0x5B, true}},
    {SDL_SCANCODE_RCTRL, {VK_RCONTROL, 0x1D, true}},
    {SDL_SCANCODE_RSHIFT, {VK_RSHIFT, 0x36, false}},
    {SDL_SCANCODE_RALT, {VK_RMENU, 0x38, true}},
    {SDL_SCANCODE_RGUI, {VK_RWIN, 0x5C, true}},
};

bool MapKeypadDigit(int scancode, bool numLockOn, KeyMapping* mapping) {
    int index = -1;
    if (scancode >= SDL_SCANCODE_KP_1 && scancode <= SDL_SCANCODE_KP_9)
        index = scancode - SDL_SCANCODE_KP_1;
    else if (scancode == SDL_SCANCODE_KP_0)
        index = 9;
    if (index < 0)
        return false;
    BYTE digitKey = static_cast<BYTE>(index == 9 ? VK_NUMPAD0 : VK_NUMPAD0 + index + 1);
    *mapping = {numLockOn ? digitKey : kKeypadNavigation[index], kKeypadScan[index], false};
    return true;
}

} // namespace

bool MapScancode(int scancode, bool numLockOn, KeyMapping* mapping) {
    if (scancode >= SDL_SCANCODE_A && scancode <= SDL_SCANCODE_Z) {
        int index = scancode - SDL_SCANCODE_A;
        *mapping = {static_cast<BYTE>('A' + index), kLetterScan[index], false};
        return true;
    }
    if (scancode >= SDL_SCANCODE_1 && scancode <= SDL_SCANCODE_0) {
        int index = scancode - SDL_SCANCODE_1; // 1..9 then 0, scan codes 0x02..0x0B
        *mapping = {static_cast<BYTE>(index == 9 ? '0' : '1' + index), static_cast<BYTE>(0x02 + index),
                    false};
        return true;
    }
    if (scancode >= SDL_SCANCODE_F1 && scancode <= SDL_SCANCODE_F10) {
        int index = scancode - SDL_SCANCODE_F1;
        *mapping = {static_cast<BYTE>(VK_F1 + index), static_cast<BYTE>(0x3B + index), false};
        return true;
    }
    if (MapKeypadDigit(scancode, numLockOn, mapping))
        return true;
    if (scancode == SDL_SCANCODE_KP_PERIOD) {
        *mapping = {static_cast<BYTE>(numLockOn ? VK_DECIMAL : VK_DELETE), 0x53, false};
        return true;
    }
    for (const Entry& entry : kKeys) {
        if (entry.scancode == scancode) {
            *mapping = entry.mapping;
            return true;
        }
    }
    return false;
}

BYTE MessageKey(BYTE virtualKey) {
    switch (virtualKey) {
    case VK_LSHIFT:
    case VK_RSHIFT:
        return VK_SHIFT;
    case VK_LCONTROL:
    case VK_RCONTROL:
        return VK_CONTROL;
    case VK_LMENU:
    case VK_RMENU:
        return VK_MENU;
    default:
        return virtualKey;
    }
}

} // namespace tqplat
