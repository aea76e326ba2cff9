#pragma once

#include "controls/Control.h"

#include <functional>
#include <string>
#include <vector>

namespace kvl {

enum class WindowState { Normal, Minimised };

// A form: caption, client size in twips, visibility and window state, told
// to listeners like a control's properties, and its event procedures: the
// close request, the unload and the resize.
class Form : public Notifier {
public:
    Form(std::string name, std::string caption, int clientWidth, int clientHeight)
        : name_(std::move(name)), caption_(std::move(caption)), clientWidth_(clientWidth),
          clientHeight_(clientHeight) {}
    virtual ~Form() = default;

    const std::string& name() const { return name_; }
    int clientWidth() const { return clientWidth_; }
    int clientHeight() const { return clientHeight_; }

    const std::string& caption() const { return caption_; }
    void setCaption(std::string caption) {
        update(caption_, std::move(caption), Property::Caption, nullptr);
    }

    bool visible() const { return visible_; }
    void setVisible(bool visible, Origin origin = nullptr) {
        update(visible_, visible, Property::Visible, origin);
    }
    void show() { setVisible(true); }
    void hide() { setVisible(false); }

    // The form a modal form is shown over (a view centres it there and keeps
    // it on top), or none.
    Form* owner() const { return owner_; }
    void setOwner(Form* owner) { owner_ = owner; }

    WindowState windowState() const { return windowState_; }
    // A new window state is told to the listeners, then the resize procedure
    // runs, as when the operator minimises or restores the window.
    void setWindowState(WindowState state, Origin origin = nullptr);

    // The close request procedure answers whether the close may go on.
    void onQueryUnload(std::function<bool()> procedure) { queryUnload_ = std::move(procedure); }
    void onUnload(Procedure procedure) { unload_ = std::move(procedure); }
    void onResize(Procedure procedure) { resize_ = std::move(procedure); }

    // Every way of closing the form comes here (close box, system menu, a
    // request to end the process): the close request procedure, and the
    // unload when it lets the close go on. A request made while the close
    // question is still open is refused. True when the form was unloaded.
    bool requestClose();
    // The unload procedure, then the form is hidden.
    void unload();

    // The form's controls, for views and tests.
    virtual std::vector<Control*> controls() { return {}; }

private:
    std::string name_;
    std::string caption_;
    int clientWidth_;
    int clientHeight_;
    bool visible_ = false;
    WindowState windowState_ = WindowState::Normal;
    Form* owner_ = nullptr;
    bool closing_ = false;
    std::function<bool()> queryUnload_;
    Procedure unload_;
    Procedure resize_;
};

} // namespace kvl
