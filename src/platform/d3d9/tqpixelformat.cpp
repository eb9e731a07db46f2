#include "platform/d3d9/tqpixelformat.h"

#include "platform/d3d9/tqpixelmath.h"

#include <cstring>

namespace tqd3d9 {

bool IsColorFormat(D3DFORMAT format) {
    return format == D3DFMT_A8R8G8B8 || format == D3DFMT_X8R8G8B8 || format == D3DFMT_R5G6B5 ||
           format == D3DFMT_X1R5G5B5 || format == D3DFMT_A1R5G5B5;
}

bool IsBlockFormat(D3DFORMAT format) {
    return format == D3DFMT_DXT1 || format == D3DFMT_DXT3 || format == D3DFMT_DXT5;
}

UINT BytesPerPixel(D3DFORMAT format) {
    switch (format) {
    case D3DFMT_A8R8G8B8:
    case D3DFMT_X8R8G8B8:
        return 4;
    case D3DFMT_R5G6B5:
    case D3DFMT_X1R5G5B5:
    case D3DFMT_A1R5G5B5:
    case D3DFMT_D16:
        return 2;
    default:
        return 0;
    }
}

UINT BytesPerBlock(D3DFORMAT format) {
    if (format == D3DFMT_DXT1)
        return 8;
    return IsBlockFormat(format) ? 16 : 0;
}

static uint16_t Read16(const uint8_t* p) {
    return static_cast<uint16_t>(p[0] | (p[1] << 8));
}

static void Write16(uint8_t* p, uint32_t v) {
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
}

static uint32_t Expand565(uint32_t v) {
    return PackArgb(255, Widen5((v >> 11) & 31), Widen6((v >> 5) & 63), Widen5(v & 31));
}

static uint32_t Expand555(uint32_t v, uint32_t alpha) {
    return PackArgb(alpha, Widen5((v >> 10) & 31), Widen5((v >> 5) & 31), Widen5(v & 31));
}

uint32_t LoadArgb(D3DFORMAT format, const uint8_t* pixel) {
    uint32_t v;
    switch (format) {
    case D3DFMT_A8R8G8B8:
        std::memcpy(&v, pixel, 4);
        return v;
    case D3DFMT_X8R8G8B8:
        std::memcpy(&v, pixel, 4);
        return v | 0xFF000000u;
    case D3DFMT_R5G6B5:
        return Expand565(Read16(pixel));
    case D3DFMT_X1R5G5B5:
        return Expand555(Read16(pixel), 255);
    case D3DFMT_A1R5G5B5: {
        uint32_t w = Read16(pixel);
        return Expand555(w, (w & 0x8000) ? 255 : 0);
    }
    default:
        return 0;
    }
}

static uint32_t Narrow555(uint32_t argb) {
    return (Narrow5(ChannelR(argb)) << 10) | (Narrow5(ChannelG(argb)) << 5) | Narrow5(ChannelB(argb));
}

void StoreArgb(D3DFORMAT format, uint8_t* pixel, uint32_t argb) {
    switch (format) {
    case D3DFMT_A8R8G8B8:
        std::memcpy(pixel, &argb, 4);
        break;
    case D3DFMT_X8R8G8B8:
        argb |= 0xFF000000u;
        std::memcpy(pixel, &argb, 4);
        break;
    case D3DFMT_R5G6B5:
        Write16(pixel,
                (Narrow5(ChannelR(argb)) << 11) | (Narrow6(ChannelG(argb)) << 5) | Narrow5(ChannelB(argb)));
        break;
    case D3DFMT_X1R5G5B5:
        Write16(pixel, 0x8000 | Narrow555(argb));
        break;
    case D3DFMT_A1R5G5B5:
        Write16(pixel, (ChannelA(argb) >= 128 ? 0x8000 : 0) | Narrow555(argb));
        break;
    default:
        break;
    }
}

// The four colours of a block's 565 endpoints; three colours and transparent black when the first
// endpoint is not above the second in DXT1.
static void BlockPalette(const uint8_t* colorBlock, bool allowTransparent, uint32_t palette[4]) {
    uint32_t c0 = Read16(colorBlock), c1 = Read16(colorBlock + 2);
    uint32_t e0 = Expand565(c0), e1 = Expand565(c1);
    palette[0] = e0;
    palette[1] = e1;
    uint32_t r0 = ChannelR(e0), g0 = ChannelG(e0), b0 = ChannelB(e0);
    uint32_t r1 = ChannelR(e1), g1 = ChannelG(e1), b1 = ChannelB(e1);
    if (c0 > c1 || !allowTransparent) {
        palette[2] = PackArgb(255, (2 * r0 + r1 + 1) / 3, (2 * g0 + g1 + 1) / 3, (2 * b0 + b1 + 1) / 3);
        palette[3] = PackArgb(255, (r0 + 2 * r1 + 1) / 3, (g0 + 2 * g1 + 1) / 3, (b0 + 2 * b1 + 1) / 3);
    } else {
        palette[2] = PackArgb(255, (r0 + r1) / 2, (g0 + g1) / 2, (b0 + b1) / 2);
        palette[3] = 0;
    }
}

static void DecodeColorBlock(const uint8_t* colorBlock, bool allowTransparent, uint32_t* out16) {
    uint32_t palette[4];
    BlockPalette(colorBlock, allowTransparent, palette);
    for (int i = 0; i < 16; ++i)
        out16[i] = palette[(colorBlock[4 + i / 4] >> (2 * (i % 4))) & 3];
}

static void ApplyExplicitAlpha(const uint8_t* alphaBlock, uint32_t* out16) {
    for (int i = 0; i < 16; ++i) {
        uint32_t a4 = (alphaBlock[i / 2] >> (4 * (i % 2))) & 15;
        out16[i] = (out16[i] & 0x00FFFFFFu) | ((a4 * 17) << 24);
    }
}

static void ApplyInterpolatedAlpha(const uint8_t* alphaBlock, uint32_t* out16) {
    uint32_t a[8];
    a[0] = alphaBlock[0];
    a[1] = alphaBlock[1];
    if (a[0] > a[1]) {
        for (int i = 1; i < 7; ++i)
            a[i + 1] = ((7 - i) * a[0] + i * a[1] + 3) / 7;
    } else {
        for (int i = 1; i < 5; ++i)
            a[i + 1] = ((5 - i) * a[0] + i * a[1] + 2) / 5;
        a[6] = 0;
        a[7] = 255;
    }
    uint64_t bits = 0;
    for (int i = 0; i < 6; ++i)
        bits |= static_cast<uint64_t>(alphaBlock[2 + i]) << (8 * i);
    for (int i = 0; i < 16; ++i)
        out16[i] = (out16[i] & 0x00FFFFFFu) | (a[(bits >> (3 * i)) & 7] << 24);
}

void DecodeBlock(D3DFORMAT format, const uint8_t* block, uint32_t* out16) {
    if (format == D3DFMT_DXT1) {
        DecodeColorBlock(block, true, out16);
    } else if (format == D3DFMT_DXT3) {
        DecodeColorBlock(block + 8, false, out16);
        ApplyExplicitAlpha(block, out16);
    } else if (format == D3DFMT_DXT5) {
        DecodeColorBlock(block + 8, false, out16);
        ApplyInterpolatedAlpha(block, out16);
    } else {
        std::memset(out16, 0, 16 * sizeof(uint32_t));
    }
}

} // namespace tqd3d9
