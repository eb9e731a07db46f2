// Reading back the screenshots the device saves: the file's bytes and its pixels.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

std::string ReadBytes(const std::string& path);
// The pixels of a 24-bit BMP as 0xRRGGBB, top row first; empty when it is not one.
std::vector<uint32_t> BmpPixels(const std::string& bmp, int* width, int* height);
