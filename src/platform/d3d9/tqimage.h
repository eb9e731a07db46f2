// The pixels of one surface: storage in the surface's format, lock state, and a 0xAARRGGBB view of
// the pixels for sampling.
#pragma once

#include "platform/d3d9/tqd3d9.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace tqd3d9 {

class Image {
public:
    // Largest width or height of a surface.
    static constexpr UINT kMaxSize = 8192;

    // Bytes per row (or row of blocks) and number of rows of an image; false for a format that is
    // not stored or a size of 0 or above kMaxSize.
    static bool Layout(D3DFORMAT format, UINT width, UINT height, size_t* pitch, size_t* rows);

    // Allocates zeroed pixels. False for a format that is not stored, a size of 0 or above kMaxSize,
    // or when memory runs out.
    bool Create(D3DFORMAT format, UINT width, UINT height);

    D3DFORMAT Format() const { return m_format; }
    UINT Width() const { return m_width; }
    UINT Height() const { return m_height; }
    // Bytes from one row to the next (one row of blocks for block formats).
    size_t Pitch() const { return m_pitch; }
    uint8_t* Bits() { return m_bytes.data(); }
    const uint8_t* Bits() const { return m_bytes.data(); }
    size_t ByteSize() const { return m_bytes.size(); }
    uint8_t* Row(UINT y) { return m_bytes.data() + y * m_pitch; }
    const uint8_t* Row(UINT y) const { return m_bytes.data() + y * m_pitch; }
    // Copies rows [top, bottom) of a 32-bit image to `destination`, which holds rows of Width()
    // values.
    void CopyRowsTo(uint32_t* destination, UINT top, UINT bottom) const;

    // Locks the rectangle (NULL: everything). Fails while locked, for an empty or outside rectangle.
    HRESULT Lock(const RECT* rect, DWORD flags, D3DLOCKED_RECT* locked);
    HRESULT Unlock();
    bool IsLocked() const { return m_locked; }

    // Records that the pixels changed (drawing, clearing, loading), so the sampling view is rebuilt.
    void MarkChanged() { ++m_version; }

    // The pixels as rows of Width() values 0xAARRGGBB (alpha 255 where the format has none); NULL
    // when memory for that view runs out.
    const uint32_t* ArgbPixels();

private:
    // X8R8G8B8 pixels start as opaque black, the value every write of that format leaves.
    void FillOpaqueBlack();
    void DecodeBlocksToArgb();
    void ConvertRowsToArgb();

    D3DFORMAT m_format = D3DFMT_UNKNOWN;
    UINT m_width = 0;
    UINT m_height = 0;
    size_t m_pitch = 0;
    std::vector<uint8_t> m_bytes;
    bool m_locked = false;
    bool m_lockedForWrite = false;
    uint64_t m_version = 1;
    uint64_t m_argbVersion = 0;
    std::vector<uint32_t> m_argb;
};

} // namespace tqd3d9
