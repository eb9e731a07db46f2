#include "helpers/rmusic.h"

RMusic::RMusic() : filename() {}

DWORD_PTR RMusic::Get(TQGfxResourceManager*) {
    if (!handle)
        handle = CheckLoaded(m_pDevice->Music_Load(filename, 0), filename);
    return handle;
}

void RMusic::Free() {
    if (handle)
        m_pDevice->Music_Free(static_cast<DWORD>(handle));
    handle = 0;
}
