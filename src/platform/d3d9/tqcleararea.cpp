#include "platform/d3d9/tqcleararea.h"

#include "platform/d3d9/tqpixelformat.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace tqd3d9 {

namespace {

void FillColor(Image& image, LONG top, LONG bottom, LONG left, LONG right, D3DCOLOR color) {
    UINT bpp = BytesPerPixel(image.Format());
    uint8_t pixel[4];
    StoreArgb(image.Format(), pixel, color);
    if (bpp == 4) {
        uint32_t value;
        std::memcpy(&value, pixel, 4);
        for (LONG y = top; y < bottom; ++y) {
            uint32_t* row = reinterpret_cast<uint32_t*>(image.Row(y));
            std::fill(row + left, row + right, value);
        }
        return;
    }
    for (LONG y = top; y < bottom; ++y) {
        uint8_t* row = image.Row(y) + left * bpp;
        for (LONG x = left; x < right; ++x, row += bpp)
            std::copy(pixel, pixel + bpp, row);
    }
}

void FillDepth(Image& image, LONG top, LONG bottom, LONG left, LONG right, float z) {
    float clamped = z >= 0.0f ? std::min(z, 1.0f) : 0.0f; // NaN clears to 0 as well
    uint16_t value = static_cast<uint16_t>(std::lround(clamped * 65535.0f));
    for (LONG y = top; y < bottom; ++y) {
        uint16_t* row = reinterpret_cast<uint16_t*>(image.Row(y));
        std::fill(row + left, row + right, value);
    }
}

} // namespace

void ClearArea::Fill(int bandTop, int bandBottom) const {
    if (color)
        FillColor(*color, std::max<LONG>(colorRect.top, bandTop),
                  std::min<LONG>(colorRect.bottom, bandBottom), colorRect.left, colorRect.right, argb);
    if (depth)
        FillDepth(*depth, std::max<LONG>(depthRect.top, bandTop),
                  std::min<LONG>(depthRect.bottom, bandBottom), depthRect.left, depthRect.right, z);
}

} // namespace tqd3d9
