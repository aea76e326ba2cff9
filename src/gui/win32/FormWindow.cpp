#include "gui/win32/FormWindow.h"

#include "controls/Commands.h"
#include "platform/EventLoop.h"

#include <cmath>

namespace kvl::win32 {

namespace {

const char* const WindowClass = "KvlTalvioPosForm";
constexpr int FirstControlId = 100;

HINSTANCE thisModule() {
    return ::GetModuleHandleA(nullptr);
}

void registerWindowClass(WNDPROC procedure) {
    WNDCLASSA windowClass{};
    if (::GetClassInfoA(thisModule(), WindowClass, &windowClass))
        return;
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = thisModule();
    windowClass.hCursor = ::LoadCursor(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = WindowClass;
    ::RegisterClassA(&windowClass);
}

// The design's font, 8 point sans serif, as the system's dialogs have it.
HFONT formFont() {
    return static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));
}

HFONT makeFont(const FormStyle::Font& look) {
    LOGFONTA font{};
    ::GetObjectA(formFont(), sizeof font, &font);
    if (look.pointSize > 0) {
        HDC screen = ::GetDC(nullptr);
        font.lfHeight = -static_cast<LONG>(
            std::lround(look.pointSize * ::GetDeviceCaps(screen, LOGPIXELSY) / 72.0));
        ::ReleaseDC(nullptr, screen);
    }
    if (look.bold)
        font.lfWeight = FW_BOLD;
    return ::CreateFontIndirectA(&font);
}

RECT pixelsOf(const Twips& twips, int left, int top) {
    RECT rect;
    rect.left = FormWindow::pixels(left + twips.left);
    rect.top = FormWindow::pixels(top + twips.top);
    rect.right = rect.left + FormWindow::pixels(twips.width);
    rect.bottom = rect.top + FormWindow::pixels(twips.height);
    return rect;
}

} // namespace

FormWindow::FormWindow(Form& form, const FormStyle& style, EventLoop& events, HICON icon,
                       HWND owner)
    : form_(form), events_(events), owner_(owner), lines_(style.lines), font_(formFont()) {
    registerWindowClass(&FormWindow::procedure);
    const bool dialog = style.border == FormStyle::Border::FixedDialog;
    const DWORD windowStyle =
        dialog ? WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME : WS_OVERLAPPEDWINDOW;
    const DWORD extendedStyle = WS_EX_CONTROLPARENT | (dialog ? WS_EX_DLGMODALFRAME : 0);
    std::vector<MenuEntry*> entries;
    for (Control* control : form.controls())
        if (auto* entry = dynamic_cast<MenuEntry*>(control))
            entries.push_back(entry);

    RECT frame{0, 0, pixels(style.clientWidth ? style.clientWidth : form.clientWidth()),
               pixels(style.clientHeight ? style.clientHeight : form.clientHeight())};
    ::AdjustWindowRectEx(&frame, windowStyle, entries.empty() ? FALSE : TRUE, extendedStyle);
    window_ = ::CreateWindowExA(extendedStyle, WindowClass, form.caption().c_str(), windowStyle,
                                CW_USEDEFAULT, CW_USEDEFAULT, frame.right - frame.left,
                                frame.bottom - frame.top, owner, nullptr, thisModule(), this);
    if (!window_)
        return;
    if (style.windowIcon && icon) {
        ::SendMessageA(window_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
        ::SendMessageA(window_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
    }
    nameWindow(window_, form.name());
    buildControls(style, icon);
    if (!entries.empty())
        menus_ = std::make_unique<MenuBar>(window_, std::move(entries), events_);
    formSubscription_ = form.onChange([this](Property property) { followModel(property); });
    followModel(Property::Visible);
}

FormWindow::~FormWindow() {
    // No message reaches this object or its views while they go (a box that
    // loses the focus as it is destroyed tells its parent).
    if (window_) {
        forgetWindowName(window_);
        ::SetWindowLongPtrA(window_, GWLP_USERDATA, 0);
    }
    byId_.clear();
    defaultButton_ = cancelButton_ = nullptr;
    formSubscription_.disconnect();
    buttonSubscriptions_.clear();
    menus_.reset();
    views_.clear();
    if (window_)
        ::DestroyWindow(window_);
    for (HFONT font : ownFonts_)
        ::DeleteObject(font);
}

void FormWindow::buildControls(const FormStyle& style, HICON icon) {
    // Where each frame stands, for the controls inside it.
    std::map<std::string, Twips> frames;
    int id = FirstControlId;
    for (Control* control : form_.controls()) {
        const Twips position = style.positionOf(control->name(), control->position());
        int left = 0, top = 0;
        if (const auto frame = frames.find(control->container()); frame != frames.end()) {
            left = frame->second.left;
            top = frame->second.top;
        }
        if (dynamic_cast<Frame*>(control))
            frames[control->name()] = Twips{left + position.left, top + position.top, 0, 0};

        ControlLook look;
        look.readOnly = style.answerBoxes.count(control->name()) > 0;
        look.defaultButton = control->name() == style.defaultButton;
        look.icon = icon;
        look.font = font_;
        if (const auto font = style.fonts.find(control->name()); font != style.fonts.end()) {
            ownFonts_.push_back(makeFont(font->second));
            look.font = ownFonts_.back();
        }
        auto view =
            makeControlView(*control, window_, id, pixelsOf(position, left, top), events_, look);
        if (!view)
            continue;
        byId_[id++] = view.get();
        if (control->name() == style.defaultButton)
            defaultButton_ = view.get();
        if (control->name() == style.cancelButton)
            cancelButton_ = view.get();
        if (dynamic_cast<Button*>(control))
            buttonSubscriptions_.push_back(control->onChange([this](Property property) {
                // The pointer follows the buttons' state at once, even while
                // the operation that disabled them blocks the thread.
                if (property == Property::Enabled)
                    ::SetCursor(::LoadCursor(nullptr, busy() ? IDC_WAIT : IDC_ARROW));
            }));
        views_.push_back(std::move(view));
    }
}

HWND FormWindow::controlWindow(const std::string& name) const {
    for (const auto& view : views_)
        if (view->control().name() == name)
            return view->window();
    return nullptr;
}

bool FormWindow::busy() const {
    for (const auto& view : views_)
        if (dynamic_cast<Button*>(&view->control()) && !view->control().enabled())
            return true;
    return false;
}

void FormWindow::centreOnOwner() {
    RECT area{}, own{};
    ::GetWindowRect(window_, &own);
    if (!::IsWindowVisible(owner_) || ::IsIconic(owner_) || !::GetWindowRect(owner_, &area))
        ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
    const int width = own.right - own.left, height = own.bottom - own.top;
    ::SetWindowPos(window_, nullptr, area.left + (area.right - area.left - width) / 2,
                   area.top + (area.bottom - area.top - height) / 2, 0, 0,
                   SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void FormWindow::followModel(Property property) {
    switch (property) {
    case Property::Caption:
        ::SetWindowTextA(window_, form_.caption().c_str());
        break;
    case Property::Visible:
    case Property::WindowState:
        if (!form_.visible())
            ::ShowWindow(window_, SW_HIDE);
        else if (form_.windowState() == WindowState::Minimised)
            ::ShowWindow(window_, SW_MINIMIZE);
        else {
            if (owner_ && !::IsWindowVisible(window_))
                centreOnOwner();
            ::ShowWindow(window_, ::IsIconic(window_) ? SW_RESTORE : SW_SHOW);
            ::SetForegroundWindow(window_);
        }
        break;
    default:
        break;
    }
}

void FormWindow::paintLines(HDC dc) const {
    for (const FormStyle::Line& line : lines_) {
        const COLORREF colour =
            RGB((line.rgb >> 16) & 0xFF, (line.rgb >> 8) & 0xFF, line.rgb & 0xFF);
        HPEN pen = ::CreatePen(PS_SOLID, line.widthPixels, colour);
        HGDIOBJ previous = ::SelectObject(dc, pen);
        ::MoveToEx(dc, pixels(line.left), pixels(line.top), nullptr);
        ::LineTo(dc, pixels(line.right), pixels(line.top));
        ::SelectObject(dc, previous);
        ::DeleteObject(pen);
    }
}

LRESULT CALLBACK FormWindow::procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTA*>(lParam);
        ::SetWindowLongPtrA(window, GWLP_USERDATA,
                            reinterpret_cast<LONG_PTR>(create->lpCreateParams));
        static_cast<FormWindow*>(create->lpCreateParams)->window_ = window;
    }
    auto* self = reinterpret_cast<FormWindow*>(::GetWindowLongPtrA(window, GWLP_USERDATA));
    return self ? self->handle(message, wParam, lParam)
                : ::DefWindowProcA(window, message, wParam, lParam);
}

LRESULT FormWindow::handle(UINT message, WPARAM wParam, LPARAM lParam) {
    if (extraMessages_ && extraMessages_(message, wParam, lParam))
        return 0;
    switch (message) {
    case WM_COMMAND: {
        const int id = LOWORD(wParam);
        const int code = HIWORD(wParam);
        // Enter and Esc, as the dialog manager passes them on.
        if (lParam == 0 && (id == IDOK || id == IDCANCEL)) {
            if (ControlView* button = id == IDOK ? defaultButton_ : cancelButton_)
                button->command(BN_CLICKED);
            return 0;
        }
        if (lParam == 0 && code == 0 && menus_ && menus_->command(id))
            return 0;
        if (const auto view = byId_.find(id); view != byId_.end())
            view->second->command(code);
        return 0;
    }
    case WM_DRAWITEM: {
        const auto& item = *reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
        if (const auto view = byId_.find(static_cast<int>(item.CtlID)); view != byId_.end())
            view->second->draw(item);
        return TRUE;
    }
    case WM_PAINT: {
        PAINTSTRUCT paint;
        HDC dc = ::BeginPaint(window_, &paint);
        paintLines(dc);
        ::EndPaint(window_, &paint);
        return 0;
    }
    case WM_SETCURSOR:
        if (busy()) {
            ::SetCursor(::LoadCursor(nullptr, IDC_WAIT));
            return TRUE;
        }
        break;
    case WM_CLOSE:
        // Every way of closing comes here; the model's procedures answer.
        runHandler(events_, [this] { form_.requestClose(); });
        return 0;
    case WM_SIZE:
        if (wParam == SIZE_MINIMIZED)
            runHandler(events_, [this] {
                form_.setWindowState(WindowState::Minimised, &formSubscription_);
            });
        else if (wParam == SIZE_RESTORED || wParam == SIZE_MAXIMIZED)
            runHandler(events_,
                       [this] { form_.setWindowState(WindowState::Normal, &formSubscription_); });
        return 0;
    default:
        break;
    }
    return ::DefWindowProcA(window_, message, wParam, lParam);
}

} // namespace kvl::win32
