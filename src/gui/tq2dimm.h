// TQ2DImm: binds the input-context functions of "imm32.dll" at run time. The library keeps one
// default instance (TQ2DGetDefaultImm) for the whole time it is loaded.
#pragma once

#include "platform/imm32/tqimm32.h"

class TQ2DImm {
public:
    // Loads "imm32.dll" (then from the system folder) and binds its functions; logs when neither
    // loads.
    TQ2DImm();
    // Copies take a library reference of their own.
    TQ2DImm(const TQ2DImm& other);
    TQ2DImm& operator=(const TQ2DImm& other);
    virtual ~TQ2DImm();

    // Each calls the bound function; 0 (NULL) when it is not bound.
    INPUTCONTEXT* LockIMC(HIMC context);
    int UnlockIMC(HIMC context);
    void* LockIMCC(HIMCC component);
    int UnlockIMCC(HIMCC component);

    // True when the library is loaded.
    bool IsLoaded() const { return m_hModule != nullptr; }

protected:
    void OpenImm();
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
