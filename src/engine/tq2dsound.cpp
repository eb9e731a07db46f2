#include "engine/tq2dsound.h"

#include "base/tqstring.h"
#include "engine/tq2dglobal.h"
#include "engine/tq2dfilelookup.h"
#include "engine/tq2dglobalsound.h"
#include "engine/tq2dpack.h"

TQ_IMPLEMENT_MEMORY_POOL(TQ2DSound)

TQ2DSound::TQ2DSound(const char* name, unsigned long size) {
    Create(name, size);
}

TQ2DSound::TQ2DSound(const TQ2DSound& other)
    : TQ2DChannel(other), m_dwEffect(other.m_dwEffect), m_pEntry(other.m_pEntry) {
    TQ2DGlobalSound::AddRef(m_pEntry);
}

TQ2DSound& TQ2DSound::operator=(const TQ2DSound& other) {
    if (this == &other)
        return *this;
    TQ2DGlobalSound::AddRef(other.m_pEntry);
    Delete();
    TQ2DChannel::operator=(other);
    m_dwEffect = other.m_dwEffect;
    m_pEntry = other.m_pEntry;
    return *this;
}

TQ2DSound::~TQ2DSound() {
    Delete();
}

int TQ2DSound::Create(const char* name, unsigned long size) {
    if (!g_pTQ2DDevice || !name)
        return 0;
    Delete();
    if (!size)
        return LoadShared(name);
    const DWORD effect = g_pTQ2DDevice->Effect_Load(name, static_cast<DWORD>(size));
    if (!effect) {
        TQ2DLogUnreadableSound("TQ2DSound::Create", "sound", nullptr, size);
        return 0;
    }
    if (!(m_pEntry = TQ2DGlobalSound::AddPrivate(effect))) {
        g_pTQ2DDevice->Effect_Free(effect);
        return 0;
    }
    m_dwEffect = effect;
    return static_cast<int>(m_dwEffect);
}

int TQ2DSound::LoadShared(const char* name) {
    if (!TQ2DNamesFile("sound", name))
        return 0;
    const TQString key = TQ2DNormalizeResourceName(name);
    if (key.GetLength() == 0)
        return 0;
    TQ2DFoundFile file;
    if ((m_pEntry = TQ2DFindCached<TQ2DGlobalSound>(name, key, "sound", &file)) != nullptr) {
        m_dwEffect = m_pEntry->m_dwHandle;
        return static_cast<int>(m_dwEffect);
    }
    if (file.identity.empty())
        return 0;
    const TQString identity(file.identity.c_str());
    TQString bytes;
    DWORD effect = 0;
    if (!TQ2DReadFound(name, file, "sound", &bytes))
        return 0;
    if (bytes.GetBufferLength() > 0 && // an empty stored file is a failed load, not a name
        !(effect = g_pTQ2DDevice->Effect_Load(bytes.GetBuffer(), bytes.GetBufferLength())))
        TQ2DLogUnreadableSound("TQ2DSound::Create", "sound", name, 0);
    if (!effect)
        return 0;
    if (!(m_pEntry = TQ2DGlobalSound::Add(identity, effect))) {
        g_pTQ2DDevice->Effect_Free(effect);
        return 0;
    }
    m_dwEffect = effect;
    return 1;
}

void TQ2DSound::Delete() {
    Stop();
    TQ2DGlobalSound::Release(m_pEntry);
    m_pEntry = nullptr;
    m_dwEffect = 0;
}

void TQ2DSound::Play() {
    if (!TQ2DGlobalSound::IsLive(m_pEntry, m_dwEffect) || g_bSoundMute)
        return;
    Stop();
    SetPlaying(g_pTQ2DDevice->Effect_PlayEx(m_dwEffect, m_nVolume, m_nPanning, m_fPitch, m_bLoop));
}
