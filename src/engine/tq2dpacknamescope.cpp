#include "engine/tq2dpacknamescope.h"

#include "engine/tq2dpack.h"

namespace {

bool g_bPackNames = false;

} // namespace

TQ2DPackNameScope::TQ2DPackNameScope(const char* name) : m_bOuter(g_bPackNames) {
    g_bPackNames = m_bOuter || TQ2DPackHasFile(TQ2DNormalizeResourceName(name));
}

TQ2DPackNameScope::~TQ2DPackNameScope() {
    g_bPackNames = m_bOuter;
}

bool TQ2DPackNameScope::Active() {
    return g_bPackNames;
}
