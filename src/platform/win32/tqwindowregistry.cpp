#include "platform/win32/tqwindowregistry.h"

#include <strings.h>

#include <map>
#include <mutex>

namespace tqplat {

struct WindowRegistry::State {
    std::recursive_mutex mutex;
    std::vector<std::shared_ptr<WindowClass>> classes;
    std::map<uintptr_t, Window> windows;
    uintptr_t nextHandle = 0x10000;
    ATOM nextAtom = 0xC000;

    Window* Find(HWND window) {
        auto it = windows.find(reinterpret_cast<uintptr_t>(window));
        return it == windows.end() ? nullptr : &it->second;
    }
};

RECT FrameInsets(DWORD style) {
    LONG frame = 0;
    if (style & WS_THICKFRAME)
        frame = 4;
    else if (style & WS_DLGFRAME)
        frame = 3;
    else if (style & WS_BORDER)
        frame = 1;
    LONG caption = (style & WS_CAPTION) == WS_CAPTION ? 19 : 0;
    return RECT{frame, frame + caption, frame, frame};
}

WindowRegistry::WindowRegistry() : m_state(new State) {}

WindowRegistry& WindowRegistry::Instance() {
    static WindowRegistry registry;
    return registry;
}

ATOM WindowRegistry::AddClass(const WindowClass& windowClass) {
    std::lock_guard<std::recursive_mutex> lock(m_state->mutex);
    for (const auto& existing : m_state->classes) {
        if (strcasecmp(existing->name.c_str(), windowClass.name.c_str()) == 0)
            return 0;
    }
    m_state->classes.push_back(std::make_shared<WindowClass>(windowClass));
    return m_state->nextAtom++;
}

std::shared_ptr<WindowClass> WindowRegistry::FindClass(const char* name) {
    std::lock_guard<std::recursive_mutex> lock(m_state->mutex);
    for (const auto& existing : m_state->classes) {
        if (name != nullptr && strcasecmp(existing->name.c_str(), name) == 0)
            return existing;
    }
    return nullptr;
}

bool WindowRegistry::RemoveClass(const char* name) {
    std::lock_guard<std::recursive_mutex> lock(m_state->mutex);
    auto& classes = m_state->classes;
    for (auto it = classes.begin(); it != classes.end(); ++it) {
        if (name != nullptr && strcasecmp((*it)->name.c_str(), name) == 0) {
            classes.erase(it);
            return true;
        }
    }
    return false;
}

HWND WindowRegistry::Add(const Window& window) {
    std::lock_guard<std::recursive_mutex> lock(m_state->mutex);
    m_state->nextHandle += 0x10;
    HWND handle = reinterpret_cast<HWND>(m_state->nextHandle);
    Window& added = m_state->windows[m_state->nextHandle];
    added = window;
    added.handle = handle;
    return handle;
}

void WindowRegistry::Remove(HWND window) {
    std::lock_guard<std::recursive_mutex> lock(m_state->mutex);
    m_state->windows.erase(reinterpret_cast<uintptr_t>(window));
}

bool WindowRegistry::Exists(HWND window) {
    std::lock_guard<std::recursive_mutex> lock(m_state->mutex);
    return m_state->Find(window) != nullptr;
}

bool WindowRegistry::Snapshot(HWND window, Window* copy) {
    std::lock_guard<std::recursive_mutex> lock(m_state->mutex);
    Window* found = m_state->Find(window);
    if (found != nullptr)
        *copy = *found;
    return found != nullptr;
}

bool WindowRegistry::Update(HWND window, const std::function<void(Window&)>& change) {
    std::lock_guard<std::recursive_mutex> lock(m_state->mutex);
    Window* found = m_state->Find(window);
    if (found != nullptr)
        change(*found);
    return found != nullptr;
}

std::vector<HWND> WindowRegistry::Children(HWND window) {
    std::lock_guard<std::recursive_mutex> lock(m_state->mutex);
    std::vector<HWND> children;
    for (const auto& entry : m_state->windows) {
        if (entry.second.parent == window && window != nullptr)
            children.push_back(entry.second.handle);
    }
    return children;
}

HWND WindowRegistry::TopLevelOf(HWND window) {
    std::lock_guard<std::recursive_mutex> lock(m_state->mutex);
    Window* found = m_state->Find(window);
    while (found != nullptr && found->parent != nullptr) {
        Window* parent = m_state->Find(found->parent);
        if (parent == nullptr)
            break;
        found = parent;
    }
    return found == nullptr ? nullptr : found->handle;
}

POINT WindowRegistry::ClientOrigin(HWND window) {
    std::lock_guard<std::recursive_mutex> lock(m_state->mutex);
    POINT origin = {0, 0};
    for (Window* found = m_state->Find(window); found != nullptr; found = m_state->Find(found->parent)) {
        RECT insets = FrameInsets(found->style);
        origin.x += found->rect.left + insets.left;
        origin.y += found->rect.top + insets.top;
        if (found->parent == nullptr)
            break;
    }
    return origin;
}

SIZE WindowRegistry::ClientSize(HWND window) {
    std::lock_guard<std::recursive_mutex> lock(m_state->mutex);
    Window* found = m_state->Find(window);
    if (found == nullptr)
        return SIZE{0, 0};
    RECT insets = FrameInsets(found->style);
    LONG width = found->rect.right - found->rect.left - insets.left - insets.right;
    LONG height = found->rect.bottom - found->rect.top - insets.top - insets.bottom;
    return SIZE{width > 0 ? width : 0, height > 0 ? height : 0};
}

bool WindowRegistry::VisibleChain(HWND window) {
    std::lock_guard<std::recursive_mutex> lock(m_state->mutex);
    Window* found = m_state->Find(window);
    if (found == nullptr)
        return false;
    for (; found != nullptr; found = m_state->Find(found->parent)) {
        if (!IsShownStyle(found->style))
            return false;
        if (found->parent == nullptr)
            break;
    }
    return true;
}

HWND WindowRegistry::ChildAt(HWND topLevel, POINT clientPoint) {
    std::lock_guard<std::recursive_mutex> lock(m_state->mutex);
    HWND current = topLevel;
    POINT point = clientPoint;
    for (bool descended = true; descended;) {
        descended = false;
        for (const auto& entry : m_state->windows) {
            const Window& child = entry.second;
            if (child.parent != current || !IsShownStyle(child.style))
                continue;
            const RECT& r = child.rect;
            if (point.x >= r.left && point.x < r.right && point.y >= r.top && point.y < r.bottom) {
                RECT insets = FrameInsets(child.style);
                point.x -= r.left + insets.left;
                point.y -= r.top + insets.top;
                current = child.handle;
                descended = true;
                break;
            }
        }
    }
    return current;
}

} // namespace tqplat
