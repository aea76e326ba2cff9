#include "controls/ComboBox.h"
#include "controls/Commands.h"
#include "controls/Form.h"
#include "controls/SimpleControls.h"
#include "controls/TextBox.h"
#include "controls/TimerBinding.h"
#include "platform/RunTimeError.h"
#include "support/FakePlatform.h"

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace kvl {
namespace {

using Strings = std::vector<std::string>;

struct TestForm : Form {
    TestForm() : Form("frmTest", "Prova", 3000, 2000) {}
    TextBox txtCassa{"txtCassa", "Frame1", {}, "99999999", 8};
    ComboBox cmbBaud{"cmbBaud", "Frame1", {}, {"4800", "9600"}};
    Shape Shape1{"Shape1", {}, {}, 255};
    Button btnPagamento{"btnPagamento", {}, {}, "Pagamento"};
    std::vector<Control*> controls() override {
        return {&txtCassa, &cmbBaud, &Shape1, &btnPagamento};
    }
};

std::string propertyName(Property property) {
    const char* const names[] = {"Text",    "Items",      "ListIndex",  "Enabled",
                                 "Visible", "FillColour", "Caption",    "Value",
                                 "Default", "Interval",   "WindowState"};
    return names[static_cast<int>(property)];
}

// What a widget shows of its model.
std::string render(const Control& control) {
    std::string shown = control.enabled() ? "" : "(disabled)";
    if (const auto* box = dynamic_cast<const TextBox*>(&control))
        return shown + box->text();
    if (const auto* list = dynamic_cast<const ComboBox*>(&control))
        return shown + std::to_string(list->listIndex()) + ":" + list->text();
    if (const auto* shape = dynamic_cast<const Shape*>(&control))
        return shown + std::to_string(shape->fillColour());
    return shown + dynamic_cast<const CaptionedControl&>(control).caption();
}

// One widget per control showing what its model holds, refreshed by the
// model's notifications; the operator's edits go to the model with the view's
// own subscription as their origin.
class FakeView {
public:
    explicit FakeView(TestForm& form) : form_(form) {
        subscriptions_["form"] = form.onChange(
            [this](Property property) { heard.push_back("form." + propertyName(property)); });
        for (Control* control : form.controls()) {
            widgets[control->name()] = render(*control);
            subscriptions_[control->name()] = control->onChange([this, control](Property property) {
                widgets[control->name()] = render(*control);
                heard.push_back(control->name() + "." + propertyName(property));
            });
        }
    }

    void type(const std::string& text) {
        widgets["txtCassa"] = text;
        if (!form_.txtCassa.typeText(text, origin("txtCassa")))
            widgets["txtCassa"] = render(form_.txtCassa); // the widget refuses it too
    }
    Origin origin(const std::string& name) { return &subscriptions_.at(name); }

    std::map<std::string, std::string> widgets;
    Strings heard;

private:
    TestForm& form_;
    std::map<std::string, Subscription> subscriptions_;
};

// The program's changes reach the view naming the property, only real changes
// are told; an operator's edit reaches the model and every other listener but
// is not echoed to its view. The limit refuses a ninth character typed; the
// program may write more.
TEST(Binding, AViewAndItsFormStayInStepBothWays) {
    TestForm form;
    FakeView view(form);
    Strings others;
    const Subscription other[] = {
        form.txtCassa.onChange([&](Property) { others.push_back("txtCassa"); }),
        form.onChange([&](Property p) { others.push_back("form." + propertyName(p)); })};
    form.txtCassa.setText("CASSA01");
    form.txtCassa.setText("CASSA01");
    form.cmbBaud.setListIndex(1);
    form.Shape1.setFillColour(65280);
    form.btnPagamento.setEnabled(false);
    form.btnPagamento.setCaption("Paga");
    form.setCaption("Nuovo");
    form.show();
    EXPECT_EQ(view.heard, (Strings{"txtCassa.Text", "cmbBaud.ListIndex", "Shape1.FillColour",
                                   "btnPagamento.Enabled", "btnPagamento.Caption", "form.Caption",
                                   "form.Visible"}));
    EXPECT_EQ(view.widgets,
              (std::map<std::string, std::string>{{"txtCassa", "CASSA01"},
                                                  {"cmbBaud", "1:9600"},
                                                  {"Shape1", "65280"},
                                                  {"btnPagamento", "(disabled)Paga"}}));

    view.heard.clear();
    others.clear();
    view.type("1234");
    form.cmbBaud.setListIndex(0, view.origin("cmbBaud"));
    form.setWindowState(WindowState::Minimised, view.origin("form"));
    EXPECT_EQ(form.txtCassa.text() + form.cmbBaud.text(), "12344800");
    EXPECT_EQ(form.windowState(), WindowState::Minimised);
    EXPECT_TRUE(view.heard.empty());
    EXPECT_EQ(others, (Strings{"txtCassa", "form.WindowState"}));

    view.type("123456789");
    EXPECT_EQ(view.widgets["txtCassa"], "1234");
    form.txtCassa.setText("123456789");
    EXPECT_EQ(view.widgets["txtCassa"], "123456789");
}

// A listener may disconnect itself or another from inside a notification; one
// added then first hears the next change; handles may outlive their model.
TEST(Binding, HandlesDisconnectWhenTheyGoAlsoFromInsideANotificationAndMayOutliveTheModel) {
    auto form = std::make_unique<TestForm>();
    Strings calls;
    Subscription second, late;
    Subscription first = form->txtCassa.onChange([&](Property) {
        calls.push_back("first");
        first.disconnect();
        second.disconnect();
        late = form->txtCassa.onChange([&](Property) { calls.push_back("late"); });
    });
    second = form->txtCassa.onChange([&](Property) { calls.push_back("second"); });
    form->txtCassa.setText("a");
    EXPECT_FALSE(first.connected() || second.connected());
    { FakeView gone(*form); }
    form->txtCassa.setText("b");
    EXPECT_EQ(calls, (Strings{"first", "late"}));
    form.reset();
    late.disconnect();
}

// A text box holds text up to its first NUL however it arrives; a disabled
// one refuses typing. A list's index outside it is refused with 380 and
// changes nothing; new items clear the selection.
TEST(Controls, TextEndsAtTheFirstNulAndAListRefusesAnIndexOutsideIt) {
    TextBox field("txtCassa", "Frame1", {}, std::string("12\0 4", 5), 8);
    EXPECT_EQ("12", field.text());
    EXPECT_TRUE(field.typeText(std::string("abcdefgh\0xyz", 12)));
    EXPECT_EQ("abcdefgh", field.text());
    field.setEnabled(false);
    EXPECT_FALSE(field.typeText("1"));

    ComboBox list("cmbParity", "Frame4", {}, {"None", "Odd", "Even"});
    list.setListIndex(2);
    for (int index : {3, -2}) {
        try {
            list.setListIndex(index);
            ADD_FAILURE() << "index " << index << " accepted";
        } catch (const RunTimeError& error) {
            EXPECT_EQ(380, error.number());
        }
    }
    EXPECT_EQ("Even", list.text());
    list.setItems({"7", "8"});
    EXPECT_EQ(-1, list.listIndex());
    EXPECT_EQ("", list.text());
}

// The close question may be answered either way; while it is open, another
// request to close is refused. A new window state runs the resize procedure;
// the same state again runs nothing.
TEST(Events, TheCloseRequestAsksOnceAtATimeAndTheResizeFollowsAChangeOnly) {
    Form form("frmWpos1Type", "KVL", 0, 0);
    form.show();
    Strings steps;
    bool answer = false;
    form.onQueryUnload([&] {
        steps.push_back("asked");
        EXPECT_FALSE(form.requestClose());
        return answer;
    });
    form.onUnload([&] { steps.push_back(form.visible() ? "unload shown" : "unload hidden"); });
    form.onResize([&] { steps.push_back("resize"); });
    EXPECT_FALSE(form.requestClose());
    answer = true;
    EXPECT_TRUE(form.requestClose());
    EXPECT_FALSE(form.visible());
    form.setWindowState(WindowState::Minimised);
    form.setWindowState(WindowState::Minimised);
    EXPECT_EQ(steps, (Strings{"asked", "asked", "unload shown", "resize"}));
}

// The loop's timer follows the model's: on only while enabled with an
// interval, restarted with a new interval, gone with the binding.
TEST(Events, ABoundTimerTicksOnTheLoopOnlyWhileEnabledWithAnInterval) {
    test::FakeClock clock;
    test::FakeEventLoop loop(clock);
    Timer timer("Timer1");
    int ticks = 0;
    timer.onTimer([&] { ++ticks; });
    auto binding = std::make_unique<TimerBinding>(timer, loop);
    std::string shown;
    const auto show = [&] {
        for (const auto& running : loop.activeTimers())
            shown += std::to_string(running.interval.count());
        shown += "|";
    };
    timer.setInterval(300);
    show();
    timer.setEnabled(true);
    show();
    loop.fireActiveTimers();
    timer.setInterval(1000);
    show();
    timer.setEnabled(false);
    show();
    timer.setEnabled(true);
    binding.reset();
    show();
    EXPECT_EQ(shown + std::to_string(ticks), "|300|1000|||1");
}

} // namespace
} // namespace kvl
