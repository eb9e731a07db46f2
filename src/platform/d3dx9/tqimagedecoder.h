// Decoding of image files in memory.
#pragma once

#include "platform/d3dx9/tqsourceimage.h"

#include <cstddef>
#include <string>

namespace tqd3dx9 {

// Decodes PNG, JPEG, BMP, TGA and GIF through stb_image into A8R8G8B8 (X8R8G8B8 when the file has
// no alpha). False, with what is wrong in *problem ("corrupt image (...)"), for a corrupt or
// truncated image or a size above the limit. Logs nothing: the caller knows the file's name.
bool DecodeWithStb(const uint8_t* data, size_t size, SourceImage* image, std::string* problem);

// DDS when the data starts with "DDS ", else stb_image.
bool DecodeImage(const uint8_t* data, size_t size, SourceImage* image, std::string* problem);

} // namespace tqd3dx9
