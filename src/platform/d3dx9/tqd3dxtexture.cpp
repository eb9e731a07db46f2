#include "platform/d3d9/tqpixelformat.h"
#include "platform/d3d9/tqtexture.h"
#include "platform/d3dx9/tqd3dx9.h"
#include "platform/d3dx9/tqimagedecoder.h"

#include <algorithm>
#include <cstring>
#include <new>
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

// The source pixels as 0xAARRGGBB rows, through a surface of the source's own format;
// E_OUTOFMEMORY when that surface or its view gets no memory.
HRESULT SourceToArgb(const tqd3dx9::SourceImage& source, tqd3d9::Image* scratch, const uint32_t** argb) {
    if (!scratch->Create(source.format, source.width, source.height))
        return E_OUTOFMEMORY;
    if (scratch->ByteSize() != source.bytes.size())
        return D3DXERR_INVALIDDATA;
    std::memcpy(scratch->Bits(), source.bytes.data(), source.bytes.size());
    scratch->MarkChanged();
    *argb = scratch->ArgbPixels();
    return *argb ? D3D_OK : E_OUTOFMEMORY;
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
    const HRESULT converted = SourceToArgb(source, &scratch, &argb);
    if (FAILED(converted))
        return converted;
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

// Decodes the image and makes a texture of it, saying in t_loadProblem what went wrong.
HRESULT CreateTextureFromImage(LPDIRECT3DDEVICE9 device, const uint8_t* data, UINT size, UINT width,
                               UINT height, DWORD usage, D3DFORMAT format, D3DPOOL pool, D3DCOLOR colorKey,
                               D3DXIMAGE_INFO* info, LPDIRECT3DTEXTURE9* texture) {
    tqd3dx9::SourceImage source;
    HRESULT hr = tqd3dx9::DecodeImage(data, size, &source, &t_loadProblem);
    if (FAILED(hr))
        return hr;
    if (format == D3DFMT_UNKNOWN)
        format = source.format;
    LPDIRECT3DTEXTURE9 created = nullptr;
    hr = D3DXCreateTexture(device, TargetSize(width, source.width), TargetSize(height, source.height), 1,
                           usage, format, pool, &created);
    if (FAILED(hr)) {
        const bool outOfMemory = hr == D3DERR_OUTOFVIDEOMEMORY || hr == E_OUTOFMEMORY;
        t_loadProblem = outOfMemory ? tqd3dx9::OutOfMemoryFor(source.width, source.height)
                                    : "can't create a " + std::to_string(source.width) + "x" +
                                          std::to_string(source.height) + " texture";
        return hr;
    }
    hr = FillTexture(source, colorKey, &static_cast<tqd3d9::Texture*>(created)->Pixels());
    if (FAILED(hr)) {
        t_loadProblem = hr == E_OUTOFMEMORY ? tqd3dx9::OutOfMemoryFor(source.width, source.height)
                                            : "can't convert the image to format " +
                                                  std::to_string(static_cast<unsigned>(format));
        created->Release();
        return hr;
    }
    if (info)
        *info = D3DXIMAGE_INFO{source.width,     source.height,    1, 1, source.format,
                               D3DRTYPE_TEXTURE, source.fileFormat};
    *texture = created;
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

// Memory that runs out anywhere on the way fails the load, with its reason, like a bad image.
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
    try {
        return CreateTextureFromImage(device, static_cast<const uint8_t*>(data), size, width, height, usage,
                                      format, pool, colorKey, info, texture);
    } catch (const std::bad_alloc&) {
        t_loadProblem = "out of memory";
        return E_OUTOFMEMORY;
    }
}

const char* TQ_D3DXGetLastLoadProblem() {
    return t_loadProblem.c_str();
}
