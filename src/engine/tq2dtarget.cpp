#include "engine/tq2dtarget.h"

#include "containers/tqcompare.h"
#include "engine/tq2dglobal.h"

TQ_IMPLEMENT_MEMORY_POOL(TQ2DTarget)

TQ2DTarget::TQ2DTarget(unsigned long width, unsigned long height, bool zBuffer) {
    Create(width, height, zBuffer);
}

TQ2DTarget& TQ2DTarget::operator=(const TQ2DTarget& other) {
    if (this != &other)
        Delete();
    return *this;
}

TQ2DTarget::~TQ2DTarget() {
    Delete();
}

int TQ2DTarget::Create(unsigned long width, unsigned long height, bool zBuffer) {
    if (!g_pTQ2DDevice)
        return 0;
    Delete();
    m_dwTarget = g_pTQ2DDevice->Target_Create(static_cast<DWORD>(width), static_cast<DWORD>(height), zBuffer);
    m_dwSerial = g_dwTQ2DEngineSerial;
    return static_cast<int>(m_dwTarget);
}

DWORD TQ2DTarget::LiveTarget() const {
    return g_pTQ2DDevice && m_dwSerial == g_dwTQ2DEngineSerial ? m_dwTarget : 0;
}

void TQ2DTarget::Delete() {
    if (const DWORD target = LiveTarget())
        g_pTQ2DDevice->Target_Free(target);
    m_dwTarget = 0;
}

DWORD TQ2DTarget::GetTexture() const {
    const DWORD target = LiveTarget();
    return target ? g_pTQ2DDevice->Target_GetTexture(target) : 0;
}

DWORD TQ2DTarget::GetWidth(bool imageSize) const {
    const DWORD texture = GetTexture();
    return texture ? static_cast<DWORD>(g_pTQ2DDevice->Texture_GetWidth(texture, imageSize)) : 0;
}

DWORD TQ2DTarget::GetHeight(bool imageSize) const {
    const DWORD texture = GetTexture();
    return texture ? static_cast<DWORD>(g_pTQ2DDevice->Texture_GetHeight(texture, imageSize)) : 0;
}

int TQ2DTarget::operator-(TQ2DTarget& other) const {
    return TQCompare(static_cast<const void*>(this), static_cast<const void*>(&other));
}

int TQ2DTarget::operator-(void* other) const {
    return other ? TQCompare(static_cast<const void*>(this), static_cast<const void*>(other)) : -1;
}
