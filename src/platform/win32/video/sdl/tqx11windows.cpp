#include "platform/win32/video/sdl/tqx11windows.h"

#include <SDL_syswm.h>

#include <mutex>
#include <set>

#ifdef SDL_VIDEO_DRIVER_X11
#include <X11/XKBlib.h>
#include <X11/Xatom.h>
#include <X11/keysym.h>
#endif

namespace tqplat {

#ifdef SDL_VIDEO_DRIVER_X11
namespace {

struct X11Watch {
    std::mutex mutex;
    std::set<::Window> ours; // never shrinks: errors may come after a window is gone
    XErrorHandler previous = nullptr;
};

X11Watch& Watch() {
    static X11Watch watch;
    return watch;
}

bool IsOurs(XID resource) {
    std::lock_guard<std::mutex> lock(Watch().mutex);
    return Watch().ours.count(resource) != 0;
}

int OnXError(Display* display, XErrorEvent* error) {
    bool vanished = error->error_code == BadWindow || error->error_code == BadDrawable;
    if (vanished && IsOurs(error->resourceid))
        return 0;
    return Watch().previous != nullptr ? Watch().previous(display, error) : 0;
}

bool X11Info(SDL_Window* native, SDL_SysWMinfo* info) {
    SDL_VERSION(&info->version);
    return native != nullptr && SDL_GetWindowWMInfo(native, info) && info->subsystem == SDL_SYSWM_X11;
}

} // namespace

void WatchX11Windows() {
    static std::once_flag once;
    std::call_once(once, [] {
        if (SDL_strcmp(SDL_GetCurrentVideoDriver(), "x11") != 0)
            return;
        Watch().previous = XSetErrorHandler(OnXError);
        SDL_EventState(SDL_SYSWMEVENT, SDL_ENABLE);
    });
}

void RememberX11Window(SDL_Window* native) {
    SDL_SysWMinfo info;
    if (!X11Info(native, &info))
        return;
    std::lock_guard<std::mutex> lock(Watch().mutex);
    Watch().ours.insert(info.info.x11.window);
}

bool X11WindowDestroyed(const SDL_Event& event, SDL_Window* native) {
    SDL_SysWMinfo info;
    if (event.type != SDL_SYSWMEVENT || event.syswm.msg->subsystem != SDL_SYSWM_X11 ||
        !X11Info(native, &info))
        return false;
    const XEvent& x = event.syswm.msg->msg.x11.event;
    return x.type == DestroyNotify && x.xdestroywindow.window == info.info.x11.window;
}

bool X11WindowManagerRuns(SDL_Window* native) {
    SDL_SysWMinfo info;
    if (!X11Info(native, &info))
        return true;
    Display* display = info.info.x11.display;
    Atom check = XInternAtom(display, "_NET_SUPPORTING_WM_CHECK", True);
    if (check == None)
        return false;
    Atom type = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    bool runs = XGetWindowProperty(display, DefaultRootWindow(display), check, 0, 1, False, XA_WINDOW, &type,
                                   &format, &count, &after, &data) == Success &&
                count == 1;
    if (data != nullptr)
        XFree(data);
    return runs;
}

bool X11KeyPress(const SDL_Event& event, bool* altGr) {
    if (event.type != SDL_SYSWMEVENT || event.syswm.msg->subsystem != SDL_SYSWM_X11)
        return false;
    const XEvent& x = event.syswm.msg->msg.x11.event;
    if (x.type != KeyPress)
        return false;
    KeySym key = XkbKeycodeToKeysym(x.xkey.display, static_cast<KeyCode>(x.xkey.keycode),
                                    XkbGroupForCoreState(x.xkey.state), 0);
    *altGr = key == XK_ISO_Level3_Shift || key == XK_Mode_switch;
    return true;
}

#else

void WatchX11Windows() {}

void RememberX11Window(SDL_Window*) {}

bool X11WindowDestroyed(const SDL_Event&, SDL_Window*) {
    return false;
}

bool X11WindowManagerRuns(SDL_Window*) {
    return true;
}

bool X11KeyPress(const SDL_Event&, bool*) {
    return false;
}

#endif

} // namespace tqplat
