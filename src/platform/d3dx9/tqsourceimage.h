// An image read from a file in memory, in its own pixel format.
#pragma once

#include "platform/d3dx9/tqd3dx9.h"

#include <cstdint>
#include <vector>

namespace tqd3dx9 {

struct SourceImage {
    D3DFORMAT format = D3DFMT_UNKNOWN;
    UINT width = 0;
    UINT height = 0;
    D3DXIMAGE_FILEFORMAT fileFormat = D3DXIFF_BMP;
    // Rows (rows of 4 x 4 blocks for DXT formats) as they lie in a surface of that format.
    std::vector<uint8_t> bytes;
};

} // namespace tqd3dx9
