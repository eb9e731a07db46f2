// The mouse cursor: its screen position as last seen or set, the current cursor, the display
// counter of ShowCursor, and the icon and cursor resources handed out by LoadIconA / LoadCursorA.
#pragma once

#include "platform/win32/tqwintypes.h"

#include <mutex>
#include <string>

namespace tqplat {

class CursorState {
public:
    static CursorState& Instance();

    POINT Position();
    void SetPosition(POINT screen);
    // Replaces the current cursor; returns the previous one.
    HCURSOR Select(HCURSOR cursor);
    int ChangeCount(int delta);
    // Whether a cursor is selected and the display counter is 0 or more.
    bool Visible();

private:
    std::mutex m_mutex;
    POINT m_position = {0, 0};
    HCURSOR m_cursor = nullptr;
    int m_count = 0;
    bool m_selected = false;
};

// The icon's file name (GBK, "<name>.bmp") when it was loaded by name from a program's resources;
// false for the system icon. Takes handles from LoadIconA only.
bool IconFileName(HICON icon, std::string* gbkName);

} // namespace tqplat
