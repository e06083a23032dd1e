#pragma once

// The controls of a screen, as the program's code sees them: the properties,
// methods and events it uses, and nothing of the toolkit behind them.

#include "design.h"
#include "dispatch.h"

#include <string>
#include <string_view>

class QLabel;
class QLineEdit;
class QPushButton;
class QTimer;
class QWidget;

namespace runtime {

class Form;

// What every control has: its design row and the form it belongs to.
class Control {
public:
    virtual ~Control() = default;
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;

    std::string_view name() const { return design_.name; }
    ControlKind kind() const { return design_.kind; }
    const ControlDesign& design() const { return design_; }

    // The toolkit's widget behind the control (nullptr for a timer), for the
    // runtime itself and for tests.
    virtual QWidget* widget() const = 0;

protected:
    Control(const ControlDesign& design, Form& form)
        : design_(design)
        , form_(form)
    {
    }
    // Runs an event procedure of this control, unless its form has been
    // unloaded since the event was raised.
    void raise(const Procedure& procedure) const;

private:
    const ControlDesign& design_;
    Form& form_;
};

class CommandButton final : public Control {
public:
    CommandButton(const ControlDesign& design, Form& form, QWidget* parent);
    QWidget* widget() const override;

    // The Click procedure: raised by the mouse, by Space or Enter while the
    // button has the focus, by its access key and, for the cancel button,
    // by Esc.
    void onClick(Procedure procedure) { click_ = std::move(procedure); }

private:
    QPushButton* button_;
    Procedure click_;
};

class TextBox final : public Control {
public:
    TextBox(const ControlDesign& design, Form& form, QWidget* parent);
    QWidget* widget() const override;

    std::string Text() const; // UTF-8
    void setText(std::string_view text);
    void SetFocus();

private:
    QLineEdit* edit_;
};

class Label final : public Control {
public:
    Label(const ControlDesign& design, Form& form, QWidget* parent);
    QWidget* widget() const override;

    void setCaption(std::string_view caption);

private:
    QLabel* label_;
};

// A picture holder: draws its picture unscaled, at its natural size, from
// the top-left corner, clipped to the box, on the box's background. It can
// take the focus but shows no focus mark.
class PictureBox final : public Control {
public:
    PictureBox(const ControlDesign& design, Form& form, QWidget* parent);
    QWidget* widget() const override { return widget_; }

private:
    QWidget* widget_;
};

// An image: as large as its picture, never takes the focus.
class Image final : public Control {
public:
    Image(const ControlDesign& design, Form& form, QWidget* parent);
    QWidget* widget() const override { return widget_; }

private:
    QWidget* widget_;
};

// A filled rectangle with a two-pixel outline.
class Shape final : public Control {
public:
    Shape(const ControlDesign& design, Form& form, QWidget* parent);
    QWidget* widget() const override { return widget_; }

private:
    QWidget* widget_;
};

// A timer that raises its Timer procedure every Interval while Enabled.
// Enabling it restarts the count, so the next tick is a whole interval away.
// It stops for good when its form is unloaded.
class Timer final : public Control {
public:
    Timer(const ControlDesign& design, Form& form, QWidget* parent);
    QWidget* widget() const override { return nullptr; }

    void setEnabled(bool enabled);
    void onTimer(Procedure procedure) { tick_ = std::move(procedure); }

private:
    QTimer* timer_;
    Procedure tick_;
};

// The control class for each kind of row.
template <ControlKind K> struct ControlOf;
template <> struct ControlOf<ControlKind::CommandButton> {
    using type = CommandButton;
};
template <> struct ControlOf<ControlKind::TextBox> {
    using type = TextBox;
};
template <> struct ControlOf<ControlKind::Label> {
    using type = Label;
};
template <> struct ControlOf<ControlKind::PictureBox> {
    using type = PictureBox;
};
template <> struct ControlOf<ControlKind::Image> {
    using type = Image;
};
template <> struct ControlOf<ControlKind::Shape> {
    using type = Shape;
};
template <> struct ControlOf<ControlKind::Timer> {
    using type = Timer;
};

} // namespace runtime
