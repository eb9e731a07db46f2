#include "helpers/rtexture.h"

RTexture::RTexture() : filename() {}

DWORD_PTR RTexture::Get(TQGfxResourceManager*) {
    if (!handle)
        handle = CheckLoaded(m_pDevice->Texture_Load(filename, 0), filename);
    return handle;
}

void RTexture::Free() {
    if (handle)
        m_pDevice->Texture_Free(static_cast<DWORD>(handle));
    handle = 0;
}
