// A view kept in step with a form both ways, as the Qt and Win32 views are
// built: one widget per control showing what its model holds, refreshed by the
// model's notifications; the operator's edits go to the model with the view's
// own subscription as their origin, so they do not echo back.

#include "controls/ComboBox.h"
#include "controls/Commands.h"
#include "controls/Form.h"
#include "controls/SimpleControls.h"
#include "controls/TextBox.h"

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace kvl {
namespace {

struct TestForm : Form {
    TestForm() : Form("frmTest", "Prova", 3000, 2000) {}
    TextBox txtCassa{"txtCassa", "Frame1", {}, "99999999", 8};
    ComboBox cmbBaud{"cmbBaud", "Frame1", {}, {"4800", "9600"}};
    CheckBox chkEnableLog{"chkEnableLog", {}, {}, "Abilita Log"};
    Shape Shape1{"Shape1", {}, {}, 255};
    Button btnPagamento{"btnPagamento", {}, {}, "Pagamento"};
    std::vector<Control*> controls() override {
        return {&txtCassa, &cmbBaud, &chkEnableLog, &Shape1, &btnPagamento};
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
    if (const auto* check = dynamic_cast<const CheckBox*>(&control))
        return shown + std::to_string(check->value());
    if (const auto* shape = dynamic_cast<const Shape*>(&control))
        return shown + std::to_string(shape->fillColour());
    if (const auto* captioned = dynamic_cast<const CaptionedControl*>(&control))
        return shown + captioned->caption();
    return shown;
}

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

    // The operator's actions on the widgets, passed on to the models.
    void type(const std::string& text) {
        widgets["txtCassa"] = text;
        if (!form_.txtCassa.typeText(text, origin("txtCassa")))
            widgets["txtCassa"] = render(form_.txtCassa); // the widget refuses it too
    }
    void choose(int index) { form_.cmbBaud.setListIndex(index, origin("cmbBaud")); }
    void minimise() { form_.setWindowState(WindowState::Minimised, origin("form")); }

    std::map<std::string, std::string> widgets;
    std::vector<std::string> heard;

private:
    Origin origin(const std::string& name) { return &subscriptions_.at(name); }

    TestForm& form_;
    std::map<std::string, Subscription> subscriptions_;
};

TEST(Binding, ProgramChangesReachTheWidgetsNamingThePropertyAndOnlyRealChangesAreTold) {
    TestForm form;
    FakeView view(form);
    form.txtCassa.setText("CASSA01");
    form.txtCassa.setText("CASSA01");
    form.cmbBaud.setListIndex(1);
    form.chkEnableLog.setValue(1);
    form.Shape1.setFillColour(65280);
    form.btnPagamento.setEnabled(false);
    form.btnPagamento.setCaption("Paga");
    form.setCaption("Nuovo");
    form.show();
    form.setWindowState(WindowState::Minimised);
    EXPECT_EQ(view.heard, (std::vector<std::string>{
                              "txtCassa.Text", "cmbBaud.ListIndex", "chkEnableLog.Value",
                              "Shape1.FillColour", "btnPagamento.Enabled", "btnPagamento.Caption",
                              "form.Caption", "form.Visible", "form.WindowState"}));
    EXPECT_EQ(view.widgets,
              (std::map<std::string, std::string>{{"txtCassa", "CASSA01"},
                                                  {"cmbBaud", "1:9600"},
                                                  {"chkEnableLog", "1"},
                                                  {"Shape1", "65280"},
                                                  {"btnPagamento", "(disabled)Paga"}}));
}

TEST(Binding, AnOperatorsEditReachesTheModelAndOtherViewsButDoesNotEchoBack) {
    TestForm form;
    FakeView operatorView(form), otherView(form);
    operatorView.type("1234");
    operatorView.choose(0);
    operatorView.minimise();
    EXPECT_EQ(form.txtCassa.text(), "1234");
    EXPECT_EQ(form.cmbBaud.listIndex(), 0);
    EXPECT_EQ(form.windowState(), WindowState::Minimised);
    EXPECT_TRUE(operatorView.heard.empty());
    EXPECT_EQ(otherView.heard,
              (std::vector<std::string>{"txtCassa.Text", "cmbBaud.ListIndex", "form.WindowState"}));
    EXPECT_EQ(otherView.widgets["txtCassa"], "1234");

    // The limit refuses a ninth character typed; the program may write more.
    operatorView.type("123456789");
    EXPECT_EQ(operatorView.widgets["txtCassa"], "1234");
    form.txtCassa.setText("123456789");
    EXPECT_EQ(operatorView.widgets["txtCassa"], "123456789");
}

TEST(Binding, HandlesDisconnectWhenTheyGoAlsoFromInsideANotificationAndMayOutliveTheModel) {
    auto form = std::make_unique<TestForm>();
    std::vector<std::string> calls;
    Subscription second, late;
    Subscription first = form->txtCassa.onChange([&](Property) {
        calls.push_back("first");
        first.disconnect(); // itself, while it runs
        second.disconnect();
        // Added now, it first hears the next change.
        late = form->txtCassa.onChange([&](Property) { calls.push_back("late"); });
    });
    second = form->txtCassa.onChange([&](Property) { calls.push_back("second"); });
    form->txtCassa.setText("a");
    EXPECT_FALSE(first.connected());
    EXPECT_FALSE(second.connected());
    form->txtCassa.setText("b");
    EXPECT_EQ(calls, (std::vector<std::string>{"first", "late"}));

    auto view = std::make_unique<FakeView>(*form);
    { FakeView gone(*form); }
    form->txtCassa.setText("c"); // the view that went hears nothing and nothing breaks
    EXPECT_EQ(view->heard.size(), 1u);
    form.reset();
    view.reset(); // its handles outlived the model
    Subscription moved = std::move(first);
    EXPECT_FALSE(moved.connected());
}

} // namespace
} // namespace kvl
