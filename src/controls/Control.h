#pragma once

#include "controls/Geometry.h"
#include "controls/Notifier.h"

#include <functional>
#include <string>

namespace kvl {

// An event procedure attached to a model (a button's click, a form's unload).
using Procedure = std::function<void()>;

// What every control model carries: its name on the form, the frame it sits
// in (empty for the form itself), position, enabled and visible state. Every
// change is told to the listeners with the property it concerns.
class Control : public Notifier {
public:
    Control(std::string name, std::string container, Twips position)
        : name_(std::move(name)), container_(std::move(container)), position_(position) {}
    virtual ~Control() = default;

    const std::string& name() const { return name_; }
    const std::string& container() const { return container_; }
    const Twips& position() const { return position_; }

    bool enabled() const { return enabled_; }
    void setEnabled(bool enabled, Origin origin = nullptr) {
        update(enabled_, enabled, Property::Enabled, origin);
    }
    bool visible() const { return visible_; }
    void setVisible(bool visible, Origin origin = nullptr) {
        update(visible_, visible, Property::Visible, origin);
    }

private:
    std::string name_;
    std::string container_;
    Twips position_;
    bool enabled_ = true;
    bool visible_ = true;
};

} // namespace kvl
