#include "engine/tq2dfileconfig.h"

#include <cstdio>
#include <map>
#include <string>

#include "base/tqlog.h"
#include "base/tqlogname.h"
#include "engine/tq2dfilelookup.h"
#include "engine/tq2dpack.h"

namespace {

// Description files kept by name; nothing in the library adds to it, TQ2DDeleteCfg empties it.
std::map<std::string, TQ2DFileConfig*> g_mapConfig;

} // namespace

BOOL TQ2DFileConfig::LoadFileConfig(const char* name, unsigned long /*size*/, int flag) {
    const TQString normalized = TQ2DNormalizeResourceName(name);
    TQString packed;
    if (normalized.GetLength() > 0 && TQ2DPackGetFile(normalized, packed))
        return TQFileConfig::LoadFileConfig(packed.GetBuffer(), packed.GetBufferLength(),
                                            flag | TQFILECONFIG_FROM_MEMORY);
    std::string content;
    if (!TQ2DReadDescriptionFile(name, normalized, &content)) {
        g_tqLogDebug.SetLogInfo("lib/project/dozaz2i/source/tq2dfileconfig", "TQ2DFileConfig::LoadFileConfig",
                                __LINE__);
        g_tqLogDebug.Log(TQLOG_ERROR_PREFIX "File load fail. [lpszFileName='%s']",
                         TQLogShortName(normalized).c_str());
        return FALSE;
    }
    return TQFileConfig::LoadFileConfig(content.data(), static_cast<DWORD>(content.size()),
                                        flag | TQFILECONFIG_FROM_MEMORY);
}

void TQ2DDeleteCfg() {
    for (auto& entry : g_mapConfig)
        delete entry.second;
    g_mapConfig.clear();
}
