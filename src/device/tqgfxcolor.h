/// @class TQGfxColor
/// TQGfxColor: a colour of four float channels (1.0 = full intensity), packed to and from 32-bit ARGB
/// with alpha in the top byte.
#pragma once

#include "platform/win32/tqwintypes.h"

class TQGfxColor {
public:
    TQGfxColor() : r(0.0f), g(0.0f), b(0.0f), a(0.0f) {}
    /// A colour of these channels (not clamped).
    TQGfxColor(float red, float green, float blue, float alpha) : r(red), g(green), b(blue), a(alpha) {}

    /// Every channel times s.
    TQGfxColor operator*(float s) const { return TQGfxColor(r * s, g * s, b * s, a * s); }
    /// Adds other channel by channel (not clamped).
    TQGfxColor& operator+=(const TQGfxColor& other);

    /// Packed ARGB: each channel, clamped to 0..1, times 255 and truncated.
    DWORD GetARGB() const;
    /// Unpacks each 8-bit channel divided by 255.
    void SetARGB(DWORD argb);

    /// @{
    /// Red, green, blue, alpha; 1.0 is full intensity.
    float r, g, b, a;
    /// @}
};
