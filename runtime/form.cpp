#include "form.h"

#include "window_frame.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QShortcut>

#include <algorithm>
#include <cmath>
#include <vector>

namespace runtime {
namespace {

constexpr bool isWindowless(ControlKind kind)
{
    return kind == ControlKind::Label || kind == ControlKind::Shape || kind == ControlKind::Image;
}

QWidget* makeControl(const ControlDesign& d, QWidget* parent)
{
    switch (d.kind) {
    case ControlKind::CommandButton: return new CommandButton(d, parent);
    case ControlKind::TextBox: return new TextBox(d, parent);
    case ControlKind::Label: return new Label(d, parent);
    case ControlKind::PictureBox: return new PictureBox(d, parent);
    case ControlKind::Image: return new Image(d, parent);
    case ControlKind::Shape: return new Shape(d, parent);
    }
    return nullptr;
}

QRect primaryDisplay()
{
    const QScreen* s = QGuiApplication::primaryScreen();
    return s ? s->geometry() : QRect();
}

// What assistive technology is told each kind of widget is: a screen is a
// window, a picture holder a picture.
QAccessibleInterface* accessibleRole(const QString& className, QObject* object)
{
    Q_UNUSED(className); // the object's own class is asked first, and the kind decides
    if (auto* picture = qobject_cast<PictureBox*>(object))
        return new QAccessibleWidget(picture, QAccessible::Graphic);
    if (auto* form = qobject_cast<Form*>(object))
        return new QAccessibleWidget(form, QAccessible::Window);
    return nullptr;
}

} // namespace

float Screen::Width()
{
    return static_cast<float>(primaryDisplay().width() * kTwipsPerPixel);
}
float Screen::Height()
{
    return static_cast<float>(primaryDisplay().height() * kTwipsPerPixel);
}

Form::Form(const FormDesign& design)
{
    static const bool roles = (QAccessible::installFactory(accessibleRole), true);
    Q_UNUSED(roles);
    setObjectName(QString::fromUtf8(design.name.data(), qsizetype(design.name.size())));
    setWindowTitle(QString::fromUtf8(design.caption.data(), qsizetype(design.caption.size())));
    setWindowFlags(Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
        | Qt::WindowCloseButtonHint);
    setFixedSize(pixels(design.clientWidth), pixels(design.clientHeight));
    QPalette pal = palette();
    pal.setColor(QPalette::Window, toColor(design.background));
    setPalette(pal);
    setAutoFillBackground(true);
    setAttribute(Qt::WA_DeleteOnClose, false);
    buildControls(design);
    skipTaskbar(this);
}

void Form::buildControls(const FormDesign& design)
{
    // Labels, shapes and images lie beneath every box, button and picture
    // box: they are created first.
    std::vector<const ControlDesign*> order;
    for (const auto& d : design.controls)
        if (isWindowless(d.kind))
            order.push_back(&d);
    for (const auto& d : design.controls)
        if (!isWindowless(d.kind))
            order.push_back(&d);

    std::vector<std::pair<int, QWidget*>> tabbed;
    for (const ControlDesign* d : order) {
        QWidget* w = makeControl(*d, this);
        if (d->tabIndex >= 0 && w->focusPolicy() != Qt::NoFocus)
            tabbed.emplace_back(d->tabIndex, w);
        if (d->cancel) {
            auto* button = static_cast<QAbstractButton*>(w);
            auto* esc = new QShortcut(QKeySequence(Qt::Key_Escape), this);
            esc->setContext(Qt::WindowShortcut);
            connect(esc, &QShortcut::activated, button, &QAbstractButton::click);
        }
    }

    std::sort(tabbed.begin(), tabbed.end(), [](auto& a, auto& b) { return a.first < b.first; });
    for (std::size_t i = 1; i < tabbed.size(); ++i)
        QWidget::setTabOrder(tabbed[i - 1].second, tabbed[i].second);
    if (!tabbed.empty())
        tabbed.front().second->setFocus(); // the lowest tab index has the focus when shown
}

QMargins Form::frame()
{
    // Once the window has been mapped the toolkit knows its frame; before
    // that, the window manager is asked.
    if (isVisible()) {
        const QRect outer = frameGeometry();
        const QRect inner = geometry();
        return {inner.left() - outer.left(), inner.top() - outer.top(), outer.right() - inner.right(),
            outer.bottom() - inner.bottom()};
    }
    return frameExtentsBeforeMap(this);
}

float Form::Width()
{
    const QMargins m = frame();
    return static_cast<float>((width() + m.left() + m.right()) * kTwipsPerPixel);
}

float Form::Height()
{
    const QMargins m = frame();
    return static_cast<float>((height() + m.top() + m.bottom()) * kTwipsPerPixel);
}

float Form::Left()
{
    return static_cast<float>(outerTopLeft_.x());
}
float Form::Top()
{
    return static_cast<float>(outerTopLeft_.y());
}

void Form::setLeft(float twips)
{
    outerTopLeft_.setX(twips);
    place();
}

void Form::setTop(float twips)
{
    outerTopLeft_.setY(twips);
    place();
}

void Form::place()
{
    // The outer corner in twips becomes the client area's position in
    // pixels; a half pixel is rounded down.
    const QMargins m = frame();
    const QPoint outer(static_cast<int>(std::floor(outerTopLeft_.x() / kTwipsPerPixel)),
        static_cast<int>(std::floor(outerTopLeft_.y() / kTwipsPerPixel)));
    setGeometry(QRect(outer + QPoint(m.left(), m.top()), size()));
}

void Form::centre()
{
    const float w = Width();
    const float sw = Screen::Width();
    setLeft(static_cast<float>((static_cast<double>(sw) - w) / 2.0));
    const float h = Height();
    const float sh = Screen::Height();
    setTop(static_cast<float>((static_cast<double>(sh) - h) / 2.0));
}

void Form::closeEvent(QCloseEvent* event)
{
    event->accept();
    if (onClose_)
        onClose_();
}

} // namespace runtime
