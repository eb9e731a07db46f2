#include "platform/d3d9/tqimage.h"

#include "platform/d3d9/tqpixelformat.h"

#include <cstring>
#include <new>

namespace tqd3d9 {

bool Image::Layout(D3DFORMAT format, UINT width, UINT height, size_t* pitch, size_t* rows) {
    if (width == 0 || height == 0 || width > kMaxSize || height > kMaxSize)
        return false;
    if (IsBlockFormat(format)) {
        *pitch = static_cast<size_t>((width + 3) / 4) * BytesPerBlock(format);
        *rows = (height + 3) / 4;
    } else if (BytesPerPixel(format) != 0) {
        *pitch = static_cast<size_t>(width) * BytesPerPixel(format);
        *rows = height;
    } else {
        return false;
    }
    return true;
}

bool Image::Create(D3DFORMAT format, UINT width, UINT height) {
    size_t pitch, rows;
    if (!Layout(format, width, height, &pitch, &rows))
        return false;
    try {
        m_bytes.assign(pitch * rows, 0);
    } catch (const std::bad_alloc&) {
        return false;
    }
    if (format == D3DFMT_X8R8G8B8)
        FillOpaqueBlack();
    m_format = format;
    m_width = width;
    m_height = height;
    m_pitch = pitch;
    MarkChanged();
    return true;
}

void Image::FillOpaqueBlack() {
    uint32_t black = 0xFF000000u;
    for (size_t i = 0; i + 4 <= m_bytes.size(); i += 4)
        std::memcpy(&m_bytes[i], &black, 4);
}

HRESULT Image::Lock(const RECT* rect, DWORD flags, D3DLOCKED_RECT* locked) {
    if (!locked || m_locked || m_bytes.empty())
        return D3DERR_INVALIDCALL;
    RECT whole = {0, 0, static_cast<LONG>(m_width), static_cast<LONG>(m_height)};
    const RECT& r = rect ? *rect : whole;
    if (r.left < 0 || r.top < 0 || r.left >= r.right || r.top >= r.bottom || r.right > whole.right ||
        r.bottom > whole.bottom)
        return D3DERR_INVALIDCALL;
    size_t offset;
    if (IsBlockFormat(m_format)) {
        if ((r.left % 4) != 0 || (r.top % 4) != 0)
            return D3DERR_INVALIDCALL;
        offset = (r.top / 4) * m_pitch + (r.left / 4) * BytesPerBlock(m_format);
    } else {
        offset = r.top * m_pitch + r.left * BytesPerPixel(m_format);
    }
    locked->Pitch = static_cast<INT>(m_pitch);
    locked->pBits = m_bytes.data() + offset;
    m_locked = true;
    m_lockedForWrite = (flags & D3DLOCK_READONLY) == 0;
    return D3D_OK;
}

HRESULT Image::Unlock() {
    if (!m_locked)
        return D3DERR_INVALIDCALL;
    m_locked = false;
    if (m_lockedForWrite)
        MarkChanged();
    return D3D_OK;
}

const uint32_t* Image::ArgbPixels() {
    if (m_format == D3DFMT_A8R8G8B8)
        return reinterpret_cast<const uint32_t*>(m_bytes.data());
    if (m_argbVersion != m_version) {
        try {
            m_argb.resize(static_cast<size_t>(m_width) * m_height);
        } catch (const std::bad_alloc&) {
            return nullptr;
        }
        if (IsBlockFormat(m_format))
            DecodeBlocksToArgb();
        else
            ConvertRowsToArgb();
        m_argbVersion = m_version;
    }
    return m_argb.data();
}

void Image::ConvertRowsToArgb() {
    UINT bpp = BytesPerPixel(m_format);
    for (UINT y = 0; y < m_height; ++y) {
        const uint8_t* src = Row(y);
        uint32_t* dst = &m_argb[static_cast<size_t>(y) * m_width];
        for (UINT x = 0; x < m_width; ++x)
            dst[x] = LoadArgb(m_format, src + x * bpp);
    }
}

void Image::DecodeBlocksToArgb() {
    uint32_t block[16];
    UINT blockBytes = BytesPerBlock(m_format);
    for (UINT by = 0; by < (m_height + 3) / 4; ++by) {
        for (UINT bx = 0; bx < (m_width + 3) / 4; ++bx) {
            DecodeBlock(m_format, Row(by) + bx * blockBytes, block);
            for (UINT i = 0; i < 16; ++i) {
                UINT x = bx * 4 + i % 4, y = by * 4 + i / 4;
                if (x < m_width && y < m_height)
                    m_argb[static_cast<size_t>(y) * m_width + x] = block[i];
            }
        }
    }
}

void Image::CopyRowsTo(uint32_t* destination, UINT top, UINT bottom) const {
    for (UINT y = top; y < bottom; ++y)
        std::memcpy(destination + size_t(y) * m_width, Row(y), size_t(m_width) * sizeof(uint32_t));
}

} // namespace tqd3d9
