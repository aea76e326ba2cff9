#include "gui/qt/FormWindow.h"

#include "controls/Commands.h"
#include "gui/qt/MenuEntryView.h"
#include "gui/qt/ProgramIcon.h"
#include "gui/qt/Windows1252.h"
#include "platform/EventLoop.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCloseEvent>
#include <QFontDatabase>
#include <QFrame>
#include <QMenu>
#include <QMenuBar>
#include <QShortcut>

namespace kvl::qt {

namespace {

// The design's forms were drawn with an 8 point sans serif font of Arial's
// widths; Liberation Sans has them, the desktop's sans serif stands in.
constexpr double formPointSize = 8;
const char* const formFamilies[] = {"Liberation Sans", "Arial"};
// A frame's caption sits on its border, as the design draws it.
const char* const frameLook = "QGroupBox { border: 1px solid palette(mid); border-radius: 2px;"
                              " margin-top: 7px; }"
                              "QGroupBox::title { subcontrol-origin: margin; left: 6px;"
                              " padding: 0 2px; }";
// A label more than one line high wraps its words.
constexpr int oneLineTwips = 300;

QRect pixelRect(const Twips& twips) {
    return QRect(FormWindow::pixels(twips.left), FormWindow::pixels(twips.top),
                 FormWindow::pixels(twips.width), FormWindow::pixels(twips.height));
}

} // namespace

void useFormFont() {
    QFont font = QApplication::font();
    for (const char* family : formFamilies)
        if (QFontDatabase::hasFamily(QString::fromLatin1(family))) {
            font.setFamily(QString::fromLatin1(family));
            break;
        }
    font.setPointSizeF(formPointSize);
    QApplication::setFont(font);
}

FormWindow::FormWindow(Form& form, const FormStyle& style, EventLoop& events, QWidget* owner)
    : QMainWindow(owner, style.border == FormStyle::Border::FixedDialog
                             ? Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint |
                                   Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                                   Qt::WindowCloseButtonHint
                             : Qt::Window),
      form_(form), events_(events), client_(new QWidget(this)) {
    setObjectName(QString::fromStdString(form.name()));
    client_->setObjectName("client");
    client_->setStyleSheet(QString::fromLatin1(frameLook));
    if (style.windowIcon)
        setWindowIcon(programIcon());
    setCentralWidget(client_);

    buildControls(style);
    buildMenus();
    buildDecorations(style);

    const QSize clientSize(pixels(style.clientWidth ? style.clientWidth : form.clientWidth()),
                           pixels(style.clientHeight ? style.clientHeight : form.clientHeight()));
    client_->setMinimumSize(clientSize);
    const int menuHeight = menuBar()->isVisible() || !menuBar()->actions().isEmpty()
                               ? menuBar()->sizeHint().height()
                               : 0;
    if (style.border == FormStyle::Border::FixedDialog)
        setFixedSize(clientSize.width(), clientSize.height() + menuHeight);
    else
        resize(clientSize.width(), clientSize.height() + menuHeight);

    for (const char* key : {"Return", "Enter"})
        if (!style.defaultButton.empty())
            new QShortcut(QKeySequence(QString::fromLatin1(key)), this, [this, style] {
                if (auto* button =
                        findChild<QAbstractButton*>(QString::fromStdString(style.defaultButton)))
                    button->click();
            });
    if (!style.cancelButton.empty())
        new QShortcut(QKeySequence(Qt::Key_Escape), this, [this, style] {
            if (auto* button =
                    findChild<QAbstractButton*>(QString::fromStdString(style.cancelButton)))
                button->click();
        });

    formSubscription_ = form.onChange([this](Property property) {
        if (property == Property::Caption)
            setWindowTitle(fromWindows1252(form_.caption()));
        else
            showModelVisibility();
    });
    setWindowTitle(fromWindows1252(form.caption()));
    followBusyButtons();
    showModelVisibility();
}

FormWindow::~FormWindow() {
    if (busy_)
        QApplication::restoreOverrideCursor();
}

void FormWindow::buildControls(const FormStyle& style) {
    std::map<std::string, QWidget*> frames;
    const auto position = [&style](const Control& control) {
        const auto found = style.positions.find(control.name());
        return found != style.positions.end() ? found->second : control.position();
    };
    // Frames first, so that every control finds the frame it sits in.
    for (const bool framePass : {true, false}) {
        for (Control* control : form_.controls()) {
            if ((dynamic_cast<Frame*>(control) != nullptr) != framePass)
                continue;
            const auto frame = frames.find(control->container());
            QWidget* parent = frame != frames.end() ? frame->second : client_;
            const Twips place = position(*control);
            ControlLook look;
            look.readOnly = look.buttonFace = style.answerBoxes.count(control->name()) > 0;
            look.multiLine = place.height > oneLineTwips;
            auto view = makeControlView(*control, parent, events_, look);
            if (!view)
                continue;
            QWidget* widget = view->widget();
            widget->setGeometry(pixelRect(place));
            const auto font = style.fonts.find(control->name());
            if (font != style.fonts.end()) {
                QFont changed = widget->font();
                changed.setBold(font->second.bold);
                if (font->second.pointSize > 0)
                    changed.setPointSizeF(font->second.pointSize);
                widget->setFont(changed);
            }
            if (framePass)
                frames[control->name()] = widget;
            views_.push_back(std::move(view));
        }
    }
}

void FormWindow::buildMenus() {
    std::vector<MenuEntry*> entries;
    for (Control* control : form_.controls())
        if (auto* entry = dynamic_cast<MenuEntry*>(control))
            entries.push_back(entry);
    const auto entriesOf = [&entries](const std::string& parent) {
        std::vector<MenuEntry*> children;
        for (MenuEntry* entry : entries)
            if (entry->container() == parent)
                children.push_back(entry);
        return children;
    };

    for (MenuEntry* top : entriesOf({})) {
        const std::vector<MenuEntry*> children = entriesOf(top->name());
        if (children.empty()) {
            // A command on the bar itself acts at once, with no drop-down.
            auto* action = menuBar()->addAction(QString());
            menuViews_.push_back(std::make_unique<MenuEntryView>(*top, action, events_));
            continue;
        }
        auto* menu = new QMenu(this);
        menu->setObjectName(QString::fromStdString(top->name()));
        menuViews_.push_back(std::make_unique<MenuEntryView>(*top, menu->menuAction(), events_));
        menuBar()->addMenu(menu);
        auto* popup = new QMenu(this);
        popup->setObjectName(QString::fromStdString(top->name() + "_popup"));
        popups_[top->name()] = popup;
        for (MenuEntry* child : children) {
            menuViews_.push_back(
                std::make_unique<MenuEntryView>(*child, menu->addAction(QString()), events_));
            menuViews_.push_back(
                std::make_unique<MenuEntryView>(*child, popup->addAction(QString()), events_));
        }
    }
    menuBar()->setVisible(!entries.empty());
}

void FormWindow::buildDecorations(const FormStyle& style) {
    for (const FormStyle::Line& line : style.lines) {
        auto* widget = new QFrame(client_);
        widget->setObjectName("line");
        widget->setGeometry(pixels(line.left), pixels(line.top), pixels(line.right - line.left),
                            line.widthPixels);
        widget->setAutoFillBackground(true);
        QPalette palette = widget->palette();
        palette.setColor(QPalette::Window, QColor::fromRgb(line.rgb));
        widget->setPalette(palette);
    }
}

QMenu* FormWindow::popupMenu(const std::string& dropDownName) const {
    const auto found = popups_.find(dropDownName);
    return found != popups_.end() ? found->second : nullptr;
}

void FormWindow::followBusyButtons() {
    for (Control* control : form_.controls()) {
        auto* button = dynamic_cast<Button*>(control);
        if (!button)
            continue;
        buttonSubscriptions_.push_back(button->onChange([this](Property property) {
            if (property != Property::Enabled)
                return;
            bool anyDisabled = false;
            for (Control* other : form_.controls())
                if (dynamic_cast<Button*>(other) && !other->enabled())
                    anyDisabled = true;
            if (anyDisabled == busy_)
                return;
            busy_ = anyDisabled;
            if (busy_)
                QApplication::setOverrideCursor(Qt::WaitCursor);
            else
                QApplication::restoreOverrideCursor();
        }));
    }
}

void FormWindow::showModelVisibility() {
    if (!form_.visible()) {
        hide();
        return;
    }
    if (form_.windowState() == WindowState::Minimised) {
        showMinimized();
        return;
    }
    setWindowState(windowState() & ~Qt::WindowMinimized);
    show();
    raise();
    activateWindow();
}

void FormWindow::closeEvent(QCloseEvent* event) {
    // The form's close request decides; its unload hides the window.
    event->ignore();
    runHandler(events_, [this] { form_.requestClose(); });
}

void FormWindow::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    if (event->type() != QEvent::WindowStateChange)
        return;
    const WindowState shown = isMinimized() ? WindowState::Minimised : WindowState::Normal;
    if (shown != form_.windowState())
        runHandler(events_, [this, shown] { form_.setWindowState(shown, &formSubscription_); });
}

} // namespace kvl::qt
