#include "engine/tq2dtexture.h"

#include "base/tqstring.h"
#include "containers/tqcompare.h"
#include "engine/tq2dglobal.h"
#include "engine/tq2dglobaltexture.h"
#include "engine/tq2dfilelookup.h"
#include "engine/tq2dpack.h"

#include <string>

TQ_IMPLEMENT_MEMORY_POOL(TQ2DTexture)

namespace {

// One line naming what the device could not make a texture of, when it says why.
void LogUnreadable(const char* name) {
    const char* problem = g_pTQ2DDevice->Texture_LoadProblem();
    if (*problem)
        TQ2DLogUnreadable("TQ2DTexture::Create", "texture", name, problem);
}

} // namespace

TQ2DTexture::TQ2DTexture(const char* name, unsigned long size) {
    Create(name, size);
}

TQ2DTexture::TQ2DTexture(const TQ2DTexture& other) {
    *this = other;
}

TQ2DTexture& TQ2DTexture::operator=(const TQ2DTexture& other) {
    if (this == &other)
        return *this;
    TQ2DGlobalTexture::AddRef(other.m_pEntry);
    Delete();
    m_dwTexture = other.m_dwTexture;
    m_pEntry = other.m_pEntry;
    m_dwWidth = other.m_dwWidth;
    m_dwHeight = other.m_dwHeight;
    m_dwImageWidth = other.m_dwImageWidth;
    m_dwImageHeight = other.m_dwImageHeight;
    return *this;
}

TQ2DTexture::~TQ2DTexture() {
    Delete();
}

int TQ2DTexture::Create(const char* name, unsigned long size) {
    if (!g_pTQ2DDevice || !name)
        return 0;
    Delete();
    return size ? LoadFromMemory(name, size) : LoadShared(name);
}

int TQ2DTexture::LoadFromMemory(const char* data, unsigned long size) {
    const DWORD texture = g_pTQ2DDevice->Texture_Load(data, static_cast<DWORD>(size));
    if (!texture)
        LogUnreadable((std::to_string(size) + " bytes in memory").c_str());
    TakeOwned(texture);
    return static_cast<int>(m_dwTexture);
}

int TQ2DTexture::LoadShared(const char* name) {
    if (!TQ2DNamesFile("texture", name))
        return 0;
    const TQString key = TQ2DNormalizeResourceName(name);
    if (key.GetLength() == 0)
        return 0;
    TQ2DFoundFile file;
    if ((m_pEntry = TQ2DFindCached<TQ2DGlobalTexture>(name, key, "texture", &file)) != nullptr) {
        m_dwTexture = m_pEntry->m_dwHandle;
        CheckSize();
        return static_cast<int>(m_dwTexture);
    }
    if (file.identity.empty())
        return 0;
    const TQString identity(file.identity.c_str());
    const DWORD texture = LoadByKey(name, file);
    if (!texture)
        return 0;
    m_pEntry = TQ2DGlobalTexture::Add(identity, texture);
    if (!m_pEntry) {
        g_pTQ2DDevice->Texture_Free(texture);
        return 0;
    }
    m_dwTexture = texture;
    CheckSize();
    return 1;
}

// The bytes of the file found (a registered pack's entry, a zip pack's, a disk file), made a
// texture; an empty file is a failed load.
DWORD TQ2DTexture::LoadByKey(const char* name, const TQ2DFoundFile& file) {
    TQString bytes;
    if (!TQ2DReadFound(name, file, "texture", &bytes))
        return 0;
    if (bytes.GetBufferLength() == 0) {
        const char* pack =
            file.device.kind == TQGfxDevice::kResourceNone ? TQ2DPackHolding(file.packName) : nullptr;
        const std::string where = pack ? std::string("it is empty in pack '") + pack + "'" : "it is empty";
        TQ2DLogUnreadable("TQ2DTexture::Create", "texture", name, where.c_str());
        return 0;
    }
    const DWORD texture = g_pTQ2DDevice->Texture_Load(bytes.GetBuffer(), bytes.GetBufferLength());
    if (!texture)
        LogUnreadable(name);
    return texture;
}

void TQ2DTexture::TakeOwned(DWORD texture) {
    if (!texture)
        return;
    m_pEntry = TQ2DGlobalTexture::AddPrivate(texture);
    if (!m_pEntry) {
        g_pTQ2DDevice->Texture_Free(texture);
        return;
    }
    m_dwTexture = texture;
    CheckSize();
}

int TQ2DTexture::Create(unsigned long width, unsigned long height) {
    if (!g_pTQ2DDevice)
        return 0;
    Delete();
    TakeOwned(g_pTQ2DDevice->Texture_Create(static_cast<DWORD>(width), static_cast<DWORD>(height)));
    return static_cast<int>(m_dwTexture);
}

void TQ2DTexture::Delete() {
    TQ2DGlobalTexture::Release(m_pEntry);
    m_pEntry = nullptr;
    m_dwTexture = 0;
    m_dwWidth = m_dwHeight = m_dwImageWidth = m_dwImageHeight = 0;
}

DWORD TQ2DTexture::GetTexture() const {
    return TQ2DGlobalTexture::IsLive(m_pEntry, m_dwTexture) ? m_dwTexture : 0;
}

void TQ2DTexture::CheckSize() {
    if (!m_dwTexture || !g_pTQ2DDevice) {
        m_dwWidth = m_dwHeight = m_dwImageWidth = m_dwImageHeight = 0;
        return;
    }
    m_dwWidth = static_cast<DWORD>(g_pTQ2DDevice->Texture_GetWidth(m_dwTexture, false));
    m_dwHeight = static_cast<DWORD>(g_pTQ2DDevice->Texture_GetHeight(m_dwTexture, false));
    m_dwImageWidth = static_cast<DWORD>(g_pTQ2DDevice->Texture_GetWidth(m_dwTexture, true));
    m_dwImageHeight = static_cast<DWORD>(g_pTQ2DDevice->Texture_GetHeight(m_dwTexture, true));
}

DWORD* TQ2DTexture::Lock(bool readOnly, int left, int top, int width, int height) {
    const DWORD texture = GetTexture();
    return texture ? g_pTQ2DDevice->Texture_Lock(texture, readOnly, left, top, width, height) : nullptr;
}

void TQ2DTexture::UnLock() {
    if (const DWORD texture = GetTexture())
        g_pTQ2DDevice->Texture_Unlock(texture);
}

// Runs op on every pixel of the whole texture, locked writable.
template <class Op> void TQ2DTexture::VisitPixels(Op op) {
    DWORD* pixels = Lock(false, 0, 0, 0, 0);
    if (!pixels)
        return;
    const size_t count = static_cast<size_t>(m_dwWidth) * m_dwHeight;
    for (size_t i = 0; i < count; ++i)
        op(pixels[i]);
    UnLock();
}

void TQ2DTexture::Clear(DWORD color) {
    VisitPixels([color](DWORD& pixel) { pixel = color; });
}

void TQ2DTexture::SetTransparentColor(DWORD color) {
    VisitPixels([color](DWORD& pixel) {
        if ((pixel & 0x00FFFFFF) == color)
            pixel &= 0x00FFFFFF;
    });
}

int TQ2DTexture::operator-(TQ2DTexture& other) const {
    return TQCompare(static_cast<const void*>(this), static_cast<const void*>(&other));
}

int TQ2DTexture::operator-(void* other) const {
    return other ? TQCompare(static_cast<const void*>(this), static_cast<const void*>(other)) : -1;
}
