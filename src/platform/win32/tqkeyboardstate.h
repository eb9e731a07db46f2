// Key and mouse-button state: the state of the messages retrieved so far (GetKeyState,
// GetKeyboardState) and the state now (GetAsyncKeyState). Bit 0x80 is down, bit 0x01 toggled
// (flipped by each press). Changing a left or right modifier also sets the combined key
// (VK_SHIFT, VK_CONTROL, VK_MENU).
#pragma once

#include "platform/win32/tqwintypes.h"

#include <mutex>

namespace tqplat {

class KeyboardState {
public:
    static KeyboardState& Instance();

    void ChangeAsync(BYTE key, bool down);
    void ChangeRetrieved(BYTE key, bool down);
    BYTE Async(BYTE key);
    BYTE Retrieved(BYTE key);
    void CopyRetrieved(BYTE* keys);
    // Sets the toggled bit of a lock key in both states (from the backend's lock-key flags).
    void SetToggled(BYTE key, bool on);
    // Clears every key and button, as when the program starts (tests).
    void Reset();

private:
    static void Change(BYTE* keys, BYTE key, bool down);

    std::mutex m_mutex;
    BYTE m_async[256] = {};
    BYTE m_retrieved[256] = {};
};

} // namespace tqplat
