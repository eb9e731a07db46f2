#include "device/tqgfxparticlemanager.h"

#include <new>

TQGfxParticleManager::TQGfxParticleManager(float fps)
    : m_fFPS(fps), m_nPS(0), m_fTx(0.0f), m_fTy(0.0f), m_pSystems() {}

TQGfxParticleManager::~TQGfxParticleManager() {
    KillAll();
}

TQGfxParticleSystem* TQGfxParticleManager::SpawnPTS(const TQGfxParticleSystemInfo* info, float x, float y) {
    if (!info || m_nPS >= kMaxSystems)
        return nullptr;
    TQGfxParticleSystem* system = new (std::nothrow) TQGfxParticleSystem(info, m_fFPS);
    if (!system)
        return nullptr;
    system->FireAt(x, y);
    system->Transpose(m_fTx, m_fTy);
    m_pSystems[m_nPS++] = system;
    return system;
}

void TQGfxParticleManager::Update(float dt) {
    for (int i = 0; i < m_nPS;) {
        TQGfxParticleSystem* system = m_pSystems[i];
        system->Update(dt);
        if (system->GetAge() == TQGfxParticleSystem::kStopped && system->GetParticlesAlive() == 0)
            RemoveAt(i);
        else
            ++i;
    }
}

void TQGfxParticleManager::Render() {
    for (int i = 0; i < m_nPS; ++i)
        m_pSystems[i]->Render();
}

int TQGfxParticleManager::IndexOf(const TQGfxParticleSystem* system) const {
    for (int i = 0; i < m_nPS; ++i) {
        if (m_pSystems[i] == system)
            return i;
    }
    return -1;
}

bool TQGfxParticleManager::IsPTSAlive(const TQGfxParticleSystem* system) const {
    return IndexOf(system) >= 0;
}

void TQGfxParticleManager::RemoveAt(int index) {
    delete m_pSystems[index];
    --m_nPS;
    m_pSystems[index] = m_pSystems[m_nPS];
    m_pSystems[m_nPS] = nullptr;
}

void TQGfxParticleManager::KillPTS(const TQGfxParticleSystem* system) {
    const int index = IndexOf(system);
    if (index >= 0)
        RemoveAt(index);
}

void TQGfxParticleManager::KillAll() {
    for (int i = 0; i < m_nPS; ++i) {
        delete m_pSystems[i];
        m_pSystems[i] = nullptr;
    }
    m_nPS = 0;
}

void TQGfxParticleManager::Transpose(float x, float y) {
    for (int i = 0; i < m_nPS; ++i)
        m_pSystems[i]->Transpose(x, y);
    m_fTx = x;
    m_fTy = y;
}

void TQGfxParticleManager::GetTransposition(float* x, float* y) const {
    if (x)
        *x = m_fTx;
    if (y)
        *y = m_fTy;
}
