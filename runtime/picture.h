#pragma once

#include <QImage>
#include <QSizeF>
#include <QString>

namespace runtime {

// A picture at its natural size. The program carries each vector drawing
// together with its renders for device pixel ratios 1 and 2, made when the
// program was built (<name>.argb and <name>@2x.argb beside <name>.svg); at
// any other ratio the drawing is rendered from its vector source, so it
// stays crisp. The drawings keep their view box in twips: the natural size
// in device-independent pixels is the view box divided by 15.
class Picture {
public:
    Picture() = default;
    // Throws std::runtime_error when the picture cannot be read.
    Picture(const QString& vectorResource, qreal devicePixelRatio);

    bool isNull() const { return vector_.isEmpty(); }
    QSizeF naturalSize() const { return natural_; }

    // The picture for the given device pixel ratio; rendered again only when
    // the window has moved to a display of another ratio.
    const QImage& image(qreal devicePixelRatio) const;

private:
    QString vector_;
    QSizeF natural_;
    mutable QImage image_;
};

// The pixels of a render made at build time (for device pixel ratio 1).
// Throws std::runtime_error when it cannot be read.
QImage readPixels(const QString& resource);

} // namespace runtime
