#include "helpers/reffect.h"

REffect::REffect() : filename() {}

DWORD_PTR REffect::Get(TQGfxResourceManager*) {
    if (!handle)
        handle = CheckLoaded(m_pDevice->Effect_Load(filename, 0), filename);
    return handle;
}

void REffect::Free() {
    if (handle)
        m_pDevice->Effect_Free(static_cast<DWORD>(handle));
    handle = 0;
}
