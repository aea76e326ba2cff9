#pragma once

#include "controls/Control.h"
#include "controls/Notifier.h"

#include <memory>

class QWidget;

namespace kvl {
class EventLoop;
}

namespace kvl::qt {

// One widget kept in step with one control model both ways: the model's
// changes show at once; the operator's edits, selections, checks and clicks
// go to the model with the view's own subscription as their origin, so they
// do not echo back. The widget is named after its control and owned by its
// parent widget; the view must not outlive it.
class ControlView {
public:
    virtual ~ControlView() = default;
    ControlView(const ControlView&) = delete;
    ControlView& operator=(const ControlView&) = delete;

    QWidget* widget() const { return widget_; }

protected:
    ControlView(Control& control, QWidget* widget);
    // Shows what the model holds now.
    void refreshAll();
    virtual void refresh(Property property);
    const Subscription& origin() const { return subscription_; }

private:
    Control& control_;
    QWidget* widget_;
    Subscription subscription_;
};

// Options a form's view gives some of its controls.
struct ControlLook {
    bool readOnly = false;   // a text box the operator cannot edit
    bool buttonFace = false; // a text box on the button-face background
    bool multiLine = false;  // a label more than one line high wraps its words
};

// The view of a control, its widget made inside the parent; nullptr for the
// models without a widget of their own (timers, menu entries).
std::unique_ptr<ControlView> makeControlView(Control& control, QWidget* parent, EventLoop& events,
                                             const ControlLook& look);

} // namespace kvl::qt
