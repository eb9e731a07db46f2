#include "helpers/resdesc.h"

#include <cstring>

#include "base/tqlog.h"
#include "base/tqlogname.h"
#include "platform/win32/tqopenscope.h"

void TQGfxCopyResName(char* field, const char* text) {
    std::strncpy(field, text ? text : "", TQGFX_RES_NAME_SIZE - 1);
    field[TQGFX_RES_NAME_SIZE - 1] = '\0';
}

std::string TQGfxWhyNotRead(TQGfxDevice* device) {
    const tqplat::OpenScope* scope = tqplat::OpenScope::Current();
    return scope && !scope->Refused().empty() ? TQLogPackNameRefusal(scope->Refused())
                                              : device->Resource_LoadProblem();
}

ResDesc::ResDesc()
    : name(), resgroup(0), handle(0), next(nullptr), packnames(false),
      m_pDevice(TQGfxCreate(TQGfxDevice::kVersion)) {}

ResDesc::ResDesc(const ResDesc& other)
    : resgroup(other.resgroup), handle(other.handle), next(other.next), packnames(other.packnames),
      m_pDevice(TQGfxCreate(TQGfxDevice::kVersion)) {
    std::memcpy(name, other.name, sizeof(name));
}

ResDesc::~ResDesc() {
    if (m_pDevice)
        m_pDevice->Release();
}

void ResDesc::SetName(const char* text) {
    TQGfxCopyResName(name, text);
}

DWORD_PTR ResDesc::CheckLoaded(DWORD_PTR loaded, const char* filename) const {
    if (loaded)
        return loaded;
    const std::string why = TQGfxWhyNotRead(m_pDevice);
    g_tqLogError.SetLogInfo(__FILE__, "ResDesc::Get", __LINE__);
    if (!why.empty())
        g_tqLogError.Log(TQLOG_ERROR_PREFIX "Resource '%s': file '%s' not loaded: %s.", name,
                         TQLogShortName(filename).c_str(), why.c_str());
    else
        g_tqLogError.Log(TQLOG_ERROR_PREFIX "Resource '%s': file '%s' not loaded. [path=%s]", name,
                         TQLogShortName(filename).c_str(),
                         TQLogShortName(m_pDevice->Resource_MakePath(filename)).c_str());
    return loaded;
}
