// Text formatted in a rectangle, the work behind DrawTextA.
#pragma once

#include "platform/gdi32/tqgdidc.h"

namespace tqplat {

// Draws the text in rect by the DT_* format and returns the DrawTextA result.
int DrawTextInRect(GdiDC& dc, const char* text, size_t length, const RECT& rect, UINT format);

} // namespace tqplat
