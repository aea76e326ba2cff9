#pragma once

#include "controls/Geometry.h"

#include <functional>
#include <string>

namespace kvl {

// What every control model carries: its name on the form, the frame it sits
// in (empty for the form itself), position, enabled and visible state, and a
// listener the views use to keep a widget in step with the model.
class Control {
public:
    Control(std::string name, std::string container, Twips position)
        : name_(std::move(name)), container_(std::move(container)), position_(position) {}
    virtual ~Control() = default;
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;

    const std::string& name() const { return name_; }
    const std::string& container() const { return container_; }
    const Twips& position() const { return position_; }

    bool enabled() const { return enabled_; }
    void setEnabled(bool enabled) {
        enabled_ = enabled;
        changed();
    }
    bool visible() const { return visible_; }
    void setVisible(bool visible) {
        visible_ = visible;
        changed();
    }

    void onChange(std::function<void()> listener) { listener_ = std::move(listener); }

protected:
    void changed() {
        if (listener_)
            listener_();
    }

private:
    std::string name_;
    std::string container_;
    Twips position_;
    bool enabled_ = true;
    bool visible_ = true;
    std::function<void()> listener_;
};

} // namespace kvl
