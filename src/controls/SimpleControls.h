#pragma once

#include "controls/Control.h"

namespace kvl {

// A label, a frame, a button and a menu entry are a control with a caption.
class CaptionedControl : public Control {
public:
    CaptionedControl(std::string name, std::string container, Twips position, std::string caption)
        : Control(std::move(name), std::move(container), position), caption_(std::move(caption)) {}

    const std::string& caption() const { return caption_; }
    void setCaption(std::string caption) {
        caption_ = std::move(caption);
        changed();
    }

private:
    std::string caption_;
};

class Label : public CaptionedControl {
    using CaptionedControl::CaptionedControl;
};

class Frame : public CaptionedControl {
    using CaptionedControl::CaptionedControl;
};

class Button : public CaptionedControl {
    using CaptionedControl::CaptionedControl;
};

// A menu entry: a drop-down (holding entries) or a command; one entry of a
// drop-down may be its default, shown in bold.
class MenuEntry : public CaptionedControl {
public:
    MenuEntry(std::string name, std::string parent, std::string caption)
        : CaptionedControl(std::move(name), std::move(parent), Twips{}, std::move(caption)) {}
    bool isDefault() const { return default_; }
    void setDefault(bool isDefault) { default_ = isDefault; }

private:
    bool default_ = false;
};

// A shape whose fill colour is an indicator.
class Shape : public Control {
public:
    Shape(std::string name, std::string container, Twips position, long fillColour)
        : Control(std::move(name), std::move(container), position), fillColour_(fillColour) {}
    long fillColour() const { return fillColour_; }
    void setFillColour(long colour) {
        fillColour_ = colour;
        changed();
    }

private:
    long fillColour_;
};

// A check box: value 1 when checked, 0 when not.
class CheckBox : public CaptionedControl {
public:
    using CaptionedControl::CaptionedControl;
    int value() const { return value_; }
    void setValue(int value) {
        value_ = value;
        changed();
    }

private:
    int value_ = 0;
};

// A timer model: enabled state and interval. The platform's event loop runs it.
class Timer : public Control {
public:
    explicit Timer(std::string name) : Control(std::move(name), {}, Twips{}) { setEnabled(false); }
    int interval() const { return interval_; }
    void setInterval(int milliseconds) {
        interval_ = milliseconds;
        changed();
    }

private:
    int interval_ = 0;
};

} // namespace kvl
