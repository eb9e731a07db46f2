// Which virtual key and which character a key gives, as the keyboard layout decides: the desktop's
// layout where the video backend knows it, else a US layout.
#pragma once

#include "platform/win32/tqwintypes.h"

namespace tqplat {

struct KeyMeaning {
    BYTE virtualKey;
    // The character typed in the keyboard state asked about, as a single GBK byte; 0 for none
    // (characters that take two GBK bytes come only as typed text).
    BYTE character;
};

// The key `virtualKey` (its key as placed on a US keyboard, or as the layout named it before) with
// set-1 scan code `scanCode` (0: unknown), in the keyboard state `keys`. Letter keys take the
// virtual key of the letter the layout puts on them; other keys keep theirs.
KeyMeaning MeaningOfKey(UINT virtualKey, UINT scanCode, const BYTE* keys);

} // namespace tqplat
