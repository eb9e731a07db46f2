#include "helpers/rstream.h"

RStream::RStream() : filename() {}

DWORD_PTR RStream::Get(TQGfxResourceManager*) {
    if (!handle)
        handle = CheckLoaded(m_pDevice->Stream_Load(filename, 0), filename);
    return handle;
}

void RStream::Free() {
    if (handle)
        m_pDevice->Stream_Free(static_cast<DWORD>(handle));
    handle = 0;
}
