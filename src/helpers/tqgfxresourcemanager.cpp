#include "helpers/tqgfxresourcemanager.h"

#include "device/tqgfxparticlesystem.h"
#include "helpers/reffect.h"
#include "helpers/rmusic.h"
#include "helpers/rresource.h"
#include "helpers/rstream.h"
#include "helpers/rtexture.h"
#include "helpers/tqgfxscriptparser.h"
#include "platform/win32/tqopenscope.h"

#include <cstring>

#include "base/tqlogname.h"
#include "base/tqlogrepeats.h"

namespace {

bool InGroup(const ResDesc* desc, int group) {
    return group == 0 || desc->resgroup == group;
}

template <class T> ResDesc* NewFileDescriptor(const char* fileName) {
    T* desc = new T;
    TQGfxCopyResName(desc->filename, fileName);
    return desc;
}

// A descriptor of a file type with its file name set; NULL for other types.
ResDesc* NewFileDescriptor(int type, const char* fileName) {
    switch (type) {
    case TQGFX_RES_RESOURCE:
        return NewFileDescriptor<RResource>(fileName);
    case TQGFX_RES_TEXTURE:
        return NewFileDescriptor<RTexture>(fileName);
    case TQGFX_RES_EFFECT:
        return NewFileDescriptor<REffect>(fileName);
    case TQGFX_RES_MUSIC:
        return NewFileDescriptor<RMusic>(fileName);
    case TQGFX_RES_STREAM:
        return NewFileDescriptor<RStream>(fileName);
    default:
        return nullptr;
    }
}

// Particle systems keep the address of the sprite they draw with: before that sprite is freed they
// are left without one, so that they draw nothing instead of reading freed memory.
void ForgetSprite(ResDesc* particles, DWORD_PTR sprite) {
    for (ResDesc* desc = particles; desc; desc = desc->next) {
        TQGfxParticleSystem* system = reinterpret_cast<TQGfxParticleSystem*>(desc->handle);
        if (system && reinterpret_cast<DWORD_PTR>(system->info.sprite) == sprite)
            system->info.sprite = nullptr;
    }
}

} // namespace

TQGfxResourceManager::TQGfxResourceManager(const char* script)
    : res(), m_pDevice(TQGfxCreate(TQGfxDevice::kVersion)) {
    LoadScript(script);
}

TQGfxResourceManager::~TQGfxResourceManager() {
    RemoveAll();
    if (m_pDevice)
        m_pDevice->Release();
}

void TQGfxResourceManager::LoadScript(const char* script) {
    if (!script)
        return;
    const TQLogRepeats repeats; // a fault the scripts repeat is one line
    TQGfxScriptParser::ParseScript(this, nullptr, script);
    ClearList(TQGFX_RES_SCRIPT);
}

void TQGfxResourceManager::ChangeScript(const char* script) {
    RemoveAll();
    LoadScript(script);
}

void TQGfxResourceManager::ClearList(int type) {
    while (ResDesc* desc = res[type]) {
        res[type] = desc->next;
        desc->Free();
        delete desc;
    }
}

// Lists are freed from the last type to the first, so that particle systems go before the sprites
// they draw with.
void TQGfxResourceManager::RemoveAll() {
    for (int type = TQGFX_RES_TYPES - 1; type >= 0; --type)
        ClearList(type);
}

bool TQGfxResourceManager::Precache(int group) {
    const TQLogRepeats repeats;
    for (int type = 0; type < TQGFX_RES_TYPES; ++type)
        for (ResDesc* desc = res[type]; desc; desc = desc->next)
            if (InGroup(desc, group) && Create(desc) == 0)
                return false;
    return true;
}

void TQGfxResourceManager::Purge(int group) {
    for (int type = TQGFX_RES_TYPES - 1; type >= 0; --type) {
        for (ResDesc* desc = res[type]; desc; desc = desc->next) {
            if (!InGroup(desc, group))
                continue;
            if (type == TQGFX_RES_SPRITE && desc->handle)
                ForgetSprite(res[TQGFX_RES_PARTICLE], desc->handle);
            desc->Free();
        }
    }
}

void TQGfxResourceManager::AddRes(int type, ResDesc* desc) {
    if (!desc)
        return;
    if (type < 0 || type >= TQGFX_RES_TYPES) {
        desc->Free();
        delete desc;
        return;
    }
    desc->next = res[type];
    res[type] = desc;
}

ResDesc* TQGfxResourceManager::FindRes(int type, const char* name) const {
    if (type < 0 || type >= TQGFX_RES_TYPES || !name)
        return nullptr;
    for (ResDesc* desc = res[type]; desc; desc = desc->next)
        if (std::strncmp(desc->name, name, TQGFX_RES_NAME_SIZE - 1) == 0)
            return desc;
    return nullptr;
}

// A script from a zip pack declared the resource: its files are read as a pack's names are. An
// undeclared file named while such a resource is made is read so too (the scope holds for it).
DWORD_PTR TQGfxResourceManager::Create(ResDesc* desc) {
    if (!desc->packnames)
        return desc->Get(this);
    const tqplat::OpenScope scope(true);
    return desc->Get(this);
}

DWORD_PTR TQGfxResourceManager::GetDeclared(int type, const char* name) {
    ResDesc* desc = FindRes(type, name);
    return desc ? Create(desc) : 0;
}

DWORD_PTR TQGfxResourceManager::GetFileResource(int type, const char* name) {
    if (ResDesc* desc = FindRes(type, name))
        return Create(desc);
    if (!name || !*name)
        return 0;
    // The descriptor could not hold the whole file name.
    if (std::strlen(name) >= TQGFX_RES_NAME_SIZE) {
        m_pDevice->System_Log("Resource name '%s' is too long.", TQLogShortName(name).c_str());
        return 0;
    }
    ResDesc* desc = NewFileDescriptor(type, name);
    if (!desc)
        return 0;
    desc->SetName(name);
    if (desc->Get(this) == 0) {
        delete desc;
        return 0;
    }
    AddRes(type, desc);
    return desc->handle;
}

void* TQGfxResourceManager::GetResource(const char* name) {
    return reinterpret_cast<void*>(GetFileResource(TQGFX_RES_RESOURCE, name));
}

DWORD TQGfxResourceManager::GetTexture(const char* name) {
    return static_cast<DWORD>(GetFileResource(TQGFX_RES_TEXTURE, name));
}

DWORD TQGfxResourceManager::GetEffect(const char* name) {
    return static_cast<DWORD>(GetFileResource(TQGFX_RES_EFFECT, name));
}

DWORD TQGfxResourceManager::GetMusic(const char* name) {
    return static_cast<DWORD>(GetFileResource(TQGFX_RES_MUSIC, name));
}

DWORD TQGfxResourceManager::GetStream(const char* name) {
    return static_cast<DWORD>(GetFileResource(TQGFX_RES_STREAM, name));
}

DWORD TQGfxResourceManager::GetTarget(const char* name) {
    return static_cast<DWORD>(GetDeclared(TQGFX_RES_TARGET, name));
}

TQGfxSprite* TQGfxResourceManager::GetSprite(const char* name) {
    return reinterpret_cast<TQGfxSprite*>(GetDeclared(TQGFX_RES_SPRITE, name));
}

TQGfxAnimation* TQGfxResourceManager::GetAnimation(const char* name) {
    return reinterpret_cast<TQGfxAnimation*>(GetDeclared(TQGFX_RES_ANIMATION, name));
}

TQGfxFont* TQGfxResourceManager::GetFont(const char* name) {
    return reinterpret_cast<TQGfxFont*>(GetDeclared(TQGFX_RES_FONT, name));
}

TQGfxParticleSystem* TQGfxResourceManager::GetParticleSystem(const char* name) {
    return reinterpret_cast<TQGfxParticleSystem*>(GetDeclared(TQGFX_RES_PARTICLE, name));
}

TQGfxDistortionMesh* TQGfxResourceManager::GetDistortionMesh(const char* name) {
    return reinterpret_cast<TQGfxDistortionMesh*>(GetDeclared(TQGFX_RES_DISTORT, name));
}
