#include "device/tqgfxcolor.h"

namespace {

// One channel as 0..255: clamped to 0..1 (so it never spills into a neighbour), scaled, truncated.
DWORD ChannelByte(float value) {
    if (!(value > 0.0f))
        return 0;
    if (value > 1.0f)
        value = 1.0f;
    return static_cast<DWORD>(value * 255.0);
}

float ChannelFloat(DWORD argb, int shift) {
    return static_cast<float>((argb >> shift) & 0xFF) / 255.0f;
}

} // namespace

TQGfxColor& TQGfxColor::operator+=(const TQGfxColor& other) {
    r += other.r;
    g += other.g;
    b += other.b;
    a += other.a;
    return *this;
}

DWORD TQGfxColor::GetARGB() const {
    return (ChannelByte(a) << 24) + (ChannelByte(r) << 16) + (ChannelByte(g) << 8) + ChannelByte(b);
}

void TQGfxColor::SetARGB(DWORD argb) {
    a = ChannelFloat(argb, 24);
    r = ChannelFloat(argb, 16);
    g = ChannelFloat(argb, 8);
    b = ChannelFloat(argb, 0);
}
