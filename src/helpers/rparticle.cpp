#include "helpers/rparticle.h"

#include "device/tqgfxparticlesystem.h"
#include "helpers/tqgfxresourcemanager.h"

RParticle::RParticle() : filename(), sprite(), fps(50.0f) {}

DWORD_PTR RParticle::Get(TQGfxResourceManager* manager) {
    if (handle)
        return handle;
    TQGfxSprite* drawWith = manager->GetSprite(sprite);
    if (!drawWith)
        m_pDevice->System_Log("Particle system '%s': sprite '%s' is not defined.", name, sprite);
    handle = reinterpret_cast<DWORD_PTR>(new TQGfxParticleSystem(filename, drawWith, fps));
    return handle;
}

void RParticle::Free() {
    delete reinterpret_cast<TQGfxParticleSystem*>(handle);
    handle = 0;
}
