#include "helpers/rtarget.h"

RTarget::RTarget() : width(256), height(256), zbuffer(false) {}

DWORD_PTR RTarget::Get(TQGfxResourceManager*) {
    // A negative size would turn into a huge unsigned one.
    if (!handle && width > 0 && height > 0)
        handle = m_pDevice->Target_Create(static_cast<DWORD>(width), static_cast<DWORD>(height), zbuffer);
    return handle;
}

void RTarget::Free() {
    if (handle)
        m_pDevice->Target_Free(static_cast<DWORD>(handle));
    handle = 0;
}
