#include "platform/d3dx9/tqimagedecoder.h"

#include "platform/d3dx9/tqddsreader.h"
#include "platform/d3d9/tqimage.h"

#include <stb_image.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <memory>
#include <new>

namespace tqd3dx9 {

namespace {

D3DXIMAGE_FILEFORMAT FileFormatOf(const uint8_t* data, size_t size) {
    if (size >= 4 && std::memcmp(data, "\x89PNG", 4) == 0)
        return D3DXIFF_PNG;
    if (size >= 2 && data[0] == 0xFF && data[1] == 0xD8)
        return D3DXIFF_JPG;
    if (size >= 2 && std::memcmp(data, "BM", 2) == 0)
        return D3DXIFF_BMP;
    if (size >= 4 && std::memcmp(data, "GIF8", 4) == 0)
        return TQ_D3DXIFF_GIF;
    return D3DXIFF_TGA;
}

// False when a chunk before IEND claims more bytes than the file holds. Such a file never decodes,
// but the decoder would first reserve the claimed length (up to 2 GB for a file of 100 bytes).
bool PngChunksFit(const uint8_t* data, size_t size) {
    size_t at = 8; // after the signature
    while (at <= size && size - at >= 8) {
        const uint8_t* chunk = data + at;
        const size_t length =
            size_t(chunk[0]) << 24 | size_t(chunk[1]) << 16 | size_t(chunk[2]) << 8 | chunk[3];
        if (length > size - at - 8)
            return false;
        if (std::memcmp(chunk + 4, "IEND", 4) == 0)
            return true;
        at += 8 + length + std::min<size_t>(4, size - at - 8 - length); // the CRC, when present
    }
    return true;
}

// What went wrong, followed by the decoder's reason in brackets when it gives one.
std::string WithDecoderReason(const char* what) {
    const char* reason = stbi_failure_reason();
    return reason && *reason ? std::string(what) + " (" + reason + ")" : std::string(what);
}

} // namespace

HRESULT DecodeWithStb(const uint8_t* data, size_t size, SourceImage* image, std::string* problem) {
    if (size > INT_MAX) {
        *problem = std::to_string(size) + " bytes is too large for an image";
        return D3DXERR_INVALIDDATA;
    }
    if (FileFormatOf(data, size) == D3DXIFF_PNG && !PngChunksFit(data, size)) {
        *problem = "corrupt image (a PNG chunk is longer than the file)";
        return D3DXERR_INVALIDDATA;
    }
    int width = 0, height = 0, channels = 0;
    int length = static_cast<int>(size);
    if (!stbi_info_from_memory(data, length, &width, &height, &channels)) {
        *problem = WithDecoderReason("not a readable image");
        return D3DXERR_INVALIDDATA;
    }
    if (width <= 0 || height <= 0 || width > static_cast<int>(tqd3d9::Image::kMaxSize) ||
        height > static_cast<int>(tqd3d9::Image::kMaxSize)) {
        *problem = "unsupported image size " + std::to_string(width) + "x" + std::to_string(height);
        return D3DXERR_INVALIDDATA;
    }
    std::unique_ptr<stbi_uc, void (*)(void*)> rgba(
        stbi_load_from_memory(data, length, &width, &height, &channels, 4), stbi_image_free);
    if (!rgba) {
        const char* reason = stbi_failure_reason();
        if (reason && std::strcmp(reason, "outofmem") == 0) {
            *problem = OutOfMemoryFor(static_cast<UINT>(width), static_cast<UINT>(height));
            return E_OUTOFMEMORY;
        }
        *problem = WithDecoderReason("corrupt image");
        return D3DXERR_INVALIDDATA;
    }
    bool hasAlpha = channels == 2 || channels == 4;
    image->format = hasAlpha ? D3DFMT_A8R8G8B8 : D3DFMT_X8R8G8B8;
    image->width = static_cast<UINT>(width);
    image->height = static_cast<UINT>(height);
    image->fileFormat = FileFormatOf(data, size);
    size_t count = static_cast<size_t>(width) * height;
    try {
        image->bytes.resize(count * 4);
    } catch (const std::bad_alloc&) {
        *problem = OutOfMemoryFor(static_cast<UINT>(width), static_cast<UINT>(height));
        return E_OUTOFMEMORY;
    }
    const stbi_uc* src = rgba.get();
    uint8_t* dst = image->bytes.data();
    // RGBA bytes to the B, G, R, A byte order of 0xAARRGGBB.
    for (size_t i = 0; i < count; ++i, src += 4, dst += 4) {
        dst[0] = src[2];
        dst[1] = src[1];
        dst[2] = src[0];
        dst[3] = hasAlpha ? src[3] : 0xFF;
    }
    return D3D_OK;
}

HRESULT DecodeImage(const uint8_t* data, size_t size, SourceImage* image, std::string* problem) {
    if (size >= 4 && std::memcmp(data, "DDS ", 4) == 0)
        return ReadDds(data, size, image, problem);
    return DecodeWithStb(data, size, image, problem);
}

} // namespace tqd3dx9
