// TQGfxDevice: textures, render targets and screenshots.
#include "device/tqgfxdevice.h"

#include "platform/win32/tqpath.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

namespace {

const int kCreateAttempts = 10;
const int kLoadPasses = 10;

bool IsDds(const void* data, DWORD size) {
    return size >= 4 && memcmp(data, "DDS ", 4) == 0;
}

LONG SaturatedSum(int a, int b) {
    long long sum = static_cast<long long>(a) + b;
    return static_cast<LONG>(std::max<long long>(INT32_MIN, std::min<long long>(INT32_MAX, sum)));
}

bool FileExists(const char* path) {
    std::string resolved;
    return tqplat::ResolveExistingPath(path, &resolved);
}

} // namespace

IDirect3DTexture9* TQGfxDevice::FindTexture(DWORD handle) {
    TextureEntry* entry = m_textures.Find(handle);
    return entry ? entry->texture : nullptr;
}

// Stops the renderer using a texture that is about to go.
void TQGfxDevice::UnbindIfCurrent(DWORD texture) {
    if (texture == 0 || texture != m_curTexture)
        return;
    RenderBatch(false);
    m_pD3DDevice->SetTexture(0, nullptr);
    m_curTexture = 0;
}

DWORD TQGfxDevice::Texture_Create(DWORD width, DWORD height) {
    if (!m_pD3DDevice)
        return 0;
    IDirect3DTexture9* texture = nullptr;
    // Attempts are repeated for a want of memory that may pass; an empty size never succeeds.
    const int attempts = width && height ? kCreateAttempts : 1;
    for (int attempt = 0; attempt < attempts; ++attempt) {
        if (SUCCEEDED(D3DXCreateTexture(m_pD3DDevice, width, height, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED,
                                        &texture)))
            break;
        texture = nullptr;
        Sleep(1);
    }
    DWORD handle = texture ? m_textures.Add(TextureEntry{texture, 0, 0, false, false}) : 0;
    if (!handle) {
        if (texture)
            texture->Release();
        PostError("Can't create texture");
    }
    return handle;
}

DWORD TQGfxDevice::Texture_Load(const char* nameOrData, DWORD size) {
    m_textureLoadProblem.clear();
    if (!m_pD3DDevice || !nameOrData)
        return 0;
    DWORD length = size;
    const void* data = size ? nameOrData : Resource_Load(nameOrData, &length);
    if (!data) {
        m_textureLoadProblem = m_resourceLoadProblem;
        return 0;
    }
    D3DFORMAT first = IsDds(data, length) ? D3DFMT_UNKNOWN : D3DFMT_A8R8G8B8;
    D3DFORMAT second = first == D3DFMT_UNKNOWN ? D3DFMT_A8R8G8B8 : D3DFMT_UNKNOWN;
    IDirect3DTexture9* texture = nullptr;
    D3DXIMAGE_INFO info{};
    // Data that is no image stays so, and an image whose memory ran out would be decoded whole again
    // to want as much (40 attempts at an 8192 x 8192 image took 20 s): both end the attempts.
    bool mayPass = true;
    for (int pass = 0; pass < kLoadPasses && !texture && mayPass; ++pass) {
        for (int attempt = 0; attempt < 4 && mayPass; ++attempt) {
            D3DFORMAT format = attempt < 2 ? first : second;
            const HRESULT result = D3DXCreateTextureFromFileInMemoryEx(
                m_pD3DDevice, data, length, D3DX_DEFAULT_NONPOW2, D3DX_DEFAULT_NONPOW2, 1, 0, format,
                D3DPOOL_MANAGED, D3DX_FILTER_NONE, D3DX_DEFAULT, 0, &info, nullptr, &texture);
            if (SUCCEEDED(result))
                break;
            mayPass =
                result != D3DXERR_INVALIDDATA && result != E_OUTOFMEMORY && result != D3DERR_OUTOFVIDEOMEMORY;
            texture = nullptr;
            if (mayPass && attempt < 3)
                Sleep(1);
        }
    }
    if (!size)
        Resource_Free(const_cast<void*>(data));
    if (!texture)
        m_textureLoadProblem = TQ_D3DXGetLastLoadProblem();
    DWORD handle = texture ? m_textures.Add(TextureEntry{texture, info.Width, info.Height, true, false}) : 0;
    if (!handle) {
        if (texture) {
            texture->Release();
            m_textureLoadProblem = "no room for another texture";
        }
        PostError("Can't create texture");
    }
    return handle;
}

void TQGfxDevice::Texture_Free(DWORD texture) {
    TextureEntry* entry = m_textures.Find(texture);
    if (!entry || entry->targetOwned)
        return;
    UnbindIfCurrent(texture);
    entry->texture->Release();
    m_textures.Remove(texture);
}

// The loaded image's size when asked and known, else the size of level 0; false when unreadable.
bool TQGfxDevice::TextureSize(DWORD texture, bool imageSize, UINT* width, UINT* height) {
    TextureEntry* entry = m_textures.Find(texture);
    if (!entry || !entry->texture)
        return false;
    if (imageSize && entry->loaded) {
        *width = entry->imageWidth;
        *height = entry->imageHeight;
        return true;
    }
    D3DSURFACE_DESC desc;
    if (FAILED(entry->texture->GetLevelDesc(0, &desc)))
        return false;
    *width = desc.Width;
    *height = desc.Height;
    return true;
}

int TQGfxDevice::Texture_GetWidth(DWORD texture, bool imageSize) {
    UINT width, height;
    return TextureSize(texture, imageSize, &width, &height) ? static_cast<int>(width) : 0;
}

int TQGfxDevice::Texture_GetHeight(DWORD texture, bool imageSize) {
    UINT width, height;
    return TextureSize(texture, imageSize, &width, &height) ? static_cast<int>(height) : 0;
}

DWORD* TQGfxDevice::Texture_Lock(DWORD texture, bool readOnly, int left, int top, int width, int height) {
    IDirect3DTexture9* tex = FindTexture(texture);
    D3DSURFACE_DESC desc;
    if (!tex || FAILED(tex->GetLevelDesc(0, &desc)))
        return nullptr;
    if (desc.Format != D3DFMT_A8R8G8B8 && desc.Format != D3DFMT_X8R8G8B8)
        return nullptr;
    // A rectangle reaching past the coordinate range is cut to it, so the lock refuses it.
    RECT rect{left, top, SaturatedSum(left, width), SaturatedSum(top, height)};
    D3DLOCKED_RECT locked;
    if (FAILED(tex->LockRect(0, &locked, (width && height) ? &rect : nullptr,
                             readOnly ? D3DLOCK_READONLY : 0))) {
        PostError("Can't lock texture");
        return nullptr;
    }
    return static_cast<DWORD*>(locked.pBits);
}

void TQGfxDevice::Texture_Unlock(DWORD texture) {
    IDirect3DTexture9* tex = FindTexture(texture);
    if (tex)
        tex->UnlockRect(0);
}

bool TQGfxDevice::CreateTargetTexture(TargetEntry* entry, UINT width, UINT height) {
    if (FAILED(D3DXCreateTexture(m_pD3DDevice, width, height, 1, D3DUSAGE_RENDERTARGET,
                                 m_pD3DPP->BackBufferFormat, D3DPOOL_DEFAULT, &entry->texture))) {
        entry->texture = nullptr;
        return false;
    }
    TextureEntry* shared = m_textures.Find(entry->textureHandle);
    if (shared)
        shared->texture = entry->texture;
    return true;
}

bool TQGfxDevice::CreateTargetDepth(TargetEntry* entry, UINT width, UINT height) {
    if (FAILED(m_pD3DDevice->CreateDepthStencilSurface(width, height, D3DFMT_D16, D3DMULTISAMPLE_NONE, 0,
                                                       FALSE, &entry->depth, nullptr))) {
        entry->depth = nullptr;
        return false;
    }
    return true;
}

// Gives back a target's texture and depth surface; the entry keeps what to re-create.
void TQGfxDevice::ReleaseTargetObjects(TargetEntry* entry) {
    if (entry->texture)
        entry->texture->Release();
    entry->texture = nullptr;
    if (entry->depth)
        entry->depth->Release();
    entry->depth = nullptr;
    TextureEntry* shared = m_textures.Find(entry->textureHandle);
    if (shared)
        shared->texture = nullptr;
}

void TQGfxDevice::RecreateTargetObjects() {
    m_targets.ForEach([this](DWORD, TargetEntry& entry) {
        if (!entry.texture)
            CreateTargetTexture(&entry, entry.width, entry.height);
        if (entry.hasDepth && !entry.depth)
            CreateTargetDepth(&entry, entry.width, entry.height);
    });
}

void TQGfxDevice::TargetRecordInit(TargetEntry* record) {
    record->width = 0;
    record->height = 0;
    record->texture = nullptr;
    record->depth = nullptr;
    record->textureHandle = 0;
    record->hasDepth = false;
}

DWORD TQGfxDevice::Target_Create(DWORD width, DWORD height, bool zBuffer) {
    if (!m_pD3DDevice)
        return 0;
    TargetEntry entry;
    TargetRecordInit(&entry);
    entry.hasDepth = zBuffer;
    if (!CreateTargetTexture(&entry, width, height)) {
        PostError("Can't create render target texture");
        return 0;
    }
    D3DSURFACE_DESC desc;
    if (SUCCEEDED(entry.texture->GetLevelDesc(0, &desc))) {
        entry.width = desc.Width;
        entry.height = desc.Height;
    }
    if (zBuffer && !CreateTargetDepth(&entry, width, height)) {
        ReleaseTargetObjects(&entry);
        PostError("Can't create render target depth buffer");
        return 0;
    }
    entry.textureHandle = m_textures.Add(TextureEntry{entry.texture, 0, 0, false, true});
    DWORD handle = entry.textureHandle ? m_targets.Add(entry) : 0;
    if (!handle) {
        m_textures.Remove(entry.textureHandle);
        ReleaseTargetObjects(&entry);
        PostError("Can't create render target texture");
    }
    return handle;
}

void TQGfxDevice::Target_Free(DWORD target) {
    TargetEntry* entry = m_targets.Find(target);
    if (!entry)
        return;
    // The next scene sets its target anew, even when a new target takes this one's place.
    if (target == m_curTarget)
        m_bCurTargetKnown = false;
    UnbindIfCurrent(entry->textureHandle);
    ReleaseTargetObjects(entry);
    m_textures.Remove(entry->textureHandle);
    m_targets.Remove(target);
}

DWORD TQGfxDevice::Target_GetTexture(DWORD target) {
    TargetEntry* entry = m_targets.Find(target);
    return entry ? entry->textureHandle : 0;
}

void TQGfxDevice::FreeAllTextures() {
    for (DWORD handle : m_textures.Handles())
        Texture_Free(handle);
}

void TQGfxDevice::FreeAllTargets() {
    for (DWORD handle : m_targets.Handles())
        Target_Free(handle);
}

// "shot%03d.bmp" numbered after the shots present, skipping a number whose file exists.
void TQGfxDevice::NextSnapshotName(char* name, size_t size) {
    int count = 0;
    for (char* found = Resource_EnumFiles("shot???.bmp"); found; found = Resource_EnumFiles(nullptr))
        ++count;
    for (;; ++count) {
        char shot[32];
        snprintf(shot, sizeof(shot), "shot%03d.bmp", count);
        snprintf(name, size, "%s", Resource_MakePath(shot));
        if (!FileExists(name))
            return;
    }
}

void TQGfxDevice::System_Snapshot(const char* fileName) {
    char name[MAX_PATH];
    if (!fileName) {
        NextSnapshotName(name, sizeof(name));
        fileName = name;
    }
    if (!m_pD3DDevice)
        return;
    IDirect3DSurface9* surface = nullptr;
    if (SUCCEEDED(m_pD3DDevice->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &surface))) {
        D3DXSaveSurfaceToFileA(fileName, D3DXIFF_BMP, surface, nullptr, nullptr);
        surface->Release();
    }
}
