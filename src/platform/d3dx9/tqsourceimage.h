// An image read from a file in memory, in its own pixel format.
#pragma once

#include "platform/d3dx9/tqd3dx9.h"

#include <cstdint>
#include <string>
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

// The problem of an image whose pixels get no memory: "out of memory for a WxH image".
inline std::string OutOfMemoryFor(UINT width, UINT height) {
    return "out of memory for a " + std::to_string(width) + "x" + std::to_string(height) + " image";
}

} // namespace tqd3dx9
