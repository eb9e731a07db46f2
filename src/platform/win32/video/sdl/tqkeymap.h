// SDL scancodes (USB usage ids, positions on a US keyboard) to virtual-key codes and set-1 scan
// codes, as the platform reports keys in key messages.
#pragma once

#include "platform/win32/tqwintypes.h"

namespace tqplat {

struct KeyMapping {
    BYTE virtualKey; // left/right specific for modifiers (VK_LSHIFT ...); 0: none on a US keyboard
    BYTE scanCode;   // set-1 make code
    bool extended;   // reported with the extended bit (E0 prefix)
};

// False for keys that have no virtual-key code.
bool MapScancode(int scancode, bool numLockOn, KeyMapping* mapping);

// The key that key messages carry for a left/right specific modifier (VK_SHIFT, VK_CONTROL,
// VK_MENU); other keys are returned unchanged.
BYTE MessageKey(BYTE virtualKey);

} // namespace tqplat
