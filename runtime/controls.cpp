#include "controls.h"

#include "accessibility.h"
#include "input_guard.h"
#include "colours.h"
#include "fonts.h"
#include "form.h"
#include "widgets.h"
#include "text.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QTimer>

#include <limits>
#include <memory>
#include <stdexcept>

namespace runtime {
namespace {

QRect designRect(const ControlDesign& d)
{
    return {pixels(d.place.left), pixels(d.place.top), pixels(d.place.width), pixels(d.place.height)};
}

Qt::Alignment horizontalAlignment(const ControlDesign& d)
{
    return d.alignment == Alignment::Centre ? Qt::AlignHCenter : Qt::AlignLeft;
}

// Settings every visible control takes from its design row.
template <class W> W* build(W* w, const ControlDesign& d)
{
    w->setObjectName(qs(d.name));
    w->setGeometry(designRect(d));
    if (d.font)
        w->setFont(toFont(*d.font));
    if (d.background)
        w->setAutoFillBackground(true);
    if (!d.accessibleName.empty())
        w->setAccessibleName(qs(d.accessibleName));
    return w;
}

} // namespace

void Control::raise(const Procedure& procedure) const
{
    if (form_.isLoaded())
        runProcedure(procedure);
}

namespace {

// The widget behind a control that has one.
class Held {
public:
    virtual QWidget* widget() const = 0;

protected:
    ~Held() = default;
};

class ButtonControl final : public CommandButton, public Held {
public:
    ButtonControl(const ControlDesign& d, Form& form, QWidget* parent)
        : CommandButton(d, form)
        , button_(build(new QPushButton(parent), d))
    {
        if (!d.graphical) {
            button_->setText(qs(d.caption));
            button_->setFont(toFont(d.font.value_or(kDefaultDialogFont)));
        } else if (!d.picture.empty()) {
            // The picture is drawn centred on the button face in place of a caption.
            const qreal ratio = button_->devicePixelRatioF();
            const Picture picture(qs(d.picture), ratio);
            button_->setIcon(QIcon(QPixmap::fromImage(picture.image(ratio))));
            button_->setIconSize(picture.naturalSize().toSize());
        }
        // Enter presses a button only while it has the focus: never a default
        // button of the window.
        button_->setAutoDefault(true);
        QObject::connect(button_, &QPushButton::clicked, button_, [this] {
            PressScope press;
            raise(click_);
        });
    }
    QWidget* widget() const override { return button_; }

private:
    QPushButton* button_;
};

class BoxControl final : public TextBox, public Held {
public:
    BoxControl(const ControlDesign& d, Form& form, QWidget* parent)
        : TextBox(d, form)
        , edit_(build(new detail::BoxWidget(parent), d))
    {
        edit_->setAlignment(horizontalAlignment(d) | Qt::AlignVCenter);
        edit_->setMaxLength(std::numeric_limits<int>::max()); // no limit on what is typed
    }
    QWidget* widget() const override { return edit_; }

    std::string Text() const override { return edit_->text().toStdString(); }
    void setText(std::string_view text) override { edit_->setText(qs(text)); }
    void SetFocus() override { edit_->setFocus(Qt::OtherFocusReason); }

private:
    QLineEdit* edit_;
};

class LabelControl final : public Label, public Held {
public:
    LabelControl(const ControlDesign& d, Form& form, QWidget* parent)
        : Label(d, form)
        , label_(build(new detail::LabelWidget(parent, d), d))
    {
        label_->setTextFormat(Qt::PlainText);
        label_->setText(qs(d.caption));
        label_->setWordWrap(true);
        label_->setAlignment(horizontalAlignment(d) | Qt::AlignTop);
        label_->setFocusPolicy(Qt::NoFocus);
        if (d.border) {
            label_->setFrameStyle(QFrame::WinPanel | QFrame::Sunken);
            label_->setLineWidth(1);
        }
    }
    QWidget* widget() const override { return label_; }

    void setCaption(std::string_view caption) override
    {
        label_->setText(qs(caption));
        if (design().message && !caption.empty())
            announce(label_); // a message wiped is not spoken
        if (design().summaryLine > 0)
            retell(label_);
    }

private:
    QLabel* label_;
};

// A picture box, an image or a shape: a widget, built, and nothing the
// program calls.
template <class Kind> class PlainControl final : public Kind, public Held {
public:
    PlainControl(const ControlDesign& d, Form& form, QWidget* widget)
        : Kind(d, form)
        , widget_(widget)
    {
    }
    QWidget* widget() const override { return widget_; }

private:
    QWidget* widget_;
};

class TimerControl final : public Timer {
public:
    TimerControl(const ControlDesign& d, Form& form, QWidget* parent)
        : Timer(d, form)
        , timer_(new QTimer(parent))
    {
        timer_->setObjectName(qs(d.name));
        timer_->setTimerType(Qt::PreciseTimer); // a coarse timer may fire 5 % early
        timer_->setInterval(d.interval);
        QObject::connect(timer_, &QTimer::timeout, timer_, [this] { raise(tick_); });
    }

    void setEnabled(bool enabled) override
    {
        if (enabled)
            timer_->start();
        else
            timer_->stop();
    }

private:
    QTimer* timer_;
};

std::unique_ptr<Control> pictureControl(const ControlDesign& d, Form& form, QWidget* parent)
{
    auto* widget = build(new detail::PictureWidget(parent, qs(d.picture)), d);
    if (d.kind == ControlKind::PictureBox) {
        widget->setFocusPolicy(Qt::StrongFocus);
        return std::make_unique<PlainControl<PictureBox>>(d, form, widget);
    }
    widget->setFocusPolicy(Qt::NoFocus);
    return std::make_unique<PlainControl<Image>>(d, form, widget);
}

std::unique_ptr<Control> shapeControl(const ControlDesign& d, Form& form, QWidget* parent)
{
    auto* widget = build(new detail::ShapeWidget(parent, toColor(d.background.value_or(Rgb{255, 255, 255}))), d);
    widget->setAutoFillBackground(false);
    widget->setFocusPolicy(Qt::NoFocus);
    return std::make_unique<PlainControl<Shape>>(d, form, widget);
}

} // namespace

std::unique_ptr<Control> makeControl(const ControlDesign& d, Form& form, QWidget* parent)
{
    switch (d.kind) {
    case ControlKind::CommandButton: return std::make_unique<ButtonControl>(d, form, parent);
    case ControlKind::TextBox: return std::make_unique<BoxControl>(d, form, parent);
    case ControlKind::Label: return std::make_unique<LabelControl>(d, form, parent);
    case ControlKind::PictureBox:
    case ControlKind::Image: return pictureControl(d, form, parent);
    case ControlKind::Shape: return shapeControl(d, form, parent);
    case ControlKind::Timer: return std::make_unique<TimerControl>(d, form, parent);
    }
    throw std::logic_error("control " + std::string(d.name) + " has no kind");
}

QWidget* widgetOf(const Control& control)
{
    const auto* held = dynamic_cast<const Held*>(&control);
    return held ? held->widget() : nullptr;
}

namespace detail {

namespace {

// As on the GNOME desktop, the text cursor stops blinking after ten seconds
// without typing or clicking in a box, and stays shown; the next key, click
// or focus on a box starts it again. An idle screen then costs nothing.
class CursorBlink : public QObject {
public:
    static CursorBlink& instance()
    {
        static CursorBlink blink;
        return blink;
    }

    void restart()
    {
        if (desktopFlashTime_ <= 0)
            return; // the desktop does not blink its cursors
        if (QApplication::cursorFlashTime() != desktopFlashTime_)
            QApplication::setCursorFlashTime(desktopFlashTime_);
        stop_.start();
    }

private:
    CursorBlink()
        : desktopFlashTime_(QApplication::cursorFlashTime())
    {
        stop_.setSingleShot(true);
        stop_.setInterval(kBlinkTimeoutMs);
        connect(&stop_, &QTimer::timeout, this, [] { QApplication::setCursorFlashTime(0); });
    }

    static constexpr int kBlinkTimeoutMs = 10000;
    int desktopFlashTime_;
    QTimer stop_;
};

} // namespace

BoxWidget::BoxWidget(QWidget* parent)
    : QLineEdit(parent)
{
    connect(this, &QLineEdit::selectionChanged, this, [this] { selectedOnEntry_ = false; });
}

void BoxWidget::focusInEvent(QFocusEvent* event)
{
    CursorBlink::instance().restart();
    QLineEdit::focusInEvent(event); // selects the whole text when entered with Tab
    selectedOnEntry_ = hasSelectedText();
}

void BoxWidget::keyPressEvent(QKeyEvent* event)
{
    CursorBlink::instance().restart();
    QLineEdit::keyPressEvent(event);
}

void BoxWidget::mousePressEvent(QMouseEvent* event)
{
    CursorBlink::instance().restart();
    QLineEdit::mousePressEvent(event);
}

QRect BoxWidget::characterRect(int offset) const
{
    const QString t = text();
    if (offset < 0 || offset >= t.size())
        return {};
    // The text starts where the caret stands less the width of what lies
    // before the caret.
    const QFontMetrics fm(font());
    const int start = cursorRect().center().x() - fm.horizontalAdvance(t.left(cursorPosition()));
    const int x = start + fm.horizontalAdvance(t.left(offset));
    return {x, (height() - fm.height()) / 2, fm.horizontalAdvance(t.at(offset)), fm.height()};
}

LabelWidget::LabelWidget(QWidget* parent, const ControlDesign& design)
    : QLabel(parent)
    , design_(design)
{
}

PictureWidget::PictureWidget(QWidget* parent, const QString& picture)
    : QWidget(parent)
{
    if (!picture.isEmpty())
        picture_ = Picture(picture, devicePixelRatioF()); // with the controls, not at the first paint
}

void PictureWidget::paintEvent(QPaintEvent*)
{
    if (picture_.isNull())
        return;
    // Drawn anew for another pixel ratio when the window has moved to such
    // a display: a picture that cannot be read then is a run-time error,
    // reported like one, never thrown into the toolkit's painting.
    runProcedure([this] {
        QPainter painter(this);
        painter.drawImage(0, 0, picture_.image(devicePixelRatioF()));
    });
}

ShapeWidget::ShapeWidget(QWidget* parent, QColor fill)
    : QWidget(parent)
    , fill_(fill)
    , outline_(Qt::black)
{
}

void ShapeWidget::setOutline(QColor outline)
{
    outline_ = outline;
    update();
}

void ShapeWidget::paintEvent(QPaintEvent*)
{
    constexpr int outlineWidth = 2; // pixels
    QPainter painter(this);
    painter.fillRect(rect(), outline_);
    painter.fillRect(rect().adjusted(outlineWidth, outlineWidth, -outlineWidth, -outlineWidth), fill_);
}

} // namespace detail

} // namespace runtime
