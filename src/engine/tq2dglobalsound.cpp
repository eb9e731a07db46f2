#include "engine/tq2dglobalsound.h"

#include "base/tqlog.h"
#include "engine/tq2dglobal.h"

TQ_IMPLEMENT_MEMORY_POOL(TQ2DGlobalSound)

TQ2DGlobalSound::~TQ2DGlobalSound() {
    if (m_nRef != 0) {
        g_tqLogError.SetLogInfo("lib/project/dozaz2i/source/tq2dsound", "TQ2DGlobalSound::~TQ2DGlobalSound",
                                __LINE__);
        g_tqLogError.Log(TQLOG_ERROR_PREFIX "Invalid Sound reference count. [m_nRef=%d]", m_nRef);
    }
    if (HoldsLiveHandle())
        g_pTQ2DDevice->Effect_Free(m_dwHandle);
}
