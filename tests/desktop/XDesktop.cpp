#include "desktop/XDesktop.h"

#include <xcb/xcb.h>

#include <csignal>
#include <cstdlib>
#include <cstring>
#include <regex>
#include <sstream>
#include <sys/stat.h>
#include <thread>

namespace kvl::test {

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

bool pathExists(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0;
}

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> result;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        if (!line.empty())
            result.push_back(line);
    return result;
}

xcb_atom_t atom(xcb_connection_t* connection, const char* name) {
    xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(
        connection, xcb_intern_atom(connection, 0, static_cast<uint16_t>(std::strlen(name)), name),
        nullptr);
    const xcb_atom_t result = reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
    std::free(reply);
    return result;
}

} // namespace

XDesktop::XDesktop() {
    for (int number = 60; number < 160 && display_.empty(); ++number) {
        const std::string name = ":" + std::to_string(number);
        if (pathExists("/tmp/.X" + std::to_string(number) + "-lock") ||
            pathExists("/tmp/.X11-unix/X" + std::to_string(number)))
            continue;
        auto server = std::make_unique<ChildProcess>(
            "/usr/bin/Xvfb",
            std::vector<std::string>{name, "-screen", "0", "1024x768x24", "-nolisten", "tcp"});
        const auto deadline = Clock::now() + 10s;
        while (server->running() && !pathExists("/tmp/.X11-unix/X" + std::to_string(number)) &&
               Clock::now() < deadline)
            std::this_thread::sleep_for(20ms);
        // Another server may have taken the number meanwhile: try the next.
        if (server->running() && pathExists("/tmp/.X11-unix/X" + std::to_string(number))) {
            server_ = std::move(server);
            display_ = name;
        }
    }
}

XDesktop::~XDesktop() {
    // Asked to end, the server removes its lock and socket.
    for (auto* child : {tray_.get(), server_.get()})
        if (child) {
            child->signal(SIGTERM);
            child->wait(5s);
        }
}

std::map<std::string, std::string> XDesktop::environment() const {
    return {{"DISPLAY", display_}, {"XDG_RUNTIME_DIR", "/tmp"}};
}

bool XDesktop::startTray() {
    if (display_.empty()) {
        trayProblem_ = "no X server";
        return false;
    }
    // trayer looks for a session bus it does not need when the address is set.
    tray_ = std::make_unique<ChildProcess>(
        "/usr/bin/env",
        std::vector<std::string>{"-u", "DBUS_SESSION_BUS_ADDRESS", "trayer", "--edge", "bottom",
                                 "--align", "right", "--widthtype", "pixel", "--width", "100",
                                 "--heighttype", "pixel", "--height", "24"},
        environment());
    const auto deadline = Clock::now() + 10s;
    while (tray_->running() && Clock::now() < deadline) {
        if (!run("xdotool", {"search", "--name", "^panel$"}).empty())
            return true;
        std::this_thread::sleep_for(50ms);
    }
    trayProblem_ =
        tray_->running() ? "trayer showed no panel" : "trayer did not start: " + tray_->errors();
    tray_.reset();
    return false;
}

std::string XDesktop::run(const std::string& program,
                          const std::vector<std::string>& arguments) const {
    ChildProcess child("/usr/bin/" + program, arguments, environment());
    if (!child.wait(10s))
        return {};
    return child.output();
}

std::string XDesktop::xdotool(const std::vector<std::string>& arguments) const {
    return run("xdotool", arguments);
}

std::vector<std::string> XDesktop::visible(const std::string& namePattern, int minimumWidth) const {
    const std::regex width("WIDTH=([0-9]+)");
    std::vector<std::string> found;
    for (const std::string& window :
         lines(xdotool({"search", "--onlyvisible", "--name", namePattern}))) {
        std::smatch match;
        const std::string shape = xdotool({"getwindowgeometry", "--shell", window});
        if (std::regex_search(shape, match, width) && std::stoi(match[1]) >= minimumWidth)
            found.push_back(window);
    }
    return found;
}

std::optional<std::string> XDesktop::waitForWindow(const std::string& namePattern,
                                                   std::chrono::milliseconds deadline,
                                                   int minimumWidth) const {
    const auto end = Clock::now() + deadline;
    for (;;) {
        const auto found = visible(namePattern, minimumWidth);
        if (!found.empty())
            return found.front();
        if (Clock::now() >= end)
            return std::nullopt;
        std::this_thread::sleep_for(50ms);
    }
}

bool XDesktop::windowShown(const std::string& namePattern, int minimumWidth) const {
    return !visible(namePattern, minimumWidth).empty();
}

bool XDesktop::waitUntilGone(const std::string& namePattern, std::chrono::milliseconds deadline,
                             int minimumWidth) const {
    const auto end = Clock::now() + deadline;
    while (windowShown(namePattern, minimumWidth)) {
        if (Clock::now() >= end)
            return false;
        std::this_thread::sleep_for(50ms);
    }
    return true;
}

std::optional<std::string> XDesktop::waitForTrayIcon(const std::string& windowClass,
                                                     std::chrono::milliseconds deadline) const {
    const auto end = Clock::now() + deadline;
    const std::regex width("WIDTH=([0-9]+)");
    for (;;) {
        // The program's other windows of the class are hidden or 1 x 1; the
        // icon is the host's size.
        for (const std::string& window :
             lines(xdotool({"search", "--onlyvisible", "--class", windowClass}))) {
            std::smatch match;
            const std::string shape = xdotool({"getwindowgeometry", "--shell", window});
            if (std::regex_search(shape, match, width) && std::stoi(match[1]) > 1 &&
                std::stoi(match[1]) <= 64)
                return window;
        }
        if (Clock::now() >= end)
            return std::nullopt;
        std::this_thread::sleep_for(50ms);
    }
}

void XDesktop::click(const std::string& window, int x, int y, int button, int count) const {
    // One command, so the server takes the move before the press; without
    // --sync, which waits for ever when the pointer is already on the spot.
    xdotool({"mousemove", "--window", window, std::to_string(x), std::to_string(y), "click",
             "--repeat", std::to_string(count), "--delay", "80", std::to_string(button)});
}

void XDesktop::type(const std::string& text) const {
    xdotool({"type", "--delay", "30", text});
}

void XDesktop::key(const std::string& keys) const {
    xdotool({"key", keys});
}

void XDesktop::closeBox(const std::string& window) const {
    xcb_connection_t* connection = xcb_connect(display_.c_str(), nullptr);
    if (xcb_connection_has_error(connection) == 0) {
        xcb_client_message_event_t event{};
        event.response_type = XCB_CLIENT_MESSAGE;
        event.format = 32;
        event.window = static_cast<xcb_window_t>(std::stoul(window));
        event.type = atom(connection, "WM_PROTOCOLS");
        event.data.data32[0] = atom(connection, "WM_DELETE_WINDOW");
        event.data.data32[1] = XCB_CURRENT_TIME;
        xcb_send_event(connection, 0, event.window, XCB_EVENT_MASK_NO_EVENT,
                       reinterpret_cast<const char*>(&event));
        xcb_flush(connection);
    }
    xcb_disconnect(connection);
}

std::string XDesktop::clipboard() const {
    return run("xclip", {"-o", "-selection", "clipboard"});
}

} // namespace kvl::test
