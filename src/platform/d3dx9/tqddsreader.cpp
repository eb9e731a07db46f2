#include "platform/d3dx9/tqddsreader.h"

#include "platform/d3d9/tqimage.h"
#include "platform/d3d9/tqpixelformat.h"

#include <cstring>
#include <new>

namespace tqd3dx9 {

namespace {

constexpr size_t kHeaderEnd = 128;
constexpr DWORD kPixelFormatAlpha = 0x1;
constexpr DWORD kPixelFormatFourCC = 0x4;
constexpr DWORD kPixelFormatRgb = 0x40;
constexpr DWORD kCaps2CubeOrVolume = 0x200 | 0x200000;

DWORD Read32(const uint8_t* p) {
    return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<DWORD>(p[3]) << 24);
}

struct DdsPixelFormat {
    DWORD flags, fourCC, bits, r, g, b, a;
};

D3DFORMAT FormatOf(const DdsPixelFormat& pf) {
    if (pf.flags & kPixelFormatFourCC) {
        if (pf.fourCC == D3DFMT_DXT1 || pf.fourCC == D3DFMT_DXT3 || pf.fourCC == D3DFMT_DXT5)
            return static_cast<D3DFORMAT>(pf.fourCC);
        return D3DFMT_UNKNOWN;
    }
    if (!(pf.flags & kPixelFormatRgb))
        return D3DFMT_UNKNOWN;
    DWORD alpha = (pf.flags & kPixelFormatAlpha) ? pf.a : 0;
    if (pf.bits == 32 && pf.r == 0xFF0000 && pf.g == 0xFF00 && pf.b == 0xFF)
        return alpha == 0xFF000000u ? D3DFMT_A8R8G8B8 : D3DFMT_X8R8G8B8;
    if (pf.bits == 16 && pf.r == 0xF800 && pf.g == 0x7E0 && pf.b == 0x1F)
        return D3DFMT_R5G6B5;
    if (pf.bits == 16 && pf.r == 0x7C00 && pf.g == 0x3E0 && pf.b == 0x1F)
        return alpha == 0x8000 ? D3DFMT_A1R5G5B5 : D3DFMT_X1R5G5B5;
    return D3DFMT_UNKNOWN;
}

} // namespace

HRESULT ReadDds(const uint8_t* data, size_t size, SourceImage* image, std::string* problem) {
    if (size < kHeaderEnd || std::memcmp(data, "DDS ", 4) != 0 || Read32(data + 4) != 124) {
        *problem = "DDS image: truncated or bad header (" + std::to_string(size) + " bytes)";
        return D3DXERR_INVALIDDATA;
    }
    UINT height = Read32(data + 12), width = Read32(data + 16);
    DdsPixelFormat pf{Read32(data + 80), Read32(data + 84),  Read32(data + 88), Read32(data + 92),
                      Read32(data + 96), Read32(data + 100), Read32(data + 104)};
    D3DFORMAT format = FormatOf(pf);
    if (format == D3DFMT_UNKNOWN || (Read32(data + 112) & kCaps2CubeOrVolume)) {
        *problem = "DDS image: unsupported pixel format or layout";
        return D3DXERR_INVALIDDATA;
    }
    size_t pitch, rows;
    if (!tqd3d9::Image::Layout(format, width, height, &pitch, &rows)) {
        *problem = "DDS image: unsupported size " + std::to_string(width) + "x" + std::to_string(height);
        return D3DXERR_INVALIDDATA;
    }
    size_t levelBytes = pitch * rows;
    if (size - kHeaderEnd < levelBytes) {
        *problem = "DDS image: pixel data truncated";
        return D3DXERR_INVALIDDATA;
    }
    image->format = format;
    image->width = width;
    image->height = height;
    image->fileFormat = D3DXIFF_DDS;
    try {
        image->bytes.assign(data + kHeaderEnd, data + kHeaderEnd + levelBytes);
    } catch (const std::bad_alloc&) {
        *problem = OutOfMemoryFor(width, height);
        return E_OUTOFMEMORY;
    }
    return D3D_OK;
}

} // namespace tqd3dx9
