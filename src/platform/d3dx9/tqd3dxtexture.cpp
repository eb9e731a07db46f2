#include "platform/d3d9/tqpixelformat.h"
#include "platform/d3d9/tqtexture.h"
#include "platform/d3dx9/tqd3dx9.h"
#include "platform/d3dx9/tqimagedecoder.h"

#include <algorithm>
#include <cstring>
#include <string>

namespace {

// Why the thread's last D3DXCreateTextureFromFileInMemoryEx failed.
thread_local std::string t_loadProblem;

UINT NextPowerOfTwo(UINT value) {
    UINT p = 1;
    while (p < value && p < tqd3d9::Image::kMaxSize)
        p <<= 1;
    return p;
}

UINT TargetSize(UINT requested, UINT imageSize) {
    if (requested == 0 || requested == D3DX_DEFAULT_NONPOW2 || requested == D3DX_FROM_FILE)
        return imageSize;
    if (requested == D3DX_DEFAULT)
        return NextPowerOfTwo(imageSize);
    return requested;
}

// The source pixels as 0xAARRGGBB rows, through a surface of the source's own format.
bool SourceToArgb(const tqd3dx9::SourceImage& source, tqd3d9::Image* scratch, const uint32_t** argb) {
    if (!scratch->Create(source.format, source.width, source.height) ||
        scratch->ByteSize() != source.bytes.size())
        return false;
    std::memcpy(scratch->Bits(), source.bytes.data(), source.bytes.size());
    scratch->MarkChanged();
    *argb = scratch->ArgbPixels();
    return true;
}

// Copies the source into the top-left corner of the target, converting the format and applying the
// colour key; block formats are only copied as they are.
HRESULT FillTexture(const tqd3dx9::SourceImage& source, D3DCOLOR colorKey, tqd3d9::Image* target) {
    bool sameLayout = target->Format() == source.format && target->Width() == source.width &&
                      target->Height() == source.height;
    if (sameLayout && colorKey == 0) {
        std::memcpy(target->Bits(), source.bytes.data(), source.bytes.size());
        target->MarkChanged();
        return D3D_OK;
    }
    if (tqd3d9::IsBlockFormat(target->Format()))
        return D3DERR_INVALIDCALL;
    tqd3d9::Image scratch;
    const uint32_t* argb = nullptr;
    if (!SourceToArgb(source, &scratch, &argb))
        return D3DXERR_INVALIDDATA;
    UINT bpp = tqd3d9::BytesPerPixel(target->Format());
    UINT width = std::min(source.width, target->Width()), height = std::min(source.height, target->Height());
    for (UINT y = 0; y < height; ++y) {
        const uint32_t* src = argb + static_cast<size_t>(y) * source.width;
        uint8_t* dst = target->Row(y);
        for (UINT x = 0; x < width; ++x) {
            uint32_t pixel = (colorKey != 0 && src[x] == colorKey) ? 0 : src[x];
            tqd3d9::StoreArgb(target->Format(), dst + x * bpp, pixel);
        }
    }
    target->MarkChanged();
    return D3D_OK;
}

} // namespace

HRESULT D3DXCreateTexture(LPDIRECT3DDEVICE9 device, UINT width, UINT height, UINT, DWORD usage,
                          D3DFORMAT format, D3DPOOL pool, LPDIRECT3DTEXTURE9* texture) {
    if (!device || !texture)
        return D3DERR_INVALIDCALL;
    if (format == D3DFMT_UNKNOWN)
        format = D3DFMT_A8R8G8B8;
    return device->CreateTexture(width, height, 1, usage, format, pool, texture, nullptr);
}

HRESULT D3DXCreateTextureFromFileInMemoryEx(LPDIRECT3DDEVICE9 device, LPCVOID data, UINT size, UINT width,
                                            UINT height, UINT, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                                            DWORD, DWORD, D3DCOLOR colorKey, D3DXIMAGE_INFO* info, void*,
                                            LPDIRECT3DTEXTURE9* texture) {
    t_loadProblem.clear();
    if (!device || !data || size == 0 || !texture) {
        t_loadProblem = "no data";
        return D3DERR_INVALIDCALL;
    }
    *texture = nullptr;
    tqd3dx9::SourceImage source;
    if (!tqd3dx9::DecodeImage(static_cast<const uint8_t*>(data), size, &source, &t_loadProblem))
        return D3DXERR_INVALIDDATA;
    if (format == D3DFMT_UNKNOWN)
        format = source.format;
    LPDIRECT3DTEXTURE9 created = nullptr;
    HRESULT hr = D3DXCreateTexture(device, TargetSize(width, source.width), TargetSize(height, source.height),
                                   1, usage, format, pool, &created);
    if (FAILED(hr)) {
        t_loadProblem = "can't create a " + std::to_string(source.width) + "x" +
                        std::to_string(source.height) + " texture";
        return hr;
    }
    hr = FillTexture(source, colorKey, &static_cast<tqd3d9::Texture*>(created)->Pixels());
    if (FAILED(hr)) {
        t_loadProblem = "can't convert the image to format " + std::to_string(static_cast<unsigned>(format));
        created->Release();
        return hr;
    }
    if (info)
        *info = D3DXIMAGE_INFO{source.width,     source.height,    1, 1, source.format,
                               D3DRTYPE_TEXTURE, source.fileFormat};
    *texture = created;
    return D3D_OK;
}

const char* TQ_D3DXGetLastLoadProblem() {
    return t_loadProblem.c_str();
}
