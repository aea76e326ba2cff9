#include "platform/win32/Win32EventLoop.h"

#include "platform/win32/FileTime.h"

#include <atomic>
#include <stdexcept>

namespace kvl {

namespace {

constexpr UINT CloseRequestMessage = WM_APP + 1;
// How long a console's close, log-off or shut-down waits for the program to
// end its work; the system ends the process soon after in any case.
constexpr DWORD ConsoleCloseWait = 4000;

// The loop whose window receives the console's control events.
std::atomic<Win32EventLoop*> consoleLoop{nullptr};

HINSTANCE thisModule() {
    return ::GetModuleHandleA(nullptr);
}

void registerWindowClass() {
    WNDCLASSA windowClass{};
    if (::GetClassInfoA(thisModule(), Win32EventLoop::WindowClass, &windowClass))
        return;
    windowClass.lpfnWndProc = ::DefWindowProcA;
    windowClass.hInstance = thisModule();
    windowClass.lpszClassName = Win32EventLoop::WindowClass;
    if (!::RegisterClassA(&windowClass))
        throw std::runtime_error("cannot register the event loop's window class");
}

} // namespace

Win32EventLoop::Win32EventLoop() : ended_(::CreateEventA(nullptr, TRUE, FALSE, nullptr)) {
    registerWindowClass();
    window_ = ::CreateWindowExA(0, WindowClass, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                thisModule(), nullptr);
    if (!window_)
        throw std::runtime_error("cannot create the event loop's window");
    ::SetWindowLongPtrA(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    ::SetWindowLongPtrA(window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&windowProcedure));
}

Win32EventLoop::~Win32EventLoop() {
    onCloseRequest(nullptr);
    ::DestroyWindow(window_);
}

LRESULT CALLBACK Win32EventLoop::windowProcedure(HWND window, UINT message, WPARAM wParam,
                                                 LPARAM lParam) {
    auto* loop = reinterpret_cast<Win32EventLoop*>(::GetWindowLongPtrA(window, GWLP_USERDATA));
    if (loop) {
        switch (message) {
        case WM_TIMER:
            loop->fire(static_cast<TimerId>(wParam));
            return 0;
        case WM_CLOSE:
        case CloseRequestMessage:
            loop->closeRequested();
            return 0;
        default:
            break;
        }
    }
    return ::DefWindowProcA(window, message, wParam, lParam);
}

BOOL WINAPI Win32EventLoop::consoleControl(DWORD event) {
    Win32EventLoop* loop = consoleLoop.load();
    if (!loop)
        return FALSE;
    ::PostMessageA(loop->window_, CloseRequestMessage, 0, 0);
    // The process ends when this returns from these three: give the close
    // request the time to save what it saves.
    if (event == CTRL_CLOSE_EVENT || event == CTRL_LOGOFF_EVENT || event == CTRL_SHUTDOWN_EVENT)
        ::WaitForSingleObject(loop->ended_.get(), ConsoleCloseWait);
    return TRUE;
}

void Win32EventLoop::closeRequested() {
    if (quitRequested_ || !closeHandler_)
        return;
    const std::function<void()> handler = closeHandler_;
    runHandler(*this, handler);
}

void Win32EventLoop::onCloseRequest(std::function<void()> handler) {
    closeHandler_ = std::move(handler);
    if (closeHandler_ && !consoleHandlerInstalled_) {
        consoleLoop.store(this);
        consoleHandlerInstalled_ = ::SetConsoleCtrlHandler(&consoleControl, TRUE) != 0;
    } else if (!closeHandler_ && consoleHandlerInstalled_) {
        ::SetConsoleCtrlHandler(&consoleControl, FALSE);
        consoleLoop.store(nullptr);
        consoleHandlerInstalled_ = false;
    }
}

void Win32EventLoop::dispatch(MSG& message) {
    // Tab and the arrow keys move between the controls of a view's window.
    HWND root = message.hwnd ? ::GetAncestor(message.hwnd, GA_ROOT) : nullptr;
    if (root && root != window_ && ::IsDialogMessageA(root, &message))
        return;
    ::TranslateMessage(&message);
    ::DispatchMessageA(&message);
}

namespace {

// A menu of the thread is open: its own loop reads the mouse and the
// keyboard.
bool menuOpen() {
    GUITHREADINFO thread{};
    thread.cbSize = sizeof thread;
    return ::GetGUIThreadInfo(::GetCurrentThreadId(), &thread) &&
           (thread.flags & (GUI_INMENUMODE | GUI_POPUPMENUMODE)) != 0;
}

} // namespace

void Win32EventLoop::processEvents() {
    // Events processed while a menu is open (a polling tick's SleepDelay runs
    // inside the menu's loop) leave the input to the menu: a click taken
    // here would never reach it, and the operator's choice would be lost.
    const UINT which = menuOpen() ? PM_QS_POSTMESSAGE | PM_QS_PAINT | PM_QS_SENDMESSAGE : 0;
    MSG message;
    while (!quitRequested_ && ::PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE | which))
        dispatch(message);
}

void Win32EventLoop::fire(TimerId id) {
    auto found = timers_.find(id);
    if (found == timers_.end() || !found->second.active || found->second.running || quitRequested_)
        return;
    found->second.running = true;
    // The handler may start or stop timers, itself included; look it up again
    // afterwards instead of keeping the reference.
    const std::function<void()> handler = found->second.handler;
    struct Finish {
        Win32EventLoop& loop;
        TimerId id;
        ~Finish() {
            auto timer = loop.timers_.find(id);
            if (timer == loop.timers_.end())
                return;
            if (!timer->second.active)
                loop.timers_.erase(timer);
            else
                timer->second.running = false;
        }
    } finish{*this, id};
    runHandler(*this, handler);
}

EventLoop::TimerId Win32EventLoop::startTimer(std::chrono::milliseconds interval,
                                              std::function<void()> handler) {
    const TimerId id = nextId_++;
    const auto milliseconds = std::max<long long>(interval.count(), USER_TIMER_MINIMUM);
    if (!::SetTimer(window_, static_cast<UINT_PTR>(id),
                    static_cast<UINT>(std::min<long long>(milliseconds, USER_TIMER_MAXIMUM)),
                    nullptr))
        throw std::runtime_error("cannot start a timer");
    timers_.emplace(id, Timer{std::move(handler)});
    return id;
}

void Win32EventLoop::stopTimer(TimerId id) {
    auto found = timers_.find(id);
    if (found == timers_.end())
        return;
    ::KillTimer(window_, static_cast<UINT_PTR>(id));
    if (found->second.running)
        found->second.active = false; // removed when its handler returns
    else
        timers_.erase(found);
}

int Win32EventLoop::run() {
    MSG message;
    while (!quitRequested_) {
        const BOOL got = ::GetMessageA(&message, nullptr, 0, 0);
        if (got <= 0) // WM_QUIT, which nothing of the program posts, or a failure
            break;
        dispatch(message);
    }
    return quitStatus_;
}

void Win32EventLoop::quit(int status) {
    if (quitRequested_)
        return;
    quitRequested_ = true;
    quitStatus_ = status;
    for (const auto& [id, timer] : timers_) {
        (void)timer;
        ::KillTimer(window_, static_cast<UINT_PTR>(id));
    }
    ::SetEvent(ended_.get());
    // Wakes run() when it waits for a message.
    ::PostMessageA(window_, WM_NULL, 0, 0);
}

void Win32EventLoop::sleep(std::chrono::milliseconds duration) {
    if (duration.count() > 0)
        ::Sleep(static_cast<DWORD>(duration.count()));
}

std::chrono::steady_clock::time_point SystemClock::now() {
    return std::chrono::steady_clock::now();
}

std::int64_t SystemClock::wallNanoseconds() {
    FILETIME now{};
    ::GetSystemTimeAsFileTime(&now);
    return unixNanosecondsOf(now);
}

Clock::LocalTime SystemClock::localTime() {
    SYSTEMTIME time{};
    ::GetLocalTime(&time);
    return LocalTime{time.wYear, time.wMonth, time.wDay, time.wHour, time.wMinute, time.wSecond};
}

} // namespace kvl
