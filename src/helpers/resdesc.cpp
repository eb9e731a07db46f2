#include "helpers/resdesc.h"

#include <cstring>

#include "base/tqlog.h"

void TQGfxCopyResName(char* field, const char* text) {
    std::strncpy(field, text ? text : "", TQGFX_RES_NAME_SIZE - 1);
    field[TQGFX_RES_NAME_SIZE - 1] = '\0';
}

ResDesc::ResDesc()
    : name(), resgroup(0), handle(0), next(nullptr), m_pDevice(TQGfxCreate(TQGfxDevice::kVersion)) {}

ResDesc::ResDesc(const ResDesc& other)
    : resgroup(other.resgroup), handle(other.handle), next(other.next),
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
    if (!loaded) {
        g_tqLogError.SetLogInfo(__FILE__, "ResDesc::Get", __LINE__);
        g_tqLogError.Log(TQLOG_ERROR_PREFIX "Resource '%s': file '%s' not loaded. [path=%s]", name, filename,
                         m_pDevice->Resource_MakePath(filename));
    }
    return loaded;
}
