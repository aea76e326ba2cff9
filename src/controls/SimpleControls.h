#pragma once

#include "controls/Control.h"

namespace kvl {

// A control with a caption: labels, frames, buttons, menu entries, check boxes.
class CaptionedControl : public Control {
public:
    CaptionedControl(std::string name, std::string container, Twips position, std::string caption)
        : Control(std::move(name), std::move(container), position), caption_(std::move(caption)) {}

    const std::string& caption() const { return caption_; }
    void setCaption(std::string caption, Origin origin = nullptr) {
        update(caption_, std::move(caption), Property::Caption, origin);
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

// A picture showing the program's icon.
class Picture : public Control {
    using Control::Control;
};

// A shape whose fill colour is an indicator.
class Shape : public Control {
public:
    Shape(std::string name, std::string container, Twips position, long fillColour)
        : Control(std::move(name), std::move(container), position), fillColour_(fillColour) {}
    long fillColour() const { return fillColour_; }
    void setFillColour(long colour, Origin origin = nullptr) {
        update(fillColour_, colour, Property::FillColour, origin);
    }

private:
    long fillColour_;
};

// A check box: value 1 when checked, 0 when not.
class CheckBox : public CaptionedControl {
public:
    using CaptionedControl::CaptionedControl;
    int value() const { return value_; }
    void setValue(int value, Origin origin = nullptr) {
        update(value_, value, Property::Value, origin);
    }

private:
    int value_ = 0;
};

} // namespace kvl
