// Reader of DDS images.
#pragma once

#include "platform/d3dx9/tqsourceimage.h"

#include <cstddef>
#include <string>

namespace tqd3dx9 {

// Reads a DDS image (level 0; DXT1/3/5, A8R8G8B8, X8R8G8B8, R5G6B5, X1R5G5B5, A1R5G5B5).
// D3DXERR_INVALIDDATA, with what is wrong in *problem, for anything else, a truncated file or a
// size above the surface limit; E_OUTOFMEMORY when the pixels get no memory.
HRESULT ReadDds(const uint8_t* data, size_t size, SourceImage* image, std::string* problem);

} // namespace tqd3dx9
