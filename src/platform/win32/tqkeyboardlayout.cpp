#include "platform/win32/tqkeyboardlayout.h"

#include "platform/win32/tquser32.h"
#include "platform/win32/video/tqvideodriver.h"

namespace tqplat {
namespace {

bool Down(const BYTE* keys, int key) {
    return (keys[key] & 0x80) != 0;
}

bool Toggled(const BYTE* keys, int key) {
    return (keys[key] & 0x01) != 0;
}

bool IsLetterKey(UINT key) {
    return key >= 'A' && key <= 'Z';
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

// Keys of a Japanese 106/109-key keyboard that a US keyboard lacks, by set-1 scan code, with the
// virtual keys the platform's Japanese layout gives them.
struct JapaneseKey {
    BYTE scanCode;
    BYTE key;
};

const JapaneseKey kJapaneseKeys[] = {
    {0x73, VK_OEM_102},    // ro, left of the right Shift: "\", "_" with Shift
    {0x7D, VK_OEM_5},      // yen, left of Backspace: "\" (the yen sign of Japanese fonts), "|"
    {0x79, VK_CONVERT},    // henkan (convert), right of the space bar
    {0x7B, VK_NONCONVERT}, // muhenkan (no conversion), left of the space bar
    {0x70, VK_OEM_COPY},   // katakana/hiragana, right of henkan
};

// The virtual key of a key a US keyboard lacks, 0 when the scan code names none.
BYTE JapaneseKeyOf(UINT scanCode) {
    for (const JapaneseKey& entry : kJapaneseKeys) {
        if (entry.scanCode == scanCode)
            return entry.key;
    }
    return 0;
}

// The character of a key on a US layout.
BYTE UsCharacter(UINT key, const BYTE* keys) {
    bool shift = Down(keys, VK_SHIFT);
    bool control = Down(keys, VK_CONTROL);
    if (control && Down(keys, VK_MENU))
        return 0;
    if (IsLetterKey(key)) {
        if (control)
            return static_cast<BYTE>(key - 'A' + 1);
        bool upper = shift != Toggled(keys, VK_CAPITAL);
        return static_cast<BYTE>(upper ? key : key - 'A' + 'a');
    }
    if (key >= '0' && key <= '9')
        return control ? 0 : static_cast<BYTE>(shift ? kShiftedDigits[key - '0'] : key);
    if (key >= VK_NUMPAD0 && key <= VK_NUMPAD9)
        return static_cast<BYTE>('0' + key - VK_NUMPAD0);
    for (const PunctuationKey& entry : kPunctuation) {
        if (entry.key == key)
            return static_cast<BYTE>(control ? entry.control : shift ? entry.shifted : entry.plain);
    }
    return 0;
}

// Keys whose characters the layout decides: scan codes shared with extended keys (the keypad's
// Enter and divide, the arrows beside the keypad) and keys that type the same everywhere (Enter,
// Tab, Backspace, Escape) keep the US table.
bool LayoutDecides(UINT key) {
    return IsLetterKey(key) || (key >= '0' && key <= '9') || (key >= VK_NUMPAD0 && key <= VK_NUMPAD9) ||
           (key >= VK_OEM_1 && key <= VK_OEM_3) || (key >= VK_OEM_4 && key <= VK_OEM_7) ||
           key == VK_OEM_102 || key == VK_SPACE || key == VK_MULTIPLY || key == VK_ADD ||
           key == VK_SUBTRACT || key == VK_DECIMAL;
}

// The virtual key of a key whose plain level carries `plain`: a letter names its key; a letter's
// place with punctuation on it takes that punctuation's key (',' on a French layout).
BYTE LayoutVirtualKey(UINT key, char32_t plain) {
    if (plain >= 'a' && plain <= 'z')
        return static_cast<BYTE>(plain - 'a' + 'A');
    if (plain >= 'A' && plain <= 'Z')
        return static_cast<BYTE>(plain);
    if (IsLetterKey(key)) {
        for (const PunctuationKey& entry : kPunctuation) {
            if (static_cast<char32_t>(entry.plain) == plain && entry.key >= VK_OEM_1)
                return entry.key;
        }
    }
    return static_cast<BYTE>(key);
}

// A character as the single GBK byte that stands for it: ASCII, and the euro sign (0x80 in the
// engine's code page); 0 for any other character.
BYTE SingleGbkByte(char32_t character) {
    const char32_t kEuroSign = 0x20AC;
    const BYTE kGbkEuroSign = 0x80;
    if (character < 0x80)
        return static_cast<BYTE>(character);
    return character == kEuroSign ? kGbkEuroSign : 0;
}

} // namespace

KeyMeaning MeaningOfKey(UINT virtualKey, UINT scanCode, const BYTE* keys) {
    BYTE key = virtualKey != 0 ? static_cast<BYTE>(virtualKey) : JapaneseKeyOf(scanCode);
    const VideoDriver& driver = ActiveVideoDriver();
    bool control = Down(keys, VK_CONTROL);
    KeyLevel level;
    level.shift = Down(keys, VK_SHIFT);
    level.capsLock = Toggled(keys, VK_CAPITAL);
    level.numLock = Toggled(keys, VK_NUMLOCK);
    // Ctrl with Alt is the platform's AltGr.
    level.altGr = control && Down(keys, VK_MENU);
    char32_t plain = 0, typed = 0;
    if (!LayoutDecides(key) || driver.keyCharacters == nullptr ||
        !driver.keyCharacters(scanCode, level, &plain, &typed))
        return KeyMeaning{key, UsCharacter(key, keys)};
    BYTE layoutKey = LayoutVirtualKey(key, plain);
    // Ctrl makes control characters of the keys' virtual keys, as on a US layout.
    if (control && !level.altGr)
        return KeyMeaning{layoutKey, UsCharacter(layoutKey, keys)};
    return KeyMeaning{layoutKey, SingleGbkByte(typed)};
}

} // namespace tqplat
