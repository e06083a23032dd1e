#include "controls.h"

#include <QPaintEvent>
#include <QPainter>

#include <cmath>
#include <limits>

namespace runtime {
namespace {

QString qs(std::string_view s)
{
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

QRect designRect(const ControlDesign& d)
{
    return {pixels(d.place.left), pixels(d.place.top), pixels(d.place.width), pixels(d.place.height)};
}

Qt::Alignment horizontalAlignment(const ControlDesign& d)
{
    return (d.alignment == Alignment::Centre ? Qt::AlignHCenter : Qt::AlignLeft);
}

// Settings every control takes from its design row.
void applyCommon(QWidget* w, const ControlDesign& d)
{
    w->setObjectName(qs(d.name));
    w->setGeometry(designRect(d));
    if (d.font)
        w->setFont(toFont(*d.font));
    QPalette pal = w->palette();
    if (d.foreground) {
        pal.setColor(QPalette::WindowText, toColor(*d.foreground));
        pal.setColor(QPalette::Text, toColor(*d.foreground));
    }
    if (d.background) {
        pal.setColor(QPalette::Window, toColor(*d.background));
        w->setAutoFillBackground(true);
    }
    w->setPalette(pal);
    if (!d.accessibleName.empty())
        w->setAccessibleName(qs(d.accessibleName));
}

} // namespace

QColor toColor(Rgb rgb)
{
    return QColor(rgb.red, rgb.green, rgb.blue);
}

QFont toFont(const FontDesign& design)
{
    QFont font(qs(design.face));
    // Points at 96 dots per inch, so the size follows the twips grid and not
    // the display's idea of its own resolution.
    font.setPixelSize(static_cast<int>(std::lround(design.points * 96.0 / 72.0)));
    font.setWeight(QFont::Weight(design.weight));
    font.setItalic(design.italic);
    return font;
}

CommandButton::CommandButton(const ControlDesign& design, QWidget* parent)
    : QPushButton(parent)
    , cancel_(design.cancel)
{
    applyCommon(this, design);
    if (!design.graphical) {
        setText(qs(design.caption));
        setFont(toFont(design.font.value_or(kDefaultDialogFont)));
    } else if (!design.picture.empty()) {
        // The picture is drawn centred on the button face in place of a caption.
        const Picture picture(qs(design.picture), devicePixelRatioF());
        setIcon(QIcon(picture.pixmap(devicePixelRatioF())));
        setIconSize(picture.naturalSize().toSize());
    }
    // Enter presses a button only while it has the focus: never a default
    // button of the window.
    setAutoDefault(true);
}

TextBox::TextBox(const ControlDesign& design, QWidget* parent)
    : QLineEdit(parent)
{
    applyCommon(this, design);
    setAlignment(horizontalAlignment(design) | Qt::AlignVCenter);
    setMaxLength(std::numeric_limits<int>::max()); // no limit on what is typed
}

Label::Label(const ControlDesign& design, QWidget* parent)
    : QLabel(parent)
{
    applyCommon(this, design);
    setTextFormat(Qt::PlainText);
    setText(qs(design.caption));
    setWordWrap(true);
    setAlignment(horizontalAlignment(design) | Qt::AlignTop);
    setFocusPolicy(Qt::NoFocus);
    if (design.border) {
        setFrameStyle(QFrame::WinPanel | QFrame::Sunken);
        setLineWidth(1);
    }
}

PictureBox::PictureBox(const ControlDesign& design, QWidget* parent, Qt::FocusPolicy focus)
    : QWidget(parent)
{
    applyCommon(this, design);
    setFocusPolicy(focus);
    if (!design.picture.empty()) {
        picture_ = Picture(qs(design.picture), devicePixelRatioF()); // with the controls, not at the first paint
    }
}

void PictureBox::paintEvent(QPaintEvent*)
{
    if (picture_.isNull())
        return;
    QPainter painter(this);
    painter.drawPixmap(0, 0, picture_.pixmap(devicePixelRatioF()));
}

Image::Image(const ControlDesign& design, QWidget* parent)
    : PictureBox(design, parent, Qt::NoFocus)
{
}

Shape::Shape(const ControlDesign& design, QWidget* parent)
    : QWidget(parent)
    , fill_(toColor(design.background.value_or(Rgb{255, 255, 255})))
{
    applyCommon(this, design);
    setAutoFillBackground(false);
    setFocusPolicy(Qt::NoFocus);
}

void Shape::paintEvent(QPaintEvent*)
{
    constexpr int outline = 2;
    QPainter painter(this);
    painter.fillRect(rect(), palette().color(QPalette::WindowText));
    painter.fillRect(rect().adjusted(outline, outline, -outline, -outline), fill_);
}

Timer::Timer(int intervalMs, QObject* parent)
    : QObject(parent)
{
    timer_.setTimerType(Qt::PreciseTimer); // a coarse timer may fire 5 % early
    timer_.setInterval(intervalMs);
    connect(&timer_, &QTimer::timeout, this, &Timer::tick);
}

void Timer::setEnabled(bool enabled)
{
    if (enabled)
        timer_.start();
    else
        timer_.stop();
}

} // namespace runtime
