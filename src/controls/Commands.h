#pragma once

#include "controls/SimpleControls.h"

namespace kvl {

// A control that runs a procedure when clicked. A disabled one cannot be
// clicked: click() then runs nothing, so a click that reaches the model while
// its operation has the buttons locked starts nothing.
class Clickable : public CaptionedControl {
public:
    using CaptionedControl::CaptionedControl;

    // Attaches the click procedure, replacing the one before.
    void onClick(Procedure procedure) { click_ = std::move(procedure); }
    // The operator's click: true when a procedure ran.
    bool click() {
        if (!enabled() || !click_)
            return false;
        const Procedure procedure = click_; // it may attach another one
        procedure();
        return true;
    }

private:
    Procedure click_;
};

class Button : public Clickable {
    using Clickable::Clickable;
};

// A menu entry: a drop-down (holding entries) or a command; one entry of a
// drop-down may be its default, shown in bold.
class MenuEntry : public Clickable {
public:
    MenuEntry(std::string name, std::string parent, std::string caption)
        : Clickable(std::move(name), std::move(parent), Twips{}, std::move(caption)) {}
    bool isDefault() const { return default_; }
    void setDefault(bool isDefault) { update(default_, isDefault, Property::Default, nullptr); }

private:
    bool default_ = false;
};

} // namespace kvl
