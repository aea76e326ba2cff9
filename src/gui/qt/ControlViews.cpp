#include "gui/qt/ControlViews.h"

#include "controls/ComboBox.h"
#include "controls/Commands.h"
#include "controls/SimpleControls.h"
#include "controls/TextBox.h"
#include "controls/Timer.h"
#include "gui/qt/ProgramIcon.h"
#include "gui/qt/Windows1252.h"
#include "platform/EventLoop.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QValidator>

#include <algorithm>

namespace kvl::qt {

ControlView::ControlView(Control& control, QWidget* widget)
    : control_(control), widget_(widget),
      subscription_(control.onChange([this](Property property) { refresh(property); })) {
    widget_->setObjectName(QString::fromStdString(control.name()));
}

void ControlView::refreshAll() {
    for (const Property property :
         {Property::Text, Property::Items, Property::ListIndex, Property::Caption, Property::Value,
          Property::FillColour, Property::Enabled, Property::Visible})
        refresh(property);
}

void ControlView::refresh(Property property) {
    if (property == Property::Enabled)
        widget_->setEnabled(control_.enabled());
    else if (property == Property::Visible)
        widget_->setHidden(!control_.visible());
}

namespace {

QColor fromColourValue(long value) {
    // Red in the low byte.
    return QColor(static_cast<int>(value & 0xFF), static_cast<int>((value >> 8) & 0xFF),
                  static_cast<int>((value >> 16) & 0xFF));
}

// Labels and frames.
template <class Widget> class CaptionView : public ControlView {
public:
    CaptionView(CaptionedControl& control, Widget* widget)
        : ControlView(control, widget), control_(control), widget_(widget) {
        refreshAll();
    }

protected:
    void refresh(Property property) override {
        if (property == Property::Caption)
            setCaption(fromWindows1252(control_.caption()));
        ControlView::refresh(property);
    }

private:
    void setCaption(const QString& caption) {
        if constexpr (std::is_same_v<Widget, QGroupBox>)
            widget_->setTitle(caption);
        else
            widget_->setText(caption);
    }

    CaptionedControl& control_;
    Widget* widget_;
};

// What an operator's typing or pasting may put into a text box: the
// program's text is one line of Windows-1252, so a line break or tab becomes
// a blank and a character without a byte becomes '?'. The length is the
// line edit's limit; the model has the last word.
class Windows1252Validator : public QValidator {
public:
    using QValidator::QValidator;
    State validate(QString& input, int& position) const override {
        for (QChar& character : input)
            if (character.unicode() < 0x20)
                character = QLatin1Char(' ');
        const QString representable = fromWindows1252(toWindows1252(input));
        if (representable != input) {
            position = std::min(position, static_cast<int>(representable.size()));
            input = representable;
        }
        return Acceptable;
    }
};

class TextBoxView : public ControlView {
public:
    TextBoxView(TextBox& box, QLineEdit* edit, const ControlLook& look)
        : ControlView(box, edit), box_(box), edit_(edit) {
        edit->setValidator(new Windows1252Validator(edit));
        edit->setReadOnly(look.readOnly);
        if (look.buttonFace) {
            QPalette palette = edit->palette();
            palette.setColor(QPalette::Base, palette.color(QPalette::Button));
            edit->setPalette(palette);
        }
        QObject::connect(edit, &QLineEdit::textEdited, edit, [this](const QString& text) {
            // Refused (past the limit, or disabled): the widget shows the
            // model's text again.
            if (!box_.typeText(toWindows1252(text), &origin()))
                show();
        });
        refreshAll();
    }

protected:
    void refresh(Property property) override {
        if (property == Property::Text)
            show();
        ControlView::refresh(property);
    }

private:
    void show() {
        const QString text = fromWindows1252(box_.text());
        // The limit holds the operator's typing only: a longer text the
        // program wrote shows whole.
        constexpr int noLimit = 32767;
        const int limit = box_.limit() == 0 ? noLimit : static_cast<int>(box_.limit());
        edit_->setMaxLength(std::max(limit, static_cast<int>(text.size())));
        if (edit_->text() != text) {
            const int cursor = edit_->cursorPosition();
            edit_->setText(text);
            edit_->setCursorPosition(std::min(cursor, static_cast<int>(text.size())));
        }
    }

    TextBox& box_;
    QLineEdit* edit_;
};

class ComboBoxView : public ControlView {
public:
    ComboBoxView(ComboBox& list, QComboBox* combo)
        : ControlView(list, combo), list_(list), combo_(combo) {
        QObject::connect(combo, &QComboBox::activated, combo,
                         [this](int index) { list_.setListIndex(index, &origin()); });
        refreshAll();
    }

protected:
    void refresh(Property property) override {
        if (property == Property::Items) {
            combo_->clear();
            for (const std::string& item : list_.items())
                combo_->addItem(fromWindows1252(item));
        }
        if (property == Property::Items || property == Property::ListIndex)
            combo_->setCurrentIndex(list_.listIndex());
        ControlView::refresh(property);
    }

private:
    ComboBox& list_;
    QComboBox* combo_;
};

class ButtonView : public CaptionView<QPushButton> {
public:
    ButtonView(Button& button, QPushButton* push, EventLoop& events) : CaptionView(button, push) {
        push->setAutoDefault(false);
        QObject::connect(push, &QPushButton::clicked, push,
                         [&button, &events] { runHandler(events, [&button] { button.click(); }); });
    }
};

class CheckBoxView : public CaptionView<QCheckBox> {
public:
    CheckBoxView(CheckBox& check, QCheckBox* box)
        : CaptionView(check, box), check_(check), box_(box) {
        QObject::connect(box, &QCheckBox::clicked, box,
                         [this](bool checked) { check_.setValue(checked ? 1 : 0, &origin()); });
        refresh(Property::Value);
    }

protected:
    void refresh(Property property) override {
        if (property == Property::Value)
            box_->setCheckState(check_.value() == 1   ? Qt::Checked
                                : check_.value() == 0 ? Qt::Unchecked
                                                      : Qt::PartiallyChecked);
        CaptionView::refresh(property);
    }

private:
    CheckBox& check_;
    QCheckBox* box_;
};

class ShapeView : public ControlView {
public:
    ShapeView(Shape& shape, QFrame* frame)
        : ControlView(shape, frame), shape_(shape), frame_(frame) {
        frame->setFrameShape(QFrame::Box);
        frame->setAutoFillBackground(true);
        refreshAll();
    }

protected:
    void refresh(Property property) override {
        if (property == Property::FillColour) {
            QPalette palette = frame_->palette();
            palette.setColor(QPalette::Window, fromColourValue(shape_.fillColour()));
            frame_->setPalette(palette);
        }
        ControlView::refresh(property);
    }

private:
    Shape& shape_;
    QFrame* frame_;
};

class PictureView : public ControlView {
public:
    PictureView(Control& picture, QLabel* label) : ControlView(picture, label) {
        label->setPixmap(programPixmap());
        label->setAlignment(Qt::AlignCenter);
        label->setAutoFillBackground(true);
        QPalette palette = label->palette();
        palette.setColor(QPalette::Window, QColor(192, 192, 192));
        label->setPalette(palette);
        refreshAll();
    }
};

} // namespace

std::unique_ptr<ControlView> makeControlView(Control& control, QWidget* parent, EventLoop& events,
                                             const ControlLook& look) {
    if (auto* box = dynamic_cast<TextBox*>(&control))
        return std::make_unique<TextBoxView>(*box, new QLineEdit(parent), look);
    if (auto* list = dynamic_cast<ComboBox*>(&control))
        return std::make_unique<ComboBoxView>(*list, new QComboBox(parent));
    if (auto* button = dynamic_cast<Button*>(&control))
        return std::make_unique<ButtonView>(*button, new QPushButton(parent), events);
    if (auto* check = dynamic_cast<CheckBox*>(&control))
        return std::make_unique<CheckBoxView>(*check, new QCheckBox(parent));
    if (auto* frame = dynamic_cast<Frame*>(&control))
        return std::make_unique<CaptionView<QGroupBox>>(*frame, new QGroupBox(parent));
    if (auto* label = dynamic_cast<Label*>(&control)) {
        auto* widget = new QLabel(parent);
        widget->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        widget->setWordWrap(look.multiLine);
        return std::make_unique<CaptionView<QLabel>>(*label, widget);
    }
    if (auto* shape = dynamic_cast<Shape*>(&control))
        return std::make_unique<ShapeView>(*shape, new QFrame(parent));
    if (dynamic_cast<Picture*>(&control))
        return std::make_unique<PictureView>(control, new QLabel(parent));
    return nullptr;
}

} // namespace kvl::qt
