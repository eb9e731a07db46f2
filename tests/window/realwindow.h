// What the real-window tests need: a virtual X server of their own (with a window manager when
// TQ_WINDOW_TEST_WM names one), a program started on it whose stdout lines are read as they come,
// and a player's hands and eyes: synthetic pointer and keys (XTest), window geometry and screen grabs.
// Every wait polls a condition with a bound; nothing sleeps for a fixed time to let things happen.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <sys/types.h>
#include <vector>

struct _XDisplay;

namespace realwindow {

// A wait for something no window draws (a server or a program starting or ending) is bounded by
// time only, a generous one that guards against a hang.
const int kHangGuardMs = 60000;
// Polls `done` every few milliseconds until it holds or `timeoutMs` passes; its last answer.
bool WaitUntil(const std::function<bool()>& done, int timeoutMs = kHangGuardMs);

// A wait for the program under test is bounded by the frames its window shows (see
// Desktop::Watch), so that a loaded machine, which draws fewer frames a second, waits as many
// frames; and by the hang guard. The usual bound is many times what a reaction to input takes.
const int kPatientFrames = 300;
// Polls `done` until it holds, or `frames` frames of the watched window pass, or the hang guard's
// time; its last answer. With no window watched only the hang guard bounds it.
bool WaitFor(const std::function<bool()>& done, int frames = kPatientFrames);

class XServer {
public:
    // Starts Xvfb (1024 x 768) on a free display, then the window manager, if any.
    bool Start();
    void Stop();
    const std::string& Display() const { return m_display; }
    bool HasWindowManager() const { return m_wm > 0; }
    // Starts the window manager again when it has ended (one may crash on a loaded machine); false
    // when it cannot.
    bool KeepWindowManager();

private:
    bool StartOnce();
    bool StartWindowManager();

    std::string m_display;
    // Why the last attempt to start failed.
    std::string m_why;
    pid_t m_server = -1;
    pid_t m_wm = -1;
    int m_tries = 0;
};

class Program {
public:
    ~Program();
    // Runs `argv` with DISPLAY set and TQ_VIDEO=sdl; stdout is read line by line, stderr kept.
    bool Start(const std::vector<std::string>& argv, const std::string& display, const std::string& folder);
    // Waits for a stdout line starting with `prefix` after the last one matched; that whole line.
    std::string WaitLine(const std::string& prefix, int frames = kPatientFrames);
    // Every stdout line so far, and the stderr text.
    std::vector<std::string> Lines();
    std::string ErrorText() const;
    // Waits for the program to end; its exit code, or -1 when it did not end in time (it is killed).
    int WaitExit(int timeoutMs = kHangGuardMs);

private:
    void ReadAvailable(int timeoutMs);

    pid_t m_pid = -1;
    int m_out = -1;
    std::string m_pending;
    std::vector<std::string> m_lines;
    size_t m_next = 0;
    std::string m_errorFile;
};

// A player's input method: ibus with its pinyin engine on a D-Bus session of its own. Programs
// started while it runs use it (the environment names it to them).
class InputMethod {
public:
    enum class State { Running, NotInstalled, Failed };
    ~InputMethod();
    State Start(const std::string& display);
    void Stop();
    // Why it is not running.
    const std::string& Why() const { return m_why; }

private:
    void SetEnvironment(const char* name, const std::string& value);

    pid_t m_bus = -1;
    pid_t m_daemon = -1;
    std::string m_home;
    std::string m_why;
    // The environment's variables it set, with what they were (none: unset).
    std::map<std::string, std::optional<std::string>> m_saved;
};

struct Rect {
    int x = 0, y = 0, width = 0, height = 0;
    bool operator==(const Rect& o) const {
        return x == o.x && y == o.y && width == o.width && height == o.height;
    }
};

// An X window id.
using WindowId = unsigned long;

class Desktop {
public:
    explicit Desktop(const std::string& display);
    ~Desktop();
    bool Open() const { return m_display != nullptr; }

    // The client window titled `title` (waits for it to be mapped), 0 when none came. Its frames are
    // watched from then on.
    WindowId FindWindow(const std::string& title);
    // Counts the frames `window` shows from now on: each change of its contents the X server
    // reports (changes made faster than they are read count once, which only makes waits longer).
    void Watch(WindowId window);
    // The frames the watched window has shown so far.
    unsigned long Frames();
    // The window's client area on the screen (0 x 0 when it is gone).
    Rect Geometry(WindowId window);
    // The pixels (0xRRGGBB) of a screen rectangle.
    std::vector<uint32_t> Grab(const Rect& area);
    // One pixel (0xRRGGBB) of the screen.
    uint32_t Pixel(int x, int y);
    // The bounding box of the pixels of `color` within `area`, in screen coordinates.
    Rect FindColor(const Rect& area, uint32_t color);

    void MoveTo(int x, int y);
    // Where the pointer is on the screen (0 x 0).
    Rect Pointer();
    // Press and release with no wait between them.
    void Click(int button = 1);
    void Press(int button = 1);
    void Release(int button = 1);
    void TapKey(const char* keysym);
    // A key by its key code, held down or let go.
    void HoldKeyCode(unsigned keycode, bool down);
    // Sets the keyboard layout (setxkbmap's name of it); false when it cannot.
    bool SetKeyboardLayout(const std::string& layout);
    void Sync();

    // What others do to a window: a close request (as a window manager's close button sends),
    // a destroy, unmap and map, a resize, and giving the keyboard focus to another window.
    void RequestClose(WindowId window);
    void Destroy(WindowId window);
    void Unmap(WindowId window);
    void Map(WindowId window);
    void Resize(WindowId window, int width, int height);
    void FocusElsewhere();
    void Focus(WindowId window);

private:
    ::_XDisplay* m_display = nullptr;
    WindowId m_elsewhere = 0;
    WindowId m_watched = 0;
    unsigned long m_damage = 0;
    int m_damageEvents = -1;
    unsigned long m_frames = 0;
};

} // namespace realwindow
