#include "engine/tq2dparticle.h"

#include "base/tqlog.h"
#include "containers/tqcompare.h"
#include "device/tqgfxparticlesystem.h"
#include "engine/tq2dglobal.h"

#include <new>

TQ_IMPLEMENT_MEMORY_POOL(TQ2DParticle)

TQ2DParticle::TQ2DParticle() = default;

TQ2DParticle::TQ2DParticle(TQ2DSprite& sprite, TQ2D_PARTICLE_INFO_tag* info, float fps) {
    Create(sprite, info, fps);
}

TQ2DParticle::TQ2DParticle(const char* file, TQ2D_PARTICLE_INFO_tag* info, float fps, int frame, int blend,
                           float x, float y, float w, float h) {
    Create(file, info, fps, frame, blend, x, y, w, h);
}

TQ2DParticle::TQ2DParticle(const TQ2DParticle& other) {
    *this = other;
}

// An owned system is copied, and a copy that drew with the other's own sprite draws with this
// object's copy of it; a borrowed system is shared as borrowed.
TQ2DParticle& TQ2DParticle::operator=(const TQ2DParticle& other) {
    if (this == &other)
        return *this;
    DeleteSystem();
    m_sprite = other.m_sprite;
    m_sound = other.m_sound;
    if (!other.m_pSystem)
        return *this;
    if (other.m_bExternal) {
        SetObject(other.m_pSystem);
        return *this;
    }
    m_pSystem = new (std::nothrow) TQGfxParticleSystem(*other.m_pSystem);
    if (m_pSystem && m_pSystem->info.sprite == other.m_sprite.GetObjectA())
        m_pSystem->info.sprite = static_cast<TQGfxSprite*>(m_sprite.GetObjectA());
    return *this;
}

TQ2DParticle::~TQ2DParticle() {
    Delete();
}

void TQ2DParticle::DeleteSystem() {
    if (!m_bExternal)
        delete m_pSystem;
    m_pSystem = nullptr;
    m_bExternal = 0;
}

void TQ2DParticle::Delete() {
    DeleteSystem();
    m_sprite.Delete();
}

int TQ2DParticle::Create(TQ2DSprite& sprite, TQ2D_PARTICLE_INFO_tag* info, float fps) {
    if (!info)
        return 0;
    const float width = sprite.GetWidth();
    if (!(width > 0.0f)) {
        g_tqLogError.SetLogInfo("lib/project/dozaz2i/source/tq2dparticle", "TQ2DParticle::Create", __LINE__);
        g_tqLogError.Log(TQLOG_ERROR_PREFIX "Sprite has no width.");
        return 0;
    }
    DeleteSystem();
    info->fSizeStart = info->fSizeStart * 32.0f / width;
    info->fSizeEnd = info->fSizeEnd * 32.0f / width;
    const TQGfxParticleSystemInfo description(*info, static_cast<TQGfxSprite*>(sprite.GetObjectA()));
    m_pSystem = new (std::nothrow) TQGfxParticleSystem(&description, fps);
    return m_pSystem ? 1 : 0;
}

int TQ2DParticle::Create(const char* file, TQ2D_PARTICLE_INFO_tag* info, float fps, int frame, int blend,
                         float x, float y, float w, float h) {
    if (!file || !info || !g_pTQ2DDevice)
        return 0;
    // The sprite's helper is about to change; a system drawing with the old one must not outlive it.
    DeleteSystem();
    if (!m_sprite.Create(file, x, y, w, h))
        return 0;
    const float textureWidth =
        static_cast<float>(g_pTQ2DDevice->Texture_GetWidth(m_sprite.GetTexture(), true));
    const float fw = m_sprite.GetWidth();
    const float fh = m_sprite.GetHeight();
    // A frame wider than the texture still has one column, so frames stack in rows.
    int columns = fw > 0.0f ? static_cast<int>(textureWidth / fw) : 1;
    if (columns < 1)
        columns = 1;
    if (frame < 0)
        frame = 0;
    m_sprite.SetTextureRect(static_cast<float>(frame % columns) * fw,
                            static_cast<float>(frame / columns) * fh, fw, fh);
    m_sprite.SetHotSpot(fw / 2.0f, fh / 2.0f);
    m_sprite.SetBlendMode(blend);
    return Create(m_sprite, info, fps);
}

void TQ2DParticle::Update(float dt) {
    if (m_pSystem)
        m_pSystem->Update(dt);
}

void TQ2DParticle::Render() {
    if (m_pSystem)
        m_pSystem->Render();
}

void TQ2DParticle::Fire() {
    if (m_pSystem)
        m_pSystem->Fire();
}

void TQ2DParticle::FireAt(float x, float y) {
    if (m_pSystem)
        m_pSystem->FireAt(x, y);
}

void TQ2DParticle::Stop(bool killParticles) {
    if (m_pSystem)
        m_pSystem->Stop(killParticles);
}

void TQ2DParticle::MoveTo(float x, float y, bool moveParticles) {
    if (m_pSystem)
        m_pSystem->MoveTo(x, y, moveParticles);
}

void TQ2DParticle::Transpose(float x, float y) {
    if (m_pSystem)
        m_pSystem->Transpose(x, y);
}

void TQ2DParticle::GetTransposition(float* x, float* y) const {
    if (m_pSystem)
        m_pSystem->GetTransposition(x, y);
}

void TQ2DParticle::GetPosition(float* x, float* y) const {
    if (m_pSystem)
        m_pSystem->GetPosition(x, y);
}

float TQ2DParticle::GetAge() const {
    return m_pSystem ? m_pSystem->GetAge() : 0.0f;
}

int TQ2DParticle::GetParticlesAlive() const {
    return m_pSystem ? m_pSystem->GetParticlesAlive() : 0;
}

void TQ2DParticle::TrackBoundingBox(bool track) {
    if (m_pSystem)
        m_pSystem->TrackBoundingBox(track);
}

TQ2D_RECT_tag* TQ2DParticle::GetBoundingBox(TQ2D_RECT_tag* rect) const {
    if (!m_pSystem || !rect)
        return nullptr;
    TQGfxRect box;
    m_pSystem->GetBoundingBox(&box);
    *rect = {box.x1, box.y1, box.x2, box.y2};
    return rect;
}

void TQ2DParticle::Play() {
    m_sound.Play();
}

void* TQ2DParticle::GetObjectA() const {
    return m_pSystem;
}

void TQ2DParticle::SetObject(void* system) {
    if (!system || system == m_pSystem)
        return;
    DeleteSystem();
    m_pSystem = static_cast<TQGfxParticleSystem*>(system);
    m_bExternal = 1;
}

int TQ2DParticle::operator-(TQ2DParticle& other) const {
    return TQCompare(static_cast<const void*>(this), static_cast<const void*>(&other));
}

int TQ2DParticle::operator-(void* other) const {
    return other ? TQCompare(static_cast<const void*>(this), static_cast<const void*>(other)) : -1;
}
