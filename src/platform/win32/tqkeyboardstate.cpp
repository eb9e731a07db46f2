#include "platform/win32/tqkeyboardstate.h"

#include "platform/win32/tquser32.h"

#include <cstring>

namespace tqplat {

KeyboardState& KeyboardState::Instance() {
    static KeyboardState state;
    return state;
}

void KeyboardState::Change(BYTE* keys, BYTE key, bool down) {
    if (down && !(keys[key] & 0x80))
        keys[key] ^= 0x01;
    keys[key] = static_cast<BYTE>(down ? keys[key] | 0x80 : keys[key] & ~0x80);
    struct Pair {
        BYTE combined, left, right;
    };
    static const Pair pairs[] = {{VK_SHIFT, VK_LSHIFT, VK_RSHIFT},
                                 {VK_CONTROL, VK_LCONTROL, VK_RCONTROL},
                                 {VK_MENU, VK_LMENU, VK_RMENU}};
    for (const Pair& pair : pairs) {
        if (key == pair.left || key == pair.right) {
            bool either = ((keys[pair.left] | keys[pair.right]) & 0x80) != 0;
            keys[pair.combined] = static_cast<BYTE>(either ? 0x80 : 0);
        }
    }
}

void KeyboardState::ChangeAsync(BYTE key, bool down) {
    std::lock_guard<std::mutex> lock(m_mutex);
    Change(m_async, key, down);
}

void KeyboardState::ChangeRetrieved(BYTE key, bool down) {
    std::lock_guard<std::mutex> lock(m_mutex);
    Change(m_retrieved, key, down);
}

BYTE KeyboardState::Async(BYTE key) {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_async[key];
}

BYTE KeyboardState::Retrieved(BYTE key) {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_retrieved[key];
}

void KeyboardState::CopyRetrieved(BYTE* keys) {
    std::lock_guard<std::mutex> lock(m_mutex);
    memcpy(keys, m_retrieved, sizeof(m_retrieved));
}

void KeyboardState::SetToggled(BYTE key, bool on) {
    std::lock_guard<std::mutex> lock(m_mutex);
    for (BYTE* keys : {m_async, m_retrieved})
        keys[key] = static_cast<BYTE>(on ? keys[key] | 0x01 : keys[key] & ~0x01);
}

void KeyboardState::Reset() {
    std::lock_guard<std::mutex> lock(m_mutex);
    memset(m_async, 0, sizeof(m_async));
    memset(m_retrieved, 0, sizeof(m_retrieved));
}

} // namespace tqplat
