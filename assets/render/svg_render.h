#pragma once

#include <QImage>
#include <QString>

// A vector picture rendered for a device pixel ratio: the natural size (the
// view box in twips, 15 to a pixel) times the ratio, rounded up to whole
// pixels, antialiased, on a transparent ground.
QImage renderSvg(const QString& file, qreal ratio);
