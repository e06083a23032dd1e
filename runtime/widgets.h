#pragma once

// The toolkit's widgets behind the controls and forms. Only the runtime
// includes this header.

#include "design.h"
#include "picture.h"

#include <QColor>
#include <QLabel>
#include <QLineEdit>
#include <QWidget>

#include <functional>
#include <memory>

namespace runtime {

class Control;
class Form;

// A control of its row's kind, its widget a child of parent.
std::unique_ptr<Control> makeControl(const ControlDesign& design, Form& form, QWidget* parent);

// The widget behind a control (nullptr for a timer).
QWidget* widgetOf(const Control& control);

namespace detail {

// An entry box. It remembers whether its text is selected only because it
// was entered with Tab, which selects it all, and nothing has moved the
// selection since: a screen reader is not told of that selection.
class BoxWidget : public QLineEdit {
    Q_OBJECT
public:
    explicit BoxWidget(QWidget* parent);
    bool selectedOnEntry() const { return selectedOnEntry_; }
    // The rectangle of the character at offset, in the box's coordinates.
    QRect characterRect(int offset) const;

protected:
    void focusInEvent(QFocusEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    bool selectedOnEntry_ = false;
};

// A label, with what its design row tells a screen reader: the line of its
// window's summary it belongs to (0: none), and whether it is a message.
class LabelWidget : public QLabel {
    Q_OBJECT
public:
    LabelWidget(QWidget* parent, const ControlDesign& design);
    int summaryLine() const { return design_.summaryLine; }
    bool isMessage() const { return design_.message; }

private:
    const ControlDesign& design_;
};

// Draws its picture at the natural size from the top-left corner, on the
// background the palette gives.
class PictureWidget : public QWidget {
    Q_OBJECT
public:
    PictureWidget(QWidget* parent, const QString& picture);
    const Picture& picture() const { return picture_; }

protected:
    void paintEvent(QPaintEvent*) override;

private:
    Picture picture_;
};

class ShapeWidget : public QWidget {
    Q_OBJECT
public:
    ShapeWidget(QWidget* parent, QColor fill);
    void setOutline(QColor outline);
    QColor outline() const { return outline_; }
    QColor fill() const { return fill_; }

protected:
    void paintEvent(QPaintEvent*) override;

private:
    QColor fill_;
    QColor outline_;
};

// A loaded screen's window. It tells its form when the user closes it, when
// the desktop changes its colours, and puts itself back when a window
// manager minimises it: it has no taskbar button to be found by.
class FormWindow : public QWidget {
    Q_OBJECT
public:
    explicit FormWindow(Form& form);
    Form& form() const { return form_; }

    std::function<void()> onClose;
    bool arriving = false; // shown and not yet painted
    // Left by the user and kept on the display until the screen shown in its
    // place is up; still told active to assistive technology meanwhile.
    bool leaving = false;
    QColor background; // the screen's

signals:
    // The first frame after the window was shown has been painted.
    void firstFrameShown();

protected:
    void paintEvent(QPaintEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    Form& form_;
    qint64 desktopColours_ = 0; // the desktop palette the colours were last taken from
};

} // namespace detail
} // namespace runtime
