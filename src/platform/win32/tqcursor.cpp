// Cursors, icons and stock objects.
#include "platform/win32/tqcursorstate.h"

#include "platform/win32/tquser32.h"
#include "platform/win32/video/tqvideodriver.h"

#include <map>
#include <memory>

namespace tqplat {
namespace {

// Icons and cursors live as long as the program, as shared resources do on the platform.
struct Resource {
    std::string name; // "#<id>" for numeric resources
    bool system;
};

std::string ResourceName(LPCSTR name) {
    if (IS_INTRESOURCE(name))
        return "#" + std::to_string(reinterpret_cast<uintptr_t>(name));
    return name;
}

void* LoadResource(HINSTANCE instance, LPCSTR name) {
    static std::mutex mutex;
    static std::map<std::pair<HINSTANCE, std::string>, std::unique_ptr<Resource>> resources;
    if (name == nullptr)
        return nullptr;
    std::string key = ResourceName(name);
    std::lock_guard<std::mutex> lock(mutex);
    std::unique_ptr<Resource>& resource = resources[{instance, key}];
    if (!resource)
        resource.reset(new Resource{key, instance == nullptr || IS_INTRESOURCE(name)});
    return resource.get();
}

} // namespace

bool IconFileName(HICON icon, std::string* gbkName) {
    const Resource* resource = reinterpret_cast<const Resource*>(icon);
    if (resource == nullptr || resource->system)
        return false;
    *gbkName = resource->name + ".bmp";
    return true;
}

} // namespace tqplat

HICON LoadIconA(HINSTANCE instance, LPCSTR name) {
    return static_cast<HICON>(tqplat::LoadResource(instance, name));
}

HCURSOR LoadCursorA(HINSTANCE instance, LPCSTR name) {
    return static_cast<HCURSOR>(tqplat::LoadResource(instance, name));
}

HCURSOR SetCursor(HCURSOR cursor) {
    tqplat::CursorState& state = tqplat::CursorState::Instance();
    HCURSOR previous = state.Select(cursor);
    tqplat::ActiveVideoDriver().setCursorVisible(state.Visible());
    return previous;
}

int ShowCursor(BOOL show) {
    tqplat::CursorState& state = tqplat::CursorState::Instance();
    int count = state.ChangeCount(show ? 1 : -1);
    tqplat::ActiveVideoDriver().setCursorVisible(state.Visible());
    return count;
}

HGDIOBJ GetStockObject(int object) {
    // Stock objects are fixed handles; ids run from 0 to 19.
    static int stockObjects[20];
    return object >= 0 && object < 20 ? &stockObjects[object] : nullptr;
}
