// Decoding of image files in memory.
#pragma once

#include "platform/d3dx9/tqsourceimage.h"

#include <cstddef>

namespace tqd3dx9 {

// Decodes PNG, JPEG, BMP, TGA and GIF through stb_image into A8R8G8B8 (X8R8G8B8 when the file has
// no alpha). False, with a log line, for a corrupt or truncated image or a size above the limit.
bool DecodeWithStb(const uint8_t* data, size_t size, SourceImage* image);

// DDS when the data starts with "DDS ", else stb_image.
bool DecodeImage(const uint8_t* data, size_t size, SourceImage* image);

} // namespace tqd3dx9
