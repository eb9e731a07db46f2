/// @class TQ2DImm
/// TQ2DImm: binds the input-context functions of "imm32.dll" at run time. The library keeps one
/// default instance (TQ2DGetDefaultImm) for the whole time it is loaded.
#pragma once

#include "platform/imm32/tqimm32.h"

class TQ2DImm {
public:
    /// Loads "imm32.dll" (then from the system folder) and binds its functions; logs when neither
    /// loads.
    TQ2DImm();
    /// Copies take a library reference of their own.
    TQ2DImm(const TQ2DImm& other);
    /// Takes other's library with a reference of its own, giving back the present one.
    TQ2DImm& operator=(const TQ2DImm& other);
    virtual ~TQ2DImm();

    /// Each calls the bound function; 0 (NULL) when it is not bound.
    INPUTCONTEXT* LockIMC(HIMC context);
    /// Calls ImmUnlockIMC; 0 when not bound.
    int UnlockIMC(HIMC context);
    /// Calls ImmLockIMCC; NULL when not bound.
    void* LockIMCC(HIMCC component);
    /// Calls ImmUnlockIMCC; 0 when not bound.
    int UnlockIMCC(HIMCC component);

    /// True when the library is loaded.
    bool IsLoaded() const { return m_hModule != nullptr; }

protected:
    /// Loads the library and binds its functions.
    void OpenImm();
    /// Unbinds the functions and gives back the library.
    void CloseImm();

private:
    typedef INPUTCONTEXT* (*LockIMCProc)(HIMC);
    typedef BOOL (*UnlockIMCProc)(HIMC);
    typedef void* (*LockIMCCProc)(HIMCC);
    typedef BOOL (*UnlockIMCCProc)(HIMCC);

    void Bind();

    HMODULE m_hModule = nullptr;
    LockIMCProc m_pfnLockIMC = nullptr;
    UnlockIMCProc m_pfnUnlockIMC = nullptr;
    LockIMCCProc m_pfnLockIMCC = nullptr;
    UnlockIMCCProc m_pfnUnlockIMCC = nullptr;
};
