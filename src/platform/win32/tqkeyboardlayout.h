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

// The key `virtualKey` (its key as placed on a US keyboard, or as the layout named it before; 0 for
// a key a US keyboard lacks) with set-1 scan code `scanCode` (0: unknown), in the keyboard state
// `keys`. Letter keys take the virtual key of the letter the layout puts on them; other keys keep
// theirs. The keys of a Japanese 106/109-key keyboard that a US keyboard lacks take the virtual
// keys of the platform's Japanese layout: ro (scan code 0x73) VK_OEM_102, yen (0x7D) VK_OEM_5,
// henkan (0x79) VK_CONVERT, muhenkan (0x7B) VK_NONCONVERT, katakana/hiragana (0x70) VK_OEM_COPY.
KeyMeaning MeaningOfKey(UINT virtualKey, UINT scanCode, const BYTE* keys);

} // namespace tqplat
