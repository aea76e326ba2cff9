// The real program on a display of our own (Xvfb, trayer), driven with xdotool
// as an operator drives it.

#include "support/ChildProcess.h"
#include "support/Installation.h"

#include <gtest/gtest.h>
#include <xcb/xcb.h>

#include <climits>
#include <csignal>
#include <cstring>
#include <regex>
#include <thread>

namespace kvl::test {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using Strings = std::vector<std::string>;

// Xvfb (picking a free display number itself), trayer, and the operator's
// hands: xdotool, xclip. Every wait has a deadline.
class XDesktop {
public:
    XDesktop() {
        server_ = std::make_unique<ChildProcess>(
            "/usr/bin/Xvfb",
            Strings{"-displayfd", "1", "-screen", "0", "1024x768x24", "-nolisten", "tcp"});
        if (const auto number = server_->waitForLine("", 10s))
            display = ":" + *number;
    }
    ~XDesktop() {
        for (auto* child : {tray_.get(), server_.get()})
            if (child) {
                child->signal(SIGTERM);
                child->wait(5s);
            }
    }

    std::map<std::string, std::string> environment() const {
        return {{"DISPLAY", display}, {"XDG_RUNTIME_DIR", "/tmp"}};
    }

    // An empty text when the tray host runs, else why not.
    std::string startTray() {
        // trayer looks for a session bus it does not need when the address is set.
        tray_ = std::make_unique<ChildProcess>("/usr/bin/env",
                                               Strings{"-u", "DBUS_SESSION_BUS_ADDRESS", "trayer",
                                                       "--edge", "bottom", "--align", "right",
                                                       "--widthtype", "pixel", "--width", "100",
                                                       "--heighttype", "pixel", "--height", "24"},
                                               environment());
        if (find({"--name", "^panel$"}, 10s))
            return {};
        return tray_->running() ? "trayer showed no panel" : "trayer failed: " + tray_->errors();
    }

    std::string xdotool(const Strings& arguments) const {
        ChildProcess child("/usr/bin/xdotool", arguments, environment());
        return child.wait(10s) ? child.output() : "";
    }

    // The first visible window found by xdotool's search whose width is in
    // the range, waiting up to the deadline; with `gone`, waits until there
    // is none and answers "" then.
    std::optional<std::string> find(Strings search, std::chrono::milliseconds deadline,
                                    int minimumWidth = 2, int maximumWidth = INT_MAX,
                                    bool gone = false) const {
        search.insert(search.begin(), {"search", "--onlyvisible"});
        search.insert(search.end(), {"getwindowgeometry", "--shell", "%@"});
        const std::regex shape("WINDOW=([0-9]+)\nX=.*\nY=.*\nWIDTH=([0-9]+)");
        for (const auto end = Clock::now() + deadline;; std::this_thread::sleep_for(50ms)) {
            std::optional<std::string> found;
            const std::string shapes = xdotool(search);
            for (std::sregex_iterator window(shapes.begin(), shapes.end(), shape), last;
                 !found && window != last; ++window)
                if (const int width = std::stoi((*window)[2]);
                    width >= minimumWidth && width <= maximumWidth)
                    found = (*window)[1];
            if (found.has_value() != gone)
                return gone ? std::optional<std::string>("") : found;
            if (Clock::now() >= end)
                return std::nullopt;
        }
    }

    // Clicks at a point of a window; one command, so the server takes the move
    // before the press, and without --sync, which hangs when the pointer is
    // already on the spot.
    void click(const std::string& window, int x, int y, int button = 1, int count = 1) const {
        xdotool({"mousemove", "--window", window, std::to_string(x), std::to_string(y), "click",
                 "--repeat", std::to_string(count), "--delay", "80", std::to_string(button)});
    }
    void key(const std::string& keys) const { xdotool({"key", keys}); }

    // Asks the window to close as its close box does (WM_DELETE_WINDOW).
    void closeBox(const std::string& window) const {
        xcb_connection_t* connection = xcb_connect(display.c_str(), nullptr);
        const auto atom = [connection](const char* name) {
            auto* reply = xcb_intern_atom_reply(
                connection,
                xcb_intern_atom(connection, 0, static_cast<uint16_t>(std::strlen(name)), name),
                nullptr);
            const xcb_atom_t result = reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
            std::free(reply);
            return result;
        };
        if (xcb_connection_has_error(connection) == 0) {
            xcb_client_message_event_t event{};
            event.response_type = XCB_CLIENT_MESSAGE;
            event.format = 32;
            event.window = static_cast<xcb_window_t>(std::stoul(window));
            event.type = atom("WM_PROTOCOLS");
            event.data.data32[0] = atom("WM_DELETE_WINDOW");
            xcb_send_event(connection, 0, event.window, XCB_EVENT_MASK_NO_EVENT,
                           reinterpret_cast<const char*>(&event));
            xcb_flush(connection);
        }
        xcb_disconnect(connection);
    }

    // A text box's text, copied as an operator would: click, select all, copy.
    std::string copyText(const std::string& window, int x, int y) const {
        click(window, x, y);
        key("ctrl+a");
        key("ctrl+c");
        ChildProcess xclip("/usr/bin/xclip", {"-o", "-selection", "clipboard"}, environment());
        return xclip.wait(10s) ? xclip.output() : "";
    }

    // Clicks the close box until the condition holds, three times at most:
    // without a window manager a close request now and then goes unheard.
    template <class Condition> bool closeUntil(const std::string& window, Condition condition) {
        for (int click = 0; click < 3; ++click) {
            closeBox(window);
            if (condition())
                return true;
        }
        return false;
    }

    std::string display;

private:
    std::unique_ptr<ChildProcess> server_, tray_;
};

const Strings Console{"--name", "^Test Iae17  \\(KVL modified\\)$"};
const Strings Resident{"--name", "^KVL TalvioPos per POS Ingenico \\(scambio importo\\)$"};
const Strings TrayIcon{"--class", "^KvlTalvioPos$"};
// Message boxes carry the program's title, as its tray icon's window does: a
// box is wider than an icon.
const Strings Box{"--name", "^KvlTalvioPos$"};
constexpr int BoxWidth = 100, IconWidth = 64;

class Desktop : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(desktop.display.empty()) << "Xvfb could not be started";
        installation.environment.merge(desktop.environment());
        installation.environment["KVL_HEADLESS"] = "0";
    }
    std::unique_ptr<ChildProcess> start(const Strings& arguments) {
        return std::make_unique<ChildProcess>(installation.file("KvlTalvioPos"), arguments,
                                              installation.environment);
    }

    XDesktop desktop;
    Simulator simulator;
    Installation installation{simulator.port()};
};

TEST_F(Desktop, TheConsolePaysThroughTheTerminalAndShowsTheOutcome) {
    auto bridge = start({"-I"});
    const auto console = desktop.find(Console, 20s);
    ASSERT_TRUE(console) << bridge->errors();
    desktop.xdotool({"windowraise", *console});
    // Centres of txtTerminale, btnPagamento, txtEsito: their twips and their
    // frame's, 15 a pixel.
    // Typed until the field holds it: under load the first keys may come
    // before the window takes them, and the operator types again.
    const int terminaleX = (120 + 1080 + 1095 / 2) / 15, terminaleY = (120 + 240 + 285 / 2) / 15;
    for (int attempt = 0;
         attempt < 3 && desktop.copyText(*console, terminaleX, terminaleY) != "T0000001"; ++attempt)
        desktop.xdotool({"type", "--delay", "30", "T0000001"});
    desktop.click(*console, (2760 + 1800 + 1215 / 2) / 15, (120 + 1080 + 375 / 2) / 15);

    const auto deadline = Clock::now() + 20s;
    while (simulator.exchanges("Payment") < 1 && Clock::now() < deadline)
        std::this_thread::sleep_for(50ms);
    EXPECT_EQ(simulator.exchanges("Payment"), 1) << bridge->errors();
    std::string esito;
    while ((esito = desktop.copyText(*console, (120 + 1440 + 2175 / 2) / 15,
                                     (6480 + 240 + 285 / 2) / 15)) != "OK" &&
           Clock::now() < deadline)
        std::this_thread::sleep_for(100ms);
    EXPECT_EQ(esito, "OK");

    // The console's close box unloads it, which ends the program.
    EXPECT_TRUE(desktop.closeUntil(*console, [&] { return bridge->wait(3s).has_value(); }));
    EXPECT_EQ(bridge->wait(20s), 0) << bridge->errors();
}

TEST_F(Desktop, TheTrayIconBringsTheWindowBackAndTheCloseQuestionDecides) {
    if (const std::string problem = desktop.startTray(); !problem.empty())
        GTEST_SKIP() << "no tray host: " << problem;
    // "1 " is not exactly "1": read as off, and saved as "0" by the close.
    writeFile(installation.parameterFile(), installation.parameters("1 "));
    auto bridge = start({});
    const auto icon = desktop.find(TrayIcon, 20s, 2, IconWidth);
    ASSERT_TRUE(icon) << bridge->errors();
    EXPECT_FALSE(desktop.find(Resident, 0ms)) << "the window starts in the tray";

    desktop.click(*icon, 10, 10);
    std::this_thread::sleep_for(500ms);
    EXPECT_FALSE(desktop.find(Resident, 0ms)) << "a single click does nothing";
    desktop.click(*icon, 10, 10, 1, 2);
    const auto window = desktop.find(Resident, 10s);
    ASSERT_TRUE(window) << "a double click shows the window";

    // The right button's menu, "T&ermina KvlTalvioPos" by its access key,
    // asks; Cancel keeps the program running. Under load the menu may not be
    // up when the key arrives: the operator dismisses it and tries again.
    bool asked = false;
    for (int attempt = 0; attempt < 3 && !asked; ++attempt) {
        desktop.click(*icon, 10, 10, 3);
        std::this_thread::sleep_for(300ms);
        desktop.key("e");
        asked = desktop.find(Box, 5s, BoxWidth).has_value();
        if (!asked)
            desktop.key("Escape");
    }
    ASSERT_TRUE(asked) << "Vuoi terminare l'esecuzione ?";
    desktop.key("Escape");
    EXPECT_TRUE(desktop.find(Box, 10s, BoxWidth, INT_MAX, true));
    EXPECT_TRUE(bridge->running());
    EXPECT_EQ(readFile(installation.parameterFile()), installation.parameters("0"))
        << "saved before the question";

    writeFile(installation.parameterFile(), installation.parameters("1 "));
    // The pointer leaves the icon: while its tip shows, the window does not
    // get the request.
    desktop.xdotool({"mousemove", "500", "400"});
    ASSERT_TRUE(desktop.closeUntil(*window, [&] {
        return desktop.find(Box, 3s, BoxWidth).has_value();
    })) << "the close box asks too";
    desktop.key("Return");
    EXPECT_EQ(bridge->wait(20s), 0) << bridge->errors();
    EXPECT_EQ(readFile(installation.parameterFile()), installation.parameters("0"));
    EXPECT_FALSE(desktop.find(TrayIcon, 0ms, 2, IconWidth)) << "no icon left behind";
}

// "-V" shows the About box until the operator closes it; on a display that
// cannot be opened (a session that went) the program says so and prints it.
TEST_F(Desktop, VersionShowsTheAboutBoxAndEndsWhenItClosesOrPrintsItHeadless) {
    auto bridge = start({"-V"});
    const auto about =
        desktop.find({"--name", "^Informazioni su KVL TalvioPos \\(Ingenico\\)$"}, 20s);
    ASSERT_TRUE(about) << bridge->errors();
    std::this_thread::sleep_for(300ms);
    EXPECT_TRUE(bridge->running()) << "the box stays until the operator closes it";
    EXPECT_EQ(bridge->output(), "");
    desktop.click(*about, 20, 150);
    desktop.key("Return");
    EXPECT_EQ(bridge->wait(20s), 0) << bridge->errors();

    installation.environment["DISPLAY"] = ":999";
    auto headless = start({"-V"});
    ASSERT_EQ(headless->wait(20s), 0) << headless->errors();
    EXPECT_NE(headless->output().find("Versione 1.0.0.7\n"), std::string::npos);
    EXPECT_NE(headless->errors().find("KvlTalvioPos: Display :999 non disponibile: il programma "
                                      "prosegue senza finestre"),
              std::string::npos);
}

} // namespace
} // namespace kvl::test
