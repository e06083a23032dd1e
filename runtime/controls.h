#pragma once

// The controls of a screen, as the program's code sees them: the properties,
// methods and events it uses, and nothing of the toolkit behind them.

#include "design.h"
#include "dispatch.h"

#include <string>
#include <string_view>
#include <utility>

namespace runtime {

class Form;

// What every control has: its design row and the form it belongs to. The
// widget behind it is the runtime's own business (widgets.h).
class Control {
public:
    virtual ~Control() = default;
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;

    std::string_view name() const { return design_.name; }
    ControlKind kind() const { return design_.kind; }
    const ControlDesign& design() const { return design_; }

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

class CommandButton : public Control {
public:
    // The Click procedure: raised by the mouse, by Space or Enter while the
    // button has the focus, by its access key and, for the cancel button,
    // by Esc.
    void onClick(Procedure procedure) { click_ = std::move(procedure); }

protected:
    using Control::Control;
    Procedure click_;
};

class TextBox : public Control {
public:
    virtual std::string Text() const = 0; // UTF-8
    virtual void setText(std::string_view text) = 0;
    virtual void SetFocus() = 0;

protected:
    using Control::Control;
};

class Label : public Control {
public:
    virtual void setCaption(std::string_view caption) = 0;

protected:
    using Control::Control;
};

// A picture holder: draws its picture unscaled, at its natural size, from
// the top-left corner, clipped to the box, on the box's background. It can
// take the focus but shows no focus mark.
class PictureBox : public Control {
protected:
    using Control::Control;
};

// An image: as large as its picture, never takes the focus.
class Image : public Control {
protected:
    using Control::Control;
};

// A filled rectangle with a two-pixel outline.
class Shape : public Control {
protected:
    using Control::Control;
};

// A timer that raises its Timer procedure every Interval while Enabled.
// Enabling it restarts the count, so the next tick is a whole interval away.
// It stops for good when its form is unloaded.
class Timer : public Control {
public:
    virtual void setEnabled(bool enabled) = 0;
    void onTimer(Procedure procedure) { tick_ = std::move(procedure); }

protected:
    using Control::Control;
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
