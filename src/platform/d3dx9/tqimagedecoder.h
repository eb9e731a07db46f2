// Decoding of image files in memory.
#pragma once

#include "platform/d3dx9/tqsourceimage.h"

#include <cstddef>
#include <string>

namespace tqd3dx9 {

// Decodes PNG, JPEG, BMP, TGA and GIF through stb_image into A8R8G8B8 (X8R8G8B8 when the file has
// no alpha). D3DXERR_INVALIDDATA, with what is wrong in *problem ("corrupt image (...)"), for a
// corrupt or truncated image or a size above the limit; E_OUTOFMEMORY ("out of memory for a WxH
// image") when its pixels get no memory. Logs nothing: the caller knows the file's name.
HRESULT DecodeWithStb(const uint8_t* data, size_t size, SourceImage* image, std::string* problem);

// DDS when the data starts with "DDS ", else stb_image.
HRESULT DecodeImage(const uint8_t* data, size_t size, SourceImage* image, std::string* problem);

} // namespace tqd3dx9
