#include "engine/tq2dmessagehook.h"

namespace {

TQ2DMessageFilter g_pfnMessageFilter = nullptr;

} // namespace

void TQ2DSetMessageFilter(TQ2DMessageFilter filter) {
    g_pfnMessageFilter = filter;
}

LRESULT TQ2DFilterMessage(HWND hwnd, UINT msg, WPARAM& wParam, LPARAM& lParam) {
    return g_pfnMessageFilter ? g_pfnMessageFilter(hwnd, msg, wParam, lParam) : 0;
}
