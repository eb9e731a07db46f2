#include "platform/win32/video/sdl/tqx11windows.h"

#include <SDL_syswm.h>

#include <mutex>
#include <set>

#ifdef SDL_VIDEO_DRIVER_X11
#include <X11/XKBlib.h>
#include <X11/Xatom.h>
#include <X11/keysym.h>
#include <xkbcommon/xkbcommon.h>
#endif

namespace tqplat {

#ifdef SDL_VIDEO_DRIVER_X11
namespace {

struct X11Watch {
    std::mutex mutex;
    std::set<::Window> ours; // never shrinks: errors may come after a window is gone
    XErrorHandler previous = nullptr;
    // The display of our windows, and the keyboard group of its last key event.
    ::Display* display = nullptr;
    unsigned group = 0;
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
    if (Watch().display == nullptr) {
        Watch().display = info.info.x11.display;
        XkbStateRec state;
        if (XkbGetState(Watch().display, XkbUseCoreKbd, &state) == Success)
            Watch().group = state.group;
    }
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

namespace {

// Both key code sets of X servers (evdev and the older one) number the keys of the main block and
// the keypad as their set-1 scan code plus 8.
const unsigned kKeycodeOffset = 8;
const unsigned kLastMainScanCode = 0x58;

// The keys of a Japanese keyboard beyond them, as evdev numbers them: ro, yen, henkan, muhenkan,
// katakana/hiragana.
struct JapaneseKeycode {
    unsigned scanCode, keycode;
};
const JapaneseKeycode kJapaneseKeycodes[] = {{0x73, 97}, {0x7D, 132}, {0x79, 100}, {0x7B, 102}, {0x70, 101}};

unsigned ScanCodeOfKeycode(unsigned keycode) {
    unsigned scanCode = keycode - kKeycodeOffset;
    if (keycode > kKeycodeOffset && scanCode <= kLastMainScanCode)
        return scanCode;
    for (const JapaneseKeycode& entry : kJapaneseKeycodes) {
        if (entry.keycode == keycode)
            return entry.scanCode;
    }
    return 0;
}

// 0 for a scan code of no key told of.
unsigned KeycodeOfScanCode(unsigned scanCode) {
    if (scanCode != 0 && scanCode <= kLastMainScanCode)
        return scanCode + kKeycodeOffset;
    for (const JapaneseKeycode& entry : kJapaneseKeycodes) {
        if (entry.scanCode == scanCode)
            return entry.keycode;
    }
    return 0;
}

char32_t CharacterOf(KeySym symbol) {
    return symbol == NoSymbol ? 0 : xkb_keysym_to_utf32(static_cast<xkb_keysym_t>(symbol));
}

KeySym SymbolAt(::Display* display, KeyCode code, unsigned modifiers, unsigned group) {
    unsigned consumed = 0;
    KeySym symbol = NoSymbol;
    if (!XkbLookupKeySym(display, code, XkbBuildCoreState(modifiers, group), &consumed, &symbol))
        return NoSymbol;
    return symbol;
}

} // namespace

bool X11KeyEvent(const SDL_Event& event, NativeKey* key) {
    if (event.type != SDL_SYSWMEVENT || event.syswm.msg->subsystem != SDL_SYSWM_X11)
        return false;
    const XEvent& x = event.syswm.msg->msg.x11.event;
    if (x.type != KeyPress && x.type != KeyRelease)
        return false;
    unsigned group = XkbGroupForCoreState(x.xkey.state);
    KeySym symbol = XkbKeycodeToKeysym(x.xkey.display, static_cast<KeyCode>(x.xkey.keycode), group, 0);
    key->press = x.type == KeyPress;
    key->scanCode = ScanCodeOfKeycode(x.xkey.keycode);
    key->altGr = symbol == XK_ISO_Level3_Shift || symbol == XK_Mode_switch;
    std::lock_guard<std::mutex> lock(Watch().mutex);
    Watch().group = group;
    return true;
}

bool X11ButtonEvent(const SDL_Event& event, int* x, int* y) {
    if (event.type != SDL_SYSWMEVENT || event.syswm.msg->subsystem != SDL_SYSWM_X11)
        return false;
    const XEvent& native = event.syswm.msg->msg.x11.event;
    if (native.type != ButtonPress && native.type != ButtonRelease)
        return false;
    *x = native.xbutton.x;
    *y = native.xbutton.y;
    return true;
}

namespace {

// The pointer's place on the screen and in the X window behind `native`.
bool QueryPointer(SDL_Window* native, POINT* screen, POINT* inWindow) {
    SDL_SysWMinfo info;
    if (!X11Info(native, &info))
        return false;
    ::Window root = 0, child = 0;
    int rootX = 0, rootY = 0, windowX = 0, windowY = 0;
    unsigned buttons = 0;
    if (XQueryPointer(info.info.x11.display, info.info.x11.window, &root, &child, &rootX, &rootY, &windowX,
                      &windowY, &buttons) != True)
        return false;
    *screen = POINT{rootX, rootY};
    *inWindow = POINT{windowX, windowY};
    return true;
}

} // namespace

bool X11PointerInWindow(SDL_Window* native, int* x, int* y) {
    POINT screen, inWindow;
    if (!QueryPointer(native, &screen, &inWindow))
        return false;
    *x = inWindow.x;
    *y = inWindow.y;
    return true;
}

bool X11PointerOnScreen(SDL_Window* native, int* x, int* y) {
    POINT screen, inWindow;
    if (!QueryPointer(native, &screen, &inWindow))
        return false;
    *x = screen.x;
    *y = screen.y;
    return true;
}

bool X11KeyCharacters(unsigned scanCode, const KeyLevel& level, char32_t* plain, char32_t* typed) {
    ::Display* display = nullptr;
    unsigned group = 0;
    {
        std::lock_guard<std::mutex> lock(Watch().mutex);
        display = Watch().display;
        group = Watch().group;
    }
    KeyCode code = static_cast<KeyCode>(KeycodeOfScanCode(scanCode));
    if (display == nullptr || code == 0)
        return false;
    unsigned modifiers = (level.shift ? ShiftMask : 0) | (level.capsLock ? LockMask : 0) |
                         (level.numLock ? XkbKeysymToModifiers(display, XK_Num_Lock) : 0);
    // With AltGr a key types what the layout puts on its third level; a key that has none types its
    // own character, as the window system's typed text shows (AltGr+E on a British layout is "e").
    if (level.altGr)
        modifiers |= XkbKeysymToModifiers(display, XK_ISO_Level3_Shift);
    KeySym symbol = SymbolAt(display, code, modifiers, group);
    *plain = CharacterOf(SymbolAt(display, code, 0, group));
    *typed = CharacterOf(symbol);
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

bool X11KeyEvent(const SDL_Event&, NativeKey*) {
    return false;
}

bool X11ButtonEvent(const SDL_Event&, int*, int*) {
    return false;
}

bool X11PointerInWindow(SDL_Window*, int*, int*) {
    return false;
}

bool X11PointerOnScreen(SDL_Window*, int*, int*) {
    return false;
}

bool X11KeyCharacters(unsigned, const KeyLevel&, char32_t*, char32_t*) {
    return false;
}

#endif

} // namespace tqplat
