#include "engine/tq2dmusic.h"

#include "base/tqlog.h"
#include "base/tqlogname.h"
#include "base/tqstring.h"
#include "engine/tq2dglobal.h"
#include "engine/tq2dfilelookup.h"
#include "engine/tq2dglobalmusic.h"
#include "engine/tq2dpack.h"

#include <cstring>
#include <new>

TQ_IMPLEMENT_MEMORY_POOL(TQ2DMusic)

TQ2DMusic::TQ2DMusic(const char* name, unsigned long size) {
    Create(name, size);
}

TQ2DMusic::TQ2DMusic(const TQ2DMusic& other)
    : TQ2DChannel(other), m_dwMusic(other.m_dwMusic), m_pEntry(other.m_pEntry) {
    TQ2DGlobalMusic::AddRef(m_pEntry);
}

TQ2DMusic& TQ2DMusic::operator=(const TQ2DMusic& other) {
    if (this == &other)
        return *this;
    TQ2DGlobalMusic::AddRef(other.m_pEntry);
    Delete();
    TQ2DChannel::operator=(other);
    m_dwMusic = other.m_dwMusic;
    m_pEntry = other.m_pEntry;
    return *this;
}

TQ2DMusic::~TQ2DMusic() {
    Delete();
}

int TQ2DMusic::Create(const char* name, unsigned long size) {
    if (!g_pTQ2DDevice || !name)
        return 0;
    Delete();
    if (!size)
        return LoadShared(name);
    const DWORD music = g_pTQ2DDevice->Stream_Load(name, static_cast<DWORD>(size));
    if (!music) {
        TQ2DLogUnreadableSound("TQ2DMusic::Create", "music", nullptr, size);
        return 0;
    }
    if (!(m_pEntry = TQ2DGlobalMusic::AddPrivate(music))) {
        g_pTQ2DDevice->Stream_Free(music);
        return 0;
    }
    m_dwMusic = music;
    return static_cast<int>(m_dwMusic);
}

DWORD TQ2DMusic::LoadFromImage(const char* name, TQString& bytes, char** image) {
    const DWORD length = bytes.GetBufferLength();
    if (length == 0) // an empty stored file is a failed load, not a name
        return 0;
    *image = new (std::nothrow) char[length];
    if (!*image) {
        // The failed allocation itself, then what it was for.
        g_tqLogError.SetLogInfo("lib/project/dozaz2i/source/tq2dmusic", "TQ2DMusic::Create", __LINE__);
        g_tqLogError.Log(TQLOG_ERROR_PREFIX);
        g_tqLogError.SetLogInfo("lib/project/dozaz2i/source/tq2dmusic", "TQ2DMusic::Create", __LINE__);
        g_tqLogError.Log(TQLOG_ERROR_PREFIX "Stream buffer create fail. [lpszMusicFile='%s', dwSize=%d",
                         TQLogShortName(name).c_str(), static_cast<int>(length));
        return 0;
    }
    std::memcpy(*image, bytes.GetBuffer(), length);
    const DWORD music = g_pTQ2DDevice->Stream_Load(*image, length);
    if (!music) {
        TQ2DLogUnreadableSound("TQ2DMusic::Create", "music", name, 0);
        delete[] * image;
        *image = nullptr;
    }
    return music;
}

int TQ2DMusic::LoadShared(const char* name) {
    if (!TQ2DNamesFile("music", name))
        return 0;
    const TQString key = TQ2DNormalizeResourceName(name);
    if (key.GetLength() == 0)
        return 0;
    TQ2DFoundFile file;
    if ((m_pEntry = TQ2DFindCached<TQ2DGlobalMusic>(name, key, "music", &file)) != nullptr) {
        m_dwMusic = m_pEntry->m_dwHandle;
        return static_cast<int>(m_dwMusic);
    }
    if (file.identity.empty())
        return 0;
    const TQString identity(file.identity.c_str());
    TQString bytes;
    char* image = nullptr;
    const DWORD music = TQ2DReadFound(name, file, "music", &bytes) ? LoadFromImage(name, bytes, &image) : 0;
    if (!music)
        return 0;
    if (!(m_pEntry = TQ2DGlobalMusic::Add(identity, music))) {
        g_pTQ2DDevice->Stream_Free(music);
        delete[] image;
        return 0;
    }
    delete[] m_pEntry->m_pImage; // a renewed entry's old image: its stream went with its engine
    m_pEntry->m_pImage = image;
    m_dwMusic = music;
    return 1;
}

void TQ2DMusic::Delete() {
    Stop();
    TQ2DGlobalMusic::Release(m_pEntry);
    m_pEntry = nullptr;
    m_dwMusic = 0;
}

void TQ2DMusic::Play() {
    if (!TQ2DGlobalMusic::IsLive(m_pEntry, m_dwMusic) || g_bSoundMute)
        return;
    Stop();
    SetPlaying(g_pTQ2DDevice->Stream_Play(m_dwMusic, m_bLoop));
    SetVolume(m_nVolume);
    SetPanning(m_nPanning);
    SetPitch(m_fPitch);
}
