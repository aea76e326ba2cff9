#pragma once

#include "support/ChildProcess.h"

#include <chrono>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace kvl::test {

// A display of our own: Xvfb on the first free display number, a tray host
// on it when one can be started (trayer, at the bottom right), and the
// operator's hands: xdotool for the mouse and the keys, xclip for the
// clipboard. Every wait has a deadline.
class XDesktop {
public:
    XDesktop();
    ~XDesktop();

    // ":N", empty when no X server could be started.
    const std::string& display() const { return display_; }
    // Starts the tray host; false (with the reason in trayProblem()) when it
    // cannot be started, and the tray's tests are then skipped.
    bool startTray();
    const std::string& trayProblem() const { return trayProblem_; }

    // The environment a program needs to run on this display.
    std::map<std::string, std::string> environment() const;

    // Runs xdotool with the arguments; its standard output.
    std::string xdotool(const std::vector<std::string>& arguments) const;
    // The first visible window whose name matches the pattern (a regular
    // expression) and that is at least that wide, waiting up to the deadline.
    std::optional<std::string> waitForWindow(const std::string& namePattern,
                                             std::chrono::milliseconds deadline,
                                             int minimumWidth = 2) const;
    // Whether a visible window of that width or more has a matching name, now.
    bool windowShown(const std::string& namePattern, int minimumWidth = 2) const;
    // Waits until no such window is left.
    bool waitUntilGone(const std::string& namePattern, std::chrono::milliseconds deadline,
                       int minimumWidth = 2) const;
    // The tray icon's window of the program of that class, inside the tray host.
    std::optional<std::string> waitForTrayIcon(const std::string& windowClass,
                                               std::chrono::milliseconds deadline) const;

    // Clicks at a point of a window (pixels from its top-left), `count` times.
    void click(const std::string& window, int x, int y, int button = 1, int count = 1) const;
    void type(const std::string& text) const;
    void key(const std::string& keys) const;
    // Asks the window to close, as its close box does (WM_DELETE_WINDOW).
    void closeBox(const std::string& window) const;
    // The clipboard's text.
    std::string clipboard() const;

private:
    std::vector<std::string> visible(const std::string& namePattern, int minimumWidth) const;
    std::string run(const std::string& program, const std::vector<std::string>& arguments) const;

    std::unique_ptr<ChildProcess> server_;
    std::unique_ptr<ChildProcess> tray_;
    std::string display_;
    std::string trayProblem_;
};

} // namespace kvl::test
