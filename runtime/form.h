#pragma once

#include "controls.h"
#include "design.h"

#include <QWidget>

#include <functional>

namespace runtime {

// The size of the whole display, in twips.
struct Screen {
    static float Width();
    static float Height();
};

// A loaded screen's window: a fixed dialog frame with a close box only, not
// resizable, no taskbar button, its controls built from the design table.
class Form : public QWidget {
    Q_OBJECT
public:
    explicit Form(const FormDesign& design);

    // Runs once the window and its controls exist, before the window is shown.
    virtual void Form_Load() { }

    // Outer size and position (frame and title bar included), in twips.
    float Width();
    float Height();
    float Left();
    float Top();
    void setLeft(float twips);
    void setTop(float twips);

    // Puts the outer rectangle in the middle of the display: Left first,
    // then Top, each from the sizes read just before it.
    void centre();

    template <class W> W* control(std::string_view name) const
    {
        W* w = findChild<W*>(QString::fromUtf8(name.data(), qsizetype(name.size())), Qt::FindDirectChildrenOnly);
        Q_ASSERT_X(w, "Form::control", "no such control in the design table");
        return w;
    }

    // Called when the user closes the window from its frame.
    void setCloseHandler(std::function<void()> handler) { onClose_ = std::move(handler); }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void buildControls(const FormDesign& design);
    QMargins frame();
    void place();

    QPointF outerTopLeft_; // twips
    std::function<void()> onClose_;
};

} // namespace runtime
