#include "gui/win32/ControlViews.h"

#include "controls/ComboBox.h"
#include "controls/Commands.h"
#include "controls/SimpleControls.h"
#include "controls/TextBox.h"
#include "platform/EventLoop.h"

#include <string>
#include <vector>

namespace kvl::win32 {

namespace {

constexpr COLORREF PictureBackground = RGB(192, 192, 192);
// Pixels of one line of the form's 8 point text.
constexpr int OneLine = 17;
// A drop-down list's window is as high as its open list; the box itself
// keeps the height the system gives it.
constexpr int DropDownListHeight = 200;

std::string windowText(HWND window) {
    const int length = ::GetWindowTextLengthA(window);
    std::string text(static_cast<std::size_t>(length) + 1, '\0');
    const int copied = ::GetWindowTextA(window, &text[0], length + 1);
    text.resize(static_cast<std::size_t>(copied > 0 ? copied : 0));
    return text;
}

HWND makeWindow(const char* windowClass, DWORD style, HWND parent, int id, const RECT& where,
                const ControlLook& look, DWORD extendedStyle = 0) {
    HWND window = ::CreateWindowExA(extendedStyle, windowClass, "", WS_CHILD | style, where.left,
                                    where.top, where.right - where.left, where.bottom - where.top,
                                    parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                    ::GetModuleHandleA(nullptr), nullptr);
    if (window && look.font)
        ::SendMessageA(window, WM_SETFONT, reinterpret_cast<WPARAM>(look.font), FALSE);
    return window;
}

class CaptionView : public ControlView {
public:
    CaptionView(CaptionedControl& control, HWND window) : ControlView(control, window) {}

protected:
    void refresh(Property property) override {
        if (property == Property::Caption)
            ::SetWindowTextA(window(), static_cast<CaptionedControl&>(control()).caption().c_str());
        ControlView::refresh(property);
    }
};

class ButtonView : public CaptionView {
public:
    ButtonView(Clickable& button, HWND window, EventLoop& events)
        : CaptionView(button, window), button_(button), events_(events) {}
    void command(int code) override {
        if (code == BN_CLICKED)
            runHandler(events_, [this] { button_.click(); });
    }

private:
    Clickable& button_;
    EventLoop& events_;
};

class CheckBoxView : public CaptionView {
public:
    CheckBoxView(CheckBox& box, HWND window) : CaptionView(box, window), box_(box) {}
    void command(int code) override {
        if (code == BN_CLICKED) {
            const bool checked = ::SendMessageA(window(), BM_GETCHECK, 0, 0) == BST_CHECKED;
            box_.setValue(checked ? 1 : 0, &origin());
        }
    }

protected:
    void refresh(Property property) override {
        if (property == Property::Value)
            ::SendMessageA(window(), BM_SETCHECK, box_.value() ? BST_CHECKED : BST_UNCHECKED, 0);
        CaptionView::refresh(property);
    }

private:
    CheckBox& box_;
};

class TextBoxView : public ControlView {
public:
    TextBoxView(TextBox& box, HWND window) : ControlView(box, window), box_(box) {
        // The limit holds the operator's typing only; the program's texts
        // are set whole.
        if (box.limit() > 0)
            ::SendMessageA(window, EM_SETLIMITTEXT, box.limit(), 0);
    }
    void command(int code) override {
        if (code != EN_CHANGE || showing_)
            return;
        // Refused (a disabled box): the box shows the model's text again.
        if (!box_.typeText(windowText(window()), &origin()))
            refresh(Property::Text);
    }

protected:
    void refresh(Property property) override {
        if (property == Property::Text) {
            showing_ = true;
            ::SetWindowTextA(window(), box_.text().c_str());
            showing_ = false;
        }
        ControlView::refresh(property);
    }

private:
    TextBox& box_;
    bool showing_ = false;
};

class ComboBoxView : public ControlView {
public:
    ComboBoxView(ComboBox& box, HWND window) : ControlView(box, window), box_(box) {}
    void command(int code) override {
        if (code == CBN_SELCHANGE) {
            const auto index = static_cast<int>(::SendMessageA(window(), CB_GETCURSEL, 0, 0));
            box_.setListIndex(index, &origin());
        }
    }

protected:
    void refresh(Property property) override {
        if (property == Property::Items) {
            ::SendMessageA(window(), CB_RESETCONTENT, 0, 0);
            for (const std::string& item : box_.items())
                ::SendMessageA(window(), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
        }
        if (property == Property::Items || property == Property::ListIndex)
            ::SendMessageA(window(), CB_SETCURSEL, static_cast<WPARAM>(box_.listIndex()), 0);
        ControlView::refresh(property);
    }

private:
    ComboBox& box_;
};

// An indicator: its fill colour, red in the low byte as a COLORREF has it,
// repainted at once when it changes.
class ShapeView : public ControlView {
public:
    ShapeView(Shape& shape, HWND window) : ControlView(shape, window), shape_(shape) {}
    void draw(const DRAWITEMSTRUCT& item) override {
        HBRUSH fill = ::CreateSolidBrush(static_cast<COLORREF>(shape_.fillColour()));
        ::FillRect(item.hDC, &item.rcItem, fill);
        ::DeleteObject(fill);
        ::FrameRect(item.hDC, &item.rcItem, static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH)));
    }

protected:
    void refresh(Property property) override {
        if (property == Property::FillColour) {
            ::InvalidateRect(window(), nullptr, FALSE);
            ::UpdateWindow(window());
        }
        ControlView::refresh(property);
    }

private:
    Shape& shape_;
};

// The program icon on a light grey ground.
class PictureView : public ControlView {
public:
    PictureView(Picture& picture, HWND window, HICON icon)
        : ControlView(picture, window), icon_(icon) {}
    void draw(const DRAWITEMSTRUCT& item) override {
        HBRUSH ground = ::CreateSolidBrush(PictureBackground);
        ::FillRect(item.hDC, &item.rcItem, ground);
        ::DeleteObject(ground);
        if (icon_)
            ::DrawIconEx(item.hDC, item.rcItem.left, item.rcItem.top, icon_,
                         item.rcItem.right - item.rcItem.left, item.rcItem.bottom - item.rcItem.top,
                         0, nullptr, DI_NORMAL);
    }

private:
    HICON icon_;
};

} // namespace

ControlView::ControlView(Control& control, HWND window)
    : control_(control), window_(window),
      subscription_(control.onChange([this](Property property) { refresh(property); })) {
    nameWindow(window_, control.name());
}

ControlView::~ControlView() {
    subscription_.disconnect();
    forgetWindowName(window_);
    ::DestroyWindow(window_);
}

void nameWindow(HWND window, const std::string& name) {
    const ATOM atom = ::GlobalAddAtomA(name.c_str());
    ::SetPropA(window, ControlNameProperty, reinterpret_cast<HANDLE>(static_cast<ULONG_PTR>(atom)));
}

void forgetWindowName(HWND window) {
    const auto atom =
        static_cast<ATOM>(reinterpret_cast<ULONG_PTR>(::RemovePropA(window, ControlNameProperty)));
    if (atom)
        ::GlobalDeleteAtom(atom);
}

void ControlView::refreshAll() {
    for (Property property :
         {Property::Caption, Property::Text, Property::Items, Property::ListIndex, Property::Value,
          Property::FillColour, Property::Enabled, Property::Visible})
        refresh(property);
}

void ControlView::refresh(Property property) {
    if (property == Property::Enabled)
        ::EnableWindow(window_, control_.enabled());
    else if (property == Property::Visible)
        ::ShowWindow(window_, control_.visible() ? SW_SHOWNA : SW_HIDE);
}

namespace {

std::unique_ptr<ControlView> makeView(Control& control, HWND parent, int id, const RECT& where,
                                      EventLoop& events, const ControlLook& look) {
    const DWORD tab = WS_TABSTOP;
    // Most derived kinds first: a button and a menu entry are both clickable.
    if (dynamic_cast<MenuEntry*>(&control))
        return nullptr;
    if (auto* button = dynamic_cast<Button*>(&control)) {
        const DWORD kind = look.defaultButton ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON;
        return std::make_unique<ButtonView>(
            *button, makeWindow("BUTTON", kind | tab, parent, id, where, look), events);
    }
    if (auto* box = dynamic_cast<CheckBox*>(&control))
        return std::make_unique<CheckBoxView>(
            *box, makeWindow("BUTTON", BS_AUTOCHECKBOX | tab, parent, id, where, look));
    if (auto* frame = dynamic_cast<Frame*>(&control))
        return std::make_unique<CaptionView>(
            *frame, makeWindow("BUTTON", BS_GROUPBOX, parent, id, where, look));
    if (auto* label = dynamic_cast<Label*>(&control)) {
        // A label one line high is cut at its width, as the design's labels
        // are; a higher one wraps its words.
        const DWORD wrap = where.bottom - where.top > 2 * OneLine ? SS_LEFT : SS_LEFTNOWORDWRAP;
        return std::make_unique<CaptionView>(*label,
                                             makeWindow("STATIC", wrap, parent, id, where, look));
    }
    if (auto* box = dynamic_cast<TextBox*>(&control)) {
        DWORD style = ES_AUTOHSCROLL | tab;
        // A box several lines high (the contract text) takes several lines.
        if (where.bottom - where.top > 2 * OneLine)
            style = ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN | WS_VSCROLL | tab;
        if (look.readOnly)
            style |= ES_READONLY;
        return std::make_unique<TextBoxView>(
            *box, makeWindow("EDIT", style, parent, id, where, look, WS_EX_CLIENTEDGE));
    }
    if (auto* box = dynamic_cast<ComboBox*>(&control)) {
        RECT open = where;
        open.bottom = open.top + DropDownListHeight;
        return std::make_unique<ComboBoxView>(
            *box,
            makeWindow("COMBOBOX", CBS_DROPDOWNLIST | WS_VSCROLL | tab, parent, id, open, look));
    }
    if (auto* shape = dynamic_cast<Shape*>(&control))
        return std::make_unique<ShapeView>(
            *shape, makeWindow("STATIC", SS_OWNERDRAW, parent, id, where, look));
    if (auto* picture = dynamic_cast<Picture*>(&control))
        return std::make_unique<PictureView>(
            *picture, makeWindow("STATIC", SS_OWNERDRAW, parent, id, where, look), look.icon);
    return nullptr; // a timer
}

} // namespace

std::unique_ptr<ControlView> makeControlView(Control& control, HWND parent, int id,
                                             const RECT& where, EventLoop& events,
                                             const ControlLook& look) {
    auto view = makeView(control, parent, id, where, events, look);
    if (view)
        view->refreshAll();
    return view;
}

} // namespace kvl::win32
