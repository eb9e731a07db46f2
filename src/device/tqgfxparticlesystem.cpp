#include "device/tqgfxparticlesystem.h"

#include "base/tqlog.h"
#include "device/tqgfxsprite.h"

#include <algorithm>
#include <cmath>

namespace {

// A quarter turn in single precision: direction 0 points up the screen.
const float kHalfPi = 1.5707963705062866f;

// (end - start) / time, or 0 for a particle that dies at its next step anyway.
float PerSecond(float change, float time) {
    return time > 0.0f ? change / time : 0.0f;
}

// The scale a particle of the given size is drawn at with the sprite: at most kMaxDrawnSize pixels
// wide and high, the sign (a flip) kept.
float DrawnScale(float size, const TQGfxSprite& sprite) {
    const float extent = std::max(std::fabs(sprite.GetWidth()), std::fabs(sprite.GetHeight()));
    if (!(extent > 0.0f))
        return size;
    const float largest = TQGfxParticleSystem::kMaxDrawnSize / extent;
    return std::fabs(size) > largest ? std::copysign(largest, size) : size;
}

void LogSystemError(int line, const char* format, const char* name) {
    g_tqLogError.SetLogInfo(__FILE__, "TQGfxParticleSystem::TQGfxParticleSystem", line);
    g_tqLogError.Log(format, name);
}

} // namespace

TQGfxParticleSystem::TQGfxParticleSystem(const TQGfxParticleSystemInfo* description, float fps)
    : info(description ? *description : TQGfxParticleSystemInfo()),
      m_pDevice(TQGfxCreate(TQGfxDevice::kVersion)), m_particles() {
    InitState(fps);
}

TQGfxParticleSystem::TQGfxParticleSystem(const char* fileName, TQGfxSprite* sprite, float fps)
    : m_pDevice(TQGfxCreate(TQGfxDevice::kVersion)), m_particles() {
    TQ2D_PARTICLE_INFO_tag record;
    DWORD size = 0;
    void* data = fileName && m_pDevice ? m_pDevice->Resource_Load(fileName, &size) : nullptr;
    TQ2DParticleRecordRead(data, data ? size : 0, &record);
    if (!data)
        LogSystemError(__LINE__, TQLOG_ERROR_PREFIX "Particle file load fail. [file=%s]",
                       fileName ? fileName : "");
    else if (size < kTQ2DParticleRecordSize)
        LogSystemError(__LINE__, TQLOG_ERROR_PREFIX "Particle file too short. [file=%s]", fileName);
    if (data)
        m_pDevice->Resource_Free(data);
    info = TQGfxParticleSystemInfo(record, sprite);
    InitState(fps);
}

TQGfxParticleSystem::TQGfxParticleSystem(const TQGfxParticleSystem& other)
    : info(other.info), m_pDevice(TQGfxCreate(TQGfxDevice::kVersion)) {
    CopyStateFrom(other);
}

// Copies the description and the state; each system keeps its own device reference.
TQGfxParticleSystem& TQGfxParticleSystem::operator=(const TQGfxParticleSystem& other) {
    info = other.info;
    CopyStateFrom(other);
    return *this;
}

TQGfxParticleSystem::~TQGfxParticleSystem() {
    if (m_pDevice)
        m_pDevice->Release();
}

void TQGfxParticleSystem::InitState(float fps) {
    m_fUpdateStep = fps > 0.0f ? 1.0f / fps : 0.0f;
    m_fUpdateAccumulator = 0.0f;
    m_fAge = kStopped;
    m_fEmissionResidue = 0.0f;
    m_vecPrevLocation = TQGfxVector();
    m_vecLocation = TQGfxVector();
    m_fTx = m_fTy = 0.0f;
    m_nParticlesAlive = 0;
    m_rectBoundingBox.Clear();
    m_bUpdateBoundingBox = false;
}

void TQGfxParticleSystem::CopyStateFrom(const TQGfxParticleSystem& other) {
    m_fUpdateStep = other.m_fUpdateStep;
    m_fUpdateAccumulator = other.m_fUpdateAccumulator;
    m_fAge = other.m_fAge;
    m_fEmissionResidue = other.m_fEmissionResidue;
    m_vecPrevLocation = other.m_vecPrevLocation;
    m_vecLocation = other.m_vecLocation;
    m_fTx = other.m_fTx;
    m_fTy = other.m_fTy;
    m_nParticlesAlive = other.m_nParticlesAlive;
    m_rectBoundingBox = other.m_rectBoundingBox;
    m_bUpdateBoundingBox = other.m_bUpdateBoundingBox;
    std::copy(other.m_particles, other.m_particles + kMaxParticles, m_particles);
}

float TQGfxParticleSystem::Random(float min, float max) {
    return m_pDevice ? m_pDevice->Random_Float(min, max) : min;
}

// Whole periods beyond the one step are dropped, so a system updated less often than its rate runs
// slower than real time.
void TQGfxParticleSystem::Update(float dt) {
    if (m_fUpdateStep == 0.0f) {
        Step(dt);
        return;
    }
    m_fUpdateAccumulator += dt;
    if (m_fUpdateAccumulator >= m_fUpdateStep) {
        Step(m_fUpdateStep);
        m_fUpdateAccumulator = std::fmod(m_fUpdateAccumulator, m_fUpdateStep);
    }
}

void TQGfxParticleSystem::Step(float d) {
    if (m_fAge >= 0.0f) {
        m_fAge += d;
        if (m_fAge >= info.fLifetime)
            m_fAge = kStopped;
    }
    if (m_bUpdateBoundingBox)
        m_rectBoundingBox.Clear();
    MoveParticles(d);
    if (m_fAge != kStopped)
        EmitParticles(d);
    m_vecPrevLocation = m_vecLocation;
}

// A dead particle is replaced by the last live one, which is examined next.
void TQGfxParticleSystem::MoveParticles(float d) {
    for (int i = 0; i < m_nParticlesAlive;) {
        TQGfxParticle& p = m_particles[i];
        p.fAge += d;
        if (p.fAge >= p.fTerminalAge) {
            --m_nParticlesAlive;
            p = m_particles[m_nParticlesAlive];
            continue;
        }
        TQGfxVector radial = p.vecLocation - m_vecLocation;
        radial.Normalize();
        TQGfxVector tangential(-radial.y, radial.x);
        radial *= p.fRadialAccel;
        tangential *= p.fTangentialAccel;
        p.vecVelocity += (radial + tangential) * d;
        p.vecVelocity.y += p.fGravity * d;
        p.vecLocation += p.vecVelocity;
        p.fSpin += p.fSpinDelta * d;
        p.fSize += p.fSizeDelta * d;
        p.colColor += p.colColorDelta * d;
        if (m_bUpdateBoundingBox)
            m_rectBoundingBox.AddPoint(p.vecLocation.x, p.vecLocation.y);
        ++i;
    }
}

// Births that do not fit in the particle array are skipped without raising the residue.
void TQGfxParticleSystem::EmitParticles(float d) {
    const float needed = info.nEmission * d + m_fEmissionResidue;
    const float whole = std::trunc(needed);
    m_fEmissionResidue = needed - whole;
    const int births =
        whole > 0.0f ? static_cast<int>(std::min(whole, static_cast<float>(kMaxParticles))) : 0;
    for (int i = 0; i < births && m_nParticlesAlive < kMaxParticles; ++i) {
        TQGfxParticle& p = m_particles[m_nParticlesAlive];
        BirthParticle(&p);
        if (m_bUpdateBoundingBox)
            m_rectBoundingBox.AddPoint(p.vecLocation.x, p.vecLocation.y);
        ++m_nParticlesAlive;
    }
}

// The random draws happen in exactly this order.
void TQGfxParticleSystem::BirthParticle(TQGfxParticle* p) {
    p->fAge = 0.0f;
    p->fTerminalAge = Random(info.fParticleLifeMin, info.fParticleLifeMax);

    p->vecLocation = m_vecPrevLocation + (m_vecLocation - m_vecPrevLocation) * Random(0.0f, 1.0f);
    p->vecLocation.x += Random(-2.0f, 2.0f);
    p->vecLocation.y += Random(-2.0f, 2.0f);

    float angle = info.fDirection - kHalfPi + Random(0.0f, info.fSpread) - info.fSpread / 2.0f;
    if (info.bRelative)
        angle += (m_vecPrevLocation - m_vecLocation).Angle() + kHalfPi;
    p->vecVelocity = TQGfxVector(std::cos(angle), std::sin(angle)) * Random(info.fSpeedMin, info.fSpeedMax);

    p->fGravity = Random(info.fGravityMin, info.fGravityMax);
    p->fRadialAccel = Random(info.fRadialAccelMin, info.fRadialAccelMax);
    p->fTangentialAccel = Random(info.fTangentialAccelMin, info.fTangentialAccelMax);

    const float life = p->fTerminalAge;
    p->fSize = Random(info.fSizeStart, info.fSizeStart + (info.fSizeEnd - info.fSizeStart) * info.fSizeVar);
    p->fSizeDelta = PerSecond(info.fSizeEnd - p->fSize, life);
    p->fSpin = Random(info.fSpinStart, info.fSpinStart + (info.fSpinEnd - info.fSpinStart) * info.fSpinVar);
    p->fSpinDelta = PerSecond(info.fSpinEnd - p->fSpin, life);

    const TQGfxColor& start = info.colColorStart;
    const TQGfxColor& end = info.colColorEnd;
    p->colColor.r = Random(start.r, start.r + (end.r - start.r) * info.fColorVar);
    p->colColor.g = Random(start.g, start.g + (end.g - start.g) * info.fColorVar);
    p->colColor.b = Random(start.b, start.b + (end.b - start.b) * info.fColorVar);
    p->colColor.a = Random(start.a, start.a + (end.a - start.a) * info.fAlphaVar);
    p->colColorDelta =
        TQGfxColor(PerSecond(end.r - p->colColor.r, life), PerSecond(end.g - p->colColor.g, life),
                   PerSecond(end.b - p->colColor.b, life), PerSecond(end.a - p->colColor.a, life));
}

// The sprite's own colour is put back after the particles are drawn.
void TQGfxParticleSystem::Render() {
    TQGfxSprite* sprite = info.sprite;
    if (!sprite)
        return;
    const DWORD saved = sprite->GetColor(0);
    for (int i = 0; i < m_nParticlesAlive; ++i) {
        const TQGfxParticle& p = m_particles[i];
        sprite->SetColor(p.colColor.GetARGB(), -1);
        sprite->RenderEx(p.vecLocation.x + m_fTx, p.vecLocation.y + m_fTy, p.fSpin * p.fAge,
                         DrawnScale(p.fSize, *sprite), 0.0f);
    }
    sprite->SetColor(saved, -1);
}

void TQGfxParticleSystem::Fire() {
    m_fAge = info.fLifetime == kContinuous ? kContinuous : 0.0f;
    m_fUpdateAccumulator = 0.0f;
}

void TQGfxParticleSystem::FireAt(float x, float y) {
    Stop(false);
    MoveTo(x, y, false);
    Fire();
}

void TQGfxParticleSystem::Stop(bool killParticles) {
    m_fAge = kStopped;
    if (killParticles) {
        m_nParticlesAlive = 0;
        m_rectBoundingBox.Clear();
    }
}

void TQGfxParticleSystem::MoveTo(float x, float y, bool moveParticles) {
    const TQGfxVector target(x, y);
    if (moveParticles) {
        const TQGfxVector offset = target - m_vecLocation;
        for (int i = 0; i < m_nParticlesAlive; ++i)
            m_particles[i].vecLocation += offset;
        m_vecPrevLocation += offset;
    } else {
        m_vecPrevLocation = m_fAge == kStopped ? target : m_vecLocation;
    }
    m_vecLocation = target;
}

void TQGfxParticleSystem::Transpose(float x, float y) {
    m_fTx = x;
    m_fTy = y;
}

void TQGfxParticleSystem::GetTransposition(float* x, float* y) const {
    if (x)
        *x = m_fTx;
    if (y)
        *y = m_fTy;
}

void TQGfxParticleSystem::GetPosition(float* x, float* y) const {
    if (x)
        *x = m_vecLocation.x;
    if (y)
        *y = m_vecLocation.y;
}

TQGfxRect* TQGfxParticleSystem::GetBoundingBox(TQGfxRect* rect) const {
    if (rect)
        *rect = m_rectBoundingBox;
    return rect;
}
