#include "gui/tq2dimm.h"

#include "base/tqlog.h"
#include "engine/tq2dapi.h"
#include "platform/win32/tqkernel32.h"

#include <cstring>

namespace {

const char kImmDll[] = "imm32.dll";
const char kSourcePath[] = "lib/project/dozaz2i/source/tq2dimm";

template <class Proc> Proc BindProc(HMODULE module, const char* name) {
    return reinterpret_cast<Proc>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
}

// "imm32.dll" from the system folder, NULL when that cannot be named or loaded.
HMODULE LoadFromSystemFolder() {
    char path[MAX_PATH];
    const UINT length = GetSystemDirectoryA(path, sizeof path);
    if (length == 0 || length + sizeof "\\imm32.dll" > sizeof path)
        return nullptr;
    std::strcat(path, "\\imm32.dll");
    return LoadLibraryA(path);
}

} // namespace

TQ2DImm::TQ2DImm() {
    OpenImm();
}

TQ2DImm::TQ2DImm(const TQ2DImm& other) {
    if (other.m_hModule)
        OpenImm();
}

TQ2DImm& TQ2DImm::operator=(const TQ2DImm& other) {
    if (this != &other) {
        CloseImm();
        if (other.m_hModule)
            OpenImm();
    }
    return *this;
}

TQ2DImm::~TQ2DImm() {
    CloseImm();
}

void TQ2DImm::OpenImm() {
    CloseImm();
    m_hModule = LoadLibraryA(kImmDll);
    if (!m_hModule)
        m_hModule = LoadFromSystemFolder();
    if (m_hModule) {
        Bind();
        return;
    }
    g_tqLogError.SetLogInfo(kSourcePath, "TQ2DImm::OpenImm", __LINE__);
    g_tqLogError.Log(TQLOG_ERROR_PREFIX "IMM dll load fail. [dll=%s]", kImmDll);
}

void TQ2DImm::Bind() {
    m_pfnLockIMC = BindProc<LockIMCProc>(m_hModule, "ImmLockIMC");
    m_pfnUnlockIMC = BindProc<UnlockIMCProc>(m_hModule, "ImmUnlockIMC");
    m_pfnLockIMCC = BindProc<LockIMCCProc>(m_hModule, "ImmLockIMCC");
    m_pfnUnlockIMCC = BindProc<UnlockIMCCProc>(m_hModule, "ImmUnlockIMCC");
}

void TQ2DImm::CloseImm() {
    if (m_hModule)
        FreeLibrary(m_hModule);
    m_hModule = nullptr;
    m_pfnLockIMC = nullptr;
    m_pfnUnlockIMC = nullptr;
    m_pfnLockIMCC = nullptr;
    m_pfnUnlockIMCC = nullptr;
}

INPUTCONTEXT* TQ2DImm::LockIMC(HIMC context) {
    return m_pfnLockIMC ? m_pfnLockIMC(context) : nullptr;
}

int TQ2DImm::UnlockIMC(HIMC context) {
    return m_pfnUnlockIMC ? m_pfnUnlockIMC(context) : 0;
}

void* TQ2DImm::LockIMCC(HIMCC component) {
    return m_pfnLockIMCC ? m_pfnLockIMCC(component) : nullptr;
}

int TQ2DImm::UnlockIMCC(HIMCC component) {
    return m_pfnUnlockIMCC ? m_pfnUnlockIMCC(component) : 0;
}

TQ2DImm& TQ2DGetDefaultImm() {
    // Built on first use, once the platform's built-in modules have registered themselves.
    static TQ2DImm imm;
    return imm;
}
