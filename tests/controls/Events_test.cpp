// Event procedures reached through the models: clicks, the close request and
// unload, the resize, and a timer run on the event loop.

#include "controls/Commands.h"
#include "controls/Form.h"
#include "controls/HeadlessModalForms.h"
#include "controls/TimerBinding.h"
#include "support/FakePlatform.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

namespace kvl {
namespace {

TEST(Events, AClickRunsTheAttachedProcedureUnlessTheControlIsDisabled) {
    Button button("btnPagamento", "Frame2", {}, "Pagamento");
    MenuEntry entry("m_esci", "m_File", "T&ermina KvlTalvioPos");
    EXPECT_FALSE(button.click()); // nothing attached
    int clicks = 0;
    button.onClick([&] { ++clicks; });
    entry.onClick([&] { clicks += 10; });
    EXPECT_TRUE(button.click());
    EXPECT_TRUE(entry.click());
    button.setEnabled(false);
    entry.setEnabled(false);
    EXPECT_FALSE(button.click());
    EXPECT_FALSE(entry.click());
    EXPECT_EQ(clicks, 11);
}

// The close question may be answered either way; while it is open, another
// request to close (a second signal, the close box again) is refused.
TEST(Events, TheCloseRequestAsksItsProcedureAndUnloadsOnlyWhenAllowed) {
    Form form("frmWpos1Type", "KVL", 0, 0);
    form.show();
    std::vector<std::string> steps;
    bool answer = false;
    form.onQueryUnload([&] {
        steps.push_back("asked");
        EXPECT_FALSE(form.requestClose());
        return answer;
    });
    form.onUnload([&] { steps.push_back(form.visible() ? "unload shown" : "unload hidden"); });
    EXPECT_FALSE(form.requestClose());
    EXPECT_TRUE(form.visible());
    answer = true;
    EXPECT_TRUE(form.requestClose());
    EXPECT_FALSE(form.visible());
    EXPECT_EQ(steps, (std::vector<std::string>{"asked", "asked", "unload shown"}));

    Form plain("frmAbout", "Informazioni", 0, 0); // no procedures: closes at once
    plain.show();
    EXPECT_TRUE(plain.requestClose());
    EXPECT_FALSE(plain.visible());
}

TEST(Events, ANewWindowStateIsToldThenRunsTheResizeProcedure) {
    Form form("frmWpos1Type", "KVL", 0, 0);
    std::vector<std::string> steps;
    const Subscription view = form.onChange([&](Property) { steps.push_back("told"); });
    form.onResize([&] {
        steps.push_back("resize");
        if (form.windowState() == WindowState::Minimised)
            form.hide();
    });
    form.show();
    form.setWindowState(WindowState::Minimised);
    form.setWindowState(WindowState::Minimised); // no change, no resize
    EXPECT_FALSE(form.visible());
    EXPECT_EQ(steps, (std::vector<std::string>{"told", "told", "resize", "told"}));
}

TEST(Events, ABoundTimerTicksOnTheLoopOnlyWhileEnabledWithAnInterval) {
    test::FakeClock clock;
    test::FakeEventLoop loop(clock);
    Timer timer("Timer1");
    int ticks = 0;
    timer.onTimer([&] { ++ticks; });
    auto binding = std::make_unique<TimerBinding>(timer, loop);
    timer.setInterval(300);
    EXPECT_TRUE(loop.activeTimers().empty()); // still disabled
    timer.setEnabled(true);
    ASSERT_EQ(loop.activeTimers().size(), 1u);
    EXPECT_EQ(loop.activeTimers()[0].interval.count(), 300);
    loop.fireActiveTimers();
    timer.setInterval(1000); // the loop's timer follows
    ASSERT_EQ(loop.activeTimers().size(), 1u);
    EXPECT_EQ(loop.activeTimers()[0].interval.count(), 1000);
    loop.fireActiveTimers();
    timer.setEnabled(false);
    EXPECT_TRUE(loop.activeTimers().empty());
    timer.setEnabled(true);
    binding.reset(); // the binding takes its timer with it
    EXPECT_TRUE(loop.activeTimers().empty());
    timer.fire(); // fired by hand it still runs while enabled
    EXPECT_EQ(ticks, 3);
}

// Without a display a modal form is its labels, one caption a line, and it
// closes at once, as if its default button had been pressed.
TEST(Events, AHeadlessModalFormWritesItsLabelsAndCloses) {
    struct About : Form {
        About() : Form("frmAbout", "Informazioni", 0, 0) {}
        Picture picIcon{"picIcon", {}, {}};
        Label lblTitle{"lblTitle", {}, {}, "KvlTalvioPos per sistemi Windows 32/64 bit"};
        Label lblVersion{"lblVersion", {}, {}, "Versione 1.0.0.7"};
        Button cmdOK{"cmdOK", {}, {}, "&OK"};
        std::vector<Control*> controls() override {
            return {&picIcon, &lblTitle, &lblVersion, &cmdOK};
        }
    } about;
    std::vector<bool> shown;
    const Subscription view = about.onChange([&](Property) { shown.push_back(about.visible()); });
    std::ostringstream out;
    HeadlessModalForms(out).showModal(about);
    EXPECT_EQ(out.str(), "KvlTalvioPos per sistemi Windows 32/64 bit\nVersione 1.0.0.7\n");
    EXPECT_EQ(shown, (std::vector<bool>{true, false}));
}

} // namespace
} // namespace kvl
