#include "platform/win32/tqcursorstate.h"

namespace tqplat {

CursorState& CursorState::Instance() {
    static CursorState state;
    return state;
}

POINT CursorState::Position() {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_position;
}

void CursorState::SetPosition(POINT screen) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_position = screen;
}

HCURSOR CursorState::Select(HCURSOR cursor) {
    std::lock_guard<std::mutex> lock(m_mutex);
    HCURSOR previous = m_cursor;
    m_cursor = cursor;
    m_selected = true;
    return previous;
}

int CursorState::ChangeCount(int delta) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_count += delta;
    return m_count;
}

bool CursorState::Visible() {
    std::lock_guard<std::mutex> lock(m_mutex);
    return (!m_selected || m_cursor != nullptr) && m_count >= 0;
}

} // namespace tqplat
