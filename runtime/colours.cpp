#include "colours.h"

#include <QApplication>
#include <QPalette>
#include <QWidget>

#include <algorithm>
#include <cmath>

namespace runtime {
namespace {

const QColor kStandardText(0, 0, 0);
const QColor kStandardBase(255, 255, 255);
const QColor kStandardButton(240, 240, 240);
const QColor kStandardFill(255, 255, 255);

double channel(int value)
{
    const double c = value / 255.0;
    return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

// A pair of colours (text on background) from the desktop, kept together
// while readable, else both from the standard light scheme.
void pair(QPalette& palette, QPalette::ColorRole text, QPalette::ColorRole background, const QColor& standardText,
    const QColor& standardBackground)
{
    for (auto group : {QPalette::Active, QPalette::Inactive}) {
        if (contrastRatio(palette.color(group, text), palette.color(group, background)) < kTextContrast) {
            palette.setColor(text, standardText);
            palette.setColor(background, standardBackground);
            return;
        }
    }
}

void text(QPalette& palette, QPalette::ColorRole role, const QColor& on)
{
    for (auto group : {QPalette::Active, QPalette::Inactive}) {
        if (contrastRatio(palette.color(group, role), on) < kTextContrast) {
            palette.setColor(role, kStandardText);
            return;
        }
    }
}

} // namespace

double relativeLuminance(const QColor& colour)
{
    const QColor c = colour.toRgb();
    return 0.2126 * channel(c.red()) + 0.7152 * channel(c.green()) + 0.0722 * channel(c.blue());
}

double contrastRatio(const QColor& a, const QColor& b)
{
    const double la = relativeLuminance(a), lb = relativeLuminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

QColor readable(const QColor& desktop, std::initializer_list<QColor> backgrounds, double ratio, const QColor& standard)
{
    for (const QColor& b : backgrounds)
        if (contrastRatio(desktop, b) < ratio)
            return standard;
    return desktop;
}

QColor toColor(Rgb rgb)
{
    return QColor(rgb.red, rgb.green, rgb.blue);
}

std::optional<QPalette> controlPalette(const QWidget* widget, const ControlDesign& d, Rgb formBackground)
{
    const QPalette desktop = QApplication::palette(widget);
    QPalette palette = desktop;
    const QColor background = toColor(d.background.value_or(formBackground));
    if (d.background)
        palette.setColor(QPalette::Window, background);
    switch (d.kind) {
    case ControlKind::Label:
        if (d.foreground)
            palette.setColor(QPalette::WindowText, toColor(*d.foreground));
        else
            text(palette, QPalette::WindowText, background);
        break;
    case ControlKind::TextBox:
        pair(palette, QPalette::Text, QPalette::Base, kStandardText, kStandardBase);
        break;
    case ControlKind::CommandButton:
        pair(palette, QPalette::ButtonText, QPalette::Button, kStandardText, kStandardButton);
        break;
    default:
        break;
    }
    // Left as the desktop's own: the style keeps what it has painted with a
    // palette, so controls sharing the desktop's are drawn once for all.
    if (palette.resolveMask() == 0)
        return std::nullopt;
    return palette;
}

QColor shapeOutline(const QWidget* widget, const ControlDesign& d, Rgb formBackground)
{
    const QColor desktop = QApplication::palette(widget).color(QPalette::WindowText);
    const QColor fill = d.background ? toColor(*d.background) : kStandardFill;
    return readable(desktop, {toColor(formBackground), fill}, kOutlineContrast, kStandardText);
}

} // namespace runtime
