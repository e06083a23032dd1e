#pragma once

// The toolkit's widgets behind the controls and forms. Only the runtime
// includes this header.

#include "picture.h"

#include <QColor>
#include <QWidget>

#include <functional>

namespace runtime {

class Form;

namespace detail {

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

protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    Form& form_;
    qint64 desktopColours_ = 0; // the desktop palette the colours were last taken from
};

} // namespace detail
} // namespace runtime
