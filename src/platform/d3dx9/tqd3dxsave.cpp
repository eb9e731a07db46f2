#include "platform/d3d9/tqsurface.h"
#include "platform/d3dx9/tqd3dx9.h"
#include "platform/win32/tqpath.h"
#include "platform/win32/tqplatformlog.h"

#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

namespace {

void Put16(std::vector<uint8_t>* out, uint32_t v) {
    out->push_back(static_cast<uint8_t>(v));
    out->push_back(static_cast<uint8_t>(v >> 8));
}

void Put32(std::vector<uint8_t>* out, uint32_t v) {
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}

// A 24-bit bottom-up BMP of the rectangle of 0xAARRGGBB rows `stride` pixels wide.
std::vector<uint8_t> EncodeBmp(const uint32_t* pixels, UINT stride, const RECT& r) {
    uint32_t width = r.right - r.left, height = r.bottom - r.top;
    uint32_t rowBytes = (width * 3 + 3) & ~3u;
    uint32_t imageBytes = rowBytes * height;
    std::vector<uint8_t> out;
    out.reserve(54 + imageBytes);
    out.push_back('B');
    out.push_back('M');
    Put32(&out, 54 + imageBytes);
    Put32(&out, 0);
    Put32(&out, 54);
    Put32(&out, 40);
    Put32(&out, width);
    Put32(&out, height);
    Put16(&out, 1);
    Put16(&out, 24);
    Put32(&out, 0);
    Put32(&out, imageBytes);
    Put32(&out, 2835);
    Put32(&out, 2835);
    Put32(&out, 0);
    Put32(&out, 0);
    for (uint32_t y = height; y-- > 0;) {
        const uint32_t* row = pixels + static_cast<size_t>(r.top + y) * stride + r.left;
        for (uint32_t x = 0; x < width; ++x) {
            out.push_back(static_cast<uint8_t>(row[x]));
            out.push_back(static_cast<uint8_t>(row[x] >> 8));
            out.push_back(static_cast<uint8_t>(row[x] >> 16));
        }
        out.resize(out.size() + (rowBytes - width * 3), 0);
    }
    return out;
}

bool WriteFile(const char* path, const std::vector<uint8_t>& bytes) {
    std::string resolved;
    if (!tqplat::ResolvePathForWrite(path, &resolved))
        return false;
    std::unique_ptr<FILE, int (*)(FILE*)> file(std::fopen(resolved.c_str(), "wb"), std::fclose);
    if (!file)
        return false;
    bool written = std::fwrite(bytes.data(), 1, bytes.size(), file.get()) == bytes.size();
    return std::fclose(file.release()) == 0 && written;
}

} // namespace

HRESULT D3DXSaveSurfaceToFileA(LPCSTR destFile, D3DXIMAGE_FILEFORMAT format, LPDIRECT3DSURFACE9 surface,
                               const void*, const RECT* sourceRect) {
    if (!destFile || !surface)
        return D3DERR_INVALIDCALL;
    if (format != D3DXIFF_BMP) {
        tqplat::PlatformLog("D3DXSaveSurfaceToFileA: \"%s\" not written: images are saved as BMP only",
                            destFile);
        return D3DERR_INVALIDCALL;
    }
    tqd3d9::Surface* source = static_cast<tqd3d9::Surface*>(surface);
    tqd3d9::Image& image = source->DrawnPixels();
    if (source->IsDepthStencil() || image.Width() == 0)
        return D3DERR_INVALIDCALL;
    RECT whole = {0, 0, static_cast<LONG>(image.Width()), static_cast<LONG>(image.Height())};
    RECT r = sourceRect ? *sourceRect : whole;
    if (r.left < 0 || r.top < 0 || r.right > whole.right || r.bottom > whole.bottom || r.left >= r.right ||
        r.top >= r.bottom)
        return D3DERR_INVALIDCALL;
    const uint32_t* argb = image.ArgbPixels();
    if (!argb)
        return E_OUTOFMEMORY;
    if (!WriteFile(destFile, EncodeBmp(argb, image.Width(), r))) {
        tqplat::PlatformLog("D3DXSaveSurfaceToFileA: can't write \"%s\"", destFile);
        return E_FAIL;
    }
    return D3D_OK;
}
