#include "realwindow.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/extensions/Xdamage.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <poll.h>
#include <sstream>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace realwindow {
namespace {

const int kPollMs = 5;

// Runs argv in a child process (in `folder` when one is given) with stdout and stderr on the given
// descriptors; every other descriptor but those in `keep` is closed.
pid_t Spawn(const std::vector<std::string>& argv, int outFd, int errFd, const std::vector<int>& keep = {},
            const std::string& folder = std::string()) {
    pid_t pid = fork();
    if (pid != 0)
        return pid;
    if (!folder.empty() && chdir(folder.c_str()) != 0)
        _exit(127);
    if (outFd >= 0)
        dup2(outFd, 1);
    if (errFd >= 0)
        dup2(errFd, 2);
    for (int fd = 3; fd < 256; ++fd) {
        bool kept = false;
        for (int k : keep)
            kept = kept || k == fd;
        if (!kept)
            close(fd);
    }
    std::vector<char*> args;
    for (const std::string& arg : argv)
        args.push_back(const_cast<char*>(arg.c_str()));
    args.push_back(nullptr);
    execvp(args[0], args.data());
    _exit(127);
}

void Kill(pid_t* pid) {
    if (*pid <= 0)
        return;
    kill(*pid, SIGTERM);
    int status = 0;
    if (!WaitUntil([&] { return waitpid(*pid, &status, WNOHANG) != 0; }, 3000)) {
        kill(*pid, SIGKILL);
        waitpid(*pid, &status, 0);
    }
    *pid = -1;
}

// The window a window manager names on the root window as its own, 0 when none is named or it is
// gone (a window manager that ended leaves the root window's property behind).
Window CheckWindow(::Display* x, Window window) {
    Atom check = XInternAtom(x, "_NET_SUPPORTING_WM_CHECK", False);
    Atom type;
    int format;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    Window named = 0;
    if (XGetWindowProperty(x, window, check, 0, 1, False, XA_WINDOW, &type, &format, &count, &after, &data) ==
            Success &&
        count == 1)
        named = *reinterpret_cast<Window*>(data);
    if (data != nullptr)
        XFree(data);
    return named;
}

int IgnoreErrors(::Display*, XErrorEvent*) {
    return 0;
}

bool WindowManagerRunning(const std::string& display) {
    ::Display* x = XOpenDisplay(display.c_str());
    if (x == nullptr)
        return false;
    XSetErrorHandler(IgnoreErrors);
    Window named = CheckWindow(x, DefaultRootWindow(x));
    bool running = named != 0 && CheckWindow(x, named) == named;
    XCloseDisplay(x);
    return running;
}

std::string TitleOf(::Display* x, Window window) {
    char* name = nullptr;
    if (!XFetchName(x, window, &name) || name == nullptr)
        return std::string();
    std::string title(name);
    XFree(name);
    return title;
}

Window FindTitled(::Display* x, Window root, const std::string& title) {
    Window parent, *children = nullptr;
    unsigned count = 0;
    if (!XQueryTree(x, root, &root, &parent, &children, &count))
        return 0;
    Window found = 0;
    for (unsigned i = 0; i < count && found == 0; ++i) {
        XWindowAttributes attributes;
        if (TitleOf(x, children[i]) == title && XGetWindowAttributes(x, children[i], &attributes) &&
            attributes.map_state == IsViewable)
            found = children[i];
        else
            found = FindTitled(x, children[i], title);
    }
    if (children != nullptr)
        XFree(children);
    return found;
}

} // namespace

namespace {

// The desktop whose watched window's frames bound waits (the last to watch one).
Desktop* g_frameSource = nullptr;

} // namespace

bool WaitFor(const std::function<bool()>& done, int frames) {
    auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(kHangGuardMs);
    unsigned long start = g_frameSource != nullptr ? g_frameSource->Frames() : 0;
    while (!done()) {
        bool framesPassed =
            g_frameSource != nullptr && g_frameSource->Frames() - start >= static_cast<unsigned long>(frames);
        if (framesPassed || std::chrono::steady_clock::now() > end)
            return done();
        std::this_thread::sleep_for(std::chrono::milliseconds(kPollMs));
    }
    return true;
}

bool WaitUntil(const std::function<bool()>& done, int timeoutMs) {
    auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (!done()) {
        if (std::chrono::steady_clock::now() > end)
            return done();
        std::this_thread::sleep_for(std::chrono::milliseconds(kPollMs));
    }
    return true;
}

namespace {

// How a child process ended, from its wait status.
std::string StatusText(int status) {
    if (WIFEXITED(status))
        return "exited with status " + std::to_string(WEXITSTATUS(status));
    return "was killed by signal " + std::to_string(WTERMSIG(status));
}

// How a child process ended, when it has; empty while it runs.
std::string EndOf(pid_t pid, int* status) {
    return waitpid(pid, status, WNOHANG) == pid ? StatusText(*status) : std::string();
}

// The last lines a program wrote into its log file, on one line.
std::string LastWords(const std::string& file) {
    std::ifstream log(file);
    std::vector<std::string> lines;
    for (std::string line; std::getline(log, line);)
        if (!line.empty())
            lines.push_back(line);
    std::string words;
    for (size_t i = lines.size() > 3 ? lines.size() - 3 : 0; i < lines.size(); ++i)
        words += (words.empty() ? "" : " / ") + lines[i];
    return words.empty() ? "(it wrote nothing)" : words;
}

// A file for a program's messages, emptied.
int OpenLog(const std::string& file) {
    return open(file.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
}

// Why a program that was to come up did not: how it ended (or that it still ran) and its last words.
std::string WhyNot(const std::string& what, pid_t* pid, const std::string& log) {
    int status = 0;
    std::string end = *pid > 0 ? EndOf(*pid, &status) : "could not be started";
    if (end.empty())
        end = "did not come up in time";
    else
        *pid = -1;
    return what + " " + end + ": " + LastWords(log);
}

// Starts a program that reports on a descriptor when it is ready (`argvFor` names the descriptor in
// its arguments), its messages into `log`; the line it reports (empty when none came in 15 s).
std::string SpawnReporting(const std::function<std::vector<std::string>(const std::string& fd)>& argvFor,
                           pid_t* pid, const std::string& log) {
    int pipeFds[2];
    if (pipe(pipeFds) != 0)
        return std::string();
    int devNull = open("/dev/null", O_WRONLY);
    int messages = OpenLog(log);
    *pid = Spawn(argvFor(std::to_string(pipeFds[1])), devNull, messages, {pipeFds[1]});
    close(pipeFds[1]);
    close(devNull);
    close(messages);
    std::string reported;
    pollfd readable{pipeFds[0], POLLIN, 0};
    char c;
    while (poll(&readable, 1, 15000) > 0 && read(pipeFds[0], &c, 1) == 1 && c != '\n')
        reported += c;
    close(pipeFds[0]);
    return reported;
}

// Starts Xvfb on display `number`; the number it reports once ready (empty when it did not start;
// then `why` says why). The server keeps running as it is when its last client leaves: by default
// it would reset, and a window manager connecting during the reset (after a probe's connection
// closed) finds no server and ends.
std::string StartXvfb(int number, pid_t* server, const std::string& log, std::string* why) {
    std::string reported = SpawnReporting(
        [number](const std::string& fd) {
            return std::vector<std::string>{"Xvfb",        ":" + std::to_string(number),
                                            "-displayfd",  fd,
                                            "-screen",     "0",
                                            "1024x768x24", "-nolisten",
                                            "tcp",         "-noreset"};
        },
        server, log);
    if (reported.empty())
        *why = WhyNot("Xvfb :" + std::to_string(number), server, log);
    return reported;
}

bool CanOpen(const std::string& display) {
    ::Display* x = XOpenDisplay(display.c_str());
    if (x != nullptr)
        XCloseDisplay(x);
    return x != nullptr;
}

std::string LogFile(const char* program) {
    return "/tmp/tq-window-test-" + std::to_string(getpid()) + "-" + program + ".log";
}

// How long the start keeps trying: a loaded machine (two cores running the whole suite) may take
// many seconds before a server or a window manager comes up.
const auto kStartPatience = std::chrono::seconds(45);

} // namespace

bool XServer::Start() {
    // Once in a while a window manager cannot reach a server that has just started, or a loaded
    // machine has no display free for a moment: both start again, a little later each time. Each
    // failed attempt says why, in the server's or the window manager's own words.
    auto end = std::chrono::steady_clock::now() + kStartPatience;
    for (int attempt = 1;; ++attempt) {
        if (StartOnce())
            return true;
        printf("virtual X server, attempt %d: %s\n", attempt, m_why.c_str());
        fflush(stdout);
        Stop();
        if (std::chrono::steady_clock::now() > end)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(std::min(250 * attempt, 2000)));
    }
}

bool XServer::StartOnce() {
    // Display numbers away from the low ones other test runners pick, tried until one is free.
    std::string number;
    for (int attempt = 0; attempt < 20 && number.empty(); ++attempt) {
        int candidate = 100 + (getpid() * 7 + attempt * 13 + m_tries++ * 101) % 800;
        number = StartXvfb(candidate, &m_server, LogFile("xvfb"), &m_why);
        if (!number.empty() && !WaitUntil([&] { return CanOpen(":" + number); }, 5000)) {
            m_why = "Xvfb :" + number +
                    " reported its display, which cannot be opened: " + LastWords(LogFile("xvfb"));
            number.clear();
        }
        if (number.empty())
            Kill(&m_server);
    }
    if (number.empty())
        return false;
    m_display = ":" + number;
    // A window manager that ends at once (it found the new server not ready) gets more tries on it.
    for (int attempt = 0; attempt < 3; ++attempt) {
        if (StartWindowManager())
            return true;
        if (!CanOpen(m_display)) {
            m_why += "; then the server had gone: " + WhyNot("Xvfb " + m_display, &m_server, LogFile("xvfb"));
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(200 * (attempt + 1)));
    }
    return false;
}

bool XServer::StartWindowManager() {
    const char* wm = getenv("TQ_WINDOW_TEST_WM");
    if (wm == nullptr || *wm == '\0')
        return true;
    setenv("DISPLAY", m_display.c_str(), 1);
    int devNull = open("/dev/null", O_WRONLY);
    int messages = OpenLog(LogFile("wm"));
    m_wm = Spawn({wm}, devNull, messages);
    close(devNull);
    close(messages);
    int status = 0;
    bool exited = false;
    WaitUntil(
        [&] {
            exited = !WindowManagerRunning(m_display) && waitpid(m_wm, &status, WNOHANG) == m_wm;
            return exited || WindowManagerRunning(m_display);
        },
        30000);
    if (exited) {
        m_why =
            std::string(wm) + " on " + m_display + " " + StatusText(status) + ": " + LastWords(LogFile("wm"));
        m_wm = -1;
    } else if (!WindowManagerRunning(m_display)) {
        m_why = std::string(wm) + " on " + m_display +
                " did not take the screen in time: " + LastWords(LogFile("wm"));
        Kill(&m_wm);
    }
    return m_wm > 0;
}

bool XServer::KeepWindowManager() {
    int status = 0;
    if (m_wm <= 0 || waitpid(m_wm, &status, WNOHANG) == 0)
        return true;
    printf("the window manager had ended: it starts again\n");
    m_wm = -1;
    return StartWindowManager();
}

void XServer::Stop() {
    Kill(&m_wm);
    Kill(&m_server);
    unlink(LogFile("xvfb").c_str());
    unlink(LogFile("wm").c_str());
}

namespace {

const char kPinyinEngine[] = "/usr/libexec/ibus-engine-libpinyin";
const char kMemoryConfig[] = "/usr/libexec/ibus-memconf";

// What a command prints, trimmed of its line end.
std::string Output(const std::string& command) {
    std::string text;
    if (FILE* pipe = popen((command + " 2>/dev/null").c_str(), "r")) {
        char buffer[256];
        while (fgets(buffer, sizeof buffer, pipe))
            text += buffer;
        pclose(pipe);
    }
    while (!text.empty() && (text.back() == '\n' || text.back() == ' '))
        text.pop_back();
    return text;
}

// Starts a D-Bus session bus; its address (empty when it did not start).
std::string StartSessionBus(pid_t* bus, const std::string& log) {
    return SpawnReporting(
        [](const std::string& fd) {
            return std::vector<std::string>{"dbus-daemon", "--session", "--nofork", "--print-address=" + fd};
        },
        bus, log);
}

} // namespace

InputMethod::~InputMethod() {
    Stop();
}

InputMethod::State InputMethod::Start(const std::string& display) {
    if (access(kPinyinEngine, X_OK) != 0 || access(kMemoryConfig, X_OK) != 0 ||
        Output("command -v ibus").empty()) {
        m_why = "ibus with its pinyin engine is not installed";
        return State::NotInstalled;
    }
    char home[] = "/tmp/tq-input-method-XXXXXX";
    if (mkdtemp(home) == nullptr) {
        m_why = std::string("no folder: ") + strerror(errno);
        return State::Failed;
    }
    m_home = home;
    // Settings in memory and a home of its own: nothing is read from or left in the user's.
    SetEnvironment("XDG_CONFIG_HOME", m_home + "/config");
    SetEnvironment("XDG_CACHE_HOME", m_home + "/cache");
    SetEnvironment("GSETTINGS_BACKEND", "memory");
    SetEnvironment("NO_AT_BRIDGE", "1");
    setenv("DISPLAY", display.c_str(), 1);
    std::string busLog = m_home + "/bus.log", daemonLog = m_home + "/ibus.log";
    std::string address = StartSessionBus(&m_bus, busLog);
    if (address.empty()) {
        m_why = WhyNot("dbus-daemon", &m_bus, busLog);
        return State::Failed;
    }
    SetEnvironment("DBUS_SESSION_BUS_ADDRESS", address);
    int devNull = open("/dev/null", O_WRONLY);
    int messages = OpenLog(daemonLog);
    m_daemon = Spawn({"ibus-daemon", "--panel=disable", "--emoji-extension=disable",
                      std::string("--config=") + kMemoryConfig},
                     devNull, messages);
    close(devNull);
    close(messages);
    bool ready = WaitUntil(
        [&] {
            if (Output("ibus engine libpinyin; ibus engine") == "libpinyin")
                return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
            return false;
        },
        30000);
    if (!ready) {
        m_why = WhyNot("ibus-daemon with the pinyin engine", &m_daemon, daemonLog);
        return State::Failed;
    }
    SetEnvironment("XMODIFIERS", "@im=ibus");
    SetEnvironment("SDL_IM_MODULE", "ibus");
    return State::Running;
}

// Sets a variable of the environment, keeping what it was for Stop.
void InputMethod::SetEnvironment(const char* name, const std::string& value) {
    if (m_saved.count(name) == 0) {
        const char* before = getenv(name);
        m_saved[name] = before != nullptr ? std::optional<std::string>(before) : std::nullopt;
    }
    setenv(name, value.c_str(), 1);
}

void InputMethod::Stop() {
    Kill(&m_daemon);
    Kill(&m_bus);
    for (const auto& entry : m_saved) {
        if (entry.second)
            setenv(entry.first.c_str(), entry.second->c_str(), 1);
        else
            unsetenv(entry.first.c_str());
    }
    m_saved.clear();
    if (!m_home.empty()) {
        std::error_code ignored;
        std::filesystem::remove_all(m_home, ignored);
    }
    m_home.clear();
}

Program::~Program() {
    if (m_pid > 0)
        WaitExit(0);
    if (m_out >= 0)
        close(m_out);
}

bool Program::Start(const std::vector<std::string>& argv, const std::string& display,
                    const std::string& folder) {
    int pipeFds[2];
    if (pipe(pipeFds) != 0)
        return false;
    m_errorFile = folder + "/stderr.txt";
    int err = open(m_errorFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    setenv("DISPLAY", display.c_str(), 1);
    setenv("TQ_VIDEO", "sdl", 1);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    m_pid = Spawn(argv, pipeFds[1], err, {}, folder);
    close(pipeFds[1]);
    close(err);
    m_out = pipeFds[0];
    return m_pid > 0;
}

void Program::ReadAvailable(int timeoutMs) {
    pollfd readable{m_out, POLLIN, 0};
    if (m_out < 0 || poll(&readable, 1, timeoutMs) <= 0)
        return;
    char buffer[4096];
    ssize_t got = read(m_out, buffer, sizeof buffer);
    if (got <= 0) {
        close(m_out);
        m_out = -1;
        return;
    }
    m_pending.append(buffer, static_cast<size_t>(got));
    for (size_t end; (end = m_pending.find('\n')) != std::string::npos;) {
        m_lines.push_back(m_pending.substr(0, end));
        m_pending.erase(0, end + 1);
    }
}

std::string Program::WaitLine(const std::string& prefix, int frames) {
    std::string found;
    WaitFor(
        [&] {
            ReadAvailable(kPollMs);
            for (; m_next < m_lines.size(); ++m_next) {
                if (m_lines[m_next].compare(0, prefix.size(), prefix) == 0) {
                    found = m_lines[m_next++];
                    return true;
                }
            }
            return m_out < 0;
        },
        frames);
    return found;
}

std::vector<std::string> Program::Lines() {
    ReadAvailable(0);
    return m_lines;
}

std::string Program::ErrorText() const {
    std::ifstream file(m_errorFile);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

int Program::WaitExit(int timeoutMs) {
    int status = 0;
    bool ended = WaitUntil(
        [&] {
            ReadAvailable(0);
            return waitpid(m_pid, &status, WNOHANG) == m_pid;
        },
        timeoutMs);
    if (!ended) {
        kill(m_pid, SIGKILL);
        waitpid(m_pid, &status, 0);
    }
    m_pid = -1;
    while (m_out >= 0)
        ReadAvailable(100);
    return ended && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

Desktop::Desktop(const std::string& display) {
    WaitUntil([&] { return (m_display = XOpenDisplay(display.c_str())) != nullptr; }, 5000);
    // A window may vanish between a look-up and a query: such errors only make the query fail.
    XSetErrorHandler(IgnoreErrors);
}

Desktop::~Desktop() {
    if (g_frameSource == this)
        g_frameSource = nullptr;
    if (m_display != nullptr)
        XCloseDisplay(m_display);
}

WindowId Desktop::FindWindow(const std::string& title) {
    Window found = 0;
    WaitUntil([&] { return (found = FindTitled(m_display, DefaultRootWindow(m_display), title)) != 0; });
    if (found != 0)
        Watch(found);
    return found;
}

void Desktop::Watch(WindowId window) {
    int errors = 0;
    if (window == m_watched || !XDamageQueryExtension(m_display, &m_damageEvents, &errors))
        return;
    if (m_damage != 0)
        XDamageDestroy(m_display, m_damage);
    m_damage = XDamageCreate(m_display, window, XDamageReportNonEmpty);
    m_watched = window;
    XSync(m_display, False);
    g_frameSource = this;
}

unsigned long Desktop::Frames() {
    while (m_damage != 0 && XPending(m_display) > 0) {
        XEvent event;
        XNextEvent(m_display, &event);
        if (event.type == m_damageEvents + XDamageNotify) {
            XDamageSubtract(m_display, m_damage, None, None);
            ++m_frames;
        }
    }
    return m_frames;
}

Rect Desktop::Geometry(WindowId window) {
    XWindowAttributes attributes;
    Window child;
    Rect rect;
    if (!XGetWindowAttributes(m_display, window, &attributes) ||
        !XTranslateCoordinates(m_display, window, DefaultRootWindow(m_display), 0, 0, &rect.x, &rect.y,
                               &child))
        return Rect();
    rect.width = attributes.width;
    rect.height = attributes.height;
    return rect;
}

std::vector<uint32_t> Desktop::Grab(const Rect& area) {
    std::vector<uint32_t> pixels;
    XImage* image = XGetImage(m_display, DefaultRootWindow(m_display), area.x, area.y, area.width,
                              area.height, AllPlanes, ZPixmap);
    if (image == nullptr)
        return pixels;
    for (int y = 0; y < area.height; ++y)
        for (int x = 0; x < area.width; ++x)
            pixels.push_back(static_cast<uint32_t>(XGetPixel(image, x, y) & 0xFFFFFF));
    XDestroyImage(image);
    return pixels;
}

uint32_t Desktop::Pixel(int x, int y) {
    std::vector<uint32_t> pixels = Grab(Rect{x, y, 1, 1});
    return pixels.empty() ? 0 : pixels[0];
}

Rect Desktop::FindColor(const Rect& area, uint32_t color) {
    std::vector<uint32_t> pixels = Grab(area);
    int left = area.width, top = area.height, right = -1, bottom = -1;
    for (int y = 0; y < area.height && !pixels.empty(); ++y) {
        for (int x = 0; x < area.width; ++x) {
            if (pixels[static_cast<size_t>(y) * area.width + x] != color)
                continue;
            left = std::min(left, x);
            top = std::min(top, y);
            right = std::max(right, x);
            bottom = std::max(bottom, y);
        }
    }
    if (right < 0)
        return Rect();
    return Rect{area.x + left, area.y + top, right - left + 1, bottom - top + 1};
}

void Desktop::MoveTo(int x, int y) {
    XTestFakeMotionEvent(m_display, -1, x, y, CurrentTime);
    XSync(m_display, False);
}

Rect Desktop::Pointer() {
    ::Window root = 0, child = 0;
    int x = 0, y = 0, windowX = 0, windowY = 0;
    unsigned buttons = 0;
    XQueryPointer(m_display, DefaultRootWindow(m_display), &root, &child, &x, &y, &windowX, &windowY,
                  &buttons);
    return Rect{x, y, 0, 0};
}

void Desktop::Click(int button) {
    XTestFakeButtonEvent(m_display, static_cast<unsigned>(button), True, CurrentTime);
    XTestFakeButtonEvent(m_display, static_cast<unsigned>(button), False, CurrentTime);
    XSync(m_display, False);
}

void Desktop::Press(int button) {
    XTestFakeButtonEvent(m_display, static_cast<unsigned>(button), True, CurrentTime);
    XSync(m_display, False);
}

void Desktop::Release(int button) {
    XTestFakeButtonEvent(m_display, static_cast<unsigned>(button), False, CurrentTime);
    XSync(m_display, False);
}

void Desktop::TapKey(const char* keysym) {
    KeyCode code = XKeysymToKeycode(m_display, XStringToKeysym(keysym));
    XTestFakeKeyEvent(m_display, code, True, CurrentTime);
    XTestFakeKeyEvent(m_display, code, False, CurrentTime);
    XSync(m_display, False);
}

void Desktop::HoldKeyCode(unsigned keycode, bool down) {
    XTestFakeKeyEvent(m_display, keycode, down ? True : False, CurrentTime);
    XSync(m_display, False);
}

// The layout stays while any client is connected: this one is.
bool Desktop::SetKeyboardLayout(const std::string& layout) {
    std::string command = "setxkbmap -display " + std::string(DisplayString(m_display)) + " " + layout;
    return std::system(command.c_str()) == 0;
}

void Desktop::Sync() {
    XSync(m_display, False);
}

void Desktop::RequestClose(WindowId window) {
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(m_display, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(XInternAtom(m_display, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(m_display, window, False, NoEventMask, &event);
    XSync(m_display, False);
}

void Desktop::Destroy(WindowId window) {
    XDestroyWindow(m_display, window);
    XSync(m_display, False);
}

void Desktop::Unmap(WindowId window) {
    XUnmapWindow(m_display, window);
    XSync(m_display, False);
}

void Desktop::Map(WindowId window) {
    XMapWindow(m_display, window);
    XSync(m_display, False);
}

void Desktop::Resize(WindowId window, int width, int height) {
    XResizeWindow(m_display, window, static_cast<unsigned>(width), static_cast<unsigned>(height));
    XSync(m_display, False);
}

// A small window of the tests' own takes the focus.
void Desktop::FocusElsewhere() {
    if (m_elsewhere == 0) {
        m_elsewhere = XCreateSimpleWindow(m_display, DefaultRootWindow(m_display), 0, 700, 40, 40, 0, 0, 0);
        XMapWindow(m_display, m_elsewhere);
        XSync(m_display, False);
        WaitUntil([&] {
            XWindowAttributes attributes;
            return XGetWindowAttributes(m_display, m_elsewhere, &attributes) &&
                   attributes.map_state == IsViewable;
        });
    }
    XSetInputFocus(m_display, m_elsewhere, RevertToParent, CurrentTime);
    XSync(m_display, False);
}

void Desktop::Focus(WindowId window) {
    XSetInputFocus(m_display, window, RevertToParent, CurrentTime);
    XSync(m_display, False);
}

} // namespace realwindow
