#pragma once

#include "controls/Geometry.h"

#include <functional>
#include <string>
#include <vector>

namespace kvl {

// What every control model carries: its name on the form, the frame it sits
// in (empty for the form itself), position, enabled and visible state, and the
// listeners that follow its changes (a view's widget, the polling timer).
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

    // Adds a listener, called after every change of the model.
    void onChange(std::function<void()> listener) { listeners_.push_back(std::move(listener)); }

protected:
    void changed() {
        for (const auto& listener : listeners_)
            listener();
    }

private:
    std::string name_;
    std::string container_;
    Twips position_;
    bool enabled_ = true;
    bool visible_ = true;
    std::vector<std::function<void()>> listeners_;
};

} // namespace kvl
