#include "helpers/rresource.h"

RResource::RResource() : filename() {}

DWORD_PTR RResource::Get(TQGfxResourceManager*) {
    if (!handle)
        handle =
            CheckLoaded(reinterpret_cast<DWORD_PTR>(m_pDevice->Resource_Load(filename, nullptr)), filename);
    return handle;
}

void RResource::Free() {
    if (handle)
        m_pDevice->Resource_Free(reinterpret_cast<void*>(handle));
    handle = 0;
}
