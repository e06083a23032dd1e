#pragma once

// Colours the design leaves to the desktop are taken from the desktop while
// they stay readable on the design's own backgrounds, and otherwise from the
// standard light scheme the screens were drawn for.

#include "design.h"

#include <QColor>

#include <initializer_list>
#include <optional>

class QPalette;
class QWidget;

namespace runtime {

inline constexpr double kTextContrast = 4.5; // text against its background
inline constexpr double kOutlineContrast = 3.0; // a shape's outline against what it borders

// WCAG 2 relative luminance and contrast ratio.
double relativeLuminance(const QColor& colour);
double contrastRatio(const QColor& a, const QColor& b);

// desktop when it reaches the ratio against every background, else standard.
QColor readable(const QColor& desktop, std::initializer_list<QColor> backgrounds, double ratio, const QColor& standard);

QColor toColor(Rgb rgb);

// The palette a control paints with: the desktop's palette for its kind of
// widget, with the design's colours put in, and every colour the design
// leaves to the desktop checked against the background it is drawn on;
// nothing where the desktop's palette serves as it is.
std::optional<QPalette> controlPalette(const QWidget* widget, const ControlDesign& design, Rgb formBackground);

// The outline colour of a shape on a form of the given background.
QColor shapeOutline(const QWidget* widget, const ControlDesign& design, Rgb formBackground);

} // namespace runtime
