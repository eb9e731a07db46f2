// The IMM32 entry points and the "imm32.dll" built-in module that exports four of them by name.
// They share this source file so that linking any of them brings the registration in.
#include "platform/imm32/tqimm32.h"

#include "platform/codepage/tqcodepage.h"
#include "platform/imm32/tqimmcontext.h"
#include "platform/win32/tqmodules.h"
#include "platform/win32/tqplatformlog.h"
#include "platform/win32/tquser32.h"
#include "platform/win32/video/tqvideo.h"

#include <cstring>
#include <mutex>

using namespace tqplat;

namespace {

std::mutex& ImmLock() {
    static std::mutex lock;
    return lock;
}

bool IsContext(HIMC hIMC) {
    return hIMC != nullptr && hIMC == ImmContext::Instance().Handle();
}

// Function pointers pass through void (*)() so that no signature mismatch is implied.
template <typename Function> FARPROC AsProc(Function* function) {
    return reinterpret_cast<FARPROC>(reinterpret_cast<void (*)()>(function));
}

FARPROC LookupImmProc(const char* name) {
    struct Export {
        const char* name;
        FARPROC proc;
    };
    static const Export exports[] = {
        {"ImmLockIMC", AsProc(&ImmLockIMC)},
        {"ImmUnlockIMC", AsProc(&ImmUnlockIMC)},
        {"ImmLockIMCC", AsProc(&ImmLockIMCC)},
        {"ImmUnlockIMCC", AsProc(&ImmUnlockIMCC)},
    };
    for (const Export& entry : exports)
        if (name != nullptr && std::strcmp(name, entry.name) == 0)
            return entry.proc;
    return nullptr;
}

// Registered ahead of ordinary static objects: the engine's own static IME object loads
// "imm32.dll" from its constructor, before the objects of this library would otherwise be built.
struct ImmModuleRegistration {
    ImmModuleRegistration() { RegisterBuiltinModule("imm32.dll", LookupImmProc); }
};
ImmModuleRegistration g_immModule __attribute__((init_priority(101)));

} // namespace

HIMC ImmGetContext(HWND hWnd) {
    if (!IsWindow(hWnd) || !VideoTextInputOn(hWnd))
        return nullptr;
    std::lock_guard<std::mutex> guard(ImmLock());
    ImmContext::Instance().Attach(hWnd);
    return ImmContext::Instance().Handle();
}

BOOL ImmAssociateContextEx(HWND hWnd, HIMC hIMC, DWORD dwFlags) {
    if (!IsWindow(hWnd) || (hIMC != nullptr && !IsContext(hIMC))) {
        PlatformLog("ImmAssociateContextEx: invalid call (window %p, context %p)", static_cast<void*>(hWnd),
                    static_cast<void*>(hIMC));
        return FALSE;
    }
    VideoSetTextInput(hWnd, (dwFlags & IACE_DEFAULT) != 0 || hIMC != nullptr);
    return TRUE;
}

BOOL ImmSetCandidateWindow(HIMC hIMC, CANDIDATEFORM* lpCandidate) {
    std::lock_guard<std::mutex> guard(ImmLock());
    if (!IsContext(hIMC) || lpCandidate == nullptr || lpCandidate->dwIndex > 3)
        return FALSE;
    ImmContext& context = ImmContext::Instance();
    context.SetCandidateForm(*lpCandidate);
    const POINT& at = lpCandidate->ptCurrentPos;
    RECT area = (lpCandidate->dwStyle & CFS_EXCLUDE) != 0 ? lpCandidate->rcArea : RECT{at.x, at.y, at.x, at.y};
    VideoSetTextInputArea(context.Window(), area);
    return TRUE;
}

BOOL ImmReleaseContext(HWND, HIMC hIMC) {
    std::lock_guard<std::mutex> guard(ImmLock());
    return IsContext(hIMC) ? TRUE : FALSE;
}

LONG ImmGetCompositionStringA(HIMC hIMC, DWORD dwIndex, LPVOID lpBuf, DWORD dwBufLen) {
    std::lock_guard<std::mutex> guard(ImmLock());
    if (!IsContext(hIMC) || dwIndex != GCS_COMPSTR || (lpBuf == nullptr && dwBufLen != 0)) {
        PlatformLog("ImmGetCompositionStringA: invalid call (context %p, index 0x%x)",
                    static_cast<void*>(hIMC), dwIndex);
        return IMM_ERROR_GENERAL;
    }
    std::string text = VideoCompositionText();
    if (dwBufLen == 0)
        return static_cast<LONG>(text.size());
    size_t length = GbkWholeCharsPrefix(text.data(), text.size(), dwBufLen);
    std::memcpy(lpBuf, text.data(), length);
    return static_cast<LONG>(length);
}

LPINPUTCONTEXT ImmLockIMC(HIMC hIMC) {
    std::lock_guard<std::mutex> guard(ImmLock());
    return IsContext(hIMC) ? ImmContext::Instance().Lock() : nullptr;
}

BOOL ImmUnlockIMC(HIMC hIMC) {
    std::lock_guard<std::mutex> guard(ImmLock());
    return IsContext(hIMC) && ImmContext::Instance().Unlock() > 0 ? TRUE : FALSE;
}

LPVOID ImmLockIMCC(HIMCC hIMCC) {
    std::lock_guard<std::mutex> guard(ImmLock());
    ImmContext& context = ImmContext::Instance();
    return hIMCC != nullptr && hIMCC == context.CompositionHandle() ? context.LockComposition() : nullptr;
}

BOOL ImmUnlockIMCC(HIMCC hIMCC) {
    std::lock_guard<std::mutex> guard(ImmLock());
    ImmContext& context = ImmContext::Instance();
    return hIMCC != nullptr && hIMCC == context.CompositionHandle() && context.UnlockComposition() > 0
               ? TRUE
               : FALSE;
}
