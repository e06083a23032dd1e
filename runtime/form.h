#pragma once

#include "controls.h"
#include "design.h"

#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace runtime {

namespace detail {
class FormWindow;
}

// The size of the primary display, in twips.
struct Screen {
    static float Width();
    static float Height();
};

// A loaded screen: its window, a fixed dialog frame with a close box only,
// not resizable, no taskbar button, and its controls, all built from the
// design table.
class Form {
public:
    explicit Form(const FormDesign& design);
    virtual ~Form();
    Form(const Form&) = delete;
    Form& operator=(const Form&) = delete;

    // Runs once the window and its controls exist, before the window is shown.
    virtual void Form_Load() { }

    // Outer size and position (frame and title bar included), in twips.
    float Width() const;
    float Height() const;
    float Left() const;
    float Top() const;
    void setLeft(float twips);
    void setTop(float twips);

    // Puts the outer rectangle in the middle of the primary display: Left
    // first, then Top, each from the sizes read just before it.
    void centre();

    // The control of the design table that id names. The kind is checked
    // when the program is built; that the id comes from this form's own
    // table is checked here, in every build.
    template <ControlKind K> typename ControlOf<K>::type& control(ControlId<K> id) const
    {
        Control& c = controlAt(id.index, id.name);
        if (c.kind() != K)
            throw std::logic_error("control " + std::string(id.name) + " of " + std::string(name()) + " is of another kind");
        return static_cast<typename ControlOf<K>::type&>(c);
    }

    std::string_view name() const { return design_.name; }
    bool isLoaded() const { return loaded_; }

    // The toolkit's window, for the runtime itself and for tests (widgets.h).
    detail::FormWindow* window() const;

    // Placed again the way it was placed (centred, or at Left and Top), with
    // what is known now of the frame and the display.
    void placeAgain();

    // What the screen shows is new (a new exercise): a press that did it
    // does not carry over to it (a double click, a held key).
    void contentRenewed();

    // The runtime's side of loading and unloading.
    void setCloseHandler(std::function<void()> handler);
    void present();
    // Shown, but not yet painted for the first time.
    bool arriving() const;
    // Marks the form unloaded and stops its timers; the window is hidden at
    // once, or, with leaveShown, left on the display for the runtime to
    // hide (clicks pass through it meanwhile).
    void unloading(bool leaveShown);

    // Takes the desktop's colours again (after the desktop changed them).
    void applyColours();

private:
    void buildControls();
    Control& controlAt(std::size_t index, std::string_view name) const;
    void place();

    const FormDesign& design_;
    std::unique_ptr<detail::FormWindow> window_;
    std::vector<std::unique_ptr<Control>> controls_;
    double left_ = 0, top_ = 0; // outer corner, twips from the primary display's corner
    bool loaded_ = true;
    bool centred_ = false; // placed by centre(), not by Left and Top
    bool prepared_ = false; // its native window made and set up
};

} // namespace runtime
