#include "engine/tq2dparticlemanager.h"

#include "device/tqgfxparticlemanager.h"

#include <new>

TQ_IMPLEMENT_MEMORY_POOL(TQ2DParticleManager)

TQ2DParticleManager::TQ2DParticleManager(float fps) {
    Create(fps);
}

TQ2DParticleManager::~TQ2DParticleManager() {
    KillAll();
    Delete();
}

// The spawned particles borrowed the old systems, so they go with them.
int TQ2DParticleManager::Create(float fps) {
    Delete();
    m_pInner = new (std::nothrow) TQGfxParticleManager(fps);
    return m_pInner ? 1 : 0;
}

void TQ2DParticleManager::Delete() {
    m_Particles.RemoveAll(0);
    delete m_pInner;
    m_pInner = nullptr;
}

TQ2DParticle* TQ2DParticleManager::SpawnPTS(TQ2DParticle* tmpl, float x, float y) {
    if (!m_pInner || !tmpl || !tmpl->GetObjectA())
        return nullptr;
    TQ2DParticle* particle = new TQ2DParticle;
    if (!particle)
        return nullptr;
    const TQGfxParticleSystem* source = static_cast<const TQGfxParticleSystem*>(tmpl->GetObjectA());
    TQGfxParticleSystem* system = m_pInner->SpawnPTS(&source->info, x, y);
    if (!system) {
        delete particle;
        return nullptr;
    }
    particle->SetObject(system);
    if (!m_Particles.AddTail(particle, 1, 1)) {
        m_pInner->KillPTS(system);
        delete particle;
        return nullptr;
    }
    return particle;
}

// Removes every particle whose system the inner manager no longer holds.
void TQ2DParticleManager::Update(float dt) {
    if (!m_pInner)
        return;
    m_pInner->Update(dt);
    TQListElementTmpl<TQ2DParticle>* element = m_Particles.GetHeadPosition();
    while (element) {
        TQListElementTmpl<TQ2DParticle>* next = element->GetNext();
        const TQ2DParticle* particle = element->GetData();
        if (!m_pInner->IsPTSAlive(static_cast<const TQGfxParticleSystem*>(particle->GetObjectA())))
            m_Particles.DelList(element, 0);
        element = next;
    }
}

void TQ2DParticleManager::Render() {
    if (m_pInner)
        m_pInner->Render();
}

// The address is looked up among the live effects before the particle is touched.
bool TQ2DParticleManager::IsPTSAlive(TQ2DParticle* p) {
    if (!m_pInner || !p)
        return false;
    const TQ2DParticle* particle = m_Particles.FindData(p);
    return particle && particle->GetObjectA() &&
           m_pInner->IsPTSAlive(static_cast<const TQGfxParticleSystem*>(particle->GetObjectA()));
}

void TQ2DParticleManager::KillPTS(TQ2DParticle* p) {
    if (!m_pInner || !p)
        return;
    TQListElementTmpl<TQ2DParticle>* element = m_Particles.FindElement(p);
    if (!element)
        return;
    m_pInner->KillPTS(static_cast<const TQGfxParticleSystem*>(element->GetData()->GetObjectA()));
    m_Particles.DelList(element, 0);
}

void TQ2DParticleManager::KillAll() {
    if (!m_pInner)
        return;
    m_pInner->KillAll();
    m_Particles.RemoveAll(0);
}

void TQ2DParticleManager::Transpose(float x, float y) {
    if (m_pInner)
        m_pInner->Transpose(x, y);
}

void TQ2DParticleManager::GetTransposition(float* x, float* y) const {
    if (m_pInner && x && y)
        m_pInner->GetTransposition(x, y);
}

void* TQ2DParticleManager::GetObjectA() const {
    return m_pInner;
}
