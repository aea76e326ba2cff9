// The real program on a display of our own, driven as an operator drives it:
// the console of "-I" paying through terminal-sim, the tray icon's clicks and
// menu, the close question, and "-V".

#include "desktop/XDesktop.h"
#include "support/Installation.h"

#include <gtest/gtest.h>

#include <thread>

namespace kvl::test {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

const std::string Console = "^Test Iae17  \\(KVL modified\\)$";
const std::string Resident = "^KVL TalvioPos per POS Ingenico \\(scambio importo\\)$";
const std::string About = "^Informazioni su KVL TalvioPos \\(Ingenico\\)$";
// Message boxes carry the program's title, as its tray icon's window does:
// a box is wider than an icon.
const std::string Box = "^KvlTalvioPos$";
constexpr int BoxWidth = 100;

// The centre of a control, in pixels of the client area, from its twips and
// those of its frame.
struct Spot {
    int x, y;
};
Spot centre(int frameLeft, int frameTop, int left, int top, int width, int height) {
    return {(frameLeft + left + width / 2) / 15, (frameTop + top + height / 2) / 15};
}
const Spot txtTerminale = centre(120, 120, 1080, 240, 1095, 285);
const Spot btnPagamento = centre(2760, 120, 1800, 1080, 1215, 375);
const Spot txtEsito = centre(120, 6480, 1440, 240, 2175, 285);

class Desktop : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(desktop.display().empty()) << "Xvfb could not be started";
        trayed = desktop.startTray();
        environment = installation.environment;
        for (const auto& [name, value] : desktop.environment())
            environment[name] = value;
        environment["KVL_HEADLESS"] = "0";
    }

    std::unique_ptr<ChildProcess> start(const std::vector<std::string>& arguments) {
        return std::make_unique<ChildProcess>(installation.file("KvlTalvioPos"), arguments,
                                              environment);
    }

    // Copies a text box's text as an operator would: click, select all, copy.
    std::string copyText(const std::string& window, Spot spot) {
        desktop.click(window, spot.x, spot.y);
        desktop.key("ctrl+a");
        desktop.key("ctrl+c");
        return desktop.clipboard();
    }

    // Clicks the window's close box until the condition holds, three times at
    // most: without a window manager a close request now and then goes
    // unheard, and the operator clicks again.
    template <class Condition> bool closeUntil(const std::string& window, Condition condition) {
        for (int click = 0; click < 3; ++click) {
            desktop.closeBox(window);
            if (condition())
                return true;
        }
        return false;
    }

    XDesktop desktop;
    bool trayed = false;
    Simulator simulator;
    Installation installation{simulator.port()};
    std::map<std::string, std::string> environment;
};

TEST_F(Desktop, TheConsolePaysThroughTheTerminalAndShowsTheOutcome) {
    auto bridge = start({"-I"});
    const auto console = desktop.waitForWindow(Console, 20s);
    ASSERT_TRUE(console) << bridge->errors();
    desktop.xdotool({"windowraise", *console});

    desktop.click(*console, txtTerminale.x, txtTerminale.y);
    desktop.type("T0000001");
    desktop.click(*console, btnPagamento.x, btnPagamento.y);

    const auto deadline = Clock::now() + 20s;
    while (simulator.exchanges("Payment") < 1 && Clock::now() < deadline)
        std::this_thread::sleep_for(50ms);
    EXPECT_EQ(simulator.exchanges("Payment"), 1) << bridge->errors();
    std::string esito;
    while ((esito = copyText(*console, txtEsito)) != "OK" && Clock::now() < deadline)
        std::this_thread::sleep_for(100ms);
    EXPECT_EQ(esito, "OK");

    // The console's close box unloads it, which ends the program.
    EXPECT_TRUE(closeUntil(*console, [&] { return bridge->wait(3s).has_value(); }));
    EXPECT_EQ(bridge->wait(20s), 0) << bridge->errors();
}

TEST_F(Desktop, TheTrayIconBringsTheWindowBackAndTheCloseQuestionDecides) {
    if (!trayed)
        GTEST_SKIP() << "no tray host: " << desktop.trayProblem();
    // "1 " is not exactly "1": read as off, and saved as "0" by the close.
    writeFile(installation.parameterFile(), installation.parameters("1 "));
    auto bridge = start({});
    const auto icon = desktop.waitForTrayIcon("^KvlTalvioPos$", 20s);
    ASSERT_TRUE(icon) << bridge->errors();
    EXPECT_FALSE(desktop.windowShown(Resident)) << "the window starts in the tray";

    desktop.click(*icon, 10, 10);
    std::this_thread::sleep_for(500ms);
    EXPECT_FALSE(desktop.windowShown(Resident)) << "a single click does nothing";
    desktop.click(*icon, 10, 10, 1, 2);
    const auto window = desktop.waitForWindow(Resident, 10s);
    ASSERT_TRUE(window) << "a double click shows the window";

    // The right button's menu, "T&ermina KvlTalvioPos" by its access key,
    // asks the question; Cancel keeps the program running.
    // Under load the menu may not be up when the key arrives: the operator
    // then dismisses it and opens it again.
    bool asked = false;
    for (int attempt = 0; attempt < 3 && !asked; ++attempt) {
        desktop.click(*icon, 10, 10, 3);
        std::this_thread::sleep_for(300ms);
        desktop.key("e");
        asked = desktop.waitForWindow(Box, 5s, BoxWidth).has_value();
        if (!asked)
            desktop.key("Escape");
    }
    ASSERT_TRUE(asked) << "Vuoi terminare l'esecuzione ?";
    desktop.key("Escape");
    EXPECT_TRUE(desktop.waitUntilGone(Box, 10s, BoxWidth));
    EXPECT_TRUE(bridge->running());
    EXPECT_EQ(readFile(installation.parameterFile()), installation.parameters("0"))
        << "saved before the question";

    writeFile(installation.parameterFile(), installation.parameters("1 "));
    // The operator's pointer leaves the icon for the window's close box
    // (while the icon's tip shows, the window does not get the request).
    desktop.xdotool({"mousemove", "500", "400"});
    ASSERT_TRUE(closeUntil(*window, [&] { return desktop.waitForWindow(Box, 3s, BoxWidth); }))
        << "the close box asks too";
    desktop.key("Return");
    EXPECT_EQ(bridge->wait(20s), 0) << bridge->errors();
    EXPECT_EQ(readFile(installation.parameterFile()), installation.parameters("0"));
    EXPECT_FALSE(desktop.waitForTrayIcon("^KvlTalvioPos$", 0ms)) << "no icon left behind";
}

TEST_F(Desktop, VersionShowsTheAboutBoxAndEndsWhenItCloses) {
    auto bridge = start({"-V"});
    const auto about = desktop.waitForWindow(About, 20s);
    ASSERT_TRUE(about) << bridge->errors();
    std::this_thread::sleep_for(300ms);
    EXPECT_TRUE(bridge->running()) << "the box stays until the operator closes it";
    EXPECT_EQ(bridge->output(), "") << "the box is on the screen, not on standard output";
    desktop.click(*about, 20, 150);
    desktop.key("Return");
    EXPECT_EQ(bridge->wait(20s), 0) << bridge->errors();
}

// A display that cannot be opened (a session that went) is not a crash: the
// program says so and runs headless, "-V" printing its About box.
TEST_F(Desktop, ADisplayThatCannotBeOpenedRunsHeadless) {
    environment["DISPLAY"] = ":999";
    auto bridge = start({"-V"});
    ASSERT_EQ(bridge->wait(20s), 0) << bridge->errors();
    EXPECT_NE(bridge->output().find("Versione 1.0.0.7\n"), std::string::npos);
    EXPECT_NE(
        bridge->errors().find(
            "KvlTalvioPos: Display :999 non disponibile: il programma prosegue senza finestre"),
        std::string::npos);
}

} // namespace
} // namespace kvl::test
