// Storage formats of surfaces: sizes, and conversion of one pixel to and from 0xAARRGGBB.
#pragma once

#include "platform/d3d9/tqd3d9.h"

#include <cstddef>
#include <cstdint>

namespace tqd3d9 {

// A8R8G8B8, X8R8G8B8, R5G6B5, X1R5G5B5 or A1R5G5B5.
bool IsColorFormat(D3DFORMAT format);
// DXT1, DXT3 or DXT5 (4 x 4 blocks).
bool IsBlockFormat(D3DFORMAT format);
// Bytes per pixel of a colour or depth format; 0 for block formats and formats not stored.
UINT BytesPerPixel(D3DFORMAT format);
// Bytes of one 4 x 4 block of a block format (8 or 16); 0 for other formats.
UINT BytesPerBlock(D3DFORMAT format);

// One pixel of a colour format as 0xAARRGGBB (alpha 255 when the format has none).
uint32_t LoadArgb(D3DFORMAT format, const uint8_t* pixel);
// Stores 0xAARRGGBB in a colour format (unused bits are set).
void StoreArgb(D3DFORMAT format, uint8_t* pixel, uint32_t argb);

// Decodes one block of a block format into 16 pixels 0xAARRGGBB, row by row.
void DecodeBlock(D3DFORMAT format, const uint8_t* block, uint32_t* out16);

} // namespace tqd3d9
