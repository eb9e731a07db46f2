#include "engine/tq2dpacknamescope.h"

#include "engine/tq2dpack.h"

namespace {

bool g_bPackNames = false;

bool HeldByPack(const char* name) {
    TQString bytes;
    return TQ2DPackGetFile(TQ2DNormalizeResourceName(name), bytes) != 0;
}

} // namespace

TQ2DPackNameScope::TQ2DPackNameScope(const char* name) : m_bOuter(g_bPackNames) {
    g_bPackNames = m_bOuter || HeldByPack(name);
}

TQ2DPackNameScope::~TQ2DPackNameScope() {
    g_bPackNames = m_bOuter;
}

bool TQ2DPackNameScope::Active() {
    return g_bPackNames;
}
