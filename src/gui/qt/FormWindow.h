#pragma once

#include "controls/Form.h"
#include "gui/FormStyle.h"
#include "gui/qt/ControlViews.h"

#include <QMainWindow>

#include <map>
#include <memory>
#include <string>
#include <vector>

class QMenu;

namespace kvl {
class EventLoop;
class MenuEntry;
} // namespace kvl

namespace kvl::qt {

class MenuEntryView;

// Makes the design's font, 8 point sans serif, the application's.
void useFormFont();

// A form as a top-level window: its caption, client size, visibility and
// window state follow the model; every control is a widget built from its
// model at its position (15 twips to a pixel; inside a frame, at the frame's
// top-left plus its own position); its menu entries make the menu bar. The
// close box is the form's close request, and minimising is its window state:
// the model's procedures decide what follows. While any of its buttons is
// disabled the pointer is the hourglass.
class FormWindow : public QMainWindow {
public:
    FormWindow(Form& form, const FormStyle& style, EventLoop& events, QWidget* owner = nullptr);
    ~FormWindow() override;

    Form& form() const { return form_; }
    // The client area the controls stand in.
    QWidget* client() const { return client_; }
    // A pop-up menu of a drop-down's entries (the same models as the menu
    // bar's), nullptr when the form has no such drop-down.
    QMenu* popupMenu(const std::string& dropDownName) const;

    // Pixels of a length in twips.
    static int pixels(int twips) { return twips / TwipsPerPixel; }
    static constexpr int TwipsPerPixel = 15;

protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void buildControls(const FormStyle& style);
    void buildMenus();
    void buildDecorations(const FormStyle& style);
    void followBusyButtons();
    void showModelVisibility();

    Form& form_;
    EventLoop& events_;
    QWidget* client_;
    std::vector<std::unique_ptr<ControlView>> views_;
    std::vector<std::unique_ptr<MenuEntryView>> menuViews_;
    std::map<std::string, QMenu*> popups_;
    std::vector<Subscription> buttonSubscriptions_;
    bool busy_ = false;
    Subscription formSubscription_;
};

} // namespace kvl::qt
