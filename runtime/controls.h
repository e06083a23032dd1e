#pragma once

#include "design.h"
#include "picture.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QWidget>

#include <functional>

namespace runtime {

QColor toColor(Rgb rgb);
QFont toFont(const FontDesign& design);

class CommandButton : public QPushButton {
    Q_OBJECT
public:
    CommandButton(const ControlDesign& design, QWidget* parent);
    bool isCancel() const { return cancel_; }

private:
    bool cancel_;
};

class TextBox : public QLineEdit {
    Q_OBJECT
public:
    TextBox(const ControlDesign& design, QWidget* parent);
};

class Label : public QLabel {
    Q_OBJECT
public:
    Label(const ControlDesign& design, QWidget* parent);
};

// A picture holder: draws its picture unscaled, at its natural size, from
// the top-left corner, clipped to the box, on the box's background. It can
// take the focus but shows no focus mark.
class PictureBox : public QWidget {
    Q_OBJECT
public:
    PictureBox(const ControlDesign& design, QWidget* parent, Qt::FocusPolicy focus = Qt::StrongFocus);
    const Picture& picture() const { return picture_; }

protected:
    void paintEvent(QPaintEvent*) override;

private:
    Picture picture_;
};

// An image: a picture holder that never takes the focus.
class Image : public PictureBox {
    Q_OBJECT
public:
    Image(const ControlDesign& design, QWidget* parent);
};

// A filled rectangle with a two-pixel outline in the window-text colour.
class Shape : public QWidget {
    Q_OBJECT
public:
    Shape(const ControlDesign& design, QWidget* parent);

protected:
    void paintEvent(QPaintEvent*) override;

private:
    QColor fill_;
};

// A timer that fires every Interval while Enabled. Enabling it restarts the
// count, so the next tick is always a whole interval away.
class Timer : public QObject {
    Q_OBJECT
public:
    Timer(int intervalMs, QObject* parent);
    void setEnabled(bool enabled);
    bool isEnabled() const { return timer_.isActive(); }
    int interval() const { return timer_.interval(); }

signals:
    void tick();

private:
    QTimer timer_;
};

} // namespace runtime
