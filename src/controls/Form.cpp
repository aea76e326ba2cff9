#include "controls/Form.h"

namespace kvl {

void Form::setWindowState(WindowState state, Origin origin) {
    if (state == windowState_)
        return;
    update(windowState_, state, Property::WindowState, origin);
    if (resize_) {
        const Procedure procedure = resize_;
        procedure();
    }
}

bool Form::requestClose() {
    if (closing_)
        return false;
    bool allowed = true;
    if (queryUnload_) {
        closing_ = true;
        const std::function<bool()> procedure = queryUnload_;
        try {
            allowed = procedure();
        } catch (...) {
            closing_ = false;
            throw;
        }
        closing_ = false;
    }
    if (allowed)
        unload();
    return allowed;
}

void Form::unload() {
    if (unload_) {
        const Procedure procedure = unload_;
        procedure();
    }
    hide();
}

} // namespace kvl
