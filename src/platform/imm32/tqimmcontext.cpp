#include "platform/imm32/tqimmcontext.h"

#include "platform/win32/video/tqvideo.h"

#include <cstring>

namespace tqplat {

ImmContext& ImmContext::Instance() {
    static ImmContext context;
    return context;
}

ImmContext::ImmContext() : m_record() {
    m_record.fOpen = TRUE;
    m_record.hCompStr = CompositionHandle();
    RefreshComposition(std::string());
}

LPINPUTCONTEXT ImmContext::Lock() {
    if (m_compositionLocks == 0)
        RefreshComposition(VideoCompositionText());
    ++m_recordLocks;
    return &m_record;
}

int ImmContext::Unlock() {
    if (m_recordLocks > 0)
        --m_recordLocks;
    return m_recordLocks;
}

LPVOID ImmContext::LockComposition() {
    if (m_compositionLocks == 0)
        RefreshComposition(VideoCompositionText());
    ++m_compositionLocks;
    return m_composition.data();
}

int ImmContext::UnlockComposition() {
    if (m_compositionLocks > 0)
        --m_compositionLocks;
    return m_compositionLocks;
}

void ImmContext::RefreshComposition(const std::string& gbk) {
    COMPOSITIONSTRING header = {};
    size_t size = sizeof(header) + gbk.size() + 1;
    header.dwSize = static_cast<DWORD>(size);
    header.dwCompStrLen = static_cast<DWORD>(gbk.size());
    header.dwCompStrOffset = sizeof(header);
    header.dwCursorPos = header.dwCompStrLen;
    m_composition.assign((size + sizeof(DWORD) - 1) / sizeof(DWORD), 0);
    char* block = reinterpret_cast<char*>(m_composition.data());
    std::memcpy(block, &header, sizeof(header));
    std::memcpy(block + sizeof(header), gbk.data(), gbk.size());
}

} // namespace tqplat
