#include "form.h"

#include "accessibility.h"
#include "input_guard.h"
#include "colours.h"
#include "platform.h"
#include "widgets.h"
#include "text.h"

#include <QApplication>
#include <QCloseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QPushButton>
#include <QShortcut>
#include <QTimer>

#include <algorithm>
#include <cmath>

namespace runtime {
namespace {

// Labels, shapes and images lie beneath every box, button and picture box:
// they are created first.
constexpr bool isWindowless(ControlKind kind)
{
    return kind == ControlKind::Label || kind == ControlKind::Shape || kind == ControlKind::Image;
}

// The device-independent coordinate whose device pixel, as the toolkit
// rounds it, comes nearest to the wanted device pixel.
int nearestLogical(double wantedNative, int origin, qreal ratio)
{
    auto native = [&](int logical) { return std::lround((logical - origin) * ratio) + origin; };
    const int guess = int(std::floor((wantedNative - origin) / ratio)) + origin;
    int best = guess;
    for (int k = guess - 1; k <= guess + 2; ++k)
        if (std::abs(native(k) - wantedNative) < std::abs(native(best) - wantedNative))
            best = k;
    return best;
}

} // namespace

float Screen::Width()
{
    const Display d = platform().primaryDisplay();
    return static_cast<float>(d.native.width() / d.ratio * kTwipsPerPixel);
}

float Screen::Height()
{
    const Display d = platform().primaryDisplay();
    return static_cast<float>(d.native.height() / d.ratio * kTwipsPerPixel);
}

namespace detail {

FormWindow::FormWindow(Form& form)
    : form_(form)
    , desktopColours_(QApplication::palette().cacheKey())
{
}

void FormWindow::paintEvent(QPaintEvent* event)
{
    // The screen's background is painted, not put in the window's palette:
    // the controls keep the desktop's palette, shared by every screen.
    QPainter(this).fillRect(event->rect(), background);
    if (arriving) {
        // The frame reaches the display once painting has returned.
        arriving = false;
        QTimer::singleShot(0, this, &FormWindow::firstFrameShown);
    }
}

void FormWindow::closeEvent(QCloseEvent* event)
{
    event->accept();
    if (onClose)
        onClose();
}

void FormWindow::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange && form_.isLoaded()) {
        platform().windowStateChanged(this);
    } else if (event->type() == QEvent::ApplicationPaletteChange || event->type() == QEvent::PaletteChange) {
        // The desktop changed its colours: take them again, once per change.
        if (QApplication::palette().cacheKey() != desktopColours_) {
            desktopColours_ = QApplication::palette().cacheKey();
            form_.applyColours();
        }
    }
}

} // namespace detail

Form::Form(const FormDesign& design)
    : design_(design)
    , window_(std::make_unique<detail::FormWindow>(*this))
{
    installAccessibility();
    QWidget* w = window_.get();
    w->setObjectName(qs(design.name));
    w->setWindowTitle(qs(design.caption));
    // Not a tool window: some window managers leave those unmanaged, never
    // focused.
    w->setWindowFlags(platform().windowFlags());
    w->setFixedSize(pixels(design.clientWidth), pixels(design.clientHeight));
    window_->background = toColor(design.background);
    // The window manager may be asked for the frame now, to answer while the
    // controls are built.
    platform().windowMade(w);
    buildControls();
    applyColours();
}

Form::~Form() = default;

detail::FormWindow* Form::window() const
{
    return window_.get();
}

void Form::buildControls()
{
    std::vector<const ControlDesign*> order;
    for (const auto& d : design_.controls)
        if (isWindowless(d.kind))
            order.push_back(&d);
    for (const auto& d : design_.controls)
        if (!isWindowless(d.kind))
            order.push_back(&d);

    std::vector<std::unique_ptr<Control>> built(design_.controls.size());
    std::vector<std::pair<int, QWidget*>> tabbed;
    for (const ControlDesign* d : order) {
        auto control = makeControl(*d, *this, window_.get());
        QWidget* widget = widgetOf(*control);
        if (widget && d->tabIndex >= 0 && widget->focusPolicy() != Qt::NoFocus)
            tabbed.emplace_back(d->tabIndex, widget);
        if (d->cancel) {
            auto* button = static_cast<QPushButton*>(widget);
            auto* esc = new QShortcut(QKeySequence(Qt::Key_Escape), window_.get());
            esc->setContext(Qt::WindowShortcut);
            QObject::connect(esc, &QShortcut::activated, button, &QPushButton::click);
        }
        built[std::size_t(d - design_.controls.data())] = std::move(control);
    }
    controls_ = std::move(built);

    std::sort(tabbed.begin(), tabbed.end(), [](auto& a, auto& b) { return a.first < b.first; });
    for (std::size_t i = 1; i < tabbed.size(); ++i)
        QWidget::setTabOrder(tabbed[i - 1].second, tabbed[i].second);
    if (!tabbed.empty())
        tabbed.front().second->setFocus(); // the lowest tab index has the focus when shown
}

Control& Form::controlAt(std::size_t index, std::string_view name) const
{
    if (index >= controls_.size() || controls_[index]->name() != name)
        throw std::logic_error("form " + std::string(design_.name) + " has no control " + std::string(name));
    return *controls_[index];
}

void Form::applyColours()
{
    for (const auto& c : controls_) {
        QWidget* widget = widgetOf(*c);
        if (!widget)
            continue;
        if (c->kind() == ControlKind::Shape)
            static_cast<detail::ShapeWidget*>(widget)->setOutline(shapeOutline(widget, c->design(), design_.background));
        else
            widget->setPalette(controlPalette(widget, c->design(), design_.background).value_or(QPalette()));
    }
}

float Form::Width() const
{
    const QMargins m = platform().frameExtents(window_.get());
    const qreal native = platform().nativeSize(window_.get()).width() + m.left() + m.right();
    return static_cast<float>(native / platform().primaryDisplay().ratio * kTwipsPerPixel);
}

float Form::Height() const
{
    const QMargins m = platform().frameExtents(window_.get());
    const qreal native = platform().nativeSize(window_.get()).height() + m.top() + m.bottom();
    return static_cast<float>(native / platform().primaryDisplay().ratio * kTwipsPerPixel);
}

float Form::Left() const
{
    return static_cast<float>(left_);
}

float Form::Top() const
{
    return static_cast<float>(top_);
}

void Form::setLeft(float twips)
{
    left_ = twips;
    centred_ = false;
    place();
}

void Form::setTop(float twips)
{
    top_ = twips;
    centred_ = false;
    place();
}

void Form::place()
{
    // The outer corner, in twips from the primary display's corner, becomes
    // the client area's position: in device pixels first, where the frame
    // is measured, then at the device-independent pixel that lands nearest.
    Platform& p = platform();
    if (!p.placesWindows())
        return;
    const Display d = p.primaryDisplay();
    const QPoint inside = p.clientOffset(window_.get());
    const double x = d.native.x() + left_ / kTwipsPerPixel * d.ratio + inside.x();
    const double y = d.native.y() + top_ / kTwipsPerPixel * d.ratio + inside.y();
    const QPoint client(nearestLogical(x, d.origin.x(), d.ratio), nearestLogical(y, d.origin.y(), d.ratio));
    window_->setGeometry(QRect(client, window_->size()));
}

void Form::centre()
{
    const float w = Width();
    const float sw = Screen::Width();
    setLeft(static_cast<float>((static_cast<double>(sw) - w) / 2.0));
    const float h = Height();
    const float sh = Screen::Height();
    setTop(static_cast<float>((static_cast<double>(sh) - h) / 2.0));
    centred_ = true;
}

void Form::setCloseHandler(std::function<void()> handler)
{
    window_->onClose = std::move(handler);
}

void Form::present()
{
    if (!prepared_) {
        prepared_ = true;
        platform().prepareWindow(window_.get());
    }
    if (!window_->isVisible()) {
        window_->arriving = true;
        guardInPress(window_.get());
    }
    platform().present(window_.get(), [this] { placeAgain(); });
}

void Form::placeAgain()
{
    if (centred_)
        centre();
    else
        place();
}

void Form::contentRenewed()
{
    guardInPress(window_.get());
}

bool Form::arriving() const
{
    return window_->arriving;
}

void Form::unloading(bool leaveShown)
{
    loaded_ = false;
    window_->onClose = nullptr;
    for (const auto& c : controls_)
        if (c->kind() == ControlKind::Timer)
            static_cast<Timer&>(*c).setEnabled(false);
    if (!leaveShown) {
        window_->hide();
        return;
    }
    // Until the screen shown in its place has painted: clicks go through to
    // whatever lies below, and no procedure of this screen runs any more.
    window_->leaving = true;
    window_->setAttribute(Qt::WA_TransparentForMouseEvents);
    for (QWidget* w : window_->findChildren<QWidget*>())
        w->setAttribute(Qt::WA_TransparentForMouseEvents);
}

} // namespace runtime
