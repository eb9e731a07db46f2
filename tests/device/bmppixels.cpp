#include "bmppixels.h"

#include <fstream>
#include <sstream>

namespace {

uint32_t Le(const std::string& bytes, size_t at, int size) {
    uint32_t value = 0;
    for (int i = size - 1; i >= 0; --i)
        value = (value << 8) | static_cast<unsigned char>(bytes[at + i]);
    return value;
}

} // namespace

std::string ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

std::vector<uint32_t> BmpPixels(const std::string& bmp, int* width, int* height) {
    std::vector<uint32_t> pixels;
    if (bmp.size() < 54 || bmp.compare(0, 2, "BM") != 0 || Le(bmp, 28, 2) != 24)
        return pixels;
    *width = static_cast<int>(Le(bmp, 18, 4));
    *height = static_cast<int>(Le(bmp, 22, 4));
    size_t offset = Le(bmp, 10, 4);
    size_t rowBytes = (static_cast<size_t>(*width) * 3 + 3) & ~static_cast<size_t>(3);
    if (offset + rowBytes * *height > bmp.size())
        return pixels;
    for (int y = 0; y < *height; ++y) {
        size_t row = offset + rowBytes * (*height - 1 - y);
        for (int x = 0; x < *width; ++x)
            pixels.push_back(Le(bmp, row + x * 3, 3));
    }
    return pixels;
}
