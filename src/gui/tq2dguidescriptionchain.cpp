#include "gui/tq2dguidescriptionchain.h"

#include <algorithm>
#include <vector>

#include "base/tqlog.h"
#include "engine/tq2dpack.h"

namespace {

const char kSourcePath[] = "lib/project/dozaz2i/source/tq2dguidescription";

std::vector<std::string> g_Reading; // normalised names, outermost first
int g_nControls = 0;
bool g_bControlsRefused = false;

void LogError(const char* reader, int line, const char* format, const char* value) {
    g_tqLogError.SetLogInfo(kSourcePath, reader, line);
    g_tqLogError.Log(format, value);
}

} // namespace

TQ2DGUIDescriptionChain::TQ2DGUIDescriptionChain(const char* name, const char* reader) : m_names(name) {
    const std::string key = TQ2DNormalizeResourceName(name).GetString();
    if (std::find(g_Reading.begin(), g_Reading.end(), key) != g_Reading.end()) {
        LogError(reader, __LINE__, TQLOG_ERROR_PREFIX "Description file already being read. [pData=%s]",
                 name);
        return;
    }
    if (g_Reading.empty()) {
        g_nControls = 0;
        g_bControlsRefused = false;
    }
    g_Reading.push_back(key);
    m_bEntered = true;
}

TQ2DGUIDescriptionChain::~TQ2DGUIDescriptionChain() {
    if (m_bEntered)
        g_Reading.pop_back();
}

int TQ2DGUIDescriptionChain::Depth() {
    return static_cast<int>(g_Reading.size());
}

bool TQ2DGUIDescriptionChain::TakeControl(const char* reader, const char* line) {
    if (g_nControls < kMaxControls) {
        ++g_nControls;
        return true;
    }
    if (!g_bControlsRefused)
        LogError(reader, __LINE__, TQLOG_ERROR_PREFIX "Too many controls in one description tree. [pData=%s]",
                 line);
    g_bControlsRefused = true;
    return false;
}
