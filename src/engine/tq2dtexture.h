/// @class TQ2DTexture
/// TQ2DTexture: one device texture and its sizes. Textures loaded by name are shared through the
/// texture cache (one device texture per file, whatever the spelling of its name: TQ2DFindFile;
/// freed with its last holder); textures
/// loaded from memory or created empty belong to their object. Copies share the texture and take
/// a reference of their own. Does nothing while the engine has no device.
#pragma once

#include "base/tqstring.h"
#include "containers/tqmemorypooltmpl.h"
#include "platform/win32/tqwintypes.h"

class TQ2DGlobalTexture;
struct TQ2DFoundFile;

class TQ2DTexture {
public:
    TQ2DTexture() = default;
    /// Create(name, size); the result is dropped.
    TQ2DTexture(const char* name, unsigned long size);
    /// Shares the texture and takes a reference of its own.
    TQ2DTexture(const TQ2DTexture& other);
    /// Releases the own texture, then shares other's.
    TQ2DTexture& operator=(const TQ2DTexture& other);
    ~TQ2DTexture();

    /// size 0: loads (or shares) the texture of the file name leads to (TQ2DFindFile: the registered
    /// packs, then the device's zip packs and the disk), shared through the cache when that file was
    /// loaded already, whatever the spelling. size > 0: name is an image of size bytes in memory,
    /// never cached. Returns the texture handle (memory or cache hit), 1 (fresh load), 0 on
    /// failure (the object is then empty; with no device or a NULL name it is left unchanged).
    int Create(const char* name, unsigned long size);
    /// An empty A8R8G8B8 texture of w x h, not cached: its handle, or 0.
    int Create(unsigned long width, unsigned long height);
    /// Releases the texture (its cache reference, or the texture itself).
    void Delete();

    /// The texture handle; 0 without one, or when it belongs to an engine closed since.
    DWORD GetTexture() const;
    /// The texture handle (GetTexture).
    operator unsigned long() const { return GetTexture(); }
    /// The loaded image's size when imageSize, else the surface's.
    DWORD GetWidth(bool imageSize = false) const { return imageSize ? m_dwImageWidth : m_dwWidth; }
    /// Height; see GetWidth.
    DWORD GetHeight(bool imageSize = false) const { return imageSize ? m_dwImageHeight : m_dwHeight; }

    /// Pixels of level 0 (rows of surface width x 4 bytes); NULL without a device or texture.
    DWORD* Lock(bool readOnly = true, int left = 0, int top = 0, int width = 0, int height = 0);
    /// Ends a Lock (writes reach the texture).
    void UnLock();
    /// Fills every pixel with color (shared textures change for every holder).
    void Clear(DWORD color);
    /// Clears the alpha of every pixel whose RGB equals color (a color with alpha bits matches none).
    void SetTransparentColor(DWORD color);

    /// Order by address: the sign of this object against other (-1 for NULL).
    int operator-(TQ2DTexture& other) const;
    /// Order by address; -1 for NULL.
    int operator-(void* other) const;

    TQ_DECLARE_MEMORY_POOL(TQ2DTexture)

protected:
    /// Refreshes the four sizes from the device.
    void CheckSize();

private:
    int LoadFromMemory(const char* data, unsigned long size);
    int LoadShared(const char* name);
    DWORD LoadByKey(const char* name, const TQ2DFoundFile& file);
    // Sets a private entry on a texture this object owns alone (so copies can share it).
    void TakeOwned(DWORD texture);
    template <class Op> void VisitPixels(Op op);

    DWORD m_dwTexture = 0;
    TQ2DGlobalTexture* m_pEntry = nullptr;
    DWORD m_dwWidth = 0;
    DWORD m_dwHeight = 0;
    DWORD m_dwImageWidth = 0;
    DWORD m_dwImageHeight = 0;
};
