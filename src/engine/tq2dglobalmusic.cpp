#include "engine/tq2dglobalmusic.h"

#include "base/tqlog.h"
#include "engine/tq2dglobal.h"

TQ_IMPLEMENT_MEMORY_POOL(TQ2DGlobalMusic)

TQ2DGlobalMusic::~TQ2DGlobalMusic() {
    if (m_nRef != 0) {
        g_tqLogError.SetLogInfo("lib/project/dozaz2i/source/tq2dmusic", "TQ2DGlobalMusic::~TQ2DGlobalMusic",
                                __LINE__);
        g_tqLogError.Log(TQLOG_ERROR_PREFIX "Invalid Music reference count. [m_nRef=%d]", m_nRef);
    }
    if (HoldsLiveHandle())
        g_pTQ2DDevice->Stream_Free(m_dwHandle);
    delete[] m_pImage;
}
