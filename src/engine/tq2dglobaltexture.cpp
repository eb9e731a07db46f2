#include "engine/tq2dglobaltexture.h"

#include "base/tqlog.h"
#include "engine/tq2dglobal.h"

TQ_IMPLEMENT_MEMORY_POOL(TQ2DGlobalTexture)

TQ2DGlobalTexture::~TQ2DGlobalTexture() {
    if (m_nRef != 0) {
        g_tqLogError.SetLogInfo("lib/project/dozaz2i/source/tq2dtexture",
                                "TQ2DGlobalTexture::~TQ2DGlobalTexture", __LINE__);
        g_tqLogError.Log(TQLOG_ERROR_PREFIX "Invalid Texture reference count. [m_nRef=%d]", m_nRef);
    }
    if (HoldsLiveHandle())
        g_pTQ2DDevice->Texture_Free(m_dwHandle);
}
