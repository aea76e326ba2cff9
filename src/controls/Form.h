#pragma once

#include "controls/Geometry.h"

#include <string>

namespace kvl {

// A form: caption, client size in twips and visibility.
class Form {
public:
    Form(std::string name, std::string caption, int clientWidth, int clientHeight)
        : name_(std::move(name)), caption_(std::move(caption)), clientWidth_(clientWidth),
          clientHeight_(clientHeight) {}
    Form(const Form&) = delete;
    Form& operator=(const Form&) = delete;

    const std::string& name() const { return name_; }
    const std::string& caption() const { return caption_; }
    int clientWidth() const { return clientWidth_; }
    int clientHeight() const { return clientHeight_; }
    bool visible() const { return visible_; }
    void setVisible(bool visible) { visible_ = visible; }

private:
    std::string name_;
    std::string caption_;
    int clientWidth_;
    int clientHeight_;
    bool visible_ = false;
};

} // namespace kvl
