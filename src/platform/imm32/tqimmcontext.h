// The one input context: its INPUTCONTEXT record, the composition-string block behind hCompStr
// and the lock counts of both.
#pragma once

#include "platform/imm32/tqimm32.h"

#include <string>
#include <vector>

namespace tqplat {

class ImmContext {
public:
    static ImmContext& Instance();

    HIMC Handle() { return reinterpret_cast<HIMC>(&m_record); }
    HIMCC CompositionHandle() { return reinterpret_cast<HIMCC>(&m_composition); }

    void Attach(HWND window) { m_record.hWnd = window; }
    HWND Window() const { return m_record.hWnd; }
    void SetCandidateForm(const CANDIDATEFORM& form) { m_record.cfCandForm[form.dwIndex] = form; }
    LPINPUTCONTEXT Lock();
    // Returns the locks left (0 when it was not locked).
    int Unlock();
    // The COMPOSITIONSTRING block, refreshed from the current composition when not locked.
    LPVOID LockComposition();
    int UnlockComposition();

private:
    ImmContext();
    void RefreshComposition(const std::string& gbk);

    INPUTCONTEXT m_record;
    std::vector<DWORD> m_composition; // header and string, DWORD-aligned
    int m_recordLocks = 0;
    int m_compositionLocks = 0;
};

} // namespace tqplat
